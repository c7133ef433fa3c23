#pragma once
// ColumnBrowser: folders shown as columns side by side, one column per level of the
// selected path, each with its title (column 0 "/", then the name selected to its left).
// Selecting a folder opens its column to the right; the view keeps the newest column in
// sight. Left and Right arrows move between columns, Up and Down within one; Return opens.
#include <QModelIndex>
#include <QPointer>
#include <QStringList>
#include <QWidget>

class BrowserModel;
class QLabel;
class QListView;
class QScrollArea;
class QHBoxLayout;

class ColumnBrowser : public QWidget {
    Q_OBJECT
public:
    explicit ColumnBrowser(BrowserModel *model, QWidget *parent = nullptr);

    // Drops every column and lists column 0 again (the root "/").
    void loadColumnZero();
    // Selects the items of a column-browser path ("/a/b"), opening their columns; false
    // (and column 0 alone) when the path is not there. Sends no action.
    bool setPath(const QString &path);
    // The deepest selected item, invalid when nothing is selected.
    QModelIndex selectedIndex() const;
    // The column of the deepest selected item (-1 when nothing is selected).
    int selectedColumn() const;
    // The selected row of the deepest selected column (-1 when nothing is selected).
    int selectedRow() const;
    int columnCount() const { return int(columns_.size()); }
    QListView *columnView(int column) const;
    QString columnTitle(int column) const;
    void setColumnWidth(int width) { columnWidth_ = width; }
    // Selects `row` of the last column (the autopilot walks it); sends no action.
    void selectRowInLastColumn(int row);
    // Focus goes to the column of the selection.
    void focusSelection();
    // Redraws the selected cell (after a rename).
    void refreshSelection();

signals:
    // The user selected an item, by mouse or by keyboard.
    void clicked(const QModelIndex &index);
    void doubleClicked(const QModelIndex &index);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    struct Column {
        QWidget *box = nullptr;
        QLabel *title = nullptr;
        QListView *list = nullptr;
    };
    void addColumn(const QModelIndex &folder);
    void truncateAfter(int column);
    void select(int column, const QModelIndex &index, bool notify);
    int columnOf(QObject *list) const;
    void keepLastColumnInSight();

    BrowserModel *model_;
    QScrollArea *scroll_ = nullptr;
    QWidget *strip_ = nullptr;
    QHBoxLayout *stripLayout_ = nullptr;
    QList<Column> columns_;
    int columnWidth_ = 210;
    bool followEnd_ = true;
};
