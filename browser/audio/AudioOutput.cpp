#include "AudioOutput.h"

#include <algorithm>
#include <ctime>

namespace {
thread_local bool tInRenderCallback = false;
}

bool AudioOutput::InRenderCallback() { return tInRenderCallback; }

void AudioOutput::WaitForCallbackToLeave() const {
    while (mInCallback.load(std::memory_order_seq_cst)) std::this_thread::yield();
}

void AudioOutput::SetRenderCallback(AudioRenderProc proc, void *context) {
    const bool inside = tInRenderCallback;
    // The slot we fill may still be read by a callback that started before an earlier
    // change made from inside a callback (which could not wait): let it finish first.
    if (!inside) WaitForCallbackToLeave();
    Registration *slot = &mSlots[mNextSlot];
    mNextSlot ^= 1;
    slot->proc = proc;
    slot->context = context;
    mActive.store(proc ? slot : nullptr, std::memory_order_seq_cst);
    // The render thread sets mInCallback before it reads mActive (both sequentially
    // consistent): once we see it clear, any later callback sees the new registration.
    if (!inside) WaitForCallbackToLeave();
}

void AudioOutput::Render(float *data, uint32_t frames, uint32_t channels) {
    const size_t samples = size_t(frames) * channels;
    bool filled = false;
    if (!mStopRequested.load(std::memory_order_acquire)) {
        tInRenderCallback = true;
        mInCallback.store(true, std::memory_order_seq_cst);
        const Registration *r = mActive.load(std::memory_order_seq_cst);
        if (r) {
            r->proc(r->context, data, frames);
            filled = true;
        }
        mInCallback.store(false, std::memory_order_seq_cst);
        tInRenderCallback = false;
    }
    if (!filled) {
        std::fill(data, data + samples, 0.0f);
        return;
    }
    const float v = mVolume.load(std::memory_order_relaxed);
    if (v != 1.0f)
        for (size_t i = 0; i < samples; ++i) data[i] *= v;
}

NullOutput::NullOutput(double sampleRate, uint32_t channels, Mode mode, uint32_t periodFrames)
    : mFormat(SrkFloatFormat(sampleRate, channels)), mMode(mode), mPeriodFrames(std::max<uint32_t>(1, periodFrames)) {
    mBuffer.assign(size_t(mPeriodFrames) * channels, 0.0f);
}

NullOutput::~NullOutput() {
    mQuit = true;
    if (mThread.joinable()) mThread.join();
}

SrkStatus NullOutput::Start() {
    if (mThread.joinable()) {
        if (mRunning.load() && !mStopRequested.load()) return kSrkNoErr;
        mQuit = true;  // a thread that stopped itself from its callback: collect it
        mThread.join();
    }
    mQuit = false;
    mStopRequested = false;
    mRunning = true;
    if (mMode == Mode::RealTime) mThread = std::thread(&NullOutput::ThreadLoop, this);
    return kSrkNoErr;
}

SrkStatus NullOutput::Stop() {
    mStopRequested = true;
    if (AudioOutput::InRenderCallback()) return kSrkNoErr;
    mQuit = true;
    if (mThread.joinable() && mThread.get_id() != std::this_thread::get_id()) mThread.join();
    mRunning = false;
    return kSrkNoErr;
}

void NullOutput::Pull(float *data, uint32_t frames) {
    if (!mRunning.load(std::memory_order_acquire)) {
        std::fill(data, data + size_t(frames) * mFormat.channelsPerFrame, 0.0f);
        return;
    }
    Render(data, frames, mFormat.channelsPerFrame);
}

void NullOutput::ThreadLoop() {
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    const long periodNs = long(double(mPeriodFrames) * 1e9 / mFormat.sampleRate);
    while (!mQuit.load() && !mStopRequested.load()) {
        Render(mBuffer.data(), mPeriodFrames, mFormat.channelsPerFrame);
        next.tv_nsec += periodNs;
        while (next.tv_nsec >= 1000000000L) {
            next.tv_nsec -= 1000000000L;
            ++next.tv_sec;
        }
        clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &next, nullptr);
    }
}
