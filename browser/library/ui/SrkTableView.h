#pragma once
// SrkTableView: the Seeker's results table. Ctrl-key presses that no menu takes jump to a
// random row and play it; releasing the up or down arrow plays the row the key moved to; odd
// rows are striped in a light blue that stays aligned with the rows whatever the scroll.
// Main thread only.
#include <QColor>
#include <QTableView>

class QPainter;

// What the table asks of its controller: both calls get the table as sender.
class SrkTableViewDelegate {
public:
    virtual ~SrkTableViewDelegate() = default;
    virtual void randomSelectionJump(QObject *sender) = 0;
    virtual void singleClick(QObject *sender) = 0;
};

class SrkTableView : public QTableView {
    Q_OBJECT
public:
    explicit SrkTableView(QWidget *parent = nullptr);

    void setTableDelegate(SrkTableViewDelegate *delegate) { delegate_ = delegate; }  // not owned
    SrkTableViewDelegate *tableDelegate() const { return delegate_; }

    // rgb(237, 243, 254): created on first use and kept for the life of the program.
    static const QColor &stripeColor();

    // Paints the stripes that fall into `rect` (viewport coordinates) with `painter`:
    // every odd row, counting the first row of the list as 0, whatever the scroll.
    void drawStripesInRect(QPainter &painter, const QRect &rect) const;

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    SrkTableViewDelegate *delegate_ = nullptr;
};
