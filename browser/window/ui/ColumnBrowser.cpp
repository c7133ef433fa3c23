#include "ColumnBrowser.h"

#include "BrowserModel.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QListView>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QVBoxLayout>

ColumnBrowser::ColumnBrowser(BrowserModel *model, QWidget *parent) : QWidget(parent), model_(model) {
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    scroll_ = new QScrollArea(this);
    scroll_->setWidgetResizable(true);
    scroll_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    strip_ = new QWidget(scroll_);
    stripLayout_ = new QHBoxLayout(strip_);
    stripLayout_->setContentsMargins(0, 0, 0, 0);
    stripLayout_->setSpacing(1);
    stripLayout_->addStretch(1);
    scroll_->setWidget(strip_);
    connect(scroll_->horizontalScrollBar(), &QScrollBar::rangeChanged, this, [this](int, int max) {
        if (followEnd_)
            scroll_->horizontalScrollBar()->setValue(max);
    });
    connect(scroll_->horizontalScrollBar(), &QScrollBar::actionTriggered, this, [this] { followEnd_ = false; });
    layout->addWidget(scroll_);
    setFocusPolicy(Qt::StrongFocus);
    connect(model_, &QAbstractItemModel::modelReset, this, &ColumnBrowser::loadColumnZero);
    loadColumnZero();
}

void ColumnBrowser::loadColumnZero() {
    truncateAfter(-1);
    addColumn(QModelIndex());
}

void ColumnBrowser::addColumn(const QModelIndex &folder) {
    Column c;
    c.box = new QWidget(strip_);
    auto *v = new QVBoxLayout(c.box);
    v->setContentsMargins(0, 0, 0, 0);
    v->setSpacing(0);
    c.title = new QLabel(c.box);
    c.title->setAlignment(Qt::AlignCenter);
    c.title->setMargin(3);
    c.title->setStyleSheet(QStringLiteral("QLabel { font-weight: bold; border-bottom: 1px solid palette(mid); }"));
    c.list = new QListView(c.box);
    c.list->setModel(model_);
    c.list->setRootIndex(folder);
    c.list->setSelectionMode(QAbstractItemView::SingleSelection);
    c.list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    c.list->setDragEnabled(true);
    c.list->setDragDropMode(QAbstractItemView::DragOnly);
    c.list->setUniformItemSizes(true);
    c.list->installEventFilter(this);
    c.list->viewport()->installEventFilter(this);
    v->addWidget(c.title);
    v->addWidget(c.list, 1);
    c.box->setFixedWidth(columnWidth_);
    const int column = int(columns_.size());
    c.title->setText(column == 0 ? QStringLiteral("/") : folder.data().toString());
    stripLayout_->insertWidget(column, c.box);
    connect(c.list, &QAbstractItemView::clicked, this, [this, list = c.list](const QModelIndex &index) {
        const int col = columnOf(list);
        if (col >= 0)
            select(col, index, true);
    });
    connect(c.list, &QAbstractItemView::doubleClicked, this, &ColumnBrowser::doubleClicked);
    connect(c.list->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this, list = c.list](const QModelIndex &current) {
                // Keyboard moves select like a click; mouse clicks arrive through clicked().
                if (!current.isValid() || !list->hasFocus() || (QApplication::mouseButtons() & Qt::LeftButton))
                    return;
                const int col = columnOf(list);
                if (col >= 0)
                    select(col, current, true);
            });
    columns_.append(c);
    keepLastColumnInSight();
}

void ColumnBrowser::truncateAfter(int column) {
    while (columns_.size() > column + 1) {
        Column c = columns_.takeLast();
        c.list->removeEventFilter(this);
        c.box->hide();
        c.box->deleteLater();
    }
}

void ColumnBrowser::select(int column, const QModelIndex &index, bool notify) {
    if (column < 0 || column >= columns_.size())
        return;
    QListView *list = columns_[column].list;
    if (list->currentIndex() != index) {
        const QSignalBlocker block(list->selectionModel());
        list->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    }
    list->selectionModel()->select(index, QItemSelectionModel::ClearAndSelect);
    truncateAfter(column);
    if (model_->hasChildren(index))
        addColumn(index);
    if (notify)
        emit clicked(index);
}

bool ColumnBrowser::setPath(const QString &path) {
    loadColumnZero();
    const QStringList parts = path.split(QLatin1Char('/'), Qt::SkipEmptyParts);
    QModelIndex parent;
    for (int i = 0; i < parts.size(); ++i) {
        QModelIndex found;
        const int rows = model_->rowCount(parent);
        for (int r = 0; r < rows; ++r) {
            const QModelIndex child = model_->index(r, 0, parent);
            if (child.data().toString() == parts[i]) {
                found = child;
                break;
            }
        }
        if (!found.isValid()) {
            loadColumnZero();
            return false;
        }
        select(i, found, false);
        columns_[i].list->scrollTo(found);
        parent = found;
    }
    return true;
}

QModelIndex ColumnBrowser::selectedIndex() const {
    for (int i = int(columns_.size()) - 1; i >= 0; --i) {
        const QModelIndexList sel = columns_[i].list->selectionModel()->selectedIndexes();
        if (!sel.isEmpty())
            return sel.first();
    }
    return QModelIndex();
}

int ColumnBrowser::selectedColumn() const {
    for (int i = int(columns_.size()) - 1; i >= 0; --i)
        if (columns_[i].list->selectionModel()->hasSelection())
            return i;
    return -1;
}

int ColumnBrowser::selectedRow() const {
    const QModelIndex index = selectedIndex();
    return index.isValid() ? index.row() : -1;
}

QListView *ColumnBrowser::columnView(int column) const {
    return column >= 0 && column < columns_.size() ? columns_[column].list : nullptr;
}

QString ColumnBrowser::columnTitle(int column) const {
    return column >= 0 && column < columns_.size() ? columns_[column].title->text() : QString();
}

void ColumnBrowser::selectRowInLastColumn(int row) {
    if (columns_.isEmpty())
        return;
    const int column = int(columns_.size()) - 1;
    QListView *list = columns_[column].list;
    const QModelIndex index = model_->index(row, 0, list->rootIndex());
    if (!index.isValid())
        return;
    select(column, index, false);
    list->scrollTo(index);
}

void ColumnBrowser::focusSelection() {
    const int column = selectedColumn();
    if (QListView *list = columnView(column < 0 ? 0 : column))
        list->setFocus();
}

void ColumnBrowser::refreshSelection() {
    const int column = selectedColumn();
    if (QListView *list = columnView(column)) {
        list->viewport()->update();
        if (column + 1 < columns_.size())
            columns_[column + 1].title->setText(selectedIndex().data().toString());
    }
}

int ColumnBrowser::columnOf(QObject *list) const {
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_[i].list == list || columns_[i].list->viewport() == list)
            return i;
    return -1;
}

bool ColumnBrowser::eventFilter(QObject *watched, QEvent *event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const int column = columnOf(watched);
    if (column < 0)
        return QWidget::eventFilter(watched, event);
    auto *key = static_cast<QKeyEvent *>(event);
    QListView *list = columns_[column].list;
    switch (key->key()) {
    case Qt::Key_Right: {
        const QModelIndex current = list->currentIndex();
        if (current.isValid() && model_->hasChildren(current)) {
            if (columns_.size() <= column + 1)
                select(column, current, true);
            if (column + 1 < columns_.size() && model_->rowCount(current) > 0) {
                // Select before focusing: a list that gains focus without a current item
                // makes its first item current on its own, which would select twice.
                QListView *next = columns_[column + 1].list;
                select(column + 1, model_->index(0, 0, current), true);
                next->setFocus();
                next->scrollToTop();
            }
        }
        return true;
    }
    case Qt::Key_Left:
        if (column > 0) {
            QListView *prev = columns_[column - 1].list;
            select(column - 1, prev->currentIndex(), true);
            prev->setFocus();
        }
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (list->currentIndex().isValid())
            emit doubleClicked(list->currentIndex());
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void ColumnBrowser::keepLastColumnInSight() {
    // The newest column is the rightmost: keep the view at the end, also when the scroll
    // range changes later (the layout places the column after this, the window may be
    // resized), until the user scrolls by hand.
    followEnd_ = true;
    QScrollBar *bar = scroll_->horizontalScrollBar();
    bar->setValue(bar->maximum());
}
