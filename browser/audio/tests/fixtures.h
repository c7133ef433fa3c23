#pragma once
// Test fixtures for the file-facts and rate-rewrite tests: a temporary folder, real
// audio files written with libsndfile, and hand-assembled AIFF / AIFF-C / WAVE bytes
// (so that tests can bend single header fields).

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace srk::test {

using Bytes = std::vector<uint8_t>;

// A fresh folder under base (default: $TMPDIR or /tmp), removed with its contents.
class TempDir {
public:
    explicit TempDir(const std::string &base = "");
    ~TempDir();
    TempDir(const TempDir &) = delete;
    TempDir &operator=(const TempDir &) = delete;
    const std::string &path() const { return path_; }
    std::string file(const std::string &name) const { return path_ + "/" + name; }

private:
    std::string path_;
};

Bytes readFile(const std::string &path);
void writeFile(const std::string &path, const Bytes &bytes);
void writeText(const std::string &path, const std::string &text);

// Writes frames of a deterministic test signal with libsndfile (sfFormat is a libsndfile
// major|sub format). Returns false when libsndfile refuses the format.
bool writeSndfile(const std::string &path, int sfFormat, int rate, int channels, int64_t frames);

// What libsndfile reads back from a file.
struct SndFacts {
    bool opened = false;
    int rate = 0;
    int channels = 0;
    int64_t frames = 0;
    int format = 0;
    uint64_t sampleHash = 0;  // hash of every decoded sample
};
SndFacts readWithSndfile(const std::string &path);

// Runs `sox --i -r path`; nothing when sox is not installed or fails.
std::optional<double> soxRate(const std::string &path);

// ---- Hand-assembled containers ----

struct Chunk {
    std::string id;           // four characters
    Bytes body;
    std::optional<uint32_t> declaredSize;  // written instead of body.size() when set
};

// "FORM"/"RIFF"/"RF64" + size + type + chunks (padded to even lengths).
Bytes assemble(const std::string &formId, const std::string &formType, const std::vector<Chunk> &chunks,
               bool bigEndian, std::optional<uint32_t> declaredFormSize = std::nullopt);

Bytes extended80(double rate);
Chunk aiffComm(uint16_t channels, uint32_t frames, uint16_t bits, double rate);
Chunk aifcComm(uint16_t channels, uint32_t frames, uint16_t bits, double rate, const std::string &compression);
Chunk ssnd(const Bytes &samples, uint32_t offset = 0);
Chunk waveFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate, uint16_t blockAlign,
              uint16_t bits);
Chunk waveData(const Bytes &samples);
Bytes testSamples(size_t n);  // deterministic non-trivial bytes

// Complete, valid small files: 16-bit PCM.
Bytes makeAiff(double rate, uint16_t channels, uint32_t frames);
Bytes makeAifc(double rate, uint16_t channels, uint32_t frames);
Bytes makeWave(uint32_t rate, uint16_t channels, uint32_t frames);

uint64_t fnv1a(const uint8_t *data, size_t n, uint64_t h = 1469598103934665603ull);

// chattr +i / -i; false when the file system or the process cannot.
bool setImmutable(const std::string &path, bool on);

}  // namespace srk::test
