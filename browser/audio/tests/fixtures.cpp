#include "fixtures.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <fcntl.h>
#include <linux/fs.h>
#include <sndfile.h>
#include <sys/ioctl.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace srk::test {

TempDir::TempDir(const std::string &base) {
    std::string root = base;
    if (root.empty()) {
        const char *t = std::getenv("TMPDIR");
        root = (t && *t) ? t : "/tmp";
    }
    std::string tmpl = root + "/srk-fileinfo-XXXXXX";
    std::vector<char> buf(tmpl.begin(), tmpl.end());
    buf.push_back('\0');
    if (!::mkdtemp(buf.data())) throw std::runtime_error("mkdtemp failed in " + root);
    path_ = buf.data();
}

TempDir::~TempDir() {
    std::error_code ec;
    // A test that failed half-way may leave an immutable file behind.
    for (auto it = fs::recursive_directory_iterator(path_, ec); !ec && it != fs::recursive_directory_iterator();
         it.increment(ec)) {
        if (it->is_regular_file(ec)) setImmutable(it->path().string(), false);
    }
    fs::remove_all(path_, ec);
}

Bytes readFile(const std::string &path) {
    std::error_code ec;
    if (!fs::is_regular_file(path, ec)) return {};
    std::ifstream in(path, std::ios::binary);
    return Bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeFile(const std::string &path, const Bytes &bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char *>(bytes.data()), std::streamsize(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

void writeText(const std::string &path, const std::string &text) {
    writeFile(path, Bytes(text.begin(), text.end()));
}

bool writeSndfile(const std::string &path, int sfFormat, int rate, int channels, int64_t frames) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = sfFormat;
    if (!sf_format_check(&info)) return false;
    SNDFILE *f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) return false;
    std::vector<double> frame(static_cast<size_t>(channels));
    for (int64_t i = 0; i < frames; ++i) {
        for (int c = 0; c < channels; ++c)
            frame[size_t(c)] = 0.5 * std::sin(2.0 * M_PI * (220.0 * (c + 1)) * double(i) / rate);
        sf_writef_double(f, frame.data(), 1);
    }
    sf_close(f);
    return true;
}

SndFacts readWithSndfile(const std::string &path) {
    SndFacts facts;
    SF_INFO info{};
    SNDFILE *f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) return facts;
    facts.opened = true;
    facts.rate = info.samplerate;
    facts.channels = info.channels;
    facts.frames = info.frames;
    facts.format = info.format;
    std::vector<double> buf(size_t(info.channels) * 1024);
    uint64_t h = 1469598103934665603ull;
    sf_count_t got;
    while ((got = sf_readf_double(f, buf.data(), 1024)) > 0)
        h = fnv1a(reinterpret_cast<const uint8_t *>(buf.data()), size_t(got) * size_t(info.channels) * sizeof(double), h);
    facts.sampleHash = h;
    sf_close(f);
    return facts;
}

std::optional<double> soxRate(const std::string &path) {
    if (std::system("command -v sox >/dev/null 2>&1") != 0) return std::nullopt;
    std::string quoted = "'";
    for (char c : path) quoted += (c == '\'') ? std::string("'\\''") : std::string(1, c);
    quoted += "'";
    FILE *p = ::popen(("sox --i -r " + quoted + " 2>/dev/null").c_str(), "r");
    if (!p) return std::nullopt;
    char line[128] = {0};
    const bool got = std::fgets(line, sizeof line, p) != nullptr;
    const int rc = ::pclose(p);
    if (!got || rc != 0) return std::nullopt;
    return std::strtod(line, nullptr);
}

namespace {
void put32(Bytes &b, uint32_t v, bool be) {
    for (int i = 0; i < 4; ++i) b.push_back(uint8_t(be ? v >> (24 - 8 * i) : v >> (8 * i)));
}
void put16(Bytes &b, uint16_t v, bool be) {
    for (int i = 0; i < 2; ++i) b.push_back(uint8_t(be ? v >> (8 - 8 * i) : v >> (8 * i)));
}
void putId(Bytes &b, const std::string &id) {
    for (size_t i = 0; i < 4; ++i) b.push_back(uint8_t(i < id.size() ? id[i] : ' '));
}
}  // namespace

Bytes assemble(const std::string &formId, const std::string &formType, const std::vector<Chunk> &chunks,
               bool bigEndian, std::optional<uint32_t> declaredFormSize) {
    Bytes body;
    putId(body, formType);
    for (const Chunk &c : chunks) {
        putId(body, c.id);
        put32(body, c.declaredSize.value_or(uint32_t(c.body.size())), bigEndian);
        body.insert(body.end(), c.body.begin(), c.body.end());
        if (c.body.size() & 1) body.push_back(0);
    }
    Bytes out;
    putId(out, formId);
    put32(out, declaredFormSize.value_or(uint32_t(body.size())), bigEndian);
    out.insert(out.end(), body.begin(), body.end());
    return out;
}

Bytes extended80(double rate) {
    // Independent of the code under test: exponent and 64-bit mantissa from frexp.
    Bytes b(10, 0);
    if (rate == 0.0) return b;
    int e = 0;
    const double m = std::frexp(rate, &e);
    const uint64_t mant = uint64_t(std::ldexp(m, 64));
    const int ex = e - 1 + 16383;
    b[0] = uint8_t(ex >> 8);
    b[1] = uint8_t(ex);
    for (int i = 0; i < 8; ++i) b[size_t(2 + i)] = uint8_t(mant >> (56 - 8 * i));
    return b;
}

Chunk aiffComm(uint16_t channels, uint32_t frames, uint16_t bits, double rate) {
    Chunk c{"COMM", {}, std::nullopt};
    put16(c.body, channels, true);
    put32(c.body, frames, true);
    put16(c.body, bits, true);
    const Bytes r = extended80(rate);
    c.body.insert(c.body.end(), r.begin(), r.end());
    return c;
}

Chunk aifcComm(uint16_t channels, uint32_t frames, uint16_t bits, double rate, const std::string &compression) {
    Chunk c = aiffComm(channels, frames, bits, rate);
    putId(c.body, compression);
    c.body.push_back(0);  // empty Pascal string name, padded to even
    c.body.push_back(0);
    return c;
}

Chunk ssnd(const Bytes &samples, uint32_t offset) {
    Chunk c{"SSND", {}, std::nullopt};
    put32(c.body, offset, true);
    put32(c.body, 0, true);
    c.body.insert(c.body.end(), offset, 0);
    c.body.insert(c.body.end(), samples.begin(), samples.end());
    return c;
}

Chunk waveFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint32_t byteRate, uint16_t blockAlign,
              uint16_t bits) {
    Chunk c{"fmt ", {}, std::nullopt};
    put16(c.body, tag, false);
    put16(c.body, channels, false);
    put32(c.body, rate, false);
    put32(c.body, byteRate, false);
    put16(c.body, blockAlign, false);
    put16(c.body, bits, false);
    return c;
}

Chunk waveData(const Bytes &samples) { return Chunk{"data", samples, std::nullopt}; }

Bytes testSamples(size_t n) {
    Bytes b(n);
    uint32_t x = 0x12345678u;
    for (size_t i = 0; i < n; ++i) {
        x = x * 1664525u + 1013904223u;
        b[i] = uint8_t(x >> 24);
    }
    return b;
}

Bytes makeAiff(double rate, uint16_t channels, uint32_t frames) {
    return assemble("FORM", "AIFF", {aiffComm(channels, frames, 16, rate), ssnd(testSamples(size_t(frames) * channels * 2))},
                    true);
}

Bytes makeAifc(double rate, uint16_t channels, uint32_t frames) {
    Chunk fver{"FVER", {0xA2, 0x80, 0x51, 0x40}, std::nullopt};
    return assemble("FORM", "AIFC",
                    {fver, aifcComm(channels, frames, 16, rate, "NONE"), ssnd(testSamples(size_t(frames) * channels * 2))},
                    true);
}

Bytes makeWave(uint32_t rate, uint16_t channels, uint32_t frames) {
    const uint16_t align = uint16_t(channels * 2);
    return assemble("RIFF", "WAVE",
                    {waveFmt(1, channels, rate, rate * align, align, 16), waveData(testSamples(size_t(frames) * align))},
                    false);
}

uint64_t fnv1a(const uint8_t *data, size_t n, uint64_t h) {
    for (size_t i = 0; i < n; ++i) {
        h ^= data[i];
        h *= 1099511628211ull;
    }
    return h;
}

bool setImmutable(const std::string &path, bool on) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ::ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    if (ok) {
        flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
        ok = ::ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    }
    ::close(fd);
    return ok;
}

}  // namespace srk::test
