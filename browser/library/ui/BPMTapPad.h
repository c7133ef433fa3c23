#pragma once
// BPMTapPad: the small floating panel that finds a tempo by ear. Each tap on its button (or
// key press while it has focus) is timed with the input event's own time; after the second
// tap it shows the last and the average tempo and hands the average to the main window.
#include "AudioKit.h"
#include "TapTempo.h"

#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLineEdit;

// A push button that taps on a mouse press or any key press (no auto-repeat), reporting
// the input event's own time in seconds, so that the time is taken before anything is drawn.
class TapButton : public QPushButton {
    Q_OBJECT
public:
    using QPushButton::QPushButton;

signals:
    void tapped(double eventSeconds);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
};

class BPMTapPad : public QObject {
    Q_OBJECT
public:
    using TempoReceiver = std::function<void(double)>;

    static BPMTapPad *sharedTapPad();
    static bool panelShowing();

    // Loads (first time), resets and shows the pad; `receiver` gets each new average tempo.
    void show(TempoReceiver receiver, const QString &resourceFolder);
    // One tap at the time of the input event that made it (seconds).
    void tapButton(double eventSeconds);
    void reset(QObject *sender = nullptr);
    void resetValues() { tempo_.resetValues(); }
    void silentButton(QObject *sender = nullptr);
    void close();

    QWidget *panel = nullptr;
    QLineEdit *bpmField = nullptr;
    QLineEdit *avgField = nullptr;
    QCheckBox *_silentButton = nullptr;
    TapButton *tapButton_ = nullptr;
    std::unique_ptr<AudioKit> _sound;
    bool silent = false;
    const TapTempo &tempo() const { return tempo_; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    BPMTapPad();
    ~BPMTapPad() override;
    void windowWillClose();
    bool load(const QString &resourceFolder);

    TapTempo tempo_;
    TempoReceiver browser_;
    static BPMTapPad *shared_;
};
