// The library commands of the main window: comments, favorites, trash on both tabs, the
// preferences panel, the favorites drawer, soundbanks, the application actions and the help
// commands, on a real controller over a small generated library.
#include "BrowserDelegate.h"

#include "BrowserModel.h"
#include "ColumnBrowser.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "DesktopServices.h"
#include "FileWell.h"
#include "NotificationCenter.h"
#include "Preferences.h"
#include "PreferencesPanel.h"
#include "Prompter.h"
#include "QtDesktopServices.h"
#include "SeekerMemory.h"
#include "SrkApp.h"
#include "SrkFavoritesView.h"
#include "SrkUtils.h"
#include "TestFiles.h"
#include "VersionList.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QDialog>
#include <QDockWidget>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <sys/xattr.h>
#include <unistd.h>

namespace {
QString attribute(const QString &path) {
    QString comment = "<unreadable>";
    SrkUtils::getComment(path, &comment);
    return comment;
}

QByteArray contents(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QStringList fileNames(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}

// A controller over a small library, with alerts and desktop calls recorded and the program's
// folder (favorites fallback, saved scan memory, manual) in a folder of the test.
class BrowserLibraryTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString &key : {FavoritesDirectoryKey, DoNotCreateFavoritesFolder, AudioEditorKey,
                                   OnlyShowAudioFilesKey, RoundOffBPMKey, PostFixBPMKey, DrawerKey,
                                   SeekerUseSavedResultsKey, OpenInSeekerKey, VersionListAddressKey})
            Defaults::remove(key);
        Prompter::setShared(&prompts);
        DesktopServices::setShared(&desktop);
        lib = dir.path();
        app = lib + "/Applications";
        ASSERT_TRUE(QDir().mkpath(app));
        Preferences::setApplicationFolderForTesting(app);
        ASSERT_TRUE(QDir().mkpath(lib + "/Drums/Kicks"));
        ASSERT_TRUE(writeTone(lib + "/Drums/Kick.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
        ASSERT_TRUE(writeTone(lib + "/Drums/snare.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16));
        ASSERT_TRUE(writeText(lib + "/Drums/notes.txt"));
        ASSERT_TRUE(QDir().mkpath(lib + "/Other"));
        ASSERT_TRUE(writeTone(lib + "/Other/Kick.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
        ASSERT_TRUE(QDir().mkpath(lib + "/T/Sub"));
        for (const char *name : {"a.aif", "b.aif", "c.aif", "Sub/z.aif"})
            ASSERT_TRUE(writeTone(lib + "/T/" + name, SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
        Defaults::setString(lib + "/Drums", StartupDirectoryKey);
        posted = 0;
        QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::posted, &context,
                         [this](const QString &name, QObject *) { posted += name == kFavoritesDirectoryDidChange; });
        start();
    }
    void TearDown() override {
        controller.reset();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        Preferences::setApplicationFolderForTesting(QString());
        Prompter::setShared(nullptr);
        DesktopServices::setShared(nullptr);
    }
    void start() {
        controller = std::make_unique<BrowserDelegate>();
        controller->awakeFromNib();
    }
    // Selects a file in the browser the way a click does, and waits for its facts and comment.
    void click(const QString &path, bool waitForStats = true) {
        QSignalSpy shown(controller.get(), &BrowserDelegate::statsShown);
        ASSERT_TRUE(controller->setBrowserPath(path)) << path.toStdString();
        controller->singleClick(controller->browser);
        if (waitForStats && controller->_sound) {
            ASSERT_TRUE(shown.count() > 0 || shown.wait(5000));
        }
    }
    // Types into the comment field as the user does.
    void typeComment(const QString &text) {
        controller->_comments->selectAll();
        // One key event carrying the whole text, as an input method delivers it.
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
        QCoreApplication::sendEvent(controller->_comments, &press);
    }
    QList<RecordingPrompter::Asked> alerts() const {
        QList<RecordingPrompter::Asked> out;
        for (const auto &a : prompts.asked)
            if (a.kind == "critical" || a.kind == "informational" || a.kind == "threeButton")
                out.append(a);
        return out;
    }

    // Records like the test double and, as the real trash does, takes the file away.
    struct TrashingDesktopServices : RecordingDesktopServices {
        bool moveToTrash(const QString &path) override {
            return RecordingDesktopServices::moveToTrash(path) && QFile::remove(path);
        }
    };

    RecordingPrompter prompts;
    TrashingDesktopServices desktop;
    QTemporaryDir dir;
    QString lib, app;
    QObject context;
    int posted = 0;
    std::unique_ptr<BrowserDelegate> controller;
};
}  // namespace

// ---------------------------------------------------------------------------------------
// Comments

TEST_F(BrowserLibraryTest, CommentIsShownAndAnEditIsWrittenWhenAnotherFileBecomesCurrent) {
    ASSERT_EQ(SrkUtils::setComment(lib + "/Drums/Kick.aif", "Kick from the 909 – grün"), 0);
    click(lib + "/Drums/Kick.aif");
    EXPECT_EQ(controller->_comments->text(), "Kick from the 909 – grün");
    EXPECT_FALSE(controller->_commentsDirty) << "showing a comment is not an edit";

    click(lib + "/Drums/snare.wav");
    EXPECT_EQ(controller->_comments->text(), "") << "a file without a comment shows an empty field";

    typeComment("Snäre, trocken");
    EXPECT_TRUE(controller->_commentsDirty);
    EXPECT_EQ(attribute(lib + "/Drums/snare.wav"), "") << "nothing reaches the disk while the file stays current";
    click(lib + "/Drums/Kick.aif");
    EXPECT_EQ(attribute(lib + "/Drums/snare.wav"), "Snäre, trocken");
    EXPECT_FALSE(controller->_commentsDirty);
    EXPECT_EQ(controller->_comments->text(), "Kick from the 909 – grün");
    EXPECT_TRUE(alerts().isEmpty());
}

TEST_F(BrowserLibraryTest, ShownCommentIsNeverWrittenBack) {
    ASSERT_EQ(SrkUtils::setComment(lib + "/Drums/Kick.aif", "old"), 0);
    click(lib + "/Drums/Kick.aif");
    ASSERT_EQ(controller->_comments->text(), "old");
    // Changed by another program while shown: selecting another file or quitting keeps it.
    ASSERT_EQ(SrkUtils::setComment(lib + "/Drums/Kick.aif", "changed elsewhere"), 0);
    click(lib + "/Drums/snare.wav");
    EXPECT_EQ(attribute(lib + "/Drums/Kick.aif"), "changed elsewhere");
    controller->cleanQuit();
    EXPECT_EQ(attribute(lib + "/Drums/snare.wav"), "");
}

TEST_F(BrowserLibraryTest, EditIsWrittenAtQuit) {
    click(lib + "/Drums/Kick.aif");
    typeComment("Écrit en quittant");
    controller->cleanQuit();
    EXPECT_EQ(attribute(lib + "/Drums/Kick.aif"), "Écrit en quittant");
}

TEST_F(BrowserLibraryTest, CommentThatCannotBeWrittenIsReportedOnce) {
    click(lib + "/Drums/Kick.aif");
    typeComment("lost?");
    ASSERT_TRUE(QFile::remove(lib + "/Drums/Kick.aif"));  // gone before the edit could be written
    click(lib + "/Drums/snare.wav");
    ASSERT_EQ(alerts().size(), 1);
    EXPECT_EQ(alerts()[0].kind, "critical");
    EXPECT_EQ(alerts()[0].message,
              "The comment of \"Kick.aif\" could not be saved.  The file may be locked, or its disk may not keep "
              "comments.");
    controller->cleanQuit();
    EXPECT_EQ(alerts().size(), 1) << "told once, not again at quit";
}

TEST_F(BrowserLibraryTest, WithoutASoundTheCommentFieldIsEmptyAndTakesNoEdits) {
    ASSERT_EQ(SrkUtils::setComment(lib + "/Drums/Kick.aif", "kick"), 0);
    click(lib + "/Drums/Kick.aif");
    click(lib + "/Drums/Kicks");
    EXPECT_FALSE(controller->_sound);
    EXPECT_EQ(controller->_comments->text(), "");
    EXPECT_FALSE(controller->_comments->isEnabled());
    EXPECT_EQ(attribute(lib + "/Drums/Kick.aif"), "kick");
}

// ---------------------------------------------------------------------------------------
// Favorites

TEST_F(BrowserLibraryTest, MakeAliasLinksTheFileOnceAndTheDrawerListsIt) {
    click(lib + "/Drums/Kick.aif");
    controller->referToFavorites();
    const QString favorites = app + "/Soundrake Favorites";
    const QFileInfo link(favorites + "/Kick.aif");
    ASSERT_TRUE(link.isSymLink());
    EXPECT_EQ(QFile::decodeName(QFile::encodeName(link.symLinkTarget())), QFileInfo(lib + "/Drums/Kick.aif").filePath());
    char target[4096] = {};
    ASSERT_GT(::readlink(QFile::encodeName(favorites + "/Kick.aif").constData(), target, sizeof target - 1), 0);
    EXPECT_EQ(QString::fromUtf8(target), "/" + lib + "/Drums/Kick.aif") << "the link holds the path unchanged";
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(controller->favoritesView()->_favorites, QStringList{"Kick.aif"});

    // A second time, or another file of that name: nothing, no message, no notification.
    controller->referToFavorites();
    click(lib + "/Other/Kick.aif");
    controller->referToFavorites();
    controller->copyToFavorites();
    EXPECT_EQ(posted, 1);
    EXPECT_TRUE(alerts().isEmpty());
    EXPECT_EQ(fileNames(favorites), QStringList{"Kick.aif"});
}

TEST_F(BrowserLibraryTest, CopyToFavoritesCopiesIntoTheChosenFolderItselfOnce) {
    ASSERT_TRUE(QDir().mkpath(lib + "/Favs"));
    Defaults::setString(lib + "/Favs", FavoritesDirectoryKey);
    Defaults::setBool(true, DoNotCreateFavoritesFolder);
    click(lib + "/Drums/snare.wav");
    controller->copyToFavorites();
    EXPECT_FALSE(QFileInfo(lib + "/Favs/snare.wav").isSymLink());
    EXPECT_EQ(contents(lib + "/Favs/snare.wav"), contents(lib + "/Drums/snare.wav"));
    EXPECT_EQ(posted, 1);
    ASSERT_TRUE(writeText(lib + "/Drums/snare.wav", "changed"));
    controller->copyToFavorites();
    EXPECT_NE(contents(lib + "/Favs/snare.wav"), "changed") << "the copy in the favorites is kept";
    EXPECT_EQ(posted, 1);
    EXPECT_EQ(fileNames(lib + "/Favs"), QStringList{"snare.wav"});
}

TEST_F(BrowserLibraryTest, FavoritesFailuresAreReportedAndChangeNothing) {
    // "Soundrake Favorites" is taken by a plain file: neither a link nor a copy can go in.
    ASSERT_TRUE(writeText(app + "/Soundrake Favorites"));
    click(lib + "/Drums/Kick.aif");
    controller->referToFavorites();
    controller->copyToFavorites();
    ASSERT_EQ(alerts().size(), 2);
    EXPECT_EQ(alerts()[0].message, "Make Alias in Favorites encountered an error.  Check the Favorites directory "
                                   "settings in the Preferences.");
    EXPECT_EQ(alerts()[1].message, "Copy to Favorites encountered an error.  Check the Favorites directory settings "
                                   "in the Preferences.");
    EXPECT_EQ(posted, 0);
    // Nothing while no sound is loaded.
    click(lib + "/Drums/Kicks");
    controller->referToFavorites();
    controller->copyToFavorites();
    controller->moveToTrash();
    EXPECT_EQ(alerts().size(), 2);
    EXPECT_TRUE(desktop.calls.isEmpty());
}

TEST_F(BrowserLibraryTest, DrawerOpensAtStartUpWhenItWasOpenAndRemembersClosing) {
    QDockWidget *drawer = controller->favoritesDrawer();
    ASSERT_TRUE(drawer);
    EXPECT_FALSE(drawer->isVisible());
    drawer->toggleViewAction()->trigger();
    EXPECT_TRUE(drawer->isVisible());
    EXPECT_TRUE(Defaults::boolForKey(DrawerKey));
    controller->cleanQuit();  // the window closes: the drawer's state stays
    controller.reset();
    EXPECT_TRUE(Defaults::boolForKey(DrawerKey));

    start();
    QCoreApplication::processEvents();
    EXPECT_TRUE(controller->favoritesDrawer()->isVisible());
    controller->favoritesDrawer()->toggleViewAction()->trigger();
    EXPECT_FALSE(Defaults::boolForKey(DrawerKey));
    controller.reset();
    start();
    QCoreApplication::processEvents();
    EXPECT_FALSE(controller->favoritesDrawer()->isVisible());
}

TEST_F(BrowserLibraryTest, DrawerChoosesItsFolderAndOpensADoubleClickedFavorite) {
    ASSERT_TRUE(QDir().mkpath(lib + "/Favs/Soundrake Favorites/Sub"));
    ASSERT_TRUE(writeTone(lib + "/Favs/Soundrake Favorites/Kick.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
    ASSERT_TRUE(writeText(lib + "/Favs/Soundrake Favorites/song.wav"));
    ASSERT_TRUE(writeText(lib + "/Favs/Soundrake Favorites/notes.txt"));
    SrkFavoritesView *view = controller->favoritesView();
    prompts.paths = {QString(), lib + "/Favs"};
    view->choose();  // cancelled
    EXPECT_TRUE(Defaults::stringForKey(FavoritesDirectoryKey).isNull());
    view->choose();
    EXPECT_EQ(Defaults::stringForKey(FavoritesDirectoryKey), lib + "/Favs");
    EXPECT_EQ(prompts.asked.last().title, "Choose Favorites Folder");
    EXPECT_EQ(view->_favorites, (QStringList{"Kick.aif", "song.wav"}));
    EXPECT_EQ(view->_filesTable->model()->rowCount(), 2);

    Defaults::setString("audacity", AudioEditorKey);
    view->_filesTable->setCurrentIndex(view->_filesTable->model()->index(0, 0));
    view->doubleClick();
    ASSERT_EQ(desktop.calls.size(), 1);
    EXPECT_EQ(desktop.calls[0], "open audacity|" + lib + "/Favs/Soundrake Favorites/Kick.aif");
}

// ---------------------------------------------------------------------------------------
// Trash

TEST_F(BrowserLibraryTest, TrashOnTheBrowserTabPlaysTheNextRowAndEndsWithNoSoundAfterTheLast) {
    controller->gotoDirectory(lib + "/T");
    click(lib + "/T/b.aif");
    FolderModel &folders = controller->folderModel();
    ASSERT_EQ(folders._browserCacheContents, (QStringList{"a.aif", "b.aif", "c.aif", "Sub"}));

    controller->moveToTrash();
    EXPECT_EQ(desktop.calls, QStringList{"trash " + lib + "/T/b.aif"}) << "a single-slash path";
    EXPECT_EQ(folders._browserCacheContents, (QStringList{"a.aif", "c.aif", "Sub"}));
    EXPECT_EQ(folders._browserCacheContentsAttrs, (QList<int>{0, 0, 1}));
    EXPECT_EQ(controller->fileWell->file(), "/" + lib + "/T/c.aif");
    EXPECT_EQ(controller->filename(), "/" + lib + "/T/c.aif") << "the row that moved up plays";
    EXPECT_EQ(controller->browserModel()->rowCount(controller->browser->selectedIndex().parent()), 3);
    EXPECT_EQ(posted, 1);

    // The last row: nothing of that column stays selected and no sound is loaded.
    controller->gotoDirectory(lib + "/T/Sub");
    click(lib + "/T/Sub/z.aif");
    controller->moveToTrash();
    EXPECT_EQ(desktop.calls.last(), "trash " + lib + "/T/Sub/z.aif");
    EXPECT_TRUE(folders._browserCacheContents.isEmpty());
    EXPECT_TRUE(folders._browserCacheContentsAttrs.isEmpty());
    EXPECT_FALSE(controller->_sound);
    EXPECT_EQ(controller->fileWell->file(), "/" + lib + "/T/Sub");
    EXPECT_TRUE(alerts().isEmpty());
}

TEST_F(BrowserLibraryTest, FailedTrashChangesNoListButStillNotifies) {
    desktop.trashSucceeds = false;
    click(lib + "/Drums/Kick.aif");
    const QStringList before = controller->folderModel()._browserCacheContents;
    controller->moveToTrash();
    ASSERT_EQ(alerts().size(), 1);
    EXPECT_EQ(alerts()[0].kind, "critical");
    EXPECT_EQ(alerts()[0].message, "Move to Trash failed.");
    EXPECT_EQ(controller->folderModel()._browserCacheContents, before);
    EXPECT_EQ(posted, 1);
}

TEST_F(BrowserLibraryTest, TrashOnTheSeekerTabRewritesTheSavedMemory) {
    const QStringList list = {lib + "/Drums/Kick.aif", lib + "/Drums/snare.wav"};
    SeekerMemory memory(app);
    ASSERT_TRUE(memory.write(list));
    controller->seeker().setSeekerMemoryState(true);
    controller->_tabView->setCurrentIndex(1);
    ASSERT_EQ(controller->currentTabShowing(), 1);
    ASSERT_EQ(controller->seeker()._seekerFilteredCacheContents, list);

    controller->_seeker->selectRow(0);
    controller->singleClick(controller->_seeker);
    ASSERT_EQ(controller->filename(), lib + "/Drums/Kick.aif");
    controller->moveToTrash();
    EXPECT_EQ(desktop.calls, QStringList{"trash " + lib + "/Drums/Kick.aif"});
    EXPECT_EQ(memory.read(), QStringList{lib + "/Drums/snare.wav"}) << "the memory loses the trashed path";
    EXPECT_EQ(controller->seeker()._seekerFilteredCacheContents, QStringList{lib + "/Drums/snare.wav"});
    EXPECT_EQ(controller->_seeker->currentIndex().row(), 0);
    EXPECT_EQ(controller->filename(), lib + "/Drums/snare.wav") << "the row now at the place plays";

    // The last row: no row is selected and no sound is left.
    controller->moveToTrash();
    EXPECT_EQ(memory.read(), QStringList{});
    EXPECT_TRUE(controller->seeker()._seekerFilteredCacheContents.isEmpty());
    EXPECT_FALSE(controller->_seeker->currentIndex().isValid());
    EXPECT_FALSE(controller->_sound);
    EXPECT_EQ(posted, 2);
}

// The real trash: the freedesktop.org folders under XDG_DATA_HOME (private to each test run).
TEST_F(BrowserLibraryTest, RealTrashKeepsTheFileRestorable) {
    QtDesktopServices real;
    DesktopServices::setShared(&real);
    // A data folder that does not exist yet (a fresh account): the trash is made inside it,
    // never below the current directory.
    const QByteArray savedDataHome = qgetenv("XDG_DATA_HOME");
    ASSERT_TRUE(QString::fromLocal8Bit(savedDataHome).startsWith(QDir::tempPath())) << "never the user's own trash";
    const QString dataHome = QString::fromLocal8Bit(savedDataHome) + "/fresh/share";
    qputenv("XDG_DATA_HOME", QFile::encodeName(dataHome));
    const QString trash = dataHome + "/Trash";
    const QByteArray data = contents(lib + "/Drums/snare.wav");
    click(lib + "/Drums/snare.wav");
    controller->moveToTrash();
    EXPECT_TRUE(alerts().isEmpty());
    EXPECT_FALSE(QFileInfo::exists(lib + "/Drums/snare.wav"));
    QStringList trashed = fileNames(trash + "/files");
    ASSERT_EQ(trashed.size(), 1);
    EXPECT_TRUE(trashed[0].startsWith("snare"));
    EXPECT_EQ(contents(trash + "/files/" + trashed[0]), data);
    const QByteArray info = contents(trash + "/info/" + trashed[0] + ".trashinfo");
    EXPECT_TRUE(info.startsWith("[Trash Info]\n")) << info.constData();
    EXPECT_TRUE(info.contains("Path=" + QUrl::toPercentEncoding(lib + "/Drums/snare.wav", "/")));
    EXPECT_TRUE(info.contains("DeletionDate="));
    EXPECT_FALSE(QFileInfo::exists(QDir::currentPath() + "/files/" + trashed[0]));
    qputenv("XDG_DATA_HOME", savedDataHome);
    DesktopServices::setShared(&desktop);
}

// ---------------------------------------------------------------------------------------
// Preferences

namespace {
PreferencesPanel *openPanel(BrowserDelegate &c) {
    c.preferencePanel();
    return PreferencesPanel::sharedInstance();
}
void settle() { QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); }
}  // namespace

TEST_F(BrowserLibraryTest, PreferencesOkStoresEverythingAndReloadsOnlyForTheListingRule) {
    PreferencesPanel *p = openPanel(*controller);
    ASSERT_TRUE(p && p->panel && p->panel->isVisible());
    EXPECT_EQ(p->favDir->text(), "");
    EXPECT_EQ(p->startupDirectory->text(), lib + "/Drums");
    for (QCheckBox *b : {p->onlyShowAudioFiles, p->roundOffBPM, p->postFixBPM, p->doNotCreateFavoritesFolder})
        EXPECT_FALSE(b->isChecked());

    ASSERT_TRUE(QDir().mkpath(lib + "/Favs/Soundrake Favorites"));
    ASSERT_TRUE(writeTone(lib + "/Favs/Soundrake Favorites/Kick.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
    prompts.paths = {lib + "/Favs", "/usr/bin/audacity"};
    p->setFavDirButton();
    p->setAudioEditorButton();
    EXPECT_EQ(p->favDir->text(), lib + "/Favs");
    p->roundOffBPM->setChecked(true);
    const QString cached = controller->folderModel()._browserCachePath;
    ASSERT_FALSE(cached.isNull());
    p->okButton();
    settle();
    EXPECT_FALSE(PreferencesPanel::sharedInstance()) << "closed: the instance is gone";
    EXPECT_EQ(Defaults::stringForKey(FavoritesDirectoryKey), lib + "/Favs");
    EXPECT_EQ(Defaults::stringForKey(AudioEditorKey), "/usr/bin/audacity");
    EXPECT_TRUE(Defaults::boolForKey(RoundOffBPMKey));
    EXPECT_EQ(controller->folderModel()._browserCachePath, cached) << "only Round Off BPM changed: no reload";
    EXPECT_EQ(controller->favoritesView()->_favorites, QStringList{"Kick.aif"});
    EXPECT_GE(posted, 2);

    // A file's path typed into the favorites field stores its folder; the listing rule reloads.
    p = openPanel(*controller);
    EXPECT_EQ(p->favDir->text(), lib + "/Favs") << "a new panel reads the stored values";
    EXPECT_TRUE(p->roundOffBPM->isChecked());
    p->favDir->setText("/" + lib + "/Drums/Kick.aif");
    p->onlyShowAudioFiles->setChecked(true);
    p->okButton();
    settle();
    EXPECT_EQ(Defaults::stringForKey(FavoritesDirectoryKey), lib + "/Drums");
    EXPECT_TRUE(controller->folderModel()._browserCachePath.isNull()) << "the Browser lists again";
    EXPECT_TRUE(controller->directoryContentsAtPath("/" + lib + "/Drums").contains("notes.txt"));
}

TEST_F(BrowserLibraryTest, PreferencesCancelAndCloseBoxStoreNothingAndReopenShowsStoredValues) {
    for (int way = 0; way < 2; ++way) {
        PreferencesPanel *p = openPanel(*controller);
        ASSERT_TRUE(p);
        p->favDir->setText("/somewhere");
        p->startupDirectory->setText("");
        p->audioEditor->setText("vim");
        for (QCheckBox *b : {p->onlyShowAudioFiles, p->roundOffBPM, p->postFixBPM, p->doNotCreateFavoritesFolder})
            b->setChecked(true);
        if (way == 0)
            p->cancelButton();
        else
            p->panel->close();  // the close box
        settle();
        EXPECT_FALSE(PreferencesPanel::sharedInstance());
        EXPECT_TRUE(Defaults::stringForKey(FavoritesDirectoryKey).isNull());
        EXPECT_EQ(Defaults::stringForKey(StartupDirectoryKey), lib + "/Drums");
        EXPECT_TRUE(Defaults::stringForKey(AudioEditorKey).isNull());
        for (const QString &key : {OnlyShowAudioFilesKey, RoundOffBPMKey, PostFixBPMKey, DoNotCreateFavoritesFolder})
            EXPECT_FALSE(Defaults::boolForKey(key));
        p = openPanel(*controller);
        EXPECT_EQ(p->favDir->text(), "");
        EXPECT_EQ(p->startupDirectory->text(), lib + "/Drums");
        EXPECT_FALSE(p->postFixBPM->isChecked());
        p->cancelButton();
        settle();
    }
    EXPECT_EQ(posted, 0);
}

TEST_F(BrowserLibraryTest, OpeningThePreferencesTwiceKeepsTheEditsAndTheFrame) {
    PreferencesPanel *p = openPanel(*controller);
    p->audioEditor->setText("typed");
    p->panel->move(40, 50);
    EXPECT_EQ(openPanel(*controller), p);
    EXPECT_EQ(p->audioEditor->text(), "typed");
    p->cancelButton();
    settle();
    EXPECT_FALSE(Defaults::bytesForKey(PreferenceWindowKey).isEmpty()) << "the frame is kept under its name";
}

// ---------------------------------------------------------------------------------------
// Soundbank

TEST_F(BrowserLibraryTest, SoundbankCopiesTheSeekerListFirstNameWins) {
    for (const char *folder : {"a", "b"})
        ASSERT_TRUE(QDir().mkpath(lib + "/" + folder));
    ASSERT_TRUE(writeText(lib + "/a/Kick.aif", "kick a"));
    ASSERT_TRUE(writeText(lib + "/b/Kick.aif", "kick b"));
    ASSERT_TRUE(writeText(lib + "/b/Snare.aif", "snare b"));
    controller->seeker()._seekerFilteredCacheContents = {lib + "/a/Kick.aif", lib + "/b/Kick.aif",
                                                         lib + "/b/Snare.aif"};

    // "No", then "Yes" with the save dialog cancelled: nothing is made.
    prompts.choices = {Prompter::Alternate, Prompter::Default};
    controller->createSoundbank();
    controller->createSoundbank();
    ASSERT_EQ(prompts.asked.size(), 3);
    EXPECT_EQ(prompts.asked[0].message, "Copy the 3 files currently listed in the Seeker to a new Soundbank?");
    EXPECT_EQ(prompts.asked[2].kind, "saveFile");
    EXPECT_EQ(prompts.asked[2].title, "Choose Location For New Soundbank");

    prompts.paths = {lib + "/Bank"};
    controller->createSoundbank();
    EXPECT_EQ(fileNames(lib + "/Bank"), (QStringList{"Kick.aif", "Snare.aif"}));
    EXPECT_EQ(contents(lib + "/Bank/Kick.aif"), "kick a");
    EXPECT_TRUE(alerts().size() == 3 && alerts().last().kind == "threeButton") << "no error";

    // The name is taken now: the folder cannot be made.
    prompts.paths = {lib + "/Bank"};
    controller->createSoundbank();
    EXPECT_EQ(alerts().last().message, "Create Soundbank encountered an error.  Soundbank not created.");

    // An empty list makes an empty folder.
    controller->seeker()._seekerFilteredCacheContents.clear();
    prompts.paths = {lib + "/Empty"};
    controller->createSoundbank();
    EXPECT_TRUE(prompts.asked[prompts.asked.size() - 2].message.startsWith("Copy the 0 files"));
    EXPECT_TRUE(QFileInfo(lib + "/Empty").isDir());
}

// ---------------------------------------------------------------------------------------
// Application actions and help

TEST_F(BrowserLibraryTest, ApplicationActionsForwardOnlyWithASound) {
    SrkApp *application = controller->application();
    ASSERT_TRUE(application);
    application->updateActions();
    for (QAction *a : application->actions())
        EXPECT_FALSE(a->isEnabled()) << a->property("srkAction").toString().toStdString();
    click(lib + "/Drums/Kick.aif");
    for (QAction *a : application->actions())
        EXPECT_TRUE(a->isEnabled()) << a->property("srkAction").toString().toStdString();

    application->stopPlayAction->trigger();
    EXPECT_FALSE(controller->_playButton->isChecked());
    application->playAction->trigger();
    EXPECT_TRUE(controller->_playButton->isChecked());
    application->aliasAction->trigger();
    EXPECT_TRUE(QFileInfo(app + "/Soundrake Favorites/Kick.aif").isSymLink());
    QFile::remove(app + "/Soundrake Favorites/Kick.aif");
    application->copyAction->trigger();
    EXPECT_FALSE(QFileInfo(app + "/Soundrake Favorites/Kick.aif").isSymLink());
    EXPECT_TRUE(QFileInfo(app + "/Soundrake Favorites/Kick.aif").isFile());
}

TEST_F(BrowserLibraryTest, ManualShipsBesideTheProgramAndOpens) {
    controller->showManual();
    EXPECT_EQ(desktop.calls, QStringList{"open |" + app + "/Soundrake Manual.html"});
    const QString shipped = qEnvironmentVariable("SRK_BINARY_DIR") + "/bin/Soundrake Manual.html";
    if (!qEnvironmentVariableIsEmpty("SRK_BINARY_DIR")) {
        const QByteArray manual = contents(shipped);
        EXPECT_TRUE(manual.contains("<title>Soundrake Manual</title>")) << shipped.toStdString();
        EXPECT_TRUE(manual.contains("Move to Trash"));
    }
    controller->showMusicPage();
    EXPECT_EQ(desktop.calls.last(), QStringLiteral("open xdg-open|") + VersionList::kMusicPage);
}

namespace {
// Answers every request with one canned HTTP response, on 127.0.0.1.
class OneAnswerServer : public QTcpServer {
public:
    QByteArray response;
    bool closeAfterAnswer = true;
    QStringList requests;
    OneAnswerServer() {
        connect(this, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = nextPendingConnection()) {
                connect(s, &QTcpSocket::readyRead, s, [this, s] {
                    buffer_ += s->readAll();
                    if (!buffer_.contains("\r\n\r\n"))
                        return;
                    requests << QString::fromLatin1(buffer_.left(buffer_.indexOf("\r\n")));
                    buffer_.clear();
                    s->write(response);
                    if (closeAfterAnswer)
                        s->disconnectFromHost();
                });
                connect(s, &QTcpSocket::disconnected, s, &QObject::deleteLater);
            }
        });
    }

private:
    QByteArray buffer_;
};

QByteArray http(const QByteArray &status, const QByteArray &body) {
    return "HTTP/1.1 " + status + "\r\nContent-Type: text/xml\r\nContent-Length: " + QByteArray::number(body.size()) +
           "\r\nConnection: close\r\n\r\n" + body;
}
QByteArray versionList(const QByteArray &entries) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\"><dict>" + entries + "</dict></plist>\n";
}
}  // namespace

TEST_F(BrowserLibraryTest, VersionCheckAgainstALocalServer) {
    OneAnswerServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    const QString address = QStringLiteral("http://127.0.0.1:%1/software/versionlist.xml").arg(server.serverPort());
    Defaults::setString(address, VersionListAddressKey);
    const QByteArray running = VersionList::applicationVersion().toUtf8();
    const QString fetchFailed = "Unable to check for a new version: the version list could not be fetched (";
    const struct {
        QByteArray response;
        Prompter::Choice answer;
        QString kind, message;  // a message ending in "(" is a prefix
        bool opensDownloadPage;
    } cases[] = {
        {http("200 OK", versionList("<key>Soundrake</key><string>" + running + "</string>")), Prompter::Default,
         "informational", "This is the most recent version.", false},
        {http("200 OK", versionList("<key>Mavlet</key><string>9</string><key>Soundrake</key><string>2.2</string>")),
         Prompter::Default, "threeButton",
         "A newer version (2.2) of Soundrake is available. Would you like to download the new version now?", true},
        {http("200 OK", versionList("<key>Soundrake</key><string>2.2</string>")), Prompter::Alternate, "threeButton",
         "A newer version (2.2) of Soundrake is available. Would you like to download the new version now?", false},
        {http("200 OK", versionList("<key>Mavlet</key><string>2.2</string>")), Prompter::Default, "informational",
         "Unable to check for a new version: the version list holds no entry for Soundrake.", false},
        {http("200 OK", "<html>maintenance</html>"), Prompter::Default, "informational",
         "Unable to check for a new version: the version list could not be read.", false},
        {http("404 Not Found", "gone"), Prompter::Default, "informational", fetchFailed, false},
        {"HTTP/1.1 200 OK\r\nContent-Length: 50000000\r\n\r\n" + QByteArray(400 * 1024, 'x'), Prompter::Default,
         "informational", fetchFailed + "the answer is too large).", false},
    };
    for (const auto &c : cases) {
        server.response = c.response;
        server.closeAfterAnswer = !c.message.endsWith("large).");  // a large answer keeps coming
        prompts.asked.clear();
        prompts.choices = {c.answer};
        desktop.calls.clear();
        controller->checkForNewVersion();
        ASSERT_EQ(prompts.asked.size(), 1) << c.message.toStdString();
        EXPECT_EQ(prompts.asked[0].kind, c.kind);
        EXPECT_EQ(prompts.asked[0].title, "Soundrake");
        if (c.message.endsWith("("))
            EXPECT_TRUE(prompts.asked[0].message.startsWith(c.message)) << prompts.asked[0].message.toStdString();
        else
            EXPECT_EQ(prompts.asked[0].message, c.message);
        EXPECT_EQ(desktop.calls, c.opensDownloadPage
                                     ? QStringList{QStringLiteral("open xdg-open|") + VersionList::kDownloadPage}
                                     : QStringList{});
    }
    EXPECT_EQ(server.requests.first(), "GET /software/versionlist.xml HTTP/1.1");

    // Nobody listening.
    const quint16 port = server.serverPort();
    server.close();
    Defaults::setString(QStringLiteral("http://127.0.0.1:%1/software/versionlist.xml").arg(port), VersionListAddressKey);
    prompts.asked.clear();
    controller->checkForNewVersion();
    ASSERT_EQ(prompts.asked.size(), 1);
    EXPECT_TRUE(prompts.asked[0].message.startsWith(fetchFailed));
}
