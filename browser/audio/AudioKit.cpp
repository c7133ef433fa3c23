// AudioKit instance operations: one sound file played on its own output through a new
// streaming file player for every start. The class operations (file facts, playability,
// header rewrite) are in AudioKitFileInfo.cpp.

#include "AudioKit.h"

#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cmath>

#include "AudioFilePlayer.h"
#include "AudioOutput.h"
#include "PortAudioOutput.h"

struct AudioKit::Impl {
    std::string _filename;
    bool _loop = false;
    // Read on the audio thread when playback ends.
    std::atomic<AudioKitDelegate *> _delegate{nullptr};
    std::unique_ptr<AudioOutput> theUnit;
    AudioFilePlayID player = nullptr;
    // Written by the main thread and by the thread that sees the end of playback; the
    // exchange in finishedPlaying makes sure only one of them ends a playback.
    std::atomic<bool> _isPlaying{false};
    double _playbackSpeed = 1.0;
    double _volume = 100.0;
};

AudioKit::AudioKit() : d(std::make_unique<Impl>()) {}

std::unique_ptr<AudioKit> AudioKit::initWithContentsOfFile(const std::string &path) {
    std::unique_ptr<AudioKit> kit(new AudioKit);
    kit->d->_filename = path;
    if (kit->initAudioUnit()) return nullptr;
    return kit;
}

std::unique_ptr<AudioKit> AudioKit::initWithOutput(const std::string &path, std::unique_ptr<AudioOutput> output) {
    if (!output) return nullptr;
    std::unique_ptr<AudioKit> kit(new AudioKit);
    kit->d->_filename = path;
    kit->d->theUnit = std::move(output);
    return kit;
}

bool AudioKit::initAudioUnit() {
    d->theUnit = PortAudioOutput::OpenDefault();
    // Without a sound device the sound still "plays": a null output pulls it in real time,
    // so playback ends and notifies exactly as it would on a device.
    if (!d->theUnit) d->theUnit = std::make_unique<NullOutput>(44100.0, 2, NullOutput::Mode::RealTime);
    return !d->theUnit;
}

AudioKit::~AudioKit() {
    stop();
    if (d->theUnit) d->theUnit->Stop();
    disconnectPlayer();
}

void AudioKit::replaceFilename(const std::string &path) { d->_filename = path; }

std::string AudioKit::filename() const { return d->_filename; }

bool AudioKit::play(bool loop) {
    if (d->_isPlaying.load()) return true;
    d->_loop = loop;
    struct stat st {};
    if (d->_filename.empty() || ::stat(d->_filename.c_str(), &st) != 0) return true;
    disconnectPlayer();
    AudioFilePlayID player = nullptr;
    if (NewAudioFilePlayID(d->_filename.c_str(), &player) != kSrkNoErr) return true;
    d->player = player;
    // The output takes its own device format at its input, so the player converts to
    // exactly what the device plays.
    PlayerSetSpeed(player, d->_playbackSpeed);
    PlayerSetLooping(player, loop);
    SrkStatus status = PlayerSetDestination(player, d->theUnit.get(), 0);
    PlayerSetNotifier(player, &AudioKit::FilePlayNotificationHandler, this);
    if (status == kSrkNoErr) status = PlayerConnect(player);
    if (status != kSrkNoErr) {
        // A file that cannot be converted does not count as playing.
        disconnectPlayer();
        return true;
    }
    d->_isPlaying = true;
    d->theUnit->Start();
    return false;
}

void AudioKit::finishedPlaying() {
    if (!d->_isPlaying.exchange(false)) return;
    d->theUnit->Stop();
    if (AudioKitDelegate *delegate = d->_delegate.load()) delegate->soundDidFinishPlaying();
}

void AudioKit::stop() {
    if (d->_isPlaying.load()) finishedPlaying();
}

bool AudioKit::isPlaying() const { return d->_isPlaying.load(); }

void AudioKit::setLooping(bool loop) {
    if (d->player) PlayerSetLooping(d->player, loop);
}

void AudioKit::setPlaybackSpeed(double speed) {
    d->_playbackSpeed = speed;
    if (d->player) PlayerSetSpeed(d->player, speed);
}

void AudioKit::setVolume(double volume) {
    d->_volume = volume;
    const double v = volume >= 0.0 ? std::min(volume, 1.0) : 0.0;  // NaN and negatives: silent
    d->theUnit->SetVolume(float(v));
}

double AudioKit::getBPM(int32_t beats, bool round) const {
    double sr = 0.0;
    uint32_t channels = 0, bits = 0, fileFormat = 0;
    int64_t dataSize = 0;
    getAudioFileInfo(d->_filename, &sr, &channels, &bits, &fileFormat, &dataSize);
    if (fileFormat != kAudioFileAIFFType && fileFormat != kAudioFileAIFCType &&
        fileFormat != kAudioFileSoundDesigner2Type && fileFormat != kAudioFileWAVEType)
        return 0.0;
    const int64_t frameSize = int64_t(channels) * int64_t(bits / 8);
    if (frameSize <= 0) return 0.0;
    const int64_t frames = dataSize / frameSize;
    // No frames: no duration to spread the beats over.
    if (frames <= 0) return 0.0;
    double tempo = double(beats) * sr * 60.0 / double(frames);
    if (round) tempo = double(std::round(float(tempo)));
    return tempo;
}

void AudioKit::setDelegate(AudioKitDelegate *delegate) { d->_delegate = delegate; }

AudioKitDelegate *AudioKit::delegate() const { return d->_delegate.load(); }

AudioOutput *AudioKit::outputUnit() const { return d->theUnit.get(); }

void AudioKit::disconnectPlayer() {
    if (!d->player) return;
    PlayerDisconnect(d->player);
    DisposeAudioFilePlayID(d->player);
    d->player = nullptr;
}

void AudioKit::FilePlayNotificationHandler(void *context, int32_t) {
    // The end of the file, an underrun and any error all end playback.
    static_cast<AudioKit *>(context)->finishedPlaying();
}
