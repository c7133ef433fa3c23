#include "player_fixtures.h"

#include <sndfile.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

#include "AudioFileReaderThread.h"

namespace srk::playertest {

ScratchDir::ScratchDir() {
    const char *base = std::getenv("TMPDIR");
    std::string tmpl = std::string(base && *base ? base : "/tmp") + "/srk-player-XXXXXX";
    if (!mkdtemp(tmpl.data())) throw std::runtime_error("mkdtemp failed");
    path_ = tmpl;
}

ScratchDir::~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
}

std::string writeSamples(const std::string &path, int sfFormat, int rate, int channels,
                         const std::vector<int16_t> &samples) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = sfFormat;
    SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) throw std::runtime_error("libsndfile cannot write " + path + ": " + sf_strerror(nullptr));
    sf_count_t n = 0;
    const int sub = sfFormat & SF_FORMAT_SUBMASK;
    if (sub == SF_FORMAT_FLOAT || sub == SF_FORMAT_DOUBLE) {
        // Float files get the samples' exact float values (s / 32768).
        std::vector<float> v(samples.size());
        for (size_t i = 0; i < v.size(); ++i) v[i] = toFloat(samples[i]);
        n = sf_write_float(f, v.data(), sf_count_t(v.size()));
    } else {
        n = sf_write_short(f, samples.data(), sf_count_t(samples.size()));
    }
    sf_close(f);
    if (n != sf_count_t(samples.size())) throw std::runtime_error("short write " + path);
    return path;
}

std::vector<int16_t> pattern(size_t count, uint32_t seed) {
    std::vector<int16_t> v(count);
    uint32_t x = seed * 2654435761u + 12345u;
    for (auto &s : v) {
        x = x * 1664525u + 1013904223u;
        int hi = int((x >> 16) & 0xFF) - 128;  // -128 .. 127
        if (hi == 0) hi = 1;
        s = int16_t(hi * 256);
    }
    return v;
}

std::vector<int16_t> tone(double hz, int rate, int channels, size_t frames, double amplitude) {
    std::vector<int16_t> v(frames * size_t(channels));
    for (size_t i = 0; i < frames; ++i) {
        const auto s = int16_t(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * double(i) / rate)));
        for (int c = 0; c < channels; ++c) v[i * size_t(channels) + size_t(c)] = s;
    }
    return v;
}

double zeroCrossingHz(const std::vector<float> &data, int channels, double rate, size_t from, size_t to) {
    size_t first = 0, last = 0, crossings = 0;
    for (size_t i = from + 1; i < to; ++i) {
        const float a = data[(i - 1) * size_t(channels)], b = data[i * size_t(channels)];
        if (a < 0.0f && b >= 0.0f) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return double(crossings - 1) * rate / double(last - first);
}

double rms(const std::vector<float> &data, int channels, size_t from, size_t to) {
    double sum = 0.0;
    for (size_t i = from; i < to; ++i) sum += double(data[i * size_t(channels)]) * data[i * size_t(channels)];
    return to > from ? std::sqrt(sum / double(to - from)) : 0.0;
}

size_t soundingFrames(const std::vector<float> &data, int channels, float threshold) {
    size_t frames = data.size() / size_t(channels);
    while (frames > 0 && std::fabs(data[(frames - 1) * size_t(channels)]) <= threshold) --frames;
    return frames;
}

ManualRig::ManualRig(double rate, uint32_t ch) : output(rate, ch, NullOutput::Mode::Manual), channels(ch) {}

ManualRig::~ManualRig() { DisposeAudioFilePlayID(player); }

void ManualRig::notify(void *context, SrkStatus status) {
    auto *rig = static_cast<ManualRig *>(context);
    if (status == kSrkPlayerUnderrun) ++rig->underruns;
    else if (status == kSrkPlayerEndOfFile) ++rig->endOfFile;
    else ++rig->errors;
}

SrkStatus ManualRig::open(const std::string &path, double speed, bool loop, bool withNotifier) {
    SrkStatus s = NewAudioFilePlayID(path.c_str(), &player);
    if (s) return s;
    if ((s = PlayerSetSpeed(player, speed))) return s;
    if ((s = PlayerSetLooping(player, loop))) return s;
    if ((s = PlayerSetDestination(player, &output, 0))) return s;
    if (withNotifier && (s = PlayerSetNotifier(player, &ManualRig::notify, this))) return s;
    if ((s = PlayerConnect(player))) return s;
    return output.Start();
}

std::vector<float> ManualRig::pull(size_t frames, uint32_t blockFrames, bool waitForReader) {
    std::vector<float> out(frames * channels);
    size_t done = 0;
    while (done < frames) {
        const uint32_t n = uint32_t(std::min<size_t>(blockFrames, frames - done));
        output.Pull(out.data() + done * channels, n);
        done += n;
        framesPulled += n;
        if (endReportedAt < 0 && endOfFile.load() > 0) endReportedAt = framesPulled;
        if (waitForReader) sReaderThread.WaitUntilIdle(10'000'000'000ULL);
    }
    return out;
}

std::vector<float> ManualRig::pullToEnd(size_t maxFrames, uint32_t blockFrames) {
    std::vector<float> out;
    while (endOfFile.load() == 0 && out.size() / channels < maxFrames) {
        const auto part = pull(blockFrames, blockFrames);
        out.insert(out.end(), part.begin(), part.end());
    }
    return out;
}

}  // namespace srk::playertest
