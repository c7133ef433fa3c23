#include "BPMTapPad.h"

#include "Defaults.h"
#include "DefaultsKeys.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLineEdit>

namespace {
// A key press with a given time stamp (milliseconds), as the window system delivers it.
void press(QWidget *w, int key, const QString &text, Qt::KeyboardModifiers mods, ulong ms) {
    QKeyEvent e(QEvent::KeyPress, key, mods, text);
    e.setTimestamp(ms);
    QApplication::sendEvent(w, &e);
}
}  // namespace

TEST(BPMTapPad, TapsAreTimedByTheirEventsAndTheAverageReachesTheWindow) {
    QList<double> received;
    BPMTapPad *pad = BPMTapPad::sharedTapPad();
    pad->show([&received](double t) { received.append(t); }, QString());
    EXPECT_TRUE(BPMTapPad::panelShowing());
    EXPECT_EQ(pad->bpmField->text(), "000.00");
    EXPECT_EQ(pad->avgField->text(), "000.00");

    press(pad->tapButton_, Qt::Key_Space, " ", Qt::NoModifier, 10000);
    EXPECT_EQ(pad->bpmField->text(), "000.00") << "the first tap changes no field";
    press(pad->tapButton_, Qt::Key_T, "t", Qt::NoModifier, 10500);
    press(pad->tapButton_, Qt::Key_T, "t", Qt::NoModifier, 11500);
    EXPECT_EQ(pad->bpmField->text(), "60.00");
    EXPECT_EQ(pad->avgField->text(), "90.00");
    EXPECT_EQ(received, (QList<double>{120.0, 90.0}));

    // Shortcuts and modifier keys are not taps.
    press(pad->tapButton_, Qt::Key_Control, QString(), Qt::ControlModifier, 11506);
    press(pad->tapButton_, Qt::Key_Comma, ",", Qt::ControlModifier, 11512);
    EXPECT_EQ(pad->avgField->text(), "90.00");
    EXPECT_EQ(received.size(), 2);

    pad->reset();
    EXPECT_EQ(pad->avgField->text(), "000.00");
}

TEST(BPMTapPad, SilentIsKeptWhenThePadClosesAndReopensFresh) {
    BPMTapPad *pad = BPMTapPad::sharedTapPad();
    pad->show({}, QString());
    pad->_silentButton->click();
    EXPECT_TRUE(pad->silent);
    pad->tapButton(1.0);
    pad->tapButton(1.7);
    EXPECT_EQ(pad->avgField->text(), "85.71");
    pad->close();
    EXPECT_FALSE(BPMTapPad::panelShowing());
    EXPECT_TRUE(Defaults::boolForKey(SilentButtonKey));
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);

    BPMTapPad *again = BPMTapPad::sharedTapPad();
    again->show({}, QString());
    EXPECT_TRUE(again->silent);
    EXPECT_TRUE(again->_silentButton->isChecked());
    EXPECT_EQ(again->avgField->text(), "000.00");
    again->close();
}
