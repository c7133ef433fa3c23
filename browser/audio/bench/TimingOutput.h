#pragma once
// A benchmark output: its thread pulls 128-frame periods at the pace of real time, like a
// low-latency device, and notes when the first non-silent sound comes out.
#include "AudioOutput.h"

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

namespace srkbench {
using Clock = std::chrono::steady_clock;

class TimingOutput : public AudioOutput {
public:
    explicit TimingOutput(double rate) : mFormat(SrkFloatFormat(rate, 2)), mBuffer(128 * 2) {}
    ~TimingOutput() override { Stop(); }
    AudioDataFormat StreamFormat() const override { return mFormat; }
    SrkStatus Start() override {
        Stop();
        mQuit = false;
        mStopRequested = false;
        mRunning = true;
        mThread = std::thread([this] {
            auto next = Clock::now();
            const auto period = std::chrono::nanoseconds(int64_t(128 * 1e9 / mFormat.sampleRate));
            while (!mQuit && !mStopRequested) {
                Render(mBuffer.data(), 128, 2);
                if (mFirstSound.load() == Clock::time_point{})
                    for (float v : mBuffer)
                        if (v != 0.0f) {
                            mFirstSound = Clock::now();
                            break;
                        }
                next += period;
                std::this_thread::sleep_until(next);
            }
        });
        return kSrkNoErr;
    }
    SrkStatus Stop() override {
        mStopRequested = true;
        if (AudioOutput::InRenderCallback()) return kSrkNoErr;
        mQuit = true;
        if (mThread.joinable()) mThread.join();
        mRunning = false;
        return kSrkNoErr;
    }
    std::atomic<Clock::time_point> mFirstSound{Clock::time_point{}};

private:
    AudioDataFormat mFormat;
    std::vector<float> mBuffer;
    std::thread mThread;
    std::atomic<bool> mQuit{false};
};

}  // namespace srkbench
