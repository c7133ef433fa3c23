#include "AudioLock.h"

#include <cerrno>
#include <ctime>

AudioLock::AudioLock(const char *name) : mName(name) {
    pthread_mutex_init(&mMutex, nullptr);
    pthread_condattr_t attr;
    pthread_condattr_init(&attr);
    pthread_condattr_setclock(&attr, CLOCK_MONOTONIC);
    pthread_cond_init(&mCondition, &attr);
    pthread_condattr_destroy(&attr);
}

AudioLock::~AudioLock() {
    pthread_cond_destroy(&mCondition);
    pthread_mutex_destroy(&mMutex);
}

bool AudioLock::OwnedByCaller() const {
    return mOwned.load(std::memory_order_acquire) &&
           pthread_equal(mOwner.load(std::memory_order_relaxed), pthread_self());
}

bool AudioLock::Lock() {
    if (OwnedByCaller()) return false;
    pthread_mutex_lock(&mMutex);
    mOwner.store(pthread_self(), std::memory_order_relaxed);
    mOwned.store(true, std::memory_order_release);
    return true;
}

void AudioLock::Unlock() {
    if (!OwnedByCaller()) return;
    mOwned.store(false, std::memory_order_release);
    pthread_mutex_unlock(&mMutex);
}

bool AudioLock::Try(bool *acquired) {
    *acquired = false;
    if (OwnedByCaller()) return true;
    if (pthread_mutex_trylock(&mMutex) != 0) return false;
    mOwner.store(pthread_self(), std::memory_order_relaxed);
    mOwned.store(true, std::memory_order_release);
    *acquired = true;
    return true;
}

void AudioLock::Wait() {
    mOwned.store(false, std::memory_order_release);
    pthread_cond_wait(&mCondition, &mMutex);
    mOwner.store(pthread_self(), std::memory_order_relaxed);
    mOwned.store(true, std::memory_order_release);
}

bool AudioLock::WaitFor(uint64_t ns) {
    timespec deadline{};
    clock_gettime(CLOCK_MONOTONIC, &deadline);
    deadline.tv_sec += time_t(ns / 1000000000ULL);
    deadline.tv_nsec += long(ns % 1000000000ULL);
    if (deadline.tv_nsec >= 1000000000L) {
        deadline.tv_nsec -= 1000000000L;
        ++deadline.tv_sec;
    }
    mOwned.store(false, std::memory_order_release);
    const int r = pthread_cond_timedwait(&mCondition, &mMutex, &deadline);
    mOwner.store(pthread_self(), std::memory_order_relaxed);
    mOwned.store(true, std::memory_order_release);
    return r == ETIMEDOUT;
}

bool AudioLock::WaitUntil(uint64_t t) {
    const uint64_t now = AudioHostTimerBase::ConvertToNanos(AudioHostTimerBase::GetCurrentTime());
    if (t > now) return WaitFor(t - now);
    return true;
}

void AudioLock::Notify() { pthread_cond_signal(&mCondition); }

void AudioLock::NotifyAll() { pthread_cond_broadcast(&mCondition); }

void AudioHostTimerBase::Initialize() {
    if (sIsInited.exchange(true)) return;
    sToNanosNumerator = sToNanosDenominator = 1;
    sFromNanosNumerator = sFromNanosDenominator = 1;
    sMinDelta = 1;
    sFrequency = double(sToNanosDenominator) / double(sToNanosNumerator) * 1e9;
}

uint64_t AudioHostTimerBase::GetCurrentTime() {
    Initialize();
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return uint64_t(ts.tv_sec) * 1000000000ULL + uint64_t(ts.tv_nsec);
}

uint64_t AudioHostTimerBase::ConvertToNanos(uint64_t ticks) {
    Initialize();
    return ticks * sToNanosNumerator / sToNanosDenominator;
}

uint64_t AudioHostTimerBase::ConvertFromNanos(uint64_t ns) {
    Initialize();
    return ns * sFromNanosNumerator / sFromNanosDenominator;
}
