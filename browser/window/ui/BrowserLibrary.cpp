// Library management in the main window: the current file's comment, favorites (copy, link,
// the drawer), moving to the trash with the lists kept in step on both tabs, the preferences
// panel, soundbanks, the application-level actions and the help commands.
#include "BrowserDelegate.h"

#include "BrowserModel.h"
#include "ColumnBrowser.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "DesktopServices.h"
#include "FileWell.h"
#include "LibraryFiles.h"
#include "NotificationCenter.h"
#include "Preferences.h"
#include "PreferencesPanel.h"
#include "Prompter.h"
#include "SeekerTableModel.h"
#include "SrkApp.h"
#include "SrkFavoritesView.h"
#include "SrkTrace.h"
#include "SrkUtils.h"
#include "VersionList.h"

#include <QAction>
#include <QDir>
#include <QDockWidget>
#include <QEventLoop>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {
const QString kAliasFailed = QStringLiteral(
    "Make Alias in Favorites encountered an error.  Check the Favorites directory settings in the Preferences.");
const QString kCopyToFavoritesFailed = QStringLiteral(
    "Copy to Favorites encountered an error.  Check the Favorites directory settings in the Preferences.");
const QString kTrashFailed = QStringLiteral("Move to Trash failed.");
const QString kCommentSaveFailed = QStringLiteral(
    "The comment of \"%1\" could not be saved.  The file may be locked, or its disk may not keep comments.");
const QString kSoundbankCreateMessage =
    QStringLiteral("Copy the %1 files currently listed in the Seeker to a new Soundbank?");
const QString kCreateSoundbankFailed = QStringLiteral("Create Soundbank encountered an error.  Soundbank not created.");
const QString kUpToDate = QStringLiteral("This is the most recent version.");
const QString kNotUpToDate = QStringLiteral(
    "A newer version (%1) of Soundrake is available. Would you like to download the new version now?");
const QString kVersionListUnavailable =
    QStringLiteral("Unable to check for a new version: the version list could not be fetched (%1).");
const QString kVersionListUnreadable =
    QStringLiteral("Unable to check for a new version: the version list could not be read.");
const QString kVersionListNoEntry =
    QStringLiteral("Unable to check for a new version: the version list holds no entry for Soundrake.");
const QString kSaveSoundbankTitle = QStringLiteral("Choose Location For New Soundbank");
const QString kManualName = QStringLiteral("Soundrake Manual.html");
// Web addresses are opened by the desktop's URL handler.
const QString kUrlOpener = QStringLiteral("xdg-open");

// A path without its browser form and without a trailing slash, for comparing folders.
QString plainFolder(const QString &path) {
    QString p = SrkUtils::stripSlashIfNeeded(path);
    while (p.size() > 1 && p.endsWith(QLatin1Char('/')))
        p.chop(1);
    return p;
}
}  // namespace

// The controller as the application object sees it.
class BrowserDelegate::LibraryAppController : public QObject, public SrkAppController {
public:
    explicit LibraryAppController(BrowserDelegate *c) : QObject(c), c_(c) {}
    QString filename() const override { return c_->filename(); }
    void referToFavorites(QObject *sender) override { c_->referToFavorites(sender); }
    void copyToFavorites(QObject *sender) override { c_->copyToFavorites(sender); }
    void playButton(QObject *sender) override { c_->playButton(sender); }
    void stopButton(QObject *sender) override { c_->stopButton(sender); }

private:
    BrowserDelegate *c_;
};

// ---------------------------------------------------------------------------------------
// Comments

void BrowserDelegate::showComments(QObject *) {
    // Setting the field from here is not an edit: the dirty flag stays as it is.
    QString comment;
    if (SrkUtils::getComment(filename(), &comment) != 0)
        comment.clear();
    _comments->setText(comment);
}

void BrowserDelegate::saveComments(const QString &path) {
    if (!_commentsDirty || path.isEmpty())
        return;
    // The field shows the comment of the loaded sound's file, whatever `path` says.
    const QString file = filename();
    if (!file.isEmpty()) {
        if (SrkUtils::setComment(file, _comments->text()) == 0) {
            srkTrace(QStringLiteral("comment saved %1").arg(file));
        } else {
            // The edit cannot reach the file: say so once rather than lose it without a word.
            srkTrace(QStringLiteral("comment not saved %1").arg(file));
            Prompter::shared().critical(kAppName, kCommentSaveFailed.arg(QFileInfo(file).fileName()));
        }
    }
    _commentsDirty = false;
}

// ---------------------------------------------------------------------------------------
// Favorites

namespace {
enum class FavoriteKind { Alias, Copy };
}

static void putIntoFavorites(BrowserDelegate *c, FolderModel &folders, FavoriteKind kind) {
    const QString source = c->filename();
    if (source.isEmpty())
        return;
    const QString favorites = Preferences::favortiesDirectory();
    const QString destination = favorites + QLatin1Char('/') + QFileInfo(source).fileName();
    if (!QFileInfo(favorites).exists())
        QDir().mkdir(favorites);  // a failure shows in the link or copy below
    if (LibraryFiles::existsFollowingLinks(destination))
        return;  // the favorites already hold a file of that name
    bool ok;
    if (kind == FavoriteKind::Alias) {
        // The link holds the path exactly as the program knows it.
        ok = ::symlink(QFile::encodeName(source).constData(), QFile::encodeName(destination).constData()) == 0;
    } else {
        ok = LibraryFiles::copyFile(source, destination);
    }
    if (!ok) {
        Prompter::shared().critical(kAppName, kind == FavoriteKind::Alias ? kAliasFailed : kCopyToFavoritesFailed);
        return;
    }
    // The Browser's cached listing keeps browser-form paths ("//x/y"): compare the folders
    // themselves, so that a Browser showing the favorites reads them again.
    if (!folders._browserCachePath.isNull() && plainFolder(folders._browserCachePath) == plainFolder(favorites))
        folders.invalidate();
    if (kind == FavoriteKind::Alias) {
        c->beep();
        NotificationCenter::defaultCenter().post(kFavoritesDirectoryDidChange, c);
    } else {
        NotificationCenter::defaultCenter().post(kFavoritesDirectoryDidChange, c);
        c->beep();
    }
}

void BrowserDelegate::referToFavorites(QObject *) { putIntoFavorites(this, folderModel_, FavoriteKind::Alias); }

void BrowserDelegate::copyToFavorites(QObject *) { putIntoFavorites(this, folderModel_, FavoriteKind::Copy); }

// ---------------------------------------------------------------------------------------
// Trash

void BrowserDelegate::moveToTrash(QObject *) {
    if (!_sound)
        return;
    play(false);
    // An edited comment goes with the file into the trash instead of failing afterwards.
    saveComments(filename());
    moveFileToUserTrash(filename());
}

void BrowserDelegate::moveFileToUserTrash(const QString &path) {
    if (!_sound || path.isEmpty())
        return;
    const QString file = SrkUtils::stripSlashIfNeeded(path);
    srkTrace(QStringLiteral("trash %1").arg(file));
    if (!DesktopServices::shared().moveToTrash(file)) {
        Prompter::shared().critical(kAppName, kTrashFailed);
    } else if (currentTabShowing() == 0) {
        // The selected cell is the trashed file unless the selection moved away from it.
        const QModelIndex selected = browser->selectedIndex();
        const bool selectedIsFile = selected.isValid() && browserModel_->browserPathOf(selected) == file;
        const QString name = QFileInfo(file).fileName();
        const QString folder = plainFolder(QFileInfo(file).path());
        // The listing cache loses the entry when it holds the file's folder; it may hold another
        // folder listed since, which must stay as it is.
        if (!folderModel_._browserCachePath.isNull() && plainFolder(folderModel_._browserCachePath) == folder) {
            qsizetype row = selectedIsFile ? selected.row() : -1;
            if (row < 0 || folderModel_._browserCacheContents.value(row) != name)
                row = folderModel_._browserCacheContents.indexOf(name);
            LibraryFiles::removeListingEntry(folderModel_._browserCacheContents, folderModel_._browserCacheContentsAttrs,
                                             row);
        }
        if (selectedIsFile) {
            const int row = selected.row();
            const QModelIndex parent = selected.parent();
            const QString parentPath = parent.isValid() ? browserModel_->browserPathOf(parent) : QStringLiteral("/");
            browserModel_->removeRow(selected);
            // The entry that moved up takes the row; after the last row nothing of that column
            // is selected and its folder becomes the current file.
            const QModelIndex next = browserModel_->index(row, 0, parent);
            setBrowserPath(next.isValid() ? browserModel_->browserPathOf(next) : parentPath);
        }
        singleClick(browser);
    } else {
        const QModelIndex current = _seeker->currentIndex();
        const int row = current.isValid() ? current.row() : -1;
        // Drops the path from the scan list, rewrites the saved memory in saved-results mode
        // and filters again.
        seeker().seekerFileTrashed(path);
        _seeker->clearSelection();
        seekerTableModel_->reloadData();
        if (row >= 0 && row < seekerTableModel_->rowCount()) {
            _seeker->selectRow(row);
            _seeker->scrollTo(seekerTableModel_->index(row, 0));
        } else {
            // No row took its place: the trashed file stops being the current file, so that the
            // click below leaves no sound loaded.
            _seeker->setCurrentIndex(QModelIndex());
            fileWell->setFile(QString());
        }
        singleClick(_seeker);
    }
    // The trashed file may have been a favorite; a failure may have changed things as well.
    NotificationCenter::defaultCenter().post(kFavoritesDirectoryDidChange, this);
}

// ---------------------------------------------------------------------------------------
// Panels

void BrowserDelegate::preferencePanel(QObject *) {
    QPointer<BrowserDelegate> self(this);
    PreferencesPanel::sharedPreferences()->show([self] {
        if (self)
            self->reloadBrowserView();
    });
}

// ---------------------------------------------------------------------------------------
// Soundbank

void BrowserDelegate::createSoundbank(QObject *) {
    const qsizetype count = seeker()._seekerFilteredCacheContents.size();
    if (Prompter::shared().threeButton(kAppName, kSoundbankCreateMessage.arg(count), QStringLiteral("Yes"),
                                       QStringLiteral("No"), QString()) != Prompter::Default)
        return;
    const QString folder = Prompter::shared().saveFile(kSaveSoundbankTitle, QDir::homePath(), QString());
    _setCreateSoundbankSavePanelSheetDidEnd(folder, folder.isEmpty() ? 0 : 1);
}

void BrowserDelegate::_setCreateSoundbankSavePanelSheetDidEnd(const QString &folder, int returnCode) {
    if (returnCode != 1)
        return;
    if (!LibraryFiles::createSoundbank(folder, seeker()._seekerFilteredCacheContents)) {
        Prompter::shared().critical(kAppName, kCreateSoundbankFailed);
        return;
    }
    beep();
}

// ---------------------------------------------------------------------------------------
// Help

void BrowserDelegate::checkForNewVersion(QObject *) {
    QString address = Defaults::stringForKey(VersionListAddressKey);
    if (address.isEmpty())
        address = QString::fromLatin1(VersionList::kDefaultAddress);
    QNetworkAccessManager network;
    QNetworkRequest request{QUrl(address)};
    request.setTransferTimeout(15000);
    request.setAttribute(QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::NoLessSafeRedirectPolicy);
    QNetworkReply *reply = network.get(request);
    // The list is small: anything far larger is refused before it is read into memory.
    bool tooLarge = false;
    auto refuseLarge = [reply, &tooLarge](qint64 size) {
        if (size > VersionList::kMaxListSize && !tooLarge) {
            tooLarge = true;
            reply->abort();
        }
    };
    connect(reply, &QNetworkReply::metaDataChanged, reply, [reply, refuseLarge] {
        refuseLarge(reply->header(QNetworkRequest::ContentLengthHeader).toLongLong());
    });
    connect(reply, &QNetworkReply::downloadProgress, reply, [refuseLarge](qint64 received, qint64 total) {
        refuseLarge(std::max(received, total));
    });
    // The check waits for its answer; the window takes no input meanwhile.
    QEventLoop wait;
    connect(reply, &QNetworkReply::finished, &wait, &QEventLoop::quit);
    if (!reply->isFinished())
        wait.exec(QEventLoop::ExcludeUserInputEvents);
    const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    QString problem;
    if (tooLarge)
        problem = QStringLiteral("the answer is too large");
    else if (reply->error() != QNetworkReply::NoError)
        problem = reply->errorString();
    else if (status != 200 && status != 0)
        problem = QStringLiteral("HTTP status %1").arg(status);
    const QByteArray data = problem.isEmpty() ? reply->read(VersionList::kMaxListSize + 1) : QByteArray();
    reply->deleteLater();
    if (!problem.isEmpty()) {
        Prompter::shared().informational(kAppName, kVersionListUnavailable.arg(problem));
        return;
    }
    const VersionList::Result result = VersionList::compare(data, kAppName, VersionList::applicationVersion());
    switch (result.outcome) {
    case VersionList::Outcome::UpToDate:
        Prompter::shared().informational(kAppName, kUpToDate);
        break;
    case VersionList::Outcome::Newer:
        if (Prompter::shared().threeButton(kAppName, kNotUpToDate.arg(result.listed), QStringLiteral("OK"),
                                           QStringLiteral("Cancel"), QString()) == Prompter::Default)
            DesktopServices::shared().openFile(QString::fromLatin1(VersionList::kDownloadPage), kUrlOpener);
        break;
    case VersionList::Outcome::NoEntry:
        Prompter::shared().informational(kAppName, kVersionListNoEntry);
        break;
    case VersionList::Outcome::Unreadable:
        Prompter::shared().informational(kAppName, kVersionListUnreadable);
        break;
    }
}

void BrowserDelegate::showManual(QObject *) {
    // The manual ships beside the program; a missing one fails quietly.
    DesktopServices::shared().openFile(Preferences::applicationFolder() + QLatin1Char('/') + kManualName, QString());
}

void BrowserDelegate::showMusicPage(QObject *) {
    DesktopServices::shared().openFile(QString::fromLatin1(VersionList::kMusicPage), kUrlOpener);
}

// ---------------------------------------------------------------------------------------
// Interface

void BrowserDelegate::buildLibraryInterface() {
    // ---- Buttons ----
    connect(_copyToFavoritesButton, &QPushButton::clicked, this, [this] { copyToFavorites(_copyToFavoritesButton); });
    connect(_referToFavoritesButton, &QPushButton::clicked, this,
            [this] { referToFavorites(_referToFavoritesButton); });
    connect(_moveToTrashButton, &QPushButton::clicked, this, [this] { moveToTrash(_moveToTrashButton); });

    // ---- Dialogs of the panels go through the prompter ----
    PreferencesPanel::setChooser([](const QString &title, bool folders) {
        return folders ? Prompter::shared().chooseFolder(title, QString())
                       : Prompter::shared().chooseFile(title, QString());
    });

    // ---- The favorites drawer: a side panel of the main window ----
    favoritesDrawer_ = new QDockWidget(tr("Favorites"), _window);
    favoritesDrawer_->setObjectName(QStringLiteral("favoritesDrawer"));
    favoritesDrawer_->setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    favoritesView_ = new SrkFavoritesView(favoritesDrawer_);
    favoritesView_->_drawer = favoritesDrawer_;
    favoritesView_->setOpener(
        [](const QString &path, const QString &app) { return DesktopServices::shared().openFile(path, app); });
    favoritesView_->setFolderChooser(
        [](const QString &title, const QString &start) { return Prompter::shared().chooseFolder(title, start); });
    favoritesDrawer_->setWidget(favoritesView_);
    _window->addDockWidget(Qt::RightDockWidgetArea, favoritesDrawer_);
    favoritesDrawer_->hide();      // before the view follows the drawer, so "Drawer" is not written
    favoritesView_->awakeFromNib();

    // ---- The application-level actions ----
    libraryAppController_ = new LibraryAppController(this);
    srkApp_ = new SrkApp(libraryAppController_, this);
    for (QAction *a : srkApp_->actions()) {
        a->setShortcutContext(Qt::ApplicationShortcut);
        _window->addAction(a);
    }
    connect(this, &BrowserDelegate::playbackStateChanged, srkApp_, &SrkApp::updateActions);
    connect(this, &BrowserDelegate::currentFileChanged, srkApp_, &SrkApp::updateActions);
    srkApp_->updateActions();

    // ---- Menu items ----
    QMenuBar *bar = _window->menuBar();
    auto menuTitled = [bar](const QString &title) -> QMenu * {
        for (QAction *a : bar->actions())
            if (a->menu() && a->text() == title)
                return a->menu();
        return nullptr;
    };
    auto add = [this](QMenu *menu, const QString &title, const QString &selector, const QKeySequence &keys,
                      std::function<void()> run) { return addMenuAction(menu, title, selector, keys, std::move(run)); };
    QMenu *app = menuTitled(tr("&Soundrake"));
    QMenu *file = menuTitled(tr("&File"));
    QMenu *window = menuTitled(tr("&Window"));
    if (app) {
        QAction *prefs = add(app, tr("Preferences..."), QStringLiteral("preferencePanel:"), QKeySequence(tr("Ctrl+,")),
                             [this] { preferencePanel(this); });
        prefs->setMenuRole(QAction::PreferencesRole);
        // Before the separator that precedes Quit.
        const QList<QAction *> items = app->actions();
        if (items.size() >= 2) {
            app->removeAction(prefs);
            app->insertAction(items.at(items.size() - 2), prefs);
        }
    }
    if (file) {
        file->addSeparator();
        add(file, tr("Copy to Favorites"), QStringLiteral("copyToFavorites:"), QKeySequence(tr("Ctrl+Shift+C")),
            [this] { copyToFavorites(); });
        file->addAction(srkApp_->aliasAction);
        add(file, tr("Move to Trash"), QStringLiteral("moveToTrash:"), QKeySequence(tr("Ctrl+Backspace")),
            [this] { moveToTrash(); });
        file->addSeparator();
        add(file, tr("Create Soundbank..."), QStringLiteral("createSoundbank:"), QKeySequence(tr("Ctrl+Shift+S")),
            [this] { createSoundbank(); });
        connect(file, &QMenu::aboutToShow, srkApp_, &SrkApp::updateActions);
    }
    // The standard Copy command: a text field with the focus takes Ctrl+C before it gets here.
    auto *edit = new QMenu(tr("&Edit"), bar);
    edit->addAction(srkApp_->copyAction);
    // The comment from the keyboard: a key puts the cursor into the field, Return gives the
    // keys back to the browser (the edit is written once another file becomes current).
    QAction *editComment = edit->addAction(tr("Edit Comment"));
    editComment->setShortcut(QKeySequence(tr("Ctrl+E")));
    connect(editComment, &QAction::triggered, this, [this] {
        if (!_comments->isEnabled())
            return;
        _comments->setFocus(Qt::ShortcutFocusReason);
        _comments->selectAll();
    });
    connect(_comments, &QLineEdit::returnPressed, this, [this] {
        if (currentTabShowing() == 0)
            browser->focusSelection();
        else
            _seeker->setFocus(Qt::OtherFocusReason);
    });
    connect(edit, &QMenu::aboutToShow, srkApp_, &SrkApp::updateActions);
    if (file && bar->actions().indexOf(file->menuAction()) + 1 < bar->actions().size())
        bar->insertMenu(bar->actions().at(bar->actions().indexOf(file->menuAction()) + 1), edit);
    else
        bar->addMenu(edit);
    if (window) {
        QAction *drawer = favoritesDrawer_->toggleViewAction();
        drawer->setText(tr("Favorites Drawer"));
        drawer->setShortcut(QKeySequence(tr("Ctrl+Shift+B")));
        window->addAction(drawer);
    }
    QMenu *help = bar->addMenu(tr("&Help"));
    add(help, tr("Soundrake Manual"), QStringLiteral("showManual:"), QKeySequence(QKeySequence::HelpContents),
        [this] { showManual(this); });
    add(help, tr("Check for New Version..."), QStringLiteral("checkForNewVersion:"), QKeySequence(),
        [this] { checkForNewVersion(this); });
    add(help, tr("Soundrake Music"), QStringLiteral("showMusicPage:"), QKeySequence(), [this] { showMusicPage(this); });
    connect(help, &QMenu::aboutToShow, this, &BrowserDelegate::updateMenuEnabling);
    if (edit)
        connect(edit, &QMenu::aboutToShow, this, &BrowserDelegate::updateMenuEnabling);
}
