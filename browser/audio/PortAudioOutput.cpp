#include "PortAudioOutput.h"

#include <portaudio.h>

#include <algorithm>
#include <cstdio>

namespace {

// PortAudio is initialised once per process, on first use, and stays up: scanning the
// devices takes long enough that it must not happen at every new sound.
bool PortAudioReady() {
    static const bool ready = [] {
        const PaError err = Pa_Initialize();
        if (err != paNoError) std::fprintf(stderr, "Pa_Initialize:%s\n", Pa_GetErrorText(err));
        return err == paNoError;
    }();
    return ready;
}

}  // namespace

std::unique_ptr<PortAudioOutput> PortAudioOutput::OpenDefault() {
    if (!PortAudioReady()) return nullptr;
    const PaDeviceIndex device = Pa_GetDefaultOutputDevice();
    if (device == paNoDevice) return nullptr;
    const PaDeviceInfo *info = Pa_GetDeviceInfo(device);
    if (!info || info->maxOutputChannels < 1) return nullptr;
    const int channels = std::min(info->maxOutputChannels, 2);
    const double rate = info->defaultSampleRate > 0 ? info->defaultSampleRate : 44100.0;

    std::unique_ptr<PortAudioOutput> out(new PortAudioOutput);
    out->mFormat = SrkFloatFormat(rate, uint32_t(channels));
    PaStreamParameters params{};
    params.device = device;
    params.channelCount = channels;
    params.sampleFormat = paFloat32;
    // Through ALSA and a sound server the low-latency default drops out as soon as the
    // machine is busy; an auditioner can afford a tenth of a second.
    params.suggestedLatency = std::max(info->defaultHighOutputLatency, 0.1);
    PaStream *stream = nullptr;
    const PaError err = Pa_OpenStream(&stream, nullptr, &params, rate, paFramesPerBufferUnspecified, paNoFlag,
                                      &PortAudioOutput::Callback, out.get());
    if (err != paNoError) {
        std::fprintf(stderr, "Pa_OpenStream:%s\n", Pa_GetErrorText(err));
        return nullptr;
    }
    out->mStream = stream;
    const PaStreamInfo *streamInfo = Pa_GetStreamInfo(stream);
    const double latency = streamInfo ? streamInfo->outputLatency : params.suggestedLatency;
    out->mDrainTarget = uint64_t(latency * rate) + 4096;
    return out;
}

PortAudioOutput::~PortAudioOutput() {
    if (mStream) {
        Pa_AbortStream(mStream);
        Pa_CloseStream(mStream);
    }
}

int PortAudioOutput::Callback(const void *, void *output, unsigned long frames, const PaStreamCallbackTimeInfo *,
                              PaStreamCallbackFlags, void *userData) {
    auto *self = static_cast<PortAudioOutput *>(userData);
    self->Render(static_cast<float *>(output), uint32_t(frames), self->mFormat.channelsPerFrame);
    // A stop asked for from inside the callback (the sound ended) ends the stream once the
    // device has played what it was already given: ending it at once would drop the
    // sound's last tenth of a second still in the device's buffer.
    if (!self->mStopRequested.load(std::memory_order_acquire)) {
        self->mDrainedFrames = 0;
        return paContinue;
    }
    self->mDrainedFrames += frames;
    return self->mDrainedFrames >= self->mDrainTarget ? paComplete : paContinue;
}

SrkStatus PortAudioOutput::Start() {
    if (mRunning.load() && !mStopRequested.load() && Pa_IsStreamActive(mStream) == 1) return kSrkNoErr;
    // A stream that ended itself from its callback (or is still playing out the end of
    // the last sound) is not stopped yet: stop it at once, the new sound replaces it.
    if (Pa_IsStreamStopped(mStream) == 0) Pa_AbortStream(mStream);
    mStopRequested = false;
    const PaError err = Pa_StartStream(mStream);
    if (err != paNoError) {
        std::fprintf(stderr, "Pa_StartStream:%s\n", Pa_GetErrorText(err));
        return kSrkOutputFailed;
    }
    mRunning = true;
    return kSrkNoErr;
}

SrkStatus PortAudioOutput::Stop() {
    mStopRequested = true;
    if (AudioOutput::InRenderCallback()) return kSrkNoErr;
    mRunning = false;
    // Abort rather than drain: a stopped sound should go quiet at once.
    if (Pa_IsStreamStopped(mStream) == 0) Pa_AbortStream(mStream);
    return kSrkNoErr;
}
