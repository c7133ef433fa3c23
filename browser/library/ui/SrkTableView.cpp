#include "SrkTableView.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>

SrkTableView::SrkTableView(QWidget *parent) : QTableView(parent) {
    // The stripes are painted by the table itself; Qt's own alternating colours would fight them.
    setAlternatingRowColors(false);
}

const QColor &SrkTableView::stripeColor() {
    static const QColor colour = QColor::fromRgbF(237.0f / 255.0f, 243.0f / 255.0f, 254.0f / 255.0f, 1.0f);
    return colour;
}

void SrkTableView::drawStripesInRect(QPainter &painter, const QRect &rect) const {
    // All rows share one height, so row k covers content y in [k*h, (k+1)*h). The rectangle is in
    // viewport coordinates; the content offset makes the stripes follow the rows when scrolled.
    const int h = verticalHeader()->defaultSectionSize();
    if (h <= 0 || rect.isEmpty())
        return;
    const int offset = verticalOffset();
    const int top = rect.top() + offset;  // content coordinate of the rectangle's top
    int k = top / h;
    if (k % 2 == 0)
        ++k;
    const int bottom = rect.top() + rect.height() + offset;
    for (int y = k * h; y < bottom; y += 2 * h)
        painter.fillRect(QRect(rect.x(), y - offset, rect.width(), h).intersected(rect), stripeColor());
}

void SrkTableView::keyPressEvent(QKeyEvent *event) {
    // A Ctrl-key press reaches the table only when no menu shortcut took it. Pressing a modifier
    // alone is not a key of its own.
    const int key = event->key();
    const bool modifierOnly = key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt ||
                              key == Qt::Key_Meta || key == Qt::Key_AltGr;
    if ((event->modifiers() & Qt::ControlModifier) && !modifierOnly && delegate_) {
        delegate_->randomSelectionJump(this);
        delegate_->singleClick(this);
    }
    QTableView::keyPressEvent(event);
}

void SrkTableView::keyReleaseEvent(QKeyEvent *event) {
    QTableView::keyReleaseEvent(event);
    if ((event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) && !event->isAutoRepeat() && delegate_)
        delegate_->singleClick(this);
}

void SrkTableView::paintEvent(QPaintEvent *event) {
    // Stripes first, then the normal drawing, so selected rows cover the stripes; unselected
    // cells paint no background of their own, so the stripes show through them.
    {
        QPainter painter(viewport());
        drawStripesInRect(painter, event->rect());
    }
    QTableView::paintEvent(event);
}
