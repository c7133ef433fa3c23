#include "HeaderPatcher.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace srk::header {
namespace {

// A real header has a handful of chunks; a file made of thousands of tiny chunks is
// not something we rewrite, and the bound keeps the walk short on hostile input.
constexpr int kMaxChunks = 4096;

uint32_t be32(const uint8_t *p) {
    return (uint32_t(p[0]) << 24) | (uint32_t(p[1]) << 16) | (uint32_t(p[2]) << 8) | uint32_t(p[3]);
}
uint16_t be16(const uint8_t *p) { return uint16_t((p[0] << 8) | p[1]); }
uint32_t le32(const uint8_t *p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
uint16_t le16(const uint8_t *p) { return uint16_t(p[0] | (p[1] << 8)); }
uint64_t le64(const uint8_t *p) { return uint64_t(le32(p)) | (uint64_t(le32(p + 4)) << 32); }
void putLe32(uint8_t *p, uint32_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
    p[2] = uint8_t(v >> 16);
    p[3] = uint8_t(v >> 24);
}
bool is(const uint8_t *p, const char (&id)[5]) { return std::memcmp(p, id, 4) == 0; }

void setWhy(std::string *why, const char *text) {
    if (why) *why = text;
}

bool plausibleRate(double r) { return std::isfinite(r) && r >= kMinSampleRate && r <= kMaxSampleRate; }

}  // namespace

double decodeExtended80(const uint8_t b[10]) {
    const bool negative = (b[0] & 0x80) != 0;
    const int exponent = ((b[0] & 0x7F) << 8) | b[1];
    uint64_t mantissa = 0;
    for (int i = 2; i < 10; ++i) mantissa = (mantissa << 8) | b[i];
    double value;
    if (exponent == 0x7FFF) {
        value = (mantissa << 1) == 0 ? std::numeric_limits<double>::infinity()
                                     : std::numeric_limits<double>::quiet_NaN();
    } else if (exponent == 0 && mantissa == 0) {
        value = 0.0;
    } else {
        // value = mantissa / 2^63 * 2^(exponent - 16383); ldexp saturates to 0 or inf.
        value = std::ldexp(double(mantissa), exponent - 16383 - 63);
    }
    return negative ? -value : value;
}

void encodeExtended80(double value, uint8_t b[10]) {
    std::memset(b, 0, 10);
    if (value == 0.0 || !std::isfinite(value)) {
        if (std::isnan(value)) {
            b[0] = 0x7F;
            b[1] = 0xFF;
            b[2] = 0xC0;
        } else if (std::isinf(value)) {
            b[0] = 0x7F;
            b[1] = 0xFF;
            b[2] = 0x80;
        }
        if (std::signbit(value)) b[0] |= 0x80;
        return;
    }
    const bool negative = value < 0;
    int e = 0;
    const double m = std::frexp(std::fabs(value), &e);  // |value| = m * 2^e, m in [0.5, 1)
    // m * 2^64 < 2^64 and carries the double's 53 significant bits exactly.
    const uint64_t mantissa = uint64_t(std::ldexp(m, 64));
    const int exponent = e - 1 + 16383;
    b[0] = uint8_t(((exponent >> 8) & 0x7F) | (negative ? 0x80 : 0));
    b[1] = uint8_t(exponent & 0xFF);
    for (int i = 0; i < 8; ++i) b[2 + i] = uint8_t(mantissa >> (56 - 8 * i));
}

std::optional<Layout> parse(const ReadAt &read, uint64_t fileSize, std::string *why) {
    uint8_t head[12];
    if (fileSize < 12 || !read(0, head, 12)) {
        setWhy(why, "too short for a container header");
        return std::nullopt;
    }

    Layout L;
    bool bigEndian = false;
    uint64_t formEnd = 0;
    bool consistent = true;
    uint64_t rf64DataSize = 0;
    bool haveDs64 = false;

    if (is(head, "FORM")) {
        bigEndian = true;
        if (is(head + 8, "AIFF")) L.container = Container::AIFF;
        else if (is(head + 8, "AIFC")) L.container = Container::AIFC;
        else {
            setWhy(why, "FORM file of another type");
            return std::nullopt;
        }
        formEnd = 8 + uint64_t(be32(head + 4));
    } else if (is(head, "RIFF") && is(head + 8, "WAVE")) {
        L.container = Container::WAVE;
        formEnd = 8 + uint64_t(le32(head + 4));
    } else if ((is(head, "RF64") || is(head, "BW64")) && is(head + 8, "WAVE")) {
        L.container = Container::RF64;
        // The 64-bit sizes live in a "ds64" chunk that must come first.
        uint8_t ds[8 + 16];
        if (fileSize < 12 + sizeof ds || !read(12, ds, sizeof ds) || !is(ds, "ds64") || le32(ds + 4) < 16) {
            setWhy(why, "RF64 file without a ds64 chunk");
            return std::nullopt;
        }
        haveDs64 = true;
        const uint64_t riffSize = le64(ds + 8);
        rf64DataSize = le64(ds + 16);
        if (riffSize > fileSize) {
            consistent = false;
            formEnd = fileSize;
        } else {
            formEnd = 8 + riffSize;
        }
        if (le32(head + 4) != 0xFFFFFFFFu && uint64_t(le32(head + 4)) + 8 != formEnd) consistent = false;
    } else {
        setWhy(why, "not an AIFF, AIFF-C or WAVE container");
        return std::nullopt;
    }

    // The container's own size must fit the file. Trailing bytes after it are ignored.
    if (formEnd > fileSize) consistent = false;
    const uint64_t walkEnd = formEnd < fileSize ? formEnd : fileSize;

    int formatChunks = 0;
    int dataChunks = 0;
    uint64_t pos = 12;
    int chunks = 0;
    while (pos + 8 <= walkEnd) {
        if (++chunks > kMaxChunks) {
            setWhy(why, "too many chunks");
            return std::nullopt;
        }
        uint8_t ck[8];
        if (!read(pos, ck, 8)) break;
        uint64_t size = bigEndian ? be32(ck + 4) : le32(ck + 4);
        const bool isSoundData = bigEndian ? is(ck, "SSND") : is(ck, "data");
        if (L.container == Container::RF64 && haveDs64 && isSoundData && size == 0xFFFFFFFFu)
            size = rf64DataSize;
        const uint64_t body = pos + 8;
        const uint64_t room = walkEnd - body;
        const bool pastEnd = size > room;
        const uint64_t avail = pastEnd ? room : size;  // bytes of the body inside the file
        if (pastEnd) consistent = false;

        if (bigEndian && is(ck, "COMM")) {
            ++formatChunks;
            const uint64_t need = L.container == Container::AIFC ? 22 : 18;
            uint8_t c[18];
            if (formatChunks == 1) {
                if (size < need || avail < 18 || !read(body, c, 18)) {
                    setWhy(why, "COMM chunk too short");
                    return std::nullopt;
                }
                L.channels = be16(c);
                L.aiffFrames = be32(c + 2);
                L.sampleBits = be16(c + 6);
                L.sampleRate = decodeExtended80(c + 8);
                L.rateOffset = body + 8;
            }
        } else if (!bigEndian && is(ck, "fmt ")) {
            ++formatChunks;
            uint8_t f[26];
            if (formatChunks == 1) {
                if (size < 16 || avail < 16 || !read(body, f, 16)) {
                    setWhy(why, "fmt chunk too short");
                    return std::nullopt;
                }
                L.waveFormatTag = le16(f);
                L.channels = le16(f + 2);
                L.sampleRate = double(le32(f + 4));
                L.rateOffset = body + 4;
                L.byteRate = le32(f + 8);
                L.byteRateOffset = body + 8;
                L.blockAlign = le16(f + 12);
                L.sampleBits = le16(f + 14);
                uint16_t tag = L.waveFormatTag;
                if (tag == 0xFFFE) {
                    // WAVE_FORMAT_EXTENSIBLE: the real format is the first two bytes of
                    // the sub-format GUID at offset 24 of the chunk.
                    tag = 0;
                    if (size >= 26 && avail >= 26 && read(body, f, 26)) tag = le16(f + 24);
                }
                L.wavePcmLike = tag == 1 || tag == 3;
            }
        } else if (isSoundData) {
            ++dataChunks;
            if (dataChunks == 1) {
                if (bigEndian) {
                    uint8_t s[8];
                    if (size < 8 || avail < 8 || !read(body, s, 8)) {
                        consistent = false;
                    } else {
                        const uint64_t offset = be32(s);
                        L.hasData = true;
                        L.dataOffset = body + 8 + offset;
                        if (offset > size - 8) {
                            consistent = false;
                            L.declaredDataSize = 0;
                        } else {
                            L.declaredDataSize = size - 8 - offset;
                        }
                        const uint64_t inFile = L.dataOffset < walkEnd ? walkEnd - L.dataOffset : 0;
                        L.dataSize = L.declaredDataSize < inFile ? L.declaredDataSize : inFile;
                    }
                } else {
                    L.hasData = true;
                    L.dataOffset = body;
                    L.declaredDataSize = size;
                    L.dataSize = avail;
                }
            }
        }

        if (pastEnd) break;
        // Chunks are padded to an even length; a missing pad byte at the very end is harmless.
        const uint64_t next = body + size + (size & 1);
        pos = next;
    }

    if (formatChunks == 0) {
        setWhy(why, bigEndian ? "no COMM chunk" : "no fmt chunk");
        return std::nullopt;
    }
    if (formatChunks > 1 || dataChunks > 1 || !L.hasData || L.channels == 0) consistent = false;
    if (!bigEndian && L.blockAlign == 0) consistent = false;
    L.consistent = consistent;
    return L;
}

std::optional<Layout> parseBuffer(const uint8_t *data, size_t size, std::string *why) {
    ReadAt read = [data, size](uint64_t offset, void *buf, size_t n) {
        if (offset > size || n > size - offset) return false;
        std::memcpy(buf, data + offset, n);
        return true;
    };
    return parse(read, size, why);
}

double newRateFor(double declaredRate, double factor, bool reset) {
    if (reset) return 44100.0;
    if (factor == 1.0) return declaredRate;
    const double r = declaredRate * factor;
    const double whole = std::round(r);
    if (std::isfinite(r) && std::fabs(r - whole) < 1e-6) return whole;
    return r;
}

std::optional<std::vector<Patch>> planRateChange(const Layout &L, double newRate, std::string *why) {
    if (!L.consistent) {
        setWhy(why, "header sizes do not add up");
        return std::nullopt;
    }
    if (!plausibleRate(L.sampleRate)) {
        setWhy(why, "declared sample rate is zero or absurd");
        return std::nullopt;
    }
    if (!plausibleRate(newRate)) {
        setWhy(why, "new sample rate is out of range");
        return std::nullopt;
    }
    std::vector<Patch> patches;
    if (L.container == Container::AIFF || L.container == Container::AIFC) {
        if (newRate == L.sampleRate) return patches;
        Patch p;
        p.offset = L.rateOffset;
        p.bytes.resize(10);
        encodeExtended80(newRate, p.bytes.data());
        patches.push_back(std::move(p));
        return patches;
    }

    // WAVE stores whole hertz.
    const double rounded = std::round(newRate);
    if (rounded < 1.0 || rounded > double(std::numeric_limits<uint32_t>::max())) {
        setWhy(why, "new sample rate does not fit a WAVE header");
        return std::nullopt;
    }
    const uint32_t rate = uint32_t(rounded);
    if (double(rate) == L.sampleRate) return patches;
    double byteRate;
    if (L.wavePcmLike) {
        byteRate = double(rate) * double(L.blockAlign);
    } else {
        // Compressed formats: the byte rate follows the sample rate in proportion.
        byteRate = std::round(double(L.byteRate) * double(rate) / L.sampleRate);
    }
    if (!(byteRate >= 0.0) || byteRate > double(std::numeric_limits<uint32_t>::max())) {
        setWhy(why, "new byte rate does not fit a WAVE header");
        return std::nullopt;
    }
    if (L.byteRateOffset != L.rateOffset + 4) {
        setWhy(why, "unexpected fmt layout");
        return std::nullopt;
    }
    Patch p;
    p.offset = L.rateOffset;
    p.bytes.resize(8);
    putLe32(p.bytes.data(), rate);
    putLe32(p.bytes.data() + 4, uint32_t(byteRate));
    patches.push_back(std::move(p));
    return patches;
}

namespace {

struct Fd {
    int fd = -1;
    ~Fd() {
        if (fd >= 0) ::close(fd);
    }
};

bool pwriteAll(int fd, uint64_t offset, const uint8_t *p, size_t n) {
    while (n > 0) {
        const ssize_t put = ::pwrite(fd, p, n, off_t(offset));
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return false;
        p += put;
        n -= size_t(put);
        offset += uint64_t(put);
    }
    return true;
}

}  // namespace

RewriteResult rewriteSampleRate(const std::string &path, double factor, bool reset, std::string *why) {
    Fd f;
    // O_NONBLOCK keeps a named pipe from blocking the open; anything but a regular file is refused.
    f.fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (f.fd < 0) {
        setWhy(why, std::strerror(errno));
        return RewriteResult::NotWritable;
    }
    struct stat st {};
    if (::fstat(f.fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        setWhy(why, "not a regular file");
        return RewriteResult::NotWritable;
    }
    const uint64_t fileSize = uint64_t(st.st_size);
    const int fd = f.fd;
    ReadAt read = [fd, fileSize](uint64_t offset, void *buf, size_t n) {
        if (offset > fileSize || n > fileSize - offset) return false;
        return preadAll(fd, offset, buf, n);
    };
    const std::optional<Layout> layout = parse(read, fileSize, why);
    if (!layout) return RewriteResult::Refused;
    const double newRate = newRateFor(layout->sampleRate, factor, reset);
    const std::optional<std::vector<Patch>> patches = planRateChange(*layout, newRate, why);
    if (!patches) return RewriteResult::Refused;
    if (patches->empty()) return RewriteResult::Unchanged;
    for (const Patch &p : *patches) {
        // Every patch lies inside the header region the parser read from this file.
        if (p.offset > fileSize || p.bytes.size() > fileSize - p.offset) {
            setWhy(why, "patch outside the file");
            return RewriteResult::Refused;
        }
    }
    for (const Patch &p : *patches) {
        if (!pwriteAll(fd, p.offset, p.bytes.data(), p.bytes.size())) {
            setWhy(why, std::strerror(errno));
            return RewriteResult::WriteFailed;
        }
    }
    if (::fsync(fd) != 0) {
        setWhy(why, std::strerror(errno));
        return RewriteResult::WriteFailed;
    }
    return RewriteResult::Written;
}

// Reads exactly n bytes at offset; false on an error or a short file.
bool preadAll(int fd, uint64_t offset, void *buf, size_t n) {
    auto *p = static_cast<uint8_t *>(buf);
    while (n > 0) {
        if (offset > uint64_t(std::numeric_limits<off_t>::max())) return false;
        const ssize_t got = ::pread(fd, p, n, off_t(offset));
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) return false;
        p += got;
        n -= size_t(got);
        offset += uint64_t(got);
    }
    return true;
}

}  // namespace srk::header
