#pragma once
// The item model behind the column browser. Each folder's rows come from the controller's
// listing (one call per folder when its column is first shown), like a column browser that
// asks its delegate for a column's rows and cells once. Reloading drops every column.
#include <QAbstractItemModel>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

class BrowserModel : public QAbstractItemModel {
    Q_OBJECT
public:
    struct Entry {
        QString name;
        bool isFolder = false;
    };
    // Lists a folder path ("/", "//Users/x") into entries.
    using Lister = std::function<std::vector<Entry>(const QString &path)>;

    explicit BrowserModel(Lister lister, QObject *parent = nullptr);
    ~BrowserModel() override;

    // Column 0 is the root folder "/".
    void reload();
    // The column-browser path of an item: "/" + names from column 0 down to the item.
    QString browserPathOf(const QModelIndex &index) const;
    // The names from column 0 down to the item (the selection per column).
    QStringList namesTo(const QModelIndex &index) const;
    // Replace or remove one row of a loaded folder (after a rename or a trash).
    void renameRow(const QModelIndex &index, const QString &newName);
    void removeRow(const QModelIndex &index);

    QModelIndex index(int row, int column, const QModelIndex &parent = {}) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    bool hasChildren(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

private:
    struct Node;
    Node *nodeOf(const QModelIndex &index) const;
    void load(Node *node) const;
    QString listingPathOf(const Node *node) const;

    Lister lister_;
    std::unique_ptr<Node> root_;
};
