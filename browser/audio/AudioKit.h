#pragma once
// AudioKit: one sound file with its own connection to the default output, plus the
// class-level questions the browser asks about a file without playing it.

#include <cstdint>
#include <memory>
#include <string>

class AudioOutput;

// Packs four ASCII characters big-endian into a 32-bit code ("AIFF" -> 0x41494646).
constexpr uint32_t srkFourCC(const char (&s)[5]) {
    return (uint32_t(uint8_t(s[0])) << 24) | (uint32_t(uint8_t(s[1])) << 16) |
           (uint32_t(uint8_t(s[2])) << 8) | uint32_t(uint8_t(s[3]));
}

constexpr uint32_t kAudioFileAIFFType = srkFourCC("AIFF");
constexpr uint32_t kAudioFileAIFCType = srkFourCC("AIFC");
constexpr uint32_t kAudioFileWAVEType = srkFourCC("WAVE");
constexpr uint32_t kAudioFileSoundDesigner2Type = srkFourCC("Sd2f");
constexpr uint32_t kAudioFileMP3Type = srkFourCC("MP3 ");

// Receives the end of every playback (stop, end of file, underrun, error).
// May be called on the audio thread (or, after a failed disk read, on the disk reader
// thread): implementations must hand work to their own thread.
class AudioKitDelegate {
public:
    virtual ~AudioKitDelegate() = default;
    virtual void soundDidFinishPlaying() = 0;
};

class AudioKit {
public:
    // ---- Class operations: file facts, playability, header rewrite. Any thread. ----

    // Fills the five values; zeros (and "MP3 " for .mp3 names) when the file cannot be read.
    // dataSize is written only when the file opened.
    static void getAudioFileInfo(const std::string &path, double *sr, uint32_t *channels,
                                 uint32_t *bits, uint32_t *fileFormat, int64_t *dataSize);
    // True when the program will play the file: by extension first, by content when
    // checkOnlyExt is false and the extension says nothing.
    static bool canPlayFile(const std::string &path, bool checkOnlyExt);
    // Rewrites the declared sample rate (current rate x sr, or 44100 with reset).
    // Returns true when the file could not be opened for writing.
    static bool writeNewSampleRateHeaderInfo(const std::string &path, double sr, bool reset);

    // ---- Playing (main thread unless stated). ----

    // Null when no output (device or null output) can be opened.
    static std::unique_ptr<AudioKit> initWithContentsOfFile(const std::string &path);
    // The same on a given output instead of the default device (tests, benchmarks, a null
    // output pulled by hand). Null when output is null.
    static std::unique_ptr<AudioKit> initWithOutput(const std::string &path, std::unique_ptr<AudioOutput> output);
    ~AudioKit();
    AudioKit(const AudioKit &) = delete;
    AudioKit &operator=(const AudioKit &) = delete;

    void replaceFilename(const std::string &path);
    std::string filename() const;
    // False when playback started; true when already playing or the path is unusable.
    bool play(bool loop);
    void stop();
    bool isPlaying() const;
    void setLooping(bool loop);
    void setPlaybackSpeed(double speed);
    void setVolume(double volume);  // 0.0 - 1.0
    double getBPM(int32_t beats, bool round) const;
    void setDelegate(AudioKitDelegate *delegate);
    AudioKitDelegate *delegate() const;
    // The output this instance plays on (the sound device, or the null output when no
    // device opened).
    AudioOutput *outputUnit() const;

private:
    AudioKit();
    // Common end of playback: stops the output and tells the delegate, once per playback.
    // Main thread, audio thread (end of file, underrun, error) or disk reader thread.
    void finishedPlaying();
    // Opens the default output; true on failure.
    bool initAudioUnit();
    // Disconnects and disposes of the current player. Main thread.
    void disconnectPlayer();
    // The player's notifier; context is the AudioKit.
    static void FilePlayNotificationHandler(void *context, int32_t status);
    struct Impl;
    std::unique_ptr<Impl> d;
};
