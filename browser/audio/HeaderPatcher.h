#pragma once
// HeaderPatcher: reads the few header facts of AIFF, AIFF-C and WAVE (RIFF and RF64)
// containers, and rewrites the sample rate they declare in place.
//
// Only the rate fields change (the 80-bit extended rate of the AIFF "COMM" chunk; the
// rate and byte rate of the WAVE "fmt " chunk). The sample data are never moved or
// rewritten. A header that does not add up (a chunk reaching past the end of the file,
// a missing or doubled COMM/fmt chunk, a zero, absurd or non-finite rate) is refused:
// such a file is left exactly as it was.
//
// No state; every function may be called on any thread.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace srk::header {

enum class Container { AIFF, AIFC, WAVE, RF64 };

// Declared rates outside this range are treated as a lying header.
constexpr double kMinSampleRate = 1.0;
constexpr double kMaxSampleRate = 10'000'000.0;

struct Layout {
    Container container = Container::AIFF;
    double sampleRate = 0.0;     // as declared (exact 80-bit value for AIFF, integer for WAVE)
    uint32_t channels = 0;       // as declared
    uint32_t sampleBits = 0;     // COMM sample size / fmt bits per sample, as declared
    uint32_t aiffFrames = 0;     // AIFF only: sample frames the COMM chunk declares
    uint64_t rateOffset = 0;     // file offset of the rate field (10 bytes AIFF, 4 bytes WAVE)
    uint64_t byteRateOffset = 0; // WAVE only: file offset of the 4-byte byte rate
    uint32_t byteRate = 0;       // WAVE only
    uint32_t blockAlign = 0;     // WAVE only
    uint16_t waveFormatTag = 0;  // WAVE only (0xFFFE for WAVE_FORMAT_EXTENSIBLE)
    bool wavePcmLike = false;    // WAVE only: PCM or IEEE float, so byte rate = rate x block align
    bool hasData = false;        // a sound data chunk (SSND / data) was found
    uint64_t dataOffset = 0;     // first byte of sample data
    uint64_t declaredDataSize = 0;  // sound data size as the chunk declares it
    uint64_t dataSize = 0;          // declaredDataSize bounded by the end of the file
    // True when every chunk walked lies inside the file and the container's own size
    // fits the file. Only a consistent header is patched.
    bool consistent = false;
};

// Reads n bytes at offset into buf; false when they are not all there.
using ReadAt = std::function<bool(uint64_t offset, void *buf, size_t n)>;

// Walks the container's chunks. Returns nothing (and a short reason in *why) when the
// bytes are not an AIFF, AIFF-C or WAVE container with a usable COMM/fmt chunk.
std::optional<Layout> parse(const ReadAt &read, uint64_t fileSize, std::string *why = nullptr);
std::optional<Layout> parseBuffer(const uint8_t *data, size_t size, std::string *why = nullptr);

// One run of bytes to write over the file at offset.
struct Patch {
    uint64_t offset = 0;
    std::vector<uint8_t> bytes;
};

// Works out the bytes that make a consistent header declare newRate. Returns nothing
// (and a reason) when the header is refused or the rate cannot be stored; an empty list
// when the header already declares exactly that rate.
std::optional<std::vector<Patch>> planRateChange(const Layout &layout, double newRate,
                                                 std::string *why = nullptr);

// The new rate for a rewrite: 44100 with reset, else the declared rate times factor.
// A product within a millionth of a hertz of a whole number is taken as that number, so
// that floating-point noise never reaches the header.
double newRateFor(double declaredRate, double factor, bool reset);

enum class RewriteResult {
    Written,        // the header now declares the new rate
    Unchanged,      // the header already declared it; nothing was written
    NotWritable,    // missing, not a regular file, or no write access
    Refused,        // not a container we rewrite, or a header that does not add up
    WriteFailed,    // the write itself failed
};

// Opens path for writing, checks its header and patches the rate fields in place.
RewriteResult rewriteSampleRate(const std::string &path, double factor, bool reset,
                                std::string *why = nullptr);

// IEEE 754 80-bit extended (big-endian, as AIFF stores it).
double decodeExtended80(const uint8_t bytes[10]);
void encodeExtended80(double value, uint8_t bytes[10]);

// Reads exactly n bytes at offset, retrying interrupted reads; false on an error or a short file.
bool preadAll(int fd, uint64_t offset, void *buf, size_t n);

}  // namespace srk::header
