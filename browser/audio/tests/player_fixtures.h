#pragma once
// Fixtures for the player tests: generated audio files in a temporary folder, a player on
// a null output that the test pulls by hand, and signal measurements.

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "AudioFilePlayer.h"
#include "AudioOutput.h"

namespace srk::playertest {

class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir &) = delete;
    ScratchDir &operator=(const ScratchDir &) = delete;
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

// Writes interleaved 16-bit samples with libsndfile in sfFormat (major | sub format);
// libsndfile scales them to the file's sample size. Returns path.
std::string writeSamples(const std::string &path, int sfFormat, int rate, int channels,
                         const std::vector<int16_t> &samples);
// Nonzero pseudo-random samples whose low byte is 0 (so 8-bit files hold them exactly).
std::vector<int16_t> pattern(size_t count, uint32_t seed);
// A sine tone, all channels alike.
std::vector<int16_t> tone(double hz, int rate, int channels, size_t frames, double amplitude);
// The float value of a 16-bit sample.
inline float toFloat(int16_t s) { return float(s) / 32768.0f; }

// Frequency of channel 0 from the upward zero crossings of frames [from, to).
double zeroCrossingHz(const std::vector<float> &data, int channels, double rate, size_t from, size_t to);
// Root mean square of channel 0 over frames [from, to).
double rms(const std::vector<float> &data, int channels, size_t from, size_t to);
// Index of the last frame whose channel 0 is louder than threshold, plus 1.
size_t soundingFrames(const std::vector<float> &data, int channels, float threshold = 0.0f);

// A player connected to a null output that the test pulls by hand; the test's thread is
// the audio thread. Statuses the notifier receives are counted.
class ManualRig {
public:
    ManualRig(double rate, uint32_t channels);
    ~ManualRig();

    // Creates, configures and connects the player and starts the output; the first
    // failing status, or 0.
    SrkStatus open(const std::string &path, double speed = 1.0, bool loop = false, bool withNotifier = true);
    // Pulls frames in blocks of blockFrames; after each block waits until the disk reader
    // has served every request (unless waitForReader is false), so runs are deterministic.
    std::vector<float> pull(size_t frames, uint32_t blockFrames = 1024, bool waitForReader = true);
    // Pulls until the end of the file is notified or maxFrames have been pulled.
    std::vector<float> pullToEnd(size_t maxFrames, uint32_t blockFrames = 1024);

    AudioFilePlayID player = nullptr;
    NullOutput output;
    uint32_t channels;
    std::atomic<int> underruns{0};
    std::atomic<int> endOfFile{0};
    std::atomic<int> errors{0};
    int64_t framesPulled = 0;
    int64_t endReportedAt = -1;  // framesPulled at the end of the block that first saw -10001

private:
    static void notify(void *context, SrkStatus status);
};

}  // namespace srk::playertest
