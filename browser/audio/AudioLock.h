#pragma once
// A mutex with a condition variable that knows its owner, so that a thread that already
// holds it neither deadlocks on Lock nor releases someone else's lock. Try never waits:
// it is the only operation the audio thread uses.

#include <pthread.h>

#include <atomic>
#include <cstdint>
#include <string>

class AudioLock {
public:
    explicit AudioLock(const char *name);
    virtual ~AudioLock();
    AudioLock(const AudioLock &) = delete;
    AudioLock &operator=(const AudioLock &) = delete;

    // Takes the lock; false (and nothing done) when the caller already owns it. Callers
    // unlock only when Lock returned true. Blocks: never on the audio thread.
    virtual bool Lock();
    // Releases the lock when the caller owns it.
    virtual void Unlock();
    // Never waits. False when another thread holds the lock; true with *acquired false
    // when the caller already owns it; true with *acquired true when this call took it.
    // Real-time safe.
    virtual bool Try(bool *acquired);
    // Waits for a notification, releasing the lock meanwhile. The caller owns the lock.
    virtual void Wait();
    // The same with a time-out of ns nanoseconds; true when it timed out.
    virtual bool WaitFor(uint64_t ns);
    // The same until the monotonic host time t (nanoseconds); returns at once when past.
    virtual bool WaitUntil(uint64_t t);
    virtual void Notify();
    virtual void NotifyAll();

    bool OwnedByCaller() const;
    const std::string &Name() const { return mName; }

private:
    std::string mName;
    pthread_mutex_t mMutex;
    pthread_cond_t mCondition;
    std::atomic<pthread_t> mOwner{};
    std::atomic<bool> mOwned{false};
};

// Conversion between host clock ticks and nanoseconds. The host clock here is the
// monotonic clock, counted in nanoseconds, so both ratios are 1.
struct AudioHostTimerBase {
    static void Initialize();
    static uint64_t GetCurrentTime();  // host ticks
    static uint64_t ConvertToNanos(uint64_t ticks);
    static uint64_t ConvertFromNanos(uint64_t ns);

    static inline std::atomic<bool> sIsInited{false};
    static inline uint32_t sToNanosNumerator = 1;
    static inline uint32_t sToNanosDenominator = 1;
    static inline uint32_t sFromNanosNumerator = 1;
    static inline uint32_t sFromNanosDenominator = 1;
    static inline uint64_t sMinDelta = 1;
    static inline double sFrequency = 1e9;  // ticks per second
};
