#pragma once
// The output of the audio engine: something that pulls interleaved float frames through a
// render callback on its own real-time thread between Start and Stop, tells its stream
// format, and applies a volume at once. PortAudioOutput (PortAudioOutput.h) plays on the
// default sound device; NullOutput pulls on a thread of its own at the pace of real time
// without a device, or only when a test pulls by hand.

#include <atomic>
#include <cstdint>
#include <memory>
#include <thread>
#include <vector>

#include "AudioDataFormat.h"
#include "AudioStatus.h"

// Fills frames interleaved frames of the output's stream format. Runs on the output's
// real-time thread: no locks, no allocation, no disk.
using AudioRenderProc = SrkStatus (*)(void *context, float *data, uint32_t frames);

class AudioOutput {
public:
    virtual ~AudioOutput() = default;
    AudioOutput(const AudioOutput &) = delete;
    AudioOutput &operator=(const AudioOutput &) = delete;

    // The format the output takes at its input: native float, interleaved, the device's
    // rate and channel count. Any thread.
    virtual AudioDataFormat StreamFormat() const = 0;

    // Starts pulling. Client thread.
    virtual SrkStatus Start() = 0;
    // Stops pulling. From the client thread it returns once the callback has stopped
    // being called; from the render callback itself (a player that ended) it only asks
    // for the stop, which takes effect when the callback returns.
    virtual SrkStatus Stop() = 0;

    bool IsRunning() const { return mRunning.load(std::memory_order_acquire) && !mStopRequested.load(); }

    // Installs the render callback; a null proc detaches it. Client thread: returns once a
    // callback that was running with the previous registration has returned, so the
    // previous context may be destroyed afterwards. From inside the callback it does not
    // wait (the running callback is the caller).
    void SetRenderCallback(AudioRenderProc proc, void *context);

    // Output volume, 0.0 - 1.0, applied from the next buffer on. Any thread.
    void SetVolume(float volume) { mVolume.store(volume, std::memory_order_relaxed); }
    float Volume() const { return mVolume.load(std::memory_order_relaxed); }

    // True on the thread that is inside a render callback of any output right now.
    static bool InRenderCallback();

protected:
    AudioOutput() = default;
    // Fills the buffer through the callback (silence when none is installed or a stop is
    // pending) and applies the volume. The output's real-time thread, or a test pulling.
    void Render(float *data, uint32_t frames, uint32_t channels);

    std::atomic<bool> mRunning{false};
    std::atomic<bool> mStopRequested{false};

private:
    struct Registration {
        AudioRenderProc proc = nullptr;
        void *context = nullptr;
    };
    void WaitForCallbackToLeave() const;

    Registration mSlots[2];
    int mNextSlot = 0;
    std::atomic<Registration *> mActive{nullptr};
    std::atomic<bool> mInCallback{false};
    std::atomic<float> mVolume{1.0f};
};

// An output without a device. In real-time mode a thread of its own pulls one period of
// frames at the pace of real time from Start to Stop; in manual mode nothing pulls until a
// test calls Pull. Used when no sound device opens, and by tests and benchmarks.
class NullOutput : public AudioOutput {
public:
    enum class Mode { RealTime, Manual };
    NullOutput(double sampleRate, uint32_t channels, Mode mode, uint32_t periodFrames = 512);
    ~NullOutput() override;

    AudioDataFormat StreamFormat() const override { return mFormat; }
    SrkStatus Start() override;
    SrkStatus Stop() override;

    // Pulls frames as the device thread would: silence unless started. Manual mode: the
    // test's thread plays the role of the audio thread.
    void Pull(float *data, uint32_t frames);

private:
    void ThreadLoop();

    AudioDataFormat mFormat;
    Mode mMode;
    uint32_t mPeriodFrames;
    std::thread mThread;
    std::vector<float> mBuffer;
    std::atomic<bool> mQuit{false};
};
