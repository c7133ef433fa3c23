// AudioKit's class operations: file facts (through libsndfile, plus our own header
// reader for the few facts libsndfile does not expose), playability, and the rewrite of
// the declared sample rate (through HeaderPatcher).

#include "AudioKit.h"
#include "HeaderPatcher.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string lowerAscii(const std::string &s) {
    std::string out = s;
    for (char &c : out)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return out;
}

bool endsWith(const std::string &s, const char *suffix) {
    const size_t n = std::strlen(suffix);
    return s.size() >= n && s.compare(s.size() - n, n, suffix) == 0;
}

// Bits per sample as stored. Encodings without a fixed whole-byte sample size in the
// file (ADPCM, GSM, G.72x, DWVW, Vorbis, Opus, MPEG) report 0, as they have no bits per
// channel of their own; mu-law and A-law store one byte per sample and report 8, so
// that byte counts divided by the sample size still give the frame count. Lossless
// codecs report the depth they decode to.
uint32_t bitsForSubformat(int subformat) {
    switch (subformat) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
    case SF_FORMAT_DPCM_8:
        return 8;
    case SF_FORMAT_PCM_16:
    case SF_FORMAT_DPCM_16:
    case SF_FORMAT_ALAC_16:
        return 16;
    case SF_FORMAT_ALAC_20:
        return 20;
    case SF_FORMAT_PCM_24:
    case SF_FORMAT_ALAC_24:
        return 24;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
    case SF_FORMAT_ALAC_32:
        return 32;
    case SF_FORMAT_DOUBLE:
        return 64;
    default:
        return 0;
    }
}

// Bytes per sample for encodings that store every sample in the same whole number of
// bytes; 0 for the rest.
uint32_t fixedSampleBytes(int subformat) {
    switch (subformat) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
    case SF_FORMAT_ULAW:
    case SF_FORMAT_ALAW:
        return 1;
    case SF_FORMAT_PCM_16:
        return 2;
    case SF_FORMAT_PCM_24:
        return 3;
    case SF_FORMAT_PCM_32:
    case SF_FORMAT_FLOAT:
        return 4;
    case SF_FORMAT_DOUBLE:
        return 8;
    default:
        return 0;
    }
}

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

struct SndFile {
    SNDFILE *f = nullptr;
    ~SndFile() {
        if (f) sf_close(f);
    }
};

}  // namespace

void AudioKit::getAudioFileInfo(const std::string &path, double *sr, uint32_t *channels, uint32_t *bits,
                                uint32_t *fileFormat, int64_t *dataSize) {
    double rate = 0.0;
    uint32_t chans = 0, nbits = 0, format = 0;
    auto publish = [&] {
        if (sr) *sr = rate;
        if (channels) *channels = chans;
        if (bits) *bits = nbits;
        if (fileFormat) *fileFormat = format;
    };

    // MP3 files are known by name alone and never opened.
    if (endsWith(lowerAscii(path), ".mp3")) {
        format = kAudioFileMP3Type;
        publish();
        return;
    }
    publish();

    // Only regular files are read: a named pipe or device found in a folder must not
    // block or stream endlessly. O_NONBLOCK keeps the open itself from waiting on a pipe.
    Fd fd;
    fd.fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd.fd < 0) return;
    struct stat st {};
    if (::fstat(fd.fd, &st) != 0 || !S_ISREG(st.st_mode)) return;
    const int flags = ::fcntl(fd.fd, F_GETFL);
    if (flags >= 0) ::fcntl(fd.fd, F_SETFL, flags & ~O_NONBLOCK);
    const uint64_t fileSize = uint64_t(st.st_size);

    // Opened by path, not by descriptor: libsndfile finds a Sound Designer II file's
    // resource fork (its header) in the AppleDouble file beside it by name.
    SF_INFO info{};
    SndFile snd;
    snd.f = sf_open(path.c_str(), SFM_READ, &info);
    if (!snd.f) return;

    const int major = info.format & SF_FORMAT_TYPEMASK;
    const int sub = info.format & SF_FORMAT_SUBMASK;
    rate = info.samplerate > 0 ? double(info.samplerate) : 0.0;
    chans = info.channels > 0 ? uint32_t(info.channels) : 0;
    nbits = bitsForSubformat(sub);

    const int rawFd = fd.fd;
    srk::header::ReadAt read = [rawFd, fileSize](uint64_t offset, void *buf, size_t n) {
        if (offset > fileSize || n > fileSize - offset) return false;
        return srk::header::preadAll(rawFd, offset, buf, n);
    };

    std::optional<srk::header::Layout> layout;
    switch (major) {
    case SF_FORMAT_AIFF: {
        // libsndfile reports AIFF and AIFF-C alike; the FORM type tells them apart.
        uint8_t head[12];
        format = (read(0, head, 12) && std::memcmp(head + 8, "AIFC", 4) == 0) ? kAudioFileAIFCType
                                                                                : kAudioFileAIFFType;
        layout = srk::header::parse(read, fileSize);
        break;
    }
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_RF64:
        format = kAudioFileWAVEType;
        layout = srk::header::parse(read, fileSize);
        break;
    case SF_FORMAT_SD2:
        format = kAudioFileSoundDesigner2Type;
        break;
    default:
        format = 0;
        break;
    }

    // AIFF declares its rate as an 80-bit float; libsndfile rounds it to whole hertz.
    // Keep the exact declared value when it is the same rate.
    if (layout && (layout->container == srk::header::Container::AIFF ||
                   layout->container == srk::header::Container::AIFC)) {
        const double exact = layout->sampleRate;
        if (std::isfinite(exact) && std::fabs(exact - rate) < 1.0) rate = exact;
    }

    int64_t bytes = 0;
    if (layout && layout->hasData) {
        uint64_t declared = layout->dataSize;
        // Some writers count the pad byte of odd-sized AIFF sound data in the SSND size;
        // with a fixed sample size the COMM frame count says where the audio ends.
        const uint32_t sb = fixedSampleBytes(sub);
        if (sb != 0 && (layout->container == srk::header::Container::AIFF ||
                        layout->container == srk::header::Container::AIFC)) {
            const uint64_t commBytes = uint64_t(layout->aiffFrames) * layout->channels * sb;
            declared = std::min(declared, commBytes);
        }
        bytes = int64_t(std::min<uint64_t>(declared, uint64_t(std::numeric_limits<int64_t>::max())));
    } else if (const uint32_t sb = fixedSampleBytes(sub); sb != 0 && info.frames > 0 && chans > 0) {
        const long double total = static_cast<long double>(info.frames) * chans * sb;
        bytes = total >= static_cast<long double>(fileSize) ? int64_t(fileSize) : int64_t(total);
    } else {
        bytes = int64_t(fileSize);
    }

    publish();
    if (dataSize) *dataSize = bytes;
}

bool AudioKit::canPlayFile(const std::string &path, bool checkOnlyExt) {
    const std::string p = lowerAscii(path);
    if (endsWith(p, ".mp3")) return false;
    if (endsWith(p, ".aif") || endsWith(p, ".aiff") || endsWith(p, ".wav") || endsWith(p, ".sd2")) return true;
    if (checkOnlyExt) return false;
    double sr = 0.0;
    uint32_t channels = 0, bits = 0, format = 0;
    int64_t size = 0;
    getAudioFileInfo(path, &sr, &channels, &bits, &format, &size);
    return sr != 0.0 || channels != 0 || bits != 0;
}

bool AudioKit::writeNewSampleRateHeaderInfo(const std::string &path, double sr, bool reset) {
    using srk::header::RewriteResult;
    const RewriteResult r = srk::header::rewriteSampleRate(path, sr, reset);
    return !(r == RewriteResult::Written || r == RewriteResult::Unchanged);
}
