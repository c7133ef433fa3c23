// The render path allocates nothing and never waits on a lock: every allocation and every
// blocking lock call of the process is counted while the test's thread renders (it plays
// the audio thread, pulling a null output by hand through AudioKit and the player).
//
// malloc and the blocking pthread calls are replaced here and forward to the C library;
// this program is therefore not built with the sanitizers, which replace them too.

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <malloc.h>
#include <pthread.h>
#include <sndfile.h>

#include <atomic>
#include <thread>

#include "AudioFileReaderThread.h"
#include "AudioKit.h"
#include "../player_fixtures.h"

extern "C" {
void *__libc_malloc(size_t);
void *__libc_calloc(size_t, size_t);
void *__libc_realloc(void *, size_t);
void *__libc_memalign(size_t, size_t);
void __libc_free(void *);
}

namespace {
thread_local bool tCounting = false;
std::atomic<int> gAllocations{0};
std::atomic<int> gBlockingLocks{0};

template <typename F>
F next(const char *name) {
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, name));
}
using MutexLock = int (*)(pthread_mutex_t *);
using RwLock = int (*)(pthread_rwlock_t *);
using CondWait = int (*)(pthread_cond_t *, pthread_mutex_t *);
using CondTimedWait = int (*)(pthread_cond_t *, pthread_mutex_t *, const timespec *);
using MutexTimedLock = int (*)(pthread_mutex_t *, const timespec *);
// The C library's own functions, looked up before any test counts.
const MutexLock realMutexLock = next<MutexLock>("pthread_mutex_lock");
const MutexTimedLock realMutexTimedLock = next<MutexTimedLock>("pthread_mutex_timedlock");
const RwLock realRdLock = next<RwLock>("pthread_rwlock_rdlock");
const RwLock realWrLock = next<RwLock>("pthread_rwlock_wrlock");
const CondWait realCondWait = next<CondWait>("pthread_cond_wait");
const CondTimedWait realCondTimedWait = next<CondTimedWait>("pthread_cond_timedwait");

inline void countAllocation() {
    if (tCounting) gAllocations.fetch_add(1, std::memory_order_relaxed);
}
inline void countLock() {
    if (tCounting) gBlockingLocks.fetch_add(1, std::memory_order_relaxed);
}
}  // namespace

extern "C" {
void *malloc(size_t n) {
    countAllocation();
    return __libc_malloc(n);
}
void *calloc(size_t n, size_t s) {
    countAllocation();
    return __libc_calloc(n, s);
}
void *realloc(void *p, size_t n) {
    countAllocation();
    return __libc_realloc(p, n);
}
void free(void *p) { __libc_free(p); }
void *memalign(size_t a, size_t n) {
    countAllocation();
    return __libc_memalign(a, n);
}
void *aligned_alloc(size_t a, size_t n) {
    countAllocation();
    return __libc_memalign(a, n);
}
int posix_memalign(void **out, size_t a, size_t n) {
    countAllocation();
    *out = __libc_memalign(a, n);
    return *out ? 0 : ENOMEM;
}
int pthread_mutex_lock(pthread_mutex_t *m) {
    countLock();
    return realMutexLock(m);
}
int pthread_mutex_timedlock(pthread_mutex_t *m, const timespec *t) {
    countLock();
    return realMutexTimedLock(m, t);
}
int pthread_rwlock_rdlock(pthread_rwlock_t *l) {
    countLock();
    return realRdLock(l);
}
int pthread_rwlock_wrlock(pthread_rwlock_t *l) {
    countLock();
    return realWrLock(l);
}
int pthread_cond_wait(pthread_cond_t *c, pthread_mutex_t *m) {
    countLock();
    return realCondWait(c, m);
}
int pthread_cond_timedwait(pthread_cond_t *c, pthread_mutex_t *m, const timespec *t) {
    countLock();
    return realCondTimedWait(c, m, t);
}
}

using namespace srk::playertest;

namespace {

struct Delegate : AudioKitDelegate {
    std::atomic<int> finished{0};
    void soundDidFinishPlaying() override { ++finished; }
};

// Renders like the audio thread, counting what the render does.
void renderCounted(NullOutput &out, std::vector<float> &buffer, uint32_t frames) {
    buffer.resize(size_t(frames) * 2);  // outside the counted part
    tCounting = true;
    out.Pull(buffer.data(), frames);
    tCounting = false;
}

}  // namespace

std::string *volatile gKeep = nullptr;

TEST(RenderRealTime, TheCounterSeesAllocationsAndLocks) {
    std::mutex m;
    tCounting = true;
    gKeep = new std::string(100, 'x');  // kept in a volatile: the allocation cannot be elided
    m.lock();
    m.unlock();
    tCounting = false;
    delete gKeep;
    EXPECT_GT(gAllocations.load(), 0);
    EXPECT_GT(gBlockingLocks.load(), 0);
    gAllocations = 0;
    gBlockingLocks = 0;
}

// The whole play of a file through AudioKit: first render, resampling, mono to stereo,
// looping across the end, streaming refills, the end of the file and the notification.
TEST(RenderRealTime, RenderingAllocatesNothingAndTakesNoBlockingLock) {
    ScratchDir dir;
    struct Case { const char *name; int rate; int channels; size_t frames; double speed; bool loop; };
    const Case cases[] = {
        {"memory, same rate", 44100, 2, 20000, 1.0, false},
        {"memory, mono, resampled, looping", 22050, 1, 20000, 1.5, true},
        {"streaming, resampled", 48000, 2, 400000, 1.0, false},
        {"streaming, mono, looping", 22050, 1, 600001, 0.75, true},
        {"memory, 8 kHz at quarter speed", 8000, 2, 8000, 0.25, false},
        {"memory, 96 kHz at speed 3.7", 96000, 2, 150000, 3.7, false},
        {"memory, 11.025 kHz at speed 1.31", 11025, 1, 30000, 1.31, false},
        {"streaming, 48 kHz at speed 0.61", 48000, 2, 400000, 0.61, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeSamples(dir.file(std::string(c.name) + ".wav"),
                                              SF_FORMAT_WAV | SF_FORMAT_PCM_16, c.rate, c.channels,
                                              pattern(c.frames * size_t(c.channels), 31));
        auto output = std::make_unique<NullOutput>(44100, 2, NullOutput::Mode::Manual);
        NullOutput &out = *output;
        auto kit = AudioKit::initWithOutput(path, std::move(output));
        Delegate delegate;
        kit->setDelegate(&delegate);
        kit->setPlaybackSpeed(c.speed);
        ASSERT_FALSE(kit->play(c.loop));
        gAllocations = 0;
        gBlockingLocks = 0;
        std::vector<float> buffer;
        // Devices ask for buffers of all sizes, some larger than the converter's blocks.
        const uint32_t sizes[] = {441, 1102, 64, 1024, 4096, 1, 735};
        size_t call = 0;
        const size_t total = size_t(double(c.frames) / c.rate / c.speed * 44100 * (c.loop ? 2.5 : 1.0)) + 100000;
        for (size_t done = 0; done < total && kit->isPlaying(); ++call) {
            const uint32_t n = sizes[call % std::size(sizes)];
            renderCounted(out, buffer, n);
            done += n;
            sReaderThread.WaitUntilIdle(10'000'000'000ULL);
        }
        if (c.loop) {
            EXPECT_TRUE(kit->isPlaying());
            kit->setLooping(false);
            for (int i = 0; i < 20000 && kit->isPlaying(); ++i, ++call) {
                renderCounted(out, buffer, sizes[call % std::size(sizes)]);
                sReaderThread.WaitUntilIdle(10'000'000'000ULL);
            }
        }
        EXPECT_FALSE(kit->isPlaying()) << "played to the end";
        EXPECT_EQ(delegate.finished.load(), 1);
        EXPECT_EQ(gAllocations.load(), 0);
        EXPECT_EQ(gBlockingLocks.load(), 0);
    }
}

// A render that finds the reader's lock taken (the reader busy with its queue) only
// tries it: no wait, no allocation; the underrun ends playback through the notifier.
TEST(RenderRealTime, BusyReaderLockIsOnlyTried) {
    ScratchDir dir;
    const std::string path = writeSamples(dir.file("s.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                                          pattern(2 * 400000, 32));
    auto output = std::make_unique<NullOutput>(44100, 2, NullOutput::Mode::Manual);
    NullOutput &out = *output;
    auto kit = AudioKit::initWithOutput(path, std::move(output));
    Delegate delegate;
    kit->setDelegate(&delegate);
    ASSERT_FALSE(kit->play(false));
    std::atomic<bool> held{false}, release{false};
    std::thread holder([&] {
        sReaderThread.GetGuard().Lock();
        held = true;
        while (!release) std::this_thread::yield();
        sReaderThread.GetGuard().Unlock();
    });
    while (!held) std::this_thread::yield();
    gAllocations = 0;
    gBlockingLocks = 0;
    std::vector<float> buffer;
    for (int i = 0; i < 200 && kit->isPlaying(); ++i) renderCounted(out, buffer, 1024);
    release = true;
    holder.join();
    EXPECT_FALSE(kit->isPlaying()) << "the underrun ended playback";
    EXPECT_EQ(delegate.finished.load(), 1);
    EXPECT_EQ(gAllocations.load(), 0);
    EXPECT_EQ(gBlockingLocks.load(), 0);
}
