#pragma once
// Carries "a sound ended" from the audio thread to the main thread without a lock or an
// allocation on the audio side: one byte written to a non-blocking pipe, read by a socket
// notifier on the main thread.
#include <QObject>
#include <QSocketNotifier>

#include <functional>

class EndOfSoundSignal : public QObject {
    Q_OBJECT
public:
    explicit EndOfSoundSignal(std::function<void()> onMainThread, QObject *parent = nullptr);
    ~EndOfSoundSignal() override;
    // Real-time safe: a single non-blocking write.
    void raise() noexcept;

private:
    void drain();
    int fds_[2] = {-1, -1};
    QSocketNotifier *notifier_ = nullptr;
    std::function<void()> onMainThread_;
};
