// Builds the main window: its controls, menus, key equivalents and the wiring of actions to
// the controller.
#include "BrowserDelegate.h"

#include "BrowserModel.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "FileWell.h"
#include "SeekerTableModel.h"
#include "SuperProgressIndicator.h"
#include "SpeedSlider.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include "ColumnBrowser.h"
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QFileInfo>
#include <QLabel>
#include <QLocale>
#include <QLineEdit>
#include <QMenuBar>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {
QPushButton *makeButton(const QString &title, QWidget *parent, bool checkable = false) {
    auto *b = new QPushButton(title, parent);
    b->setCheckable(checkable);
    b->setFocusPolicy(Qt::NoFocus);  // keys stay with the browser and the lists
    return b;
}
}  // namespace

QAction *BrowserDelegate::addMenuAction(QMenu *menu, const QString &title, const QString &selector,
                                        const QKeySequence &keys, std::function<void()> run) {
    QAction *a = menu->addAction(title);
    a->setProperty("srkAction", selector);  // validateMenuItem decides by this name
    if (!keys.isEmpty())
        a->setShortcut(keys);
    connect(a, &QAction::triggered, this, std::move(run));
    actions_.append(a);
    return a;
}

QAction *BrowserDelegate::actionFor(const QString &selector) const {
    for (QAction *a : actions_)
        if (a->property("srkAction").toString() == selector)
            return a;
    return nullptr;
}

void BrowserDelegate::buildInterface() {
    _window = new QMainWindow;
    _window->setWindowTitle(QStringLiteral("Soundrake"));
    _window->setObjectName(QStringLiteral("MainWindow"));
    _window->installEventFilter(this);
    auto *central = new QWidget(_window);
    auto *outer = new QVBoxLayout(central);

    // ---- Transport row: file well, buttons, speed, volume, disc ----
    auto *top = new QHBoxLayout;
    fileWell = new FileWell(central);
    fileWell->setObjectName(QStringLiteral("fileWell"));
    fileWell->setFixedSize(72, 72);
    fileWell->setAction([this](FileWell *w) { fileWellClick(w); });
    fileWell->setDoubleAction([this](FileWell *w) { fileWellDoubleClick(w); });
    top->addWidget(fileWell);

    auto *transport = new QGridLayout;
    _playButton = makeButton(tr("Play"), central, true);
    _playButton->setObjectName(QStringLiteral("playButton"));
    _stopButton = makeButton(tr("Stop"), central);
    _stopButton->setObjectName(QStringLiteral("stopButton"));
    _loopPlayButton = makeButton(tr("Loop"), central, true);
    _loopPlayButton->setObjectName(QStringLiteral("loopPlayButton"));
    _playAllButton = makeButton(tr("Play All"), central, true);
    _playAllButton->setObjectName(QStringLiteral("playAllButton"));
    _playButton->setShortcut(QKeySequence(Qt::Key_Space));
    transport->addWidget(_playButton, 0, 0);
    transport->addWidget(_stopButton, 0, 1);
    transport->addWidget(_loopPlayButton, 1, 0);
    transport->addWidget(_playAllButton, 1, 1);
    top->addLayout(transport);

    auto *sliders = new QFormLayout;
    _speedSlider = new SpeedSlider(central);
    _speedSlider->setObjectName(QStringLiteral("speedSlider"));
    _speedSlider->setTracking(false);  // restart once the slider is let go, not on every step
    _speedSlider->setFocusPolicy(Qt::NoFocus);
    auto *speedRow = new QHBoxLayout;
    speedRow->addWidget(_speedSlider);
    resetSpeedButton_ = makeButton(tr("1x"), central);
    resetSpeedButton_->setToolTip(tr("Back to normal speed"));
    speedRow->addWidget(resetSpeedButton_);
    sliders->addRow(tr("Speed"), speedRow);
    _volumeSlider = new QSlider(Qt::Horizontal, central);
    _volumeSlider->setObjectName(QStringLiteral("volumeSlider"));
    _volumeSlider->setRange(0, 100);
    _volumeSlider->setValue(100);
    _volumeSlider->setFocusPolicy(Qt::NoFocus);
    sliders->addRow(tr("Volume"), _volumeSlider);
    top->addLayout(sliders, 1);

    _diskView = new QLabel(central);
    _diskView->setObjectName(QStringLiteral("diskView"));
    _diskView->setFixedSize(72, 72);
    _diskView->setScaledContents(true);
    top->addWidget(_diskView);
    outer->addLayout(top);

    // ---- The two tabs: Browser and Seeker ----
    _tabView = new QTabWidget(central);
    _tabView->setObjectName(QStringLiteral("tabView"));
    _tabView->tabBar()->setFocusPolicy(Qt::NoFocus);  // arrow keys belong to the browser
    browser = new ColumnBrowser(browserModel_, _tabView);
    browser->setObjectName(QStringLiteral("browser"));
    _tabView->addTab(browser, tr("Browser"));

    auto *seekerPage = new QWidget(_tabView);
    auto *seekerLayout = new QVBoxLayout(seekerPage);
    auto *filterRow = new QHBoxLayout;
    _filterField = new QComboBox(seekerPage);
    _filterField->setEditable(true);
    _filterField->setObjectName(QStringLiteral("filterField"));
    _filterField->setInsertPolicy(QComboBox::NoInsert);
    _filterButton = new QPushButton(tr("Filter"), seekerPage);
    _seekerUseDeepScan = new QCheckBox(tr("Deep Scan"), seekerPage);
    _scanSaveButton = new QPushButton(tr("Save Scan"), seekerPage);
    filterRow->addWidget(_filterField, 1);
    filterRow->addWidget(_filterButton);
    filterRow->addWidget(_seekerUseDeepScan);
    filterRow->addWidget(_scanSaveButton);
    seekerLayout->addLayout(filterRow);
    _seeker = new SrkTableView(seekerPage);
    _seeker->setObjectName(QStringLiteral("seeker"));
    seekerTableModel_ = new SeekerTableModel(seeker_.get(), this);
    _seeker->setModel(seekerTableModel_);
    _seeker->setTableDelegate(this);
    _seeker->setDragEnabled(true);
    _seeker->setDragDropMode(QAbstractItemView::DragOnly);
    _seeker->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _seeker->setShowGrid(false);
    _seeker->setColumnWidth(0, 320);
    _seeker->setSelectionBehavior(QAbstractItemView::SelectRows);
    _seeker->setSelectionMode(QAbstractItemView::SingleSelection);
    _seeker->horizontalHeader()->setStretchLastSection(true);
    _seeker->verticalHeader()->hide();
    seekerLayout->addWidget(_seeker, 1);
    auto *scanRow = new QHBoxLayout;
    _scanbar = new SuperProgressIndicator(seekerPage);
    _scanbarText = new QLabel(seekerPage);
    scanRow->addWidget(_scanbar, 1);
    scanRow->addWidget(_scanbarText);
    seekerLayout->addLayout(scanRow);
    _seekerInfoLine = new QLabel(seekerPage);
    seekerLayout->addWidget(_seekerInfoLine);
    _tabView->addTab(seekerPage, tr("Seeker"));
    outer->addWidget(_tabView, 1);

    // ---- File information, tempo, comment and file operations ----
    _infoTabView = new QTabWidget(central);
    _infoTabView->setObjectName(QStringLiteral("infoTabView"));
    auto *info = new QWidget(_infoTabView);
    auto *infoLayout = new QGridLayout(info);
    _sampleRate = new QLabel(info);
    _sampleRate->setObjectName(QStringLiteral("sampleRate"));
    _channels = new QLabel(info);
    _channels->setObjectName(QStringLiteral("channels"));
    _time = new QLabel(info);
    _time->setObjectName(QStringLiteral("time"));
    _format = new QLabel(info);
    _format->setObjectName(QStringLiteral("format"));
    for (QLabel *l : {_sampleRate, _channels, _time, _format})
        l->setTextInteractionFlags(Qt::TextSelectableByMouse);
    infoLayout->addWidget(_sampleRate, 0, 0);
    infoLayout->addWidget(_channels, 0, 1);
    infoLayout->addWidget(_time, 1, 0);
    infoLayout->addWidget(_format, 1, 1);
    auto *tempoRow = new QHBoxLayout;
    tempoRow->addWidget(new QLabel(tr("Beats"), info));
    _numberOfBeats = new QComboBox(info);
    _numberOfBeats->setEditable(true);
    _numberOfBeats->setObjectName(QStringLiteral("numberOfBeats"));
    for (int beats : {1, 2, 4, 8, 12, 16, 24, 32, 48, 64})
        _numberOfBeats->addItem(QString::number(beats));
    _numberOfBeats->setCurrentText(QStringLiteral("8"));  // two bars of 4/4, the commonest loop length
    tempoRow->addWidget(_numberOfBeats);
    tempoRow->addWidget(new QLabel(tr("BPM"), info));
    _BPM = new QLineEdit(info);
    _BPM->setObjectName(QStringLiteral("BPM"));
    _BPM->setReadOnly(true);
    _BPM->setMaximumWidth(90);
    tempoRow->addWidget(_BPM);
    _renameWithBPMButton = makeButton(tr("Rename with BPM"), info);
    tempoRow->addWidget(_renameWithBPMButton);
    tempoRow->addStretch(1);
    infoLayout->addLayout(tempoRow, 2, 0, 1, 2);
    _comments = new QLineEdit(info);
    _comments->setObjectName(QStringLiteral("comments"));
    _comments->setPlaceholderText(tr("Comment"));
    infoLayout->addWidget(_comments, 3, 0, 1, 2);
    auto *fileOps = new QHBoxLayout;
    _copyToFavoritesButton = makeButton(tr("Copy to Favorites"), info);
    _referToFavoritesButton = makeButton(tr("Make Alias in Favorites"), info);
    _moveToTrashButton = makeButton(tr("Move to Trash"), info);
    fileOps->addWidget(_copyToFavoritesButton);
    fileOps->addWidget(_referToFavoritesButton);
    fileOps->addWidget(_moveToTrashButton);
    fileOps->addStretch(1);
    infoLayout->addLayout(fileOps, 4, 0, 1, 2);
    _infoTabView->addTab(info, tr("Info"));
    _infoTabView->addTab(new QWidget(_infoTabView), tr("Hide"));
    outer->addWidget(_infoTabView);
    _window->setCentralWidget(central);
    _window->resize(1000, 720);

    // ---- Rename panel ----
    _renamePanel = new QDialog(_window);
    _renamePanel->setWindowTitle(tr("Rename"));
    auto *renameLayout = new QVBoxLayout(_renamePanel);
    _renameField = new QLineEdit(_renamePanel);
    renameLayout->addWidget(_renameField);
    auto *renameButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, _renamePanel);
    renameLayout->addWidget(renameButtons);
    connect(renameButtons, &QDialogButtonBox::accepted, this, [this] { renameOk(); });
    connect(renameButtons, &QDialogButtonBox::rejected, this, [this] { renameCancel(); });

    // ---- Wiring ----
    connect(browser, &ColumnBrowser::clicked, this, [this] { singleClick(browser); });
    connect(browser, &ColumnBrowser::doubleClicked, this, [this] { doubleClick(browser); });
    connect(_seeker, &QAbstractItemView::clicked, this, [this] { singleClick(_seeker); });
    connect(_seeker, &QAbstractItemView::doubleClicked, this, [this] { doubleClick(_seeker); });
    connect(_playButton, &QPushButton::clicked, this, [this] { playButton(_playButton); });
    connect(_stopButton, &QPushButton::clicked, this, [this] { stopButton(_stopButton); });
    connect(_loopPlayButton, &QPushButton::clicked, this, [this] { loopPlay(_loopPlayButton); });
    connect(_playAllButton, &QPushButton::clicked, this, [this] { playAllButton(_playAllButton); });
    connect(_speedSlider, &QSlider::valueChanged, this, [this] { speedSlider(_speedSlider); });
    connect(resetSpeedButton_, &QPushButton::clicked, this, [this] { resetSpeedSlider(resetSpeedButton_); });
    connect(_volumeSlider, &QSlider::valueChanged, this, [this] { volumeSlider(_volumeSlider); });
    connect(_renameWithBPMButton, &QPushButton::clicked, this, [this] { renameWithBPM(); });
    connect(_numberOfBeats, &QComboBox::currentTextChanged, this, [this] { numberOfBeats(_numberOfBeats); });
    connect(_comments, &QLineEdit::textEdited, this, [this] { textDidChange(); });
    connect(_tabView, &QTabWidget::currentChanged, this, &BrowserDelegate::tabViewDidChange);
    connect(_filterButton, &QPushButton::clicked, this, [this] { seekerFilter(_filterButton); });
    connect(_filterField->lineEdit(), &QLineEdit::returnPressed, this, [this] { seekerFilter(_filterField); });
    connect(_filterField, &QComboBox::activated, this, [this] { seekerFilter(_filterField); });
    connect(_scanSaveButton, &QPushButton::clicked, this, [this] { seeker_->saveSeeker(); });

    // ---- Menus ----
    QMenuBar *bar = _window->menuBar();
    auto add = [this](QMenu *menu, const QString &title, const QString &selector, const QKeySequence &keys,
                      std::function<void()> run) { return addMenuAction(menu, title, selector, keys, std::move(run)); };
    auto check = [this](QMenu *menu, const QString &title, const QString &key, bool *field) {
        // A check-marked option: the new value is the opposite of the mark, shown at once and
        // written to the defaults at once.
        QAction *a = menu->addAction(title);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [a, key, field] {
            *field = !*field;
            a->setChecked(*field);
            Defaults::setBool(*field, key);
        });
        actions_.append(a);
        return a;
    };

    QMenu *app = bar->addMenu(tr("&Soundrake"));
    add(app, tr("New Soundrake Window"), QStringLiteral("startNewSoundrake:"), QKeySequence(tr("Ctrl+Shift+N")),
        [this] { startNewSoundrake(); });
    app->addSeparator();
    QAction *quit = add(app, tr("Quit Soundrake"), QStringLiteral("cleanQuit:"), QKeySequence::Quit,
                        [this] { cleanQuit(); });
    quit->setMenuRole(QAction::QuitRole);

    QMenu *file = bar->addMenu(tr("&File"));
    add(file, tr("Rename..."), QStringLiteral("rename:"), QKeySequence(tr("Ctrl+R")), [this] { rename(); });
    add(file, tr("Rename with BPM"), QStringLiteral("renameWithBPM:"), QKeySequence(tr("Ctrl+B")),
        [this] { renameWithBPM(); });
    add(file, tr("Write New Sample Rate..."), QStringLiteral("writeNewSampleRate:"), QKeySequence(tr("Ctrl+Shift+W")),
        [this] { writeNewSampleRate(); });
    file->addSeparator();
    add(file, tr("Open in Audio Editor"), QStringLiteral("doubleClick:"), QKeySequence(tr("Ctrl+O")),
        [this] { doubleClick(browser); });
    add(file, tr("Show in File Manager"), QStringLiteral("revealInFinder:"), QKeySequence(tr("Ctrl+Shift+R")),
        [this] { revealInFinder(); });
    file->addSeparator();
    add(file, tr("Make Start-up Folder"), QStringLiteral("makeStartupDirectory:"), QKeySequence(),
        [this] { makeStartupDirectory(); });
    add(file, tr("Make Favorites Folder"), QStringLiteral("makeFavortiesDirectory:"), QKeySequence(),
        [this] { makeFavortiesDirectory(); });

    QMenu *go = bar->addMenu(tr("&Go"));
    add(go, tr("Volumes"), QStringLiteral("gotoVolumes:"), QKeySequence(tr("Ctrl+Shift+V")), [this] { gotoVolumes(); });
    add(go, tr("Desktop"), QStringLiteral("gotoDesktop:"), QKeySequence(tr("Ctrl+Shift+D")), [this] { gotoDesktop(); });
    add(go, tr("Root"), QStringLiteral("gotoRoot:"), QKeySequence(tr("Ctrl+Shift+/")), [this] { gotoRoot(); });
    add(go, tr("Favorites"), QStringLiteral("gotoFavorites:"), QKeySequence(tr("Ctrl+Shift+F")),
        [this] { gotoFavorites(); });
    add(go, tr("Start-up Folder"), QStringLiteral("gotoStartUpDir:"), QKeySequence(tr("Ctrl+Shift+H")),
        [this] { gotoStartUpDir(); });
    add(go, tr("Folder of Current Sound"), QStringLiteral("jump:"), QKeySequence(tr("Ctrl+J")), [this] { jump(); });

    QMenu *controls = bar->addMenu(tr("&Controls"));
    add(controls, tr("Play"), QStringLiteral("playButton:"), QKeySequence(tr("Ctrl+P")), [this] { playButton(); });
    add(controls, tr("Stop"), QStringLiteral("stopButton:"), QKeySequence(tr("Ctrl+.")), [this] { stopButton(); });
    QAction *playAll = controls->addAction(tr("Play All"));
    playAll->setShortcut(QKeySequence(tr("Ctrl+Shift+A")));
    connect(playAll, &QAction::triggered, this, [this] {
        _playAllButton->setChecked(!_playAllButton->isChecked());
        playAllButton(_playAllButton);
    });
    add(controls, tr("Normal Speed"), QStringLiteral("resetSpeedSlider:"), QKeySequence(tr("Ctrl+0")),
        [this] { resetSpeedSlider(); });

    QMenu *seeker = bar->addMenu(tr("S&eeker"));
    add(seeker, tr("Rescan"), QStringLiteral("rescanThread:"), QKeySequence(tr("Ctrl+Shift+S")),
        [this] { rescanThread(); });
    QAction *find = seeker->addAction(tr("Find..."));
    find->setShortcut(QKeySequence::Find);
    connect(find, &QAction::triggered, this, [this] {
        // Shows the Seeker (through its rules) and puts the cursor in the filter box.
        _tabView->setCurrentIndex(_tabView->count() - 1);
        if (currentTabShowing() == 1)
            focusFilterField();
    });
    seeker->addSeparator();
    auto option = [this](QMenu *menu, const QString &title, std::function<void()> toggle) {
        // The Seeker's own toggles show the new mark and write the default themselves.
        QAction *a = menu->addAction(title);
        a->setCheckable(true);
        connect(a, &QAction::triggered, this, [a, toggle] {
            a->setChecked(!a->isChecked());  // the toggle decides the mark
            toggle();
        });
        actions_.append(a);
        return a;
    };
    _openInSeeker = option(seeker, tr("Open in Seeker"), [this] { seeker_->openInSeeker(); });
    _seekerUseSavedResults = option(seeker, tr("Use Saved Results"), [this] { seeker_->seekerUseSavedResults(); });
    _findInPaths = option(seeker, tr("Find in Paths"), [this] { seeker_->findInPaths(); });
    seeker->addSeparator();
    _autoRandomMenu = check(seeker, tr("Autopilot Random"), AutoRandomKey, &autopilot_._autoRandom);
    _autopilotPauseMenu = check(seeker, tr("Autopilot Pause"), AutoPauseKey, &autopilot_._autoPause);
    connect(_seekerUseDeepScan, &QCheckBox::clicked, this, [this] {
        _seekerUseDeepScan->setChecked(!_seekerUseDeepScan->isChecked());  // the toggle decides the mark
        seeker_->seekerUseDeepScan();
    });

    QMenu *window = bar->addMenu(tr("&Window"));
    add(window, tr("BPM Tap Pad"), QStringLiteral("BPMTapPanel:"), QKeySequence(tr("Ctrl+T")), [this] { BPMTapPanel(); });
    QAction *browserTab = window->addAction(tr("Browser"));
    browserTab->setShortcut(QKeySequence(tr("Ctrl+1")));
    connect(browserTab, &QAction::triggered, this, [this] { _tabView->setCurrentIndex(0); });
    QAction *seekerTab = window->addAction(tr("Seeker"));
    seekerTab->setShortcut(QKeySequence(tr("Ctrl+2")));
    connect(seekerTab, &QAction::triggered, this, [this] { _tabView->setCurrentIndex(_tabView->count() - 1); });
    QAction *showInfo = window->addAction(tr("Show Info"));
    showInfo->setShortcut(QKeySequence(tr("Ctrl+I")));
    connect(showInfo, &QAction::triggered, this, [this] {
        _infoTabView->setCurrentIndex(_infoTabView->currentIndex() == 0 ? _infoTabView->count() - 1 : 0);
    });

    for (QMenu *m : {app, file, go, controls, seeker, window})
        connect(m, &QMenu::aboutToShow, this, &BrowserDelegate::updateMenuEnabling);

    buildLibraryInterface();
}
