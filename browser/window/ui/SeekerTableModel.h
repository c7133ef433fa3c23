#pragma once
// The Seeker table's rows and its two columns, "filename" and "location", read from the
// Seeker's controller each time the table asks.
#include <QAbstractTableModel>

class SeekerController;

class SeekerTableModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit SeekerTableModel(SeekerController *seeker, QObject *parent = nullptr)
        : QAbstractTableModel(parent), seeker_(seeker) {}
    static QString columnIdentifier(int column);
    void reloadData() {
        beginResetModel();
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;

private:
    SeekerController *seeker_;
};
