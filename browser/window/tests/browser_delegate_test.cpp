#include "BrowserDelegate.h"

#include "BrowserModel.h"
#include "ColumnBrowser.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "DesktopServices.h"
#include "FileWell.h"
#include "Prompter.h"
#include "SpeedSlider.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include "AudioOutput.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

namespace {
// A controller over a small library, with alerts and desktop calls recorded.
class BrowserDelegateTest : public ::testing::Test {
protected:
    void SetUp() override {
        Prompter::setShared(&prompts);
        DesktopServices::setShared(&desktop);
        lib = dir.path();
        ASSERT_TRUE(QDir().mkpath(lib + "/Drums/Kicks"));
        ASSERT_TRUE(writeTone(lib + "/Drums/Kick.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
        ASSERT_TRUE(writeTone(lib + "/Drums/snare.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 4.0));
        ASSERT_TRUE(writeText(lib + "/Drums/notes.txt"));
        Defaults::setString(lib + "/Drums", StartupDirectoryKey);
        controller = std::make_unique<BrowserDelegate>();
        controller->awakeFromNib();
    }
    void TearDown() override {
        controller.reset();
        Prompter::setShared(nullptr);
        DesktopServices::setShared(nullptr);
    }
    // Selects a file in the browser the way a click does.
    void click(const QString &path) {
        ASSERT_TRUE(controller->setBrowserPath(path)) << path.toStdString();
        controller->singleClick(controller->browser);
    }

    RecordingPrompter prompts;
    RecordingDesktopServices desktop;
    QTemporaryDir dir;
    QString lib;
    std::unique_ptr<BrowserDelegate> controller;
};
}  // namespace

TEST_F(BrowserDelegateTest, StartsInTheStartUpFolderWithButtonsDisabled) {
    EXPECT_EQ(controller->fileWell->file(), "/" + lib + "/Drums");
    EXPECT_EQ(controller->folderModel()._browserCachePath, "/" + lib + "/Drums");
    EXPECT_EQ(controller->folderModel()._browserCacheContents, (QStringList{"Kick.aif", "Kicks", "snare.wav"}));
    EXPECT_FALSE(controller->_playButton->isEnabled());
    EXPECT_FALSE(controller->_sound);
    EXPECT_TRUE(controller->window()->isVisible());
    // Column 0 is titled with the root; each further column with the folder it lists.
    ColumnBrowser *b = controller->browser;
    EXPECT_EQ(b->columnTitle(0), "/");
    EXPECT_EQ(b->columnTitle(b->columnCount() - 1), "Drums");
    EXPECT_EQ(b->selectedColumn(), b->columnCount() - 2) << "the start-up folder is selected, its listing opened";
}

TEST_F(BrowserDelegateTest, ClickingAFileMakesItCurrentWithTwoSlashPathAndPlaysIt) {
    click(lib + "/Drums/Kick.aif");
    EXPECT_EQ(controller->fileWell->file(), "/" + lib + "/Drums/Kick.aif");
    ASSERT_TRUE(controller->_sound);
    EXPECT_EQ(controller->filename(), "/" + lib + "/Drums/Kick.aif");
    EXPECT_TRUE(controller->_playButton->isEnabled());
    EXPECT_TRUE(controller->_playButton->isChecked());
    EXPECT_EQ(controller->_stopButton->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_TRUE(controller->_BPM->text().isEmpty()) << "fields are emptied before the facts arrive";
    QSignalSpy shown(controller.get(), &BrowserDelegate::statsShown);
    ASSERT_TRUE(shown.wait(5000));
    EXPECT_EQ(controller->_sampleRate->text(), "SR: 44100.00");
    EXPECT_EQ(controller->_format->text(), "Format: AIFF");
}

TEST_F(BrowserDelegateTest, MissingFileShowsTheRightWordingAndKeepsTheCurrentFile) {
    click(lib + "/Drums/Kick.aif");
    controller->setFilename("//" + lib + "/Drums/gone.aif");
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_EQ(prompts.asked[0].kind, "critical");
    EXPECT_EQ(prompts.asked[0].title, "Soundrake");
    EXPECT_EQ(prompts.asked[0].message,
              "Unable to locate the file \"gone.aif\".  The file may have been moved, renamed or deleted outside "
              "of Soundrake.");
    EXPECT_EQ(controller->fileWell->file(), "/" + lib + "/Drums/Kick.aif");
    controller->seeker()._seekerUseSavedResultsValue = true;
    controller->setFilename("/nowhere/x y.wav");
    EXPECT_TRUE(prompts.asked[1].message.endsWith("The saved scan memory is out of sync with the system."));
    EXPECT_TRUE(prompts.asked[1].message.contains("\"x y.wav\""));
}

TEST_F(BrowserDelegateTest, DoubleClickOpensAudioInTheEditorAndOnlyDisablesForFolders) {
    click(lib + "/Drums/Kicks");
    controller->doubleClick(controller->browser);
    EXPECT_TRUE(desktop.calls.isEmpty());
    EXPECT_FALSE(controller->_playButton->isEnabled());

    click(lib + "/Drums/snare.wav");
    controller->doubleClick(controller->browser);
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0], "open |" + lib + "/Drums/snare.wav");
    EXPECT_FALSE(controller->_playButton->isChecked()) << "opening in the editor stops playback";
    Defaults::setString("audacity", AudioEditorKey);
    controller->fileWellDoubleClick(controller->fileWell);
    EXPECT_EQ(desktop.calls[1], "open audacity|" + lib + "/Drums/snare.wav");
}

TEST_F(BrowserDelegateTest, MenuEnablingAndReveal) {
    QAction *jump = controller->actionFor("jump:");
    QAction *rename = controller->actionFor("rename:");
    ASSERT_TRUE(jump && rename);
    EXPECT_FALSE(controller->validateMenuItem(rename));
    click(lib + "/Drums/Kick.aif");
    EXPECT_TRUE(controller->validateMenuItem(rename));
    EXPECT_FALSE(controller->validateMenuItem(jump)) << "jump is for the Seeker tab only";
    controller->_tabView->setCurrentIndex(1);
    EXPECT_TRUE(controller->validateMenuItem(jump));
    EXPECT_FALSE(controller->validateMenuItem(controller->actionFor("makeStartupDirectory:")));

    controller->revealInFinder();
    EXPECT_EQ(desktop.calls.last(), "reveal " + lib + "/Drums/Kick.aif");
}

TEST_F(BrowserDelegateTest, EnableButtonsAlwaysEmptiesTheInformationFields) {
    controller->_sampleRate->setText("SR: 1");
    controller->_BPM->setText("99");
    controller->enableButtons(true);
    EXPECT_TRUE(controller->_sampleRate->text().isEmpty());
    EXPECT_TRUE(controller->_BPM->text().isEmpty());
    EXPECT_TRUE(controller->_moveToTrashButton->isEnabled());
}

TEST_F(BrowserDelegateTest, GoingToAFolderListsItAndReturnsToTheBrowserTab) {
    controller->_tabView->setCurrentIndex(1);
    controller->gotoDirectory(lib + "/Drums/Kicks");
    EXPECT_EQ(controller->_tabView->currentIndex(), 0);
    EXPECT_EQ(controller->fileWell->file(), "/" + lib + "/Drums/Kicks");
    EXPECT_EQ(controller->folderModel()._browserCachePath, "/" + lib + "/Drums/Kicks");
    EXPECT_FALSE(controller->_playButton->isEnabled());
}

TEST_F(BrowserDelegateTest, RenameKeepsTheListingPlaceAndAFailedRenameChangesNothing) {
    click(lib + "/Drums/snare.wav");
    ASSERT_TRUE(writeText(lib + "/Drums/taken.wav"));
    EXPECT_FALSE(controller->renameFile(controller->filename(), "/" + lib + "/Drums/taken.wav"));
    EXPECT_EQ(prompts.asked.last().message, "Rename failed.");
    EXPECT_TRUE(QFile::exists(lib + "/Drums/snare.wav"));
    EXPECT_EQ(QFileInfo(lib + "/Drums/taken.wav").size(), 6) << "the other file is not replaced";

    controller->_BPM->setText("120");
    controller->renameWithBPM();
    EXPECT_TRUE(QFile::exists(lib + "/Drums/120 BPM-snare.wav"));
    EXPECT_EQ(controller->filename(), "/" + lib + "/Drums/120 BPM-snare.wav");
    EXPECT_EQ(controller->folderModel()._browserCacheContents,
              (QStringList{"Kick.aif", "Kicks", "120 BPM-snare.wav"}));
}

TEST_F(BrowserDelegateTest, WriteNewSampleRateAtHalfSpeed) {
    click(lib + "/Drums/snare.wav");
    controller->_speedSlider->setDoubleValue(0.5);  // restarts the file at half speed
    prompts.choices = {Prompter::Default};
    controller->writeNewSampleRate();
    SF_INFO info{};
    SNDFILE *f = sf_open(QFile::encodeName(lib + "/Drums/snare.wav").constData(), SFM_READ, &info);
    ASSERT_TRUE(f);
    sf_close(f);
    EXPECT_EQ(info.samplerate, 22050);
    EXPECT_DOUBLE_EQ(controller->_speedSlider->doubleValue(), 1.0);
    EXPECT_DOUBLE_EQ(controller->_playbackSpeed, 1.0);
    EXPECT_TRUE(prompts.asked.last().message.endsWith("of the file snare.wav?"));

    prompts.choices = {Prompter::Other};
    controller->writeNewSampleRate();
    f = sf_open(QFile::encodeName(lib + "/Drums/snare.wav").constData(), SFM_READ, &info);
    sf_close(f);
    EXPECT_EQ(info.samplerate, 22050) << "No changes nothing";
}

TEST_F(BrowserDelegateTest, VolumesFolderIsWhereThisDesktopMounts) {
    const QString v = BrowserDelegate::volumesFolder();
    EXPECT_TRUE(v.startsWith("/media/") || v.startsWith("/run/media/") || v == "/mnt") << v.toStdString();
}

TEST_F(BrowserDelegateTest, SpaceBarToggleFollowsThePlaybackState) {
    click(lib + "/Drums/snare.wav");
    EXPECT_EQ(controller->_stopButton->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_TRUE(controller->_playButton->shortcut().isEmpty());
    EXPECT_TRUE(controller->_sound->isPlaying());
    controller->stopButton();
    EXPECT_EQ(controller->_playButton->shortcut(), QKeySequence(Qt::Key_Space));
    EXPECT_TRUE(controller->_stopButton->shortcut().isEmpty());
    EXPECT_FALSE(controller->_sound->isPlaying());
    EXPECT_FALSE(controller->_playButton->isChecked());
    // (The space bar itself is pressed in the end-to-end audition test, on a real display.)
    controller->playButton();
    EXPECT_TRUE(controller->_sound->isPlaying());
    EXPECT_EQ(controller->_stopButton->shortcut(), QKeySequence(Qt::Key_Space));
}

TEST_F(BrowserDelegateTest, PlayAllTurnsLoopOffAndAUserClickEndsIt) {
    click(lib + "/Drums/snare.wav");
    controller->_loopPlayButton->setChecked(true);
    controller->loopPlay();
    EXPECT_TRUE(controller->loopPlayFlag);
    controller->_playAllButton->setChecked(true);
    controller->playAllButton();
    EXPECT_TRUE(controller->inPlayAllMode);
    EXPECT_FALSE(controller->loopPlayFlag);
    EXPECT_FALSE(controller->_loopPlayButton->isChecked());
    ASSERT_TRUE(controller->_autoTimer);
    EXPECT_EQ(controller->_autoTimer->interval(), 1000);
    EXPECT_EQ(controller->autopilot().playAllCounter, 2) << "the selected row of the last column";

    controller->clickIt(controller.get(), true);  // the autopilot's own selection
    EXPECT_TRUE(controller->inPlayAllMode);
    EXPECT_EQ(controller->autopilot().autopilotHistory().size(), 1);

    click(lib + "/Drums/Kick.aif");  // the user's click
    EXPECT_FALSE(controller->inPlayAllMode);
    EXPECT_FALSE(controller->_playAllButton->isChecked());
    EXPECT_FALSE(controller->_autoTimer);
    EXPECT_TRUE(controller->autopilot().autopilotHistory().isEmpty());
}

TEST_F(BrowserDelegateTest, SpeedRestartsTheFileAndResetAtNormalSpeedDoesNothing) {
    click(lib + "/Drums/snare.wav");
    QSignalSpy states(controller.get(), &BrowserDelegate::playbackStateChanged);
    controller->resetSpeedSlider();
    EXPECT_EQ(states.count(), 0) << "nothing happens at 1.0, not even a restart";

    controller->_speedSlider->setDoubleValue(0.5);
    EXPECT_DOUBLE_EQ(controller->_playbackSpeed, 0.5);
    ASSERT_GE(states.count(), 2) << "a speed change stops the file and starts it again";
    EXPECT_FALSE(states.first()[0].toBool());
    EXPECT_TRUE(states.last()[0].toBool());
    EXPECT_TRUE(controller->_sound->isPlaying());

    states.clear();
    controller->resetSpeedSlider();  // plays the spin-up sound to its end first
    ASSERT_GE(states.count(), 2);
    EXPECT_TRUE(states.last()[0].toBool());
    EXPECT_DOUBLE_EQ(controller->_playbackSpeed, 1.0);
    EXPECT_DOUBLE_EQ(controller->_speedSlider->doubleValue(), 1.0);
    EXPECT_FALSE(controller->_spinup && controller->_spinup->isPlaying());
}

TEST_F(BrowserDelegateTest, VolumeSetWithNothingLoadedReachesTheNextFile) {
    ASSERT_FALSE(controller->_sound);
    controller->_volumeSlider->setValue(25);
    EXPECT_DOUBLE_EQ(controller->_volume, 25.0);
    click(lib + "/Drums/Kick.aif");
    ASSERT_TRUE(controller->_sound && controller->_sound->outputUnit());
    EXPECT_FLOAT_EQ(controller->_sound->outputUnit()->Volume(), 0.25f);
    controller->_volumeSlider->setValue(80);
    EXPECT_FLOAT_EQ(controller->_sound->outputUnit()->Volume(), 0.8f) << "heard at once";
}

TEST_F(BrowserDelegateTest, TempoFieldInBothSenses) {
    // snare.wav: 4 s of 44,100 Hz stereo 16-bit; 8 beats make 120 BPM.
    click(lib + "/Drums/snare.wav");
    QSignalSpy shown(controller.get(), &BrowserDelegate::statsShown);
    ASSERT_TRUE(shown.wait(5000));
    controller->_numberOfBeats->setCurrentText("8");
    EXPECT_EQ(controller->_BPM->text(), "120");
    Defaults::setBool(true, RoundOffBPMKey);
    controller->numberOfBeats();
    EXPECT_EQ(controller->_BPM->text(), "120.00");
    controller->setBPMField(85.714);
    EXPECT_EQ(controller->_BPM->text(), "85.71");
    Defaults::setBool(false, RoundOffBPMKey);
    controller->setBPMField(85.714);
    EXPECT_EQ(controller->_BPM->text(), "85") << "a tap-pad tempo is truncated";
}

TEST_F(BrowserDelegateTest, DiscTurnsThroughSixtyFramesAndStopsOnTheShownOne) {
    ASSERT_EQ(controller->_discAnimationArray.size(), 60) << "the 60 disc frames ship with the program";
    controller->startVinyl(true);
    EXPECT_TRUE(controller->_discSpinning);
    for (int i = 0; i < 60; ++i)
        controller->discSpinAction();
    EXPECT_EQ(controller->_discSpinningFrame, 0) << "after 60 frames the first comes again";
    controller->discSpinAction();
    controller->discSpinAction();
    const QImage shown = controller->_diskView->pixmap().toImage();
    controller->stopVinyl();
    controller->discSpinAction();  // the next step after the stop changes nothing
    EXPECT_EQ(controller->_discSpinningFrame, 2);
    EXPECT_EQ(controller->_diskView->pixmap().toImage(), shown);
    EXPECT_EQ(shown, controller->_discAnimationArray.at(1).toImage());
}
