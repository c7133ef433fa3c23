#pragma once
// The Seeker's progress bar. Hiding it keeps its place in the window's layout and only stops
// drawing it, so the table above does not jump when a scan starts or ends.
#include <QProgressBar>

class SuperProgressIndicator : public QProgressBar {
    Q_OBJECT
public:
    using QProgressBar::QProgressBar;
    void hide() {
        hideValue = 1;
        update();
    }
    void show() {
        hideValue = 0;
        QProgressBar::show();
        update();
    }
    bool isHidden() const { return hideValue == 1; }

protected:
    void paintEvent(QPaintEvent *event) override {
        if (hideValue == 0)
            QProgressBar::paintEvent(event);
    }

private:
    int hideValue = 0;
};
