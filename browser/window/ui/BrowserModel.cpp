#include "BrowserModel.h"

#include "FolderModel.h"

#include <QMimeData>
#include <QUrl>

struct BrowserModel::Node {
    QString name;
    bool isFolder = false;
    bool loaded = false;
    Node *parent = nullptr;
    int row = 0;
    std::vector<std::unique_ptr<Node>> children;
};

BrowserModel::BrowserModel(Lister lister, QObject *parent)
    : QAbstractItemModel(parent), lister_(std::move(lister)) {
    reload();
}

BrowserModel::~BrowserModel() = default;

void BrowserModel::reload() {
    beginResetModel();
    root_ = std::make_unique<Node>();
    root_->isFolder = true;
    endResetModel();
}

BrowserModel::Node *BrowserModel::nodeOf(const QModelIndex &index) const {
    return index.isValid() ? static_cast<Node *>(index.internalPointer()) : root_.get();
}

QString BrowserModel::listingPathOf(const Node *node) const {
    // The root lists "/"; a folder below it lists the path of the column it opens ("//Users/x").
    QStringList names;
    for (const Node *n = node; n && n != root_.get(); n = n->parent)
        names.prepend(n->name);
    return FolderModel::pathForColumn(int(names.size()), names);
}

void BrowserModel::load(Node *node) const {
    if (node->loaded || !node->isFolder)
        return;
    node->loaded = true;
    const std::vector<Entry> entries = lister_(listingPathOf(node));
    node->children.reserve(entries.size());
    int row = 0;
    for (const Entry &e : entries) {
        auto child = std::make_unique<Node>();
        child->name = e.name;
        child->isFolder = e.isFolder;
        child->parent = node;
        child->row = row++;
        node->children.push_back(std::move(child));
    }
}

QString BrowserModel::browserPathOf(const QModelIndex &index) const {
    return QLatin1Char('/') + namesTo(index).join(QLatin1Char('/'));
}

QStringList BrowserModel::namesTo(const QModelIndex &index) const {
    QStringList names;
    for (const Node *n = nodeOf(index); n && n != root_.get(); n = n->parent)
        names.prepend(n->name);
    return names;
}

void BrowserModel::renameRow(const QModelIndex &index, const QString &newName) {
    Node *n = nodeOf(index);
    if (!index.isValid() || !n)
        return;
    n->name = newName;
    emit dataChanged(index, index);
}

void BrowserModel::removeRow(const QModelIndex &index) {
    if (!index.isValid())
        return;
    Node *n = nodeOf(index);
    Node *p = n->parent;
    const int row = n->row;
    beginRemoveRows(parent(index), row, row);
    p->children.erase(p->children.begin() + row);
    for (size_t i = size_t(row); i < p->children.size(); ++i)
        p->children[i]->row = int(i);
    endRemoveRows();
}

QModelIndex BrowserModel::index(int row, int column, const QModelIndex &parentIndex) const {
    Node *p = nodeOf(parentIndex);
    load(p);
    if (column != 0 || row < 0 || size_t(row) >= p->children.size())
        return QModelIndex();
    return createIndex(row, 0, p->children[size_t(row)].get());
}

QModelIndex BrowserModel::parent(const QModelIndex &child) const {
    if (!child.isValid())
        return QModelIndex();
    Node *p = nodeOf(child)->parent;
    if (!p || p == root_.get())
        return QModelIndex();
    return createIndex(p->row, 0, p);
}

int BrowserModel::rowCount(const QModelIndex &parentIndex) const {
    Node *p = nodeOf(parentIndex);
    if (!p->isFolder)
        return 0;
    load(p);
    return int(p->children.size());
}

int BrowserModel::columnCount(const QModelIndex &) const { return 1; }

bool BrowserModel::hasChildren(const QModelIndex &parentIndex) const { return nodeOf(parentIndex)->isFolder; }

QVariant BrowserModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid())
        return {};
    const Node *n = nodeOf(index);
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
        return n->name;
    return {};
}

Qt::ItemFlags BrowserModel::flags(const QModelIndex &index) const {
    if (!index.isValid())
        return Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled;
    if (!nodeOf(index)->isFolder)
        f |= Qt::ItemNeverHasChildren;
    return f;
}

QStringList BrowserModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData *BrowserModel::mimeData(const QModelIndexList &indexes) const {
    auto *mime = new QMimeData;
    QList<QUrl> urls;
    for (const QModelIndex &i : indexes)
        urls.append(QUrl::fromLocalFile(browserPathOf(i)));
    mime->setUrls(urls);
    return mime;
}
