#include "SrkTableView.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QTest>

namespace {
class RecordingTableDelegate : public SrkTableViewDelegate {
public:
    QStringList calls;
    void randomSelectionJump(QObject *) override { calls << "random"; }
    void singleClick(QObject *) override { calls << "click"; }
};

struct Table {
    Table() {
        model.setColumnCount(1);
        for (int i = 0; i < 40; ++i)
            model.appendRow(new QStandardItem(QStringLiteral("row %1").arg(i)));
        view.setModel(&model);
        view.verticalHeader()->hide();
        view.horizontalHeader()->setStretchLastSection(true);
        view.verticalHeader()->setDefaultSectionSize(20);
        view.setShowGrid(false);
        view.setSelectionBehavior(QAbstractItemView::SelectRows);
        view.setTableDelegate(&recorder);
        view.resize(200, 200);
        view.show();
        view.setCurrentIndex(model.index(5, 0));
    }
    QStandardItemModel model;
    SrkTableView view;
    RecordingTableDelegate recorder;
};

bool isStripe(QRgb pixel) { return QColor(pixel) == SrkTableView::stripeColor(); }
}  // namespace

TEST(SrkTableView, StripeColourIsTheLightBlue) {
    const QColor &c = SrkTableView::stripeColor();
    EXPECT_EQ(c.red(), 237);
    EXPECT_EQ(c.green(), 243);
    EXPECT_EQ(c.blue(), 254);
    EXPECT_EQ(c.alpha(), 255);
    EXPECT_EQ(&c, &SrkTableView::stripeColor()) << "one colour object for the life of the program";
}

// The stripes lie on odd rows of the list, whatever the scroll position and the clip rectangle.
TEST(SrkTableView, StripesFollowTheRowsWhateverTheScroll) {
    Table t;
    const int h = 20;
    struct Case {
        int firstVisibleRow;
        QRect clip;  // viewport coordinates
    } cases[] = {
        {0, QRect(0, 0, 100, 200)},
        {4, QRect(0, 0, 100, 200)},   // rows 5, 7, 9 ... striped
        {4, QRect(0, 30, 100, 75)},   // a clip that starts and ends inside rows
        {7, QRect(0, 10, 100, 150)},
    };
    for (const Case &c : cases) {
        t.view.verticalScrollBar()->setValue(c.firstVisibleRow);  // scrolls per item
        const int offset = c.firstVisibleRow * h;
        QImage image(200, 200, QImage::Format_RGB32);
        image.fill(Qt::white);
        {
            QPainter p(&image);
            t.view.drawStripesInRect(p, c.clip);
        }
        for (int y = 0; y < 200; ++y) {
            const int row = (y + offset) / h;
            const bool inClip = y >= c.clip.top() && y <= c.clip.bottom();
            const bool want = inClip && row % 2 == 1;
            ASSERT_EQ(isStripe(image.pixel(50, y)), want)
                << "first visible row " << c.firstVisibleRow << ", y " << y << ", row " << row;
        }
    }
}

TEST(SrkTableView, PaintedTableShowsStripesOnOddRowsAndSelectionAboveThem) {
    Table t;
    t.view.verticalScrollBar()->setValue(4);
    QApplication::processEvents();
    const QImage shot = t.view.viewport()->grab().toImage();
    ASSERT_TRUE(t.view.selectionModel()->isRowSelected(5, {}));
    const int x = 150;  // right of the text
    // Viewport row i shows list row 4 + i.
    EXPECT_FALSE(isStripe(shot.pixel(x, 10))) << "row 4";
    EXPECT_FALSE(isStripe(shot.pixel(x, 30))) << "row 5 is selected: the highlight covers its stripe";
    EXPECT_NE(QColor(shot.pixel(x, 30)), t.view.palette().color(QPalette::Base));
    EXPECT_FALSE(isStripe(shot.pixel(x, 50))) << "row 6";
    EXPECT_TRUE(isStripe(shot.pixel(x, 70))) << "row 7";
    EXPECT_TRUE(isStripe(shot.pixel(x, 110))) << "row 9";
}

TEST(SrkTableView, CtrlKeyJumpsAndPlaysArrowReleasePlays) {
    Table t;
    t.view.setFocus();
    QTest::keyPress(&t.view, Qt::Key_R, Qt::ControlModifier);
    EXPECT_EQ(t.recorder.calls, (QStringList{"random", "click"}));

    t.recorder.calls.clear();
    QTest::keyPress(&t.view, Qt::Key_Control, Qt::ControlModifier);
    QTest::keyPress(&t.view, Qt::Key_A);
    EXPECT_TRUE(t.recorder.calls.isEmpty()) << "a modifier alone or a plain key does nothing of its own";

    t.view.setCurrentIndex(t.model.index(5, 0));
    QTest::keyPress(&t.view, Qt::Key_Up);
    EXPECT_EQ(t.view.currentIndex().row(), 4) << "the base class moves the selection on key down";
    EXPECT_TRUE(t.recorder.calls.isEmpty());
    QTest::keyRelease(&t.view, Qt::Key_Up);
    EXPECT_EQ(t.recorder.calls, QStringList{"click"});
    QTest::keyRelease(&t.view, Qt::Key_Down);
    QTest::keyRelease(&t.view, Qt::Key_Left);
    EXPECT_EQ(t.recorder.calls, (QStringList{"click", "click"}));
}

TEST(SrkTableView, MenuShortcutsNeverReachTheTable) {
    Table t;
    QAction *action = new QAction(&t.view);
    action->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_F));
    action->setShortcutContext(Qt::WindowShortcut);
    int triggered = 0;
    QObject::connect(action, &QAction::triggered, [&] { ++triggered; });
    t.view.addAction(action);
    t.view.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&t.view));
    t.view.setFocus();
    QTest::keySequence(&t.view, QKeySequence(Qt::CTRL | Qt::Key_F));
    EXPECT_EQ(triggered, 1);
    EXPECT_TRUE(t.recorder.calls.isEmpty());
}
