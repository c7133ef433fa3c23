#pragma once
// SrkFavoritesView: the favorites panel at the side of the main window. It lists the audio
// files of the favorites folder, re-reads them on every "FavoritesDirectoryChanged", opens a
// double-clicked favorite in the audio editor and lets the user choose the favorites folder.
// The panel's open state is kept in the "Drawer" default. Main thread only.
#include <QStringList>
#include <QWidget>

#include <functional>

class QAbstractTableModel;
class QDockWidget;
class QPushButton;
class QTableView;

class SrkFavoritesView : public QWidget {
    Q_OBJECT
public:
    // Opens `path` with `application` (the default handler when empty); the program hands in
    // its desktop services.
    using Opener = std::function<bool(const QString &path, const QString &application)>;
    // Lets the user choose a folder (title, start folder); null when cancelled.
    using FolderChooser = std::function<QString(const QString &title, const QString &startFolder)>;

    explicit SrkFavoritesView(QWidget *parent = nullptr);
    ~SrkFavoritesView() override;

    void setOpener(Opener opener) { opener_ = std::move(opener); }
    void setFolderChooser(FolderChooser chooser) { chooser_ = std::move(chooser); }

    // Observes the notification, reads the favorites and, when "Drawer" is set, opens the
    // drawer on the next pass of the event loop (once the window is on screen).
    void awakeFromNib();
    void getFiles();
    void favoritesDirectoryDidChange();
    int numberOfRowsInTableView() const { return int(_favorites.size()); }
    QString tableViewObjectValueForTableColumnRow(int row) const { return _favorites.value(row); }
    void drawerDidOpen();
    void drawerDidClose();
    void choose();
    void doubleClick();

    // ---- Fields ----
    QDockWidget *_drawer = nullptr;   // the side panel that holds this view (not owned)
    QTableView *_filesTable = nullptr;
    QStringList _favorites;
    QPushButton *chooseButton = nullptr;

private:
    QAbstractTableModel *model_ = nullptr;
    Opener opener_;
    FolderChooser chooser_;
};
