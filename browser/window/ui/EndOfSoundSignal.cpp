#include "EndOfSoundSignal.h"

#include <fcntl.h>
#include <unistd.h>

EndOfSoundSignal::EndOfSoundSignal(std::function<void()> onMainThread, QObject *parent)
    : QObject(parent), onMainThread_(std::move(onMainThread)) {
    if (::pipe2(fds_, O_NONBLOCK | O_CLOEXEC) == 0) {
        notifier_ = new QSocketNotifier(fds_[0], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, &EndOfSoundSignal::drain);
    }
}

EndOfSoundSignal::~EndOfSoundSignal() {
    delete notifier_;
    for (int fd : fds_)
        if (fd >= 0)
            ::close(fd);
}

void EndOfSoundSignal::raise() noexcept {
    if (fds_[1] >= 0) {
        const char one = 1;
        // A full pipe already holds a pending wake-up: nothing is lost by dropping this one.
        [[maybe_unused]] ssize_t n = ::write(fds_[1], &one, 1);
    }
}

void EndOfSoundSignal::drain() {
    char buf[64];
    while (::read(fds_[0], buf, sizeof buf) > 0) {
    }
    if (onMainThread_)
        onMainThread_();
}
