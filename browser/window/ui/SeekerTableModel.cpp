#include "SeekerTableModel.h"

#include "SeekerController.h"

#include <QMimeData>
#include <QSet>
#include <QUrl>

QString SeekerTableModel::columnIdentifier(int column) {
    return column == 0 ? QStringLiteral("filename") : QStringLiteral("location");
}

int SeekerTableModel::rowCount(const QModelIndex &parent) const {
    return parent.isValid() ? 0 : seeker_->numberOfRowsInTableView();
}

int SeekerTableModel::columnCount(const QModelIndex &parent) const { return parent.isValid() ? 0 : 2; }

QVariant SeekerTableModel::data(const QModelIndex &index, int role) const {
    if (!index.isValid() || (role != Qt::DisplayRole && role != Qt::ToolTipRole))
        return {};
    if (role == Qt::ToolTipRole)
        return seeker_->_seekerFilteredCacheContents.value(index.row());
    return seeker_->tableViewObjectValueForTableColumnRow(columnIdentifier(index.column()), index.row());
}

QVariant SeekerTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return section == 0 ? tr("Name") : tr("Location");
}

Qt::ItemFlags SeekerTableModel::flags(const QModelIndex &index) const {
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled : Qt::NoItemFlags;
}

QStringList SeekerTableModel::mimeTypes() const { return {QStringLiteral("text/uri-list")}; }

QMimeData *SeekerTableModel::mimeData(const QModelIndexList &indexes) const {
    // Dragging rows out hands their files to other programs.
    QSet<int> rows;
    QList<QUrl> urls;
    for (const QModelIndex &i : indexes)
        if (!rows.contains(i.row())) {
            rows.insert(i.row());
            urls.append(QUrl::fromLocalFile(seeker_->_seekerFilteredCacheContents.value(i.row())));
        }
    auto *mime = new QMimeData;
    mime->setUrls(urls);
    return mime;
}
