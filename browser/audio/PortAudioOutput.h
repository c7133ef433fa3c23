#pragma once
// The default sound device through PortAudio (ALSA, with PulseAudio or PipeWire behind it):
// float frames pulled by PortAudio's callback thread, the device's default rate and at most
// two channels.

#include <memory>

#include "AudioOutput.h"

class PortAudioOutput : public AudioOutput {
public:
    // Opens a stream on the default output device; null when PortAudio finds none or the
    // stream does not open. Client thread.
    static std::unique_ptr<PortAudioOutput> OpenDefault();
    ~PortAudioOutput() override;

    AudioDataFormat StreamFormat() const override { return mFormat; }
    SrkStatus Start() override;
    SrkStatus Stop() override;

private:
    PortAudioOutput() = default;
    static int Callback(const void *input, void *output, unsigned long frames,
                        const struct PaStreamCallbackTimeInfo *timeInfo, unsigned long statusFlags,
                        void *userData);

    void *mStream = nullptr;
    AudioDataFormat mFormat;
    // After a stop asked for from the callback: silent frames rendered so far, and how
    // many it takes for the frames already handed to the device to be heard.
    uint64_t mDrainedFrames = 0;
    uint64_t mDrainTarget = 0;
};
