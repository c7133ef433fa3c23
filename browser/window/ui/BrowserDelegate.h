#pragma once
// BrowserDelegate: the one controller of Soundrake's main window. It owns the window's
// state and the current sound, lists folders in the column browser, keeps the current file
// (shown in the file well), plays it, and runs the start-up and quit sequences.
// Every member runs on the main thread unless its comment says otherwise.
#include "AudioKit.h"
#include "Autopilot.h"
#include "FolderModel.h"
#include "MenuValidation.h"
#include "SeekerController.h"
#include "SeekerVocabulary.h"
#include "SrkTableView.h"

#include <QMainWindow>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QStringList>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class BrowserModel;
class EndOfSoundSignal;
class FileWell;
class QAction;
class QCheckBox;
class ColumnBrowser;
class QComboBox;
class QDialog;
class QLabel;
class QLineEdit;
class QMenu;
class QProgressBar;
class QPushButton;
class QSlider;
class SpeedSlider;
class QTabWidget;
class SeekerTableModel;
class SuperProgressIndicator;
class QTimer;
class QToolButton;

class BrowserDelegate : public QObject, public AudioKitDelegate, public SrkTableViewDelegate {
    Q_OBJECT
public:
    explicit BrowserDelegate(QObject *parent = nullptr);
    ~BrowserDelegate() override;  // the teardown: releases what the controller owns

    // ---- Folder model and navigation ----
    void awakeFromNib();
    QString path(int column) const;
    const QStringList &directoryContentsAtPath(const QString &folder);
    void reloadBrowserView();
    void setFilename(const QString &file);
    QString filename() const;
    void singleClick(QObject *sender) override;
    void doubleClick(QObject *sender);
    void fileWellClick(QObject *sender);
    void fileWellDoubleClick(QObject *sender);
    void gotoDirectory(const QString &folder);
    void jump(QObject *sender = nullptr);
    void gotoVolumes(QObject *sender = nullptr);
    void gotoDesktop(QObject *sender = nullptr);
    void gotoRoot(QObject *sender = nullptr);
    void gotoFavorites(QObject *sender = nullptr);
    void gotoStartUpDir(QObject *sender = nullptr);
    void makeFavortiesDirectory(QObject *sender = nullptr);
    void makeStartupDirectory(QObject *sender = nullptr);
    void revealInFinder(QObject *sender = nullptr);
    void startNewSoundrake(QObject *sender = nullptr);
    void BPMTapPanel(QObject *sender = nullptr);
    void textDidChange();
    void enableButtons(bool enable);
    bool validateMenuItem(QAction *item) const;
    void saveDefaults();
    void cleanQuit(QObject *sender = nullptr);

    // Where removable volumes are mounted on this desktop: /media/$USER, /run/media/$USER, else /mnt.
    static QString volumesFolder();

    // ---- Transport ----
    void clickIt(QObject *sender, bool fromAutopilot);
    void play(bool start);
    void playButton(QObject *sender = nullptr);
    void stopButton(QObject *sender = nullptr);
    void loopPlay(QObject *sender = nullptr);
    void playAllButton(QObject *sender = nullptr);
    void stopPlayAll();
    // Called when the sound ends or is stopped; may run on the audio thread, so it only
    // signals the main thread, which then shows the stopped state.
    void soundDidFinishPlaying() override;
    void speedSlider(QObject *sender = nullptr);
    void setPlaybackSpeed(double speed);
    void resetSpeedSlider(QObject *sender = nullptr);
    void volumeSlider(QObject *sender = nullptr);
    void setVolumeControl(double volume);
    void beep();
    void spinup();
    void initVinyl();
    void startVinyl(bool);
    void stopVinyl();
    void discSpinAction();       // one animation step; the timer calls it every 0.03 s
    void _timerAutoAction(QObject *sender = nullptr);  // the play-all tick
    void pushFileOnAutopilotHistory(const QString &file);
    // A random row of the Seeker becomes the current file (the table then plays it).
    void randomSelectionJump(QObject *sender) override;

    // ---- Seeker ----
    // The tab view's change, through the Seeker's rules (busy scans, the root warning,
    // saved results); a refused change goes back to the tab that was showing.
    void tabViewDidChange(int index);
    void rescanThread(QObject *sender = nullptr);
    void seekerFilter(QObject *sender = nullptr);
    SeekerController &seeker() { return *seeker_; }
    Autopilot &autopilot() { return autopilot_; }
    int currentTabShowing() const { return seeker_->_currentTabShowing; }
    // Puts the cursor in the filter box, or as soon as a running scan enables it.
    void focusFilterField();

    // ---- Tempo and renaming ----
    // Reads the file's facts on a thread of its own and shows them on the main thread.
    void showStats(const QString &file);
    void numberOfBeats(QObject *sender = nullptr);
    void setBPMField(double tempo);
    void renameWithBPM(QObject *sender = nullptr);
    void rename(QObject *sender = nullptr);
    void renameOk(QObject *sender = nullptr);
    void renameCancel(QObject *sender = nullptr);
    // Moves the file and brings the lists up to date; false (and an alert) on failure.
    bool renameFile(const QString &oldPath, const QString &newPath);
    void writeNewSampleRate(QObject *sender = nullptr);

    // ---- Library management ----
    // Comments: the current sound's comment (user.xdg.comment) in `_comments`. An edit is
    // written back only when another file becomes current or at quit.
    void showComments(QObject *sender = nullptr);
    void saveComments(const QString &path);
    // Favorites and file operations on the current sound; nothing while no sound is loaded.
    void referToFavorites(QObject *sender = nullptr);
    void copyToFavorites(QObject *sender = nullptr);
    void moveToTrash(QObject *sender = nullptr);
    void moveFileToUserTrash(const QString &path);
    // Panels: the shared preferences panel, and the favorites drawer at the window's side.
    void preferencePanel(QObject *sender = nullptr);
    class SrkFavoritesView *favoritesView() const { return favoritesView_; }
    class QDockWidget *favoritesDrawer() const { return favoritesDrawer_; }
    // Soundbank and the help commands.
    void createSoundbank(QObject *sender = nullptr);
    void _setCreateSoundbankSavePanelSheetDidEnd(const QString &folder, int returnCode);
    void checkForNewVersion(QObject *sender = nullptr);
    void showManual(QObject *sender = nullptr);
    void showMusicPage(QObject *sender = nullptr);
    // The application-level actions (alias:, copy:, play:, stopPlay:).
    class SrkApp *application() const { return srkApp_; }
    // Adds the library's buttons, menu items, drawer and application actions to the window.
    void buildLibraryInterface();

private:
    class LibraryAppController;
    // Children of the controller (QObject ownership), so that no other file needs their types.
    LibraryAppController *libraryAppController_ = nullptr;
    class SrkApp *srkApp_ = nullptr;
    class SrkFavoritesView *favoritesView_ = nullptr;
    class QDockWidget *favoritesDrawer_ = nullptr;

public:
    // The main window (the "interface file" builds it).
    QMainWindow *window() const { return _window; }
    FolderModel &folderModel() { return folderModel_; }
    BrowserModel *browserModel() const { return browserModel_; }
    QAction *actionFor(const QString &selector) const;
    // The path the browser currently selects ("/a/b"; "/" when nothing).
    QString browserPath() const;
    // Selects a column-browser path ("/a/b") in the browser.
    bool setBrowserPath(const QString &browserPathValue);
    // Makes the browser process a click on its current selection.
    void doClickBrowser();
    int selectedColumn() const;
    QString resourcePath(const QString &name) const;
    // How the current file's sound is made: on the default output normally; a benchmark or
    // test can put the sound on an output of its own.
    using SoundFactory = std::function<std::unique_ptr<AudioKit>(const std::string &path)>;
    void setSoundFactory(SoundFactory factory) { soundFactory_ = std::move(factory); }

protected:
    // Closing the main window quits the way the Quit command does.
    bool eventFilter(QObject *watched, QEvent *event) override;

signals:
    void currentFileChanged(const QString &path);
    void statsShown();
    void playbackStateChanged(bool playing);

private:
    void buildInterface();
    // A menu command whose enabling validateMenuItem decides by its action name ("jump:").
    QAction *addMenuAction(QMenu *menu, const QString &title, const QString &selector, const QKeySequence &keys,
                           std::function<void()> run);
    void updateMenuEnabling();
    void showStoppedState();
    void renameInSeeker(const QString &oldPath, const QString &newPath);
    void buildSeeker();
    class SeekerBridge;
    friend class SeekerBridge;

public:
    // ---- Fields (outlets are owned by the window, not by the controller) ----
    ColumnBrowser *browser = nullptr;
    QMainWindow *_window = nullptr;
    QTabWidget *_tabView = nullptr;
    QTabWidget *_infoTabView = nullptr;
    SrkTableView *_seeker = nullptr;
    QDialog *_renamePanel = nullptr;
    QString rootPath = QStringLiteral("/");
    QLabel *_diskView = nullptr;
    QList<QPixmap> _discAnimationArray;
    FileWell *fileWell = nullptr;
    std::unique_ptr<AudioKit> _sound;
    SuperProgressIndicator *_scanbar = nullptr;
    QLabel *_scanbarText = nullptr;
    QLineEdit *_renameField = nullptr;
    QComboBox *_filterField = nullptr;
    QPushButton *_filterButton = nullptr;
    QPushButton *_scanSaveButton = nullptr;
    QLabel *_seekerInfoLine = nullptr;
    QComboBox *_numberOfBeats = nullptr;
    QLineEdit *_BPM = nullptr;
    std::unique_ptr<AudioKit> _beep;
    std::unique_ptr<AudioKit> _spinup;
    QPushButton *_playButton = nullptr;
    QPushButton *_stopButton = nullptr;
    QPushButton *_loopPlayButton = nullptr;
    QPushButton *_renameWithBPMButton = nullptr;
    QPushButton *_copyToFavoritesButton = nullptr;
    QPushButton *_referToFavoritesButton = nullptr;
    QPushButton *_moveToTrashButton = nullptr;
    QPushButton *_playAllButton = nullptr;
    QAction *_autoRandomMenu = nullptr;
    QAction *_autopilotPauseMenu = nullptr;
    QAction *_openInSeeker = nullptr;
    QCheckBox *_seekerUseDeepScan = nullptr;
    QAction *_seekerUseSavedResults = nullptr;
    QAction *_findInPaths = nullptr;
    QLabel *_sampleRate = nullptr;
    QLabel *_channels = nullptr;
    QLabel *_format = nullptr;
    QLabel *_time = nullptr;
    QLineEdit *_comments = nullptr;
    bool _commentsDirty = false;
    QSlider *_volumeSlider = nullptr;
    SpeedSlider *_speedSlider = nullptr;
    bool inPlayAllMode = false;
    bool loopPlayFlag = false;
    QTimer *_autoTimer = nullptr;
    double _playbackSpeed = 1.0;
    double _volume = 100.0;
    bool _discSpinning = false;
    qint32 _discSpinningFrame = 0;
    bool _endDiscSpinningThread = false;
    // The Seeker's lists, scan and options (`_seekerCacheContents`, `_seekerFilteredCacheContents`,
    // `_seekerCachePath`, the option values, the scan thread) live in `seeker_`; the autopilot's
    // history, position and options (`playAllCounter`, `_autoRandom`, `_autoPause`) in `autopilot_`.

private:
    FolderModel folderModel_;
    BrowserModel *browserModel_ = nullptr;
    QTimer *discTimer_ = nullptr;
    std::unique_ptr<EndOfSoundSignal> endOfSound_;
    QList<QAction *> actions_;
    QPushButton *resetSpeedButton_ = nullptr;
    bool quitting_ = false;
    SoundFactory soundFactory_ = &AudioKit::initWithContentsOfFile;
    std::unique_ptr<SeekerBridge> seekerBridge_;
    std::unique_ptr<SeekerController> seeker_;
    std::unique_ptr<SeekerVocabulary> _seekerVocabulary;
    SeekerTableModel *seekerTableModel_ = nullptr;
    Autopilot autopilot_;
    int shownTab_ = 0;          // the tab showing before a change, to go back to when refused
    bool revertingTab_ = false;
    bool focusFilterWhenEnabled_ = false;
};
