#include "SrkFavoritesView.h"

#include "AudioKit.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "LibraryFiles.h"
#include "NotificationCenter.h"
#include "Preferences.h"
#include "SrkUtils.h"

#include <QAbstractTableModel>
#include <QAction>
#include <QDockWidget>
#include <QFile>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace {
// The table's data source: the view's own row count and names.
class FavoritesModel : public QAbstractTableModel {
public:
    explicit FavoritesModel(SrkFavoritesView *view) : QAbstractTableModel(view), view_(view) {}
    int rowCount(const QModelIndex &parent = {}) const override {
        return parent.isValid() ? 0 : view_->numberOfRowsInTableView();
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 1; }
    QVariant data(const QModelIndex &index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid())
            return {};
        return view_->tableViewObjectValueForTableColumnRow(index.row());
    }
    QVariant headerData(int, Qt::Orientation orientation, int role) const override {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
            return SrkFavoritesView::tr("Favorites");
        return {};
    }
    void reset(const std::function<void()> &change) {
        beginResetModel();
        change();
        endResetModel();
    }

private:
    SrkFavoritesView *view_;
};

bool canPlay(const QString &path) { return AudioKit::canPlayFile(SrkUtils::nativePath(path), false); }
}  // namespace

SrkFavoritesView::SrkFavoritesView(QWidget *parent) : QWidget(parent) {
    setObjectName(QStringLiteral("favoritesView"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);
    _filesTable = new QTableView(this);
    _filesTable->setObjectName(QStringLiteral("favoritesTable"));
    model_ = new FavoritesModel(this);
    _filesTable->setModel(model_);
    _filesTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    _filesTable->setSelectionMode(QAbstractItemView::SingleSelection);
    _filesTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    _filesTable->verticalHeader()->hide();
    _filesTable->horizontalHeader()->setStretchLastSection(true);
    _filesTable->setShowGrid(false);
    layout->addWidget(_filesTable, 1);
    chooseButton = new QPushButton(tr("Choose Folder..."), this);
    chooseButton->setObjectName(QStringLiteral("chooseFavoritesButton"));
    layout->addWidget(chooseButton);
    connect(chooseButton, &QPushButton::clicked, this, &SrkFavoritesView::choose);
    connect(_filesTable, &QAbstractItemView::doubleClicked, this, &SrkFavoritesView::doubleClick);
}

SrkFavoritesView::~SrkFavoritesView() = default;

void SrkFavoritesView::awakeFromNib() {
    connect(&NotificationCenter::defaultCenter(), &NotificationCenter::posted, this,
            [this](const QString &name, QObject *) {
                if (name == kFavoritesDirectoryDidChange)
                    favoritesDirectoryDidChange();
            });
    if (_drawer) {
        // The action follows the user's opening and closing only; hiding the whole window at
        // quit leaves it as it is, so the state survives the launch.
        connect(_drawer->toggleViewAction(), &QAction::toggled, this, [this](bool open) {
            // A window that is going away takes its panels with it: that is no choice of the user.
            if (!_drawer->window()->isVisible())
                return;
            if (open)
                drawerDidOpen();
            else
                drawerDidClose();
        });
    }
    getFiles();
    if (_drawer && Defaults::boolForKey(DrawerKey))
        QTimer::singleShot(0, _drawer, [d = _drawer] { d->show(); });
}

void SrkFavoritesView::getFiles() {
    static_cast<FavoritesModel *>(model_)->reset(
        [this] { _favorites = LibraryFiles::favoritesInFolder(Preferences::favortiesDirectory(), canPlay); });
}

void SrkFavoritesView::favoritesDirectoryDidChange() {
    _favorites.clear();
    getFiles();
    update();
}

void SrkFavoritesView::drawerDidOpen() { Defaults::setBool(true, DrawerKey); }

void SrkFavoritesView::drawerDidClose() { Defaults::setBool(false, DrawerKey); }

void SrkFavoritesView::choose() {
    if (!chooser_)
        return;
    const QString chosen = chooser_(tr("Choose Favorites Folder"), Preferences::favortiesDirectory());
    if (chosen.isNull())
        return;
    Defaults::setString(chosen, FavoritesDirectoryKey);
    NotificationCenter::defaultCenter().post(kFavoritesDirectoryDidChange, this);
}

void SrkFavoritesView::doubleClick() {
    const QModelIndex current = _filesTable->currentIndex();
    if (!current.isValid() || current.row() >= _favorites.size())
        return;
    const QString path = Preferences::favortiesDirectory() + QLatin1Char('/') + _favorites.at(current.row());
    if (canPlay(path) && opener_)
        opener_(path, Defaults::stringForKey(AudioEditorKey));
}
