#include "BPMTapPad.h"

#include "Defaults.h"
#include "DefaultsKeys.h"
#include "SrkUtils.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QVBoxLayout>


BPMTapPad *BPMTapPad::shared_ = nullptr;

void TapButton::mousePressEvent(QMouseEvent *event) {
    emit tapped(double(event->timestamp()) / 1000.0);
    QPushButton::mousePressEvent(event);
}

void TapButton::keyPressEvent(QKeyEvent *event) {
    // Any plain key taps, like a drum pad. Modifier keys, keys held with Ctrl, Alt or Meta
    // (menu shortcuts), Tab, Escape and auto-repeat do not.
    const bool plainKey = !event->text().isEmpty() && event->key() != Qt::Key_Escape &&
                          event->key() != Qt::Key_Tab && event->key() != Qt::Key_Backtab &&
                          !(event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier));
    if (event->isAutoRepeat() || !plainKey) {
        QPushButton::keyPressEvent(event);
        return;
    }
    emit tapped(double(event->timestamp()) / 1000.0);
}

BPMTapPad *BPMTapPad::sharedTapPad() {
    if (!shared_)
        shared_ = new BPMTapPad;
    return shared_;
}

bool BPMTapPad::panelShowing() { return shared_ != nullptr; }

BPMTapPad::BPMTapPad() = default;

BPMTapPad::~BPMTapPad() {
    _sound.reset();
    if (shared_ == this)
        shared_ = nullptr;
    delete panel;
}

bool BPMTapPad::load(const QString &resourceFolder) {
    panel = new QWidget(nullptr, Qt::Tool | Qt::WindowStaysOnTopHint);
    panel->setWindowTitle(tr("BPM Tap Pad"));
    panel->setObjectName(QStringLiteral("BPMTapPad"));
    panel->setAttribute(Qt::WA_DeleteOnClose, false);
    panel->installEventFilter(this);
    auto *layout = new QVBoxLayout(panel);
    tapButton_ = new TapButton(tr("Tap"), panel);
    tapButton_->setMinimumSize(160, 90);
    tapButton_->setAutoRepeat(false);
    layout->addWidget(tapButton_);
    auto *fields = new QHBoxLayout;
    fields->addWidget(new QLabel(tr("Last"), panel));
    bpmField = new QLineEdit(panel);
    bpmField->setReadOnly(true);
    fields->addWidget(bpmField);
    fields->addWidget(new QLabel(tr("Average"), panel));
    avgField = new QLineEdit(panel);
    avgField->setReadOnly(true);
    fields->addWidget(avgField);
    layout->addLayout(fields);
    auto *bottom = new QHBoxLayout;
    _silentButton = new QCheckBox(tr("Silent"), panel);
    auto *resetButton = new QPushButton(tr("Reset"), panel);
    bottom->addWidget(_silentButton);
    bottom->addStretch(1);
    bottom->addWidget(resetButton);
    layout->addLayout(bottom);
    connect(tapButton_, &TapButton::tapped, this, &BPMTapPad::tapButton);
    connect(resetButton, &QPushButton::clicked, this, [this] { reset(); });
    connect(_silentButton, &QCheckBox::clicked, this, [this] { silentButton(); });

    _sound = AudioKit::initWithContentsOfFile(
        SrkUtils::nativePath(resourceFolder + QStringLiteral("/TapPadKick.aif")));
    return true;
}

void BPMTapPad::show(TempoReceiver receiver, const QString &resourceFolder) {
    if (!panel && !load(resourceFolder))
        return;
    browser_ = std::move(receiver);
    const QByteArray frame = Defaults::bytesForKey(TapPadWindowKey);
    if (!frame.isEmpty())
        panel->restoreGeometry(frame);
    silent = Defaults::boolForKey(SilentButtonKey);
    _silentButton->setChecked(silent);
    reset();
    panel->show();
    panel->raise();
    panel->activateWindow();
    tapButton_->setFocus();
}

void BPMTapPad::tapButton(double eventSeconds) {
    if (tempo_.tap(eventSeconds)) {
        bpmField->setText(TapTempo::fieldText(tempo_.lastTempo()));
        avgField->setText(TapTempo::fieldText(tempo_.averageTempo()));
        if (browser_)
            browser_(tempo_.averageTempo());
    }
    if (!silent && _sound) {
        _sound->stop();
        _sound->play(false);
    }
}

void BPMTapPad::reset(QObject *) {
    resetValues();
    bpmField->setText(TapTempo::emptyFieldText());
    avgField->setText(TapTempo::emptyFieldText());
}

void BPMTapPad::silentButton(QObject *) { silent = _silentButton->isChecked(); }

void BPMTapPad::close() {
    if (panel)
        panel->close();
}

bool BPMTapPad::eventFilter(QObject *watched, QEvent *event) {
    if (watched == panel && event->type() == QEvent::Close)
        windowWillClose();
    return QObject::eventFilter(watched, event);
}

void BPMTapPad::windowWillClose() {
    Defaults::setBool(_silentButton->isChecked(), SilentButtonKey);
    Defaults::setBytes(panel->saveGeometry(), TapPadWindowKey);
    Defaults::synchronize();
    // The instance goes at the end of the current event; from now on the pad counts as closed.
    shared_ = nullptr;
    deleteLater();
}
