// File facts, playability and the in-place sample-rate rewrite, on real files written
// with libsndfile and on hand-assembled headers.

#include "AudioKit.h"
#include "HeaderPatcher.h"
#include "fixtures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <sndfile.h>
#include <sys/stat.h>

using namespace srk::test;

namespace {

struct Facts {
    double sr = -1;
    uint32_t channels = 99, bits = 99, format = 99;
    int64_t dataSize = -12345;  // sentinel: getAudioFileInfo writes it only for opened files
};

Facts factsOf(const std::string &path) {
    Facts f;
    AudioKit::getAudioFileInfo(path, &f.sr, &f.channels, &f.bits, &f.format, &f.dataSize);
    return f;
}

std::string code(uint32_t c) {
    if (c == 0) return "0";
    return {char(c >> 24), char(c >> 16), char(c >> 8), char(c)};
}

// Offsets at which two equally long byte strings differ.
std::vector<size_t> diffOffsets(const Bytes &a, const Bytes &b) {
    std::vector<size_t> out;
    for (size_t i = 0; i < a.size() && i < b.size(); ++i)
        if (a[i] != b[i]) out.push_back(i);
    return out;
}

}  // namespace

// ---------------------------------------------------------------- playability

TEST(CanPlayFile, NameRulesThenContent) {
    TempDir dir;
    const Bytes aiff = makeAiff(44100, 2, 100);
    const Bytes wave = makeWave(44100, 1, 100);
    const std::string text = "just some notes\n";
    ASSERT_TRUE(writeSndfile(dir.file("content.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1, 500));
    writeText(dir.file("Loop.AIF"), text);
    writeText(dir.file("loop.Wav"), text);
    writeText(dir.file("x.SD2"), text);
    writeText(dir.file("y.aiff"), text);
    writeFile(dir.file("take.MP3"), aiff);
    writeText(dir.file("song.mp3"), text);
    writeFile(dir.file("loop"), aiff);
    writeFile(dir.file("sample.bin"), wave);
    writeText(dir.file("readme"), text);
    writeText(dir.file("empty"), "");
    ::mkdir(dir.file("folder").c_str(), 0755);
    ASSERT_EQ(::mkfifo(dir.file("pipe").c_str(), 0644), 0);

    struct Case {
        const char *name;
        bool checkOnlyExt;
        bool playable;
    } cases[] = {
        // Audio extensions: playable by name whatever the content, in any letter case.
        {"Loop.AIF", false, true},   {"Loop.AIF", true, true},  {"loop.Wav", true, true},
        {"x.SD2", true, true},       {"y.aiff", true, true},
        // .mp3 is never playable, not even with real audio inside and the content test on.
        {"take.MP3", false, false},  {"take.MP3", true, false}, {"song.mp3", false, false},
        // No known extension: content decides, and only when asked to look.
        {"loop", false, true},       {"loop", true, false},     {"sample.bin", false, true},
        {"content.flac", false, true}, {"content.flac", true, false},
        {"readme", false, false},    {"empty", false, false},   {"missing-file", false, false},
        {"folder", false, false},
        // A named pipe must be refused without blocking on it.
        {"pipe", false, false},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AudioKit::canPlayFile(dir.file(c.name), c.checkOnlyExt), c.playable)
            << c.name << " checkOnlyExt=" << c.checkOnlyExt;
}

// ---------------------------------------------------------------- file facts

TEST(GetAudioFileInfo, FactsOfEveryContainerWrittenByLibsndfile) {
    TempDir dir;
    struct Case {
        const char *name;
        int sfFormat;
        int rate, channels;
        uint32_t bits;
        const char *code;
        int64_t bytesPerFrame;  // 0: do not check the byte count
    } cases[] = {
        {"a16.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 2, 16, "AIFF", 4},
        {"a24.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 48000, 1, 24, "AIFF", 3},
        {"a8.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 22050, 1, 8, "AIFF", 1},
        {"a32.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 96000, 2, 32, "AIFF", 8},
        // libsndfile writes these as AIFF-C: the FORM type says so.
        {"f32.aifc", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 44100, 2, 32, "AIFC", 8},
        {"f64.aifc", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE, 44100, 1, 64, "AIFC", 8},
        {"ulaw.aifc", SF_FORMAT_AIFF | SF_FORMAT_ULAW, 8000, 1, 8, "AIFC", 1},
        {"ima.aifc", SF_FORMAT_AIFF | SF_FORMAT_IMA_ADPCM, 44100, 2, 0, "AIFC", 0},
        {"w16.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, 16, "WAVE", 4},
        {"w8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 11025, 1, 8, "WAVE", 1},
        {"w24.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_24, 88200, 2, 24, "WAVE", 6},
        {"wf.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 48000, 2, 32, "WAVE", 8},
        {"wd.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 48000, 1, 64, "WAVE", 8},
        {"wx.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 96000, 6, 24, "WAVE", 18},
        {"rf.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 44100, 2, 16, "WAVE", 4},
        {"msadpcm.wav", SF_FORMAT_WAV | SF_FORMAT_MS_ADPCM, 22050, 1, 0, "WAVE", 0},
        {"sd2.sd2", SF_FORMAT_SD2 | SF_FORMAT_PCM_16, 44100, 2, 16, "Sd2f", 4},
        // Other containers libsndfile opens: playable by content, container unknown.
        {"c.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 2, 16, "0", 0},
        {"c.au", SF_FORMAT_AU | SF_FORMAT_PCM_16, 8000, 1, 16, "0", 2},
    };
    const int64_t frames = 1001;  // odd, so that 8-bit mono data needs padding
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(writeSndfile(dir.file(c.name), c.sfFormat, c.rate, c.channels, frames));
        const Facts f = factsOf(dir.file(c.name));
        EXPECT_EQ(f.sr, double(c.rate));
        EXPECT_EQ(f.channels, uint32_t(c.channels));
        EXPECT_EQ(f.bits, c.bits);
        EXPECT_EQ(code(f.format), c.code);
        // libsndfile pads odd AIFF sound data with a whole frame; count what it declares.
        if (c.bytesPerFrame) EXPECT_EQ(f.dataSize, readWithSndfile(dir.file(c.name)).frames * c.bytesPerFrame);
        else EXPECT_GT(f.dataSize, 0);
    }
}

TEST(GetAudioFileInfo, HandAssembledHeaders) {
    TempDir dir;
    const Bytes samples = testSamples(400);  // 100 stereo 16-bit frames
    struct Case {
        const char *name;
        Bytes bytes;
        double sr;
        const char *code;
        int64_t dataSize;
    } cases[] = {
        // An odd-sized chunk before COMM: the walk must honour the pad byte.
        {"anno.aif",
         assemble("FORM", "AIFF", {Chunk{"ANNO", {'h', 'e', 'l', 'l', 'o'}, {}}, aiffComm(2, 100, 16, 44100), ssnd(samples)}, true),
         44100, "AIFF", 400},
        // A nonzero SSND offset: the data start after it and the count excludes it.
        {"offset.aif", assemble("FORM", "AIFF", {aiffComm(2, 100, 16, 44100), ssnd(samples, 8)}, true), 44100, "AIFF", 400},
        // An old Macintosh rate with a fraction: the exact declared value is reported.
        {"mac.aif", assemble("FORM", "AIFF", {aiffComm(2, 100, 16, 22254.54545454), ssnd(samples)}, true), 22254.54545454,
         "AIFF", 400},
        {"none.aifc", makeAifc(32000, 2, 100), 32000, "AIFC", 400},
        {"list.wav",
         assemble("RIFF", "WAVE", {Chunk{"LIST", {'a', 'b', 'c'}, {}}, waveFmt(1, 2, 44100, 176400, 4, 16), waveData(samples)}, false),
         44100, "WAVE", 400},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        writeFile(dir.file(c.name), c.bytes);
        const Facts f = factsOf(dir.file(c.name));
        EXPECT_DOUBLE_EQ(f.sr, c.sr);
        EXPECT_EQ(f.channels, 2u);
        EXPECT_EQ(f.bits, 16u);
        EXPECT_EQ(code(f.format), c.code);
        EXPECT_EQ(f.dataSize, c.dataSize);
        // The rewrite finds the rate field behind the odd chunks and offsets too.
        EXPECT_FALSE(AudioKit::writeNewSampleRateHeaderInfo(dir.file(c.name), 0.5, false));
        EXPECT_DOUBLE_EQ(factsOf(dir.file(c.name)).sr, c.sr * 0.5);
    }
}

TEST(GetAudioFileInfo, DeclaredDataSizeIsBoundedByTheFile) {
    TempDir dir;
    // The SSND and data chunks claim 4000 bytes; only 400 are there (a cut-off copy).
    Chunk s = ssnd(testSamples(400));
    s.declaredSize = 8 + 4000;
    Chunk d = waveData(testSamples(400));
    d.declaredSize = 4000;
    writeFile(dir.file("cut.aif"), assemble("FORM", "AIFF", {aiffComm(2, 1000, 16, 44100), s}, true));
    writeFile(dir.file("cut.wav"), assemble("RIFF", "WAVE", {waveFmt(1, 2, 44100, 176400, 4, 16), d}, false));
    for (const char *name : {"cut.aif", "cut.wav"}) {
        SCOPED_TRACE(name);
        const Facts f = factsOf(dir.file(name));
        ASSERT_EQ(f.sr, 44100.0);  // libsndfile reads a cut-off file
        EXPECT_EQ(f.dataSize, 400);
    }
}

TEST(GetAudioFileInfo, Mp3NamesAndUnreadableFilesGiveZeros) {
    TempDir dir;
    writeFile(dir.file("song.mp3"), makeAiff(44100, 2, 100));  // real audio, .mp3 name
    writeText(dir.file("readme"), "text\n");
    struct Case {
        const char *name;
        const char *code;
    } cases[] = {{"song.mp3", "MP3 "}, {"readme", "0"}, {"missing", "0"}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const Facts f = factsOf(dir.file(c.name));
        EXPECT_EQ(f.sr, 0.0);
        EXPECT_EQ(f.channels, 0u);
        EXPECT_EQ(f.bits, 0u);
        EXPECT_EQ(code(f.format), c.code);
        EXPECT_EQ(f.dataSize, -12345) << "dataSize is written only for files that opened";
    }
    // The .mp3 file is not even opened: a file we cannot read still answers by name.
    const std::string locked = dir.file("locked.MP3");
    writeText(locked, "x");
    ::chmod(locked.c_str(), 0);
    EXPECT_EQ(code(factsOf(locked).format), "MP3 ");
}

// ---------------------------------------------------------------- 80-bit rates

TEST(Extended80, KnownEncodingsAndRoundTrip) {
    // 44100 Hz as every AIFF file stores it.
    const uint8_t k44100[10] = {0x40, 0x0E, 0xAC, 0x44, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(srk::header::decodeExtended80(k44100), 44100.0);
    uint8_t out[10];
    srk::header::encodeExtended80(44100.0, out);
    EXPECT_EQ(Bytes(out, out + 10), Bytes(k44100, k44100 + 10));

    for (double r : {1.0, 8000.0, 11025.0, 22050.0, 22254.545454545454, 32000.0, 48000.0, 96000.0, 192000.0,
                     30869.99, 0.5, 1e7}) {
        srk::header::encodeExtended80(r, out);
        EXPECT_EQ(srk::header::decodeExtended80(out), r) << r;
        EXPECT_EQ(Bytes(out, out + 10), extended80(r)) << r;
    }
    const uint8_t nan[10] = {0x7F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0};
    const uint8_t inf[10] = {0x7F, 0xFF, 0x80, 0, 0, 0, 0, 0, 0, 0};
    const uint8_t huge[10] = {0x7F, 0xFE, 0x80, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_TRUE(std::isnan(srk::header::decodeExtended80(nan)));
    EXPECT_TRUE(std::isinf(srk::header::decodeExtended80(inf)));
    EXPECT_TRUE(std::isinf(srk::header::decodeExtended80(huge)));  // beyond double range
}

// ---------------------------------------------------------------- rate rewrite

TEST(RewriteSampleRate, HalfSpeedDeclaresHalfRateAndKeepsTheSamples) {
    TempDir dir;
    struct Case {
        const char *name;
        int sfFormat;
        int channels;
    } cases[] = {
        {"a.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 2},   {"a24.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 1},
        {"f.aifc", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 2},   {"u.aifc", SF_FORMAT_AIFF | SF_FORMAT_ULAW, 1},
        {"w.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16, 2},    {"wf.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 1},
        {"wx.wav", SF_FORMAT_WAVEX | SF_FORMAT_PCM_24, 2}, {"rf.wav", SF_FORMAT_RF64 | SF_FORMAT_PCM_16, 2},
        {"ima.wav", SF_FORMAT_WAV | SF_FORMAT_IMA_ADPCM, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        ASSERT_TRUE(writeSndfile(path, c.sfFormat, 44100, c.channels, 2000));
        const Bytes before = readFile(path);
        const SndFacts sndBefore = readWithSndfile(path);
        ASSERT_TRUE(sndBefore.opened);
        const auto layout = srk::header::parseBuffer(before.data(), before.size());
        ASSERT_TRUE(layout.has_value());

        EXPECT_FALSE(AudioKit::writeNewSampleRateHeaderInfo(path, 0.5, false));

        const Bytes after = readFile(path);
        ASSERT_EQ(after.size(), before.size());
        // Only the rate field (and for WAVE the byte rate next to it) changed.
        const size_t fieldLen = (layout->container == srk::header::Container::AIFF ||
                                 layout->container == srk::header::Container::AIFC) ? 10 : 8;
        for (size_t off : diffOffsets(before, after)) {
            EXPECT_GE(off, layout->rateOffset);
            EXPECT_LT(off, layout->rateOffset + fieldLen);
        }
        const SndFacts sndAfter = readWithSndfile(path);
        EXPECT_EQ(sndAfter.rate, 22050);
        EXPECT_EQ(sndAfter.frames, sndBefore.frames);
        EXPECT_EQ(sndAfter.channels, sndBefore.channels);
        EXPECT_EQ(sndAfter.sampleHash, sndBefore.sampleHash);
        EXPECT_EQ(factsOf(path).sr, 22050.0);
        if (const auto sox = soxRate(path)) {  // sox cannot read every encoding (mu-law AIFF-C)
            EXPECT_EQ(*sox, 22050.0);
        }

        const auto newLayout = srk::header::parseBuffer(after.data(), after.size());
        ASSERT_TRUE(newLayout.has_value());
        if (layout->container == srk::header::Container::WAVE || layout->container == srk::header::Container::RF64) {
            if (newLayout->wavePcmLike) {
                EXPECT_EQ(newLayout->byteRate, 22050u * newLayout->blockAlign);
            } else {
                EXPECT_EQ(newLayout->byteRate, (layout->byteRate + 1) / 2);
            }
        }
    }
    if (!soxRate(dir.file("a.aif"))) GTEST_SKIP() << "sox is not installed; rates were checked with libsndfile only";
}

TEST(RewriteSampleRate, FactorsResetAndRoundTrip) {
    TempDir dir;
    struct Case {
        const char *name;
        Bytes bytes;
        double factor;
        bool reset;
        double expected;
    } cases[] = {
        {"double.aif", makeAiff(22050, 2, 50), 2.0, false, 44100},
        {"double.wav", makeWave(22050, 2, 50), 2.0, false, 44100},
        {"reset48.aifc", makeAifc(48000, 1, 50), 0.3, true, 44100},
        {"reset48.wav", makeWave(48000, 1, 50), 0.3, true, 44100},
        // Floating-point noise (44100 x 0.7 = 30869.999...) never reaches the header.
        {"seventy.aif", makeAiff(44100, 1, 50), 0.7, false, 30870},
        // WAVE holds whole hertz: 44100 x 0.8333 = 36748.53 is stored as 36749.
        {"odd.wav", makeWave(44100, 1, 50), 0.8333, false, 36749},
        // AIFF keeps a fractional product exactly.
        {"odd.aif", makeAiff(44100, 1, 50), 0.8333, false, 44100 * 0.8333},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        writeFile(path, c.bytes);
        EXPECT_FALSE(AudioKit::writeNewSampleRateHeaderInfo(path, c.factor, c.reset));
        EXPECT_EQ(factsOf(path).sr, c.expected);
        EXPECT_EQ(readWithSndfile(path).rate, int(c.expected));
    }

    // Factor 1.0 leaves the file byte-identical, whatever rate it declares (here also one
    // a hair away from a whole number, which must not be rounded).
    writeFile(dir.file("nearly.aif"), makeAiff(44100.0000000004, 2, 50));
    for (const char *name : {"double.aif", "double.wav", "odd.aif", "reset48.aifc", "nearly.aif"}) {
        const Bytes before = readFile(dir.file(name));
        EXPECT_FALSE(AudioKit::writeNewSampleRateHeaderInfo(dir.file(name), 1.0, false)) << name;
        EXPECT_EQ(readFile(dir.file(name)), before) << name;
    }

    // Half speed and then "Make 44100" gives back the original file, byte for byte.
    for (const auto &[name, sfFormat] : {std::pair{"rt.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16},
                                         std::pair{"rt.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16}}) {
        const std::string path = dir.file(name);
        ASSERT_TRUE(writeSndfile(path, sfFormat, 44100, 2, 300));
        const Bytes original = readFile(path);
        EXPECT_FALSE(AudioKit::writeNewSampleRateHeaderInfo(path, 0.5, false));
        EXPECT_NE(readFile(path), original);
        EXPECT_FALSE(AudioKit::writeNewSampleRateHeaderInfo(path, 0.5, true));
        EXPECT_EQ(readFile(path), original) << name;
    }
}

TEST(RewriteSampleRate, RefusesWhatItCannotPatchAndLeavesItAlone) {
    TempDir dir;
    const Bytes samples = testSamples(400);
    auto aiffWith = [&](std::vector<Chunk> chunks, std::optional<uint32_t> formSize = {}) {
        return assemble("FORM", "AIFF", chunks, true, formSize);
    };
    auto waveWith = [&](std::vector<Chunk> chunks, std::optional<uint32_t> formSize = {}) {
        return assemble("RIFF", "WAVE", chunks, false, formSize);
    };
    const Chunk comm = aiffComm(2, 100, 16, 44100);
    const Chunk fmt = waveFmt(1, 2, 44100, 176400, 4, 16);
    Chunk longSsnd = ssnd(samples);
    longSsnd.declaredSize = 8 + 4000;
    Chunk longData = waveData(samples);
    longData.declaredSize = 4000;
    Chunk shortComm = comm;
    shortComm.body.resize(12);
    Chunk renamedComm = comm;
    renamedComm.id = "COMX";
    Chunk hugeMiddle{"ANNO", {'x', 'y'}, 0x7FFFFFF0u};
    Chunk badOffset = ssnd(samples);
    badOffset.body[1] = 0x01;  // SSND offset 65536 reaches past its own chunk

    Bytes truncatedAiff = makeAiff(44100, 2, 100);
    truncatedAiff.resize(truncatedAiff.size() - 100);
    Bytes truncatedWave = makeWave(44100, 2, 100);
    truncatedWave.resize(truncatedWave.size() - 100);
    Bytes rf64Lying = assemble("RF64", "WAVE",
                               {Chunk{"ds64", Bytes(28, 0xEE), {}}, fmt, Chunk{"data", samples, 0xFFFFFFFFu}}, false,
                               0xFFFFFFFFu);

    struct Case {
        const char *name;
        Bytes bytes;
    } cases[] = {
        {"no-comm.aif", aiffWith({renamedComm, ssnd(samples)})},
        {"short-comm.aif", aiffWith({shortComm, ssnd(samples)})},
        {"two-comm.aif", aiffWith({comm, aiffComm(2, 100, 16, 48000), ssnd(samples)})},
        {"no-ssnd.aif", aiffWith({comm})},
        {"ssnd-past-end.aif", aiffWith({comm, longSsnd})},
        {"ssnd-bad-offset.aif", aiffWith({comm, badOffset})},
        {"chunk-past-end.aif", aiffWith({comm, hugeMiddle, ssnd(samples)})},
        {"form-past-end.aif", aiffWith({comm, ssnd(samples)}, 100000)},
        {"truncated.aif", truncatedAiff},
        {"zero-rate.aif", aiffWith({aiffComm(2, 100, 16, 0.0), ssnd(samples)})},
        {"absurd-rate.aif", aiffWith({aiffComm(2, 100, 16, 1e300), ssnd(samples)})},
        {"tiny-rate.aif", aiffWith({aiffComm(2, 100, 16, 1e-300), ssnd(samples)})},
        {"nan-rate.aif", [&] {
             Chunk c = comm;
             const uint8_t nan[10] = {0x7F, 0xFF, 0xC0, 0, 0, 0, 0, 0, 0, 0};
             std::copy(nan, nan + 10, c.body.begin() + 8);
             return aiffWith({c, ssnd(samples)});
         }()},
        {"zero-channels.aif", aiffWith({aiffComm(0, 100, 16, 44100), ssnd(samples)})},
        {"no-fmt.wav", waveWith({waveData(samples)})},
        {"two-fmt.wav", waveWith({fmt, fmt, waveData(samples)})},
        {"short-fmt.wav", waveWith({Chunk{"fmt ", Bytes(fmt.body.begin(), fmt.body.begin() + 12), {}}, waveData(samples)})},
        {"data-past-end.wav", waveWith({fmt, longData})},
        {"riff-past-end.wav", waveWith({fmt, waveData(samples)}, 100000)},
        {"truncated.wav", truncatedWave},
        {"zero-rate.wav", waveWith({waveFmt(1, 2, 0, 0, 4, 16), waveData(samples)})},
        {"absurd-rate.wav", waveWith({waveFmt(1, 2, 4000000000u, 0, 4, 16), waveData(samples)})},
        {"zero-align.wav", waveWith({waveFmt(1, 2, 44100, 176400, 0, 16), waveData(samples)})},
        {"rf64-lying.wav", rf64Lying},
        {"text.aif", Bytes{'h', 'e', 'l', 'l', 'o', '\n'}},
        {"empty.wav", Bytes{}},
        {"header-only", Bytes{'F', 'O', 'R', 'M', 0, 0, 0, 4, 'A', 'I', 'F', 'F'}},
        {"other-form.aif", assemble("FORM", "8SVX", {comm}, true)},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.file(c.name);
        writeFile(path, c.bytes);
        for (const auto &[factor, reset] : {std::pair{0.5, false}, std::pair{1.0, true}, std::pair{2.0, false}}) {
            EXPECT_TRUE(AudioKit::writeNewSampleRateHeaderInfo(path, factor, reset)) << "factor " << factor;
            EXPECT_EQ(readFile(path), c.bytes) << "factor " << factor;
        }
    }

    // Containers libsndfile reads but we do not rewrite, and things that are no file.
    ASSERT_TRUE(writeSndfile(dir.file("x.flac"), SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 44100, 1, 300));
    ASSERT_TRUE(writeSndfile(dir.file("x.sd2"), SF_FORMAT_SD2 | SF_FORMAT_PCM_16, 44100, 1, 300));
    ::mkdir(dir.file("folder.aif").c_str(), 0755);
    ASSERT_EQ(::mkfifo(dir.file("pipe.wav").c_str(), 0644), 0);
    for (const char *name : {"x.flac", "x.sd2", "folder.aif", "pipe.wav", "missing.aif"}) {
        const Bytes before = readFile(dir.file(name));
        EXPECT_TRUE(AudioKit::writeNewSampleRateHeaderInfo(dir.file(name), 0.5, false)) << name;
        EXPECT_EQ(readFile(dir.file(name)), before) << name;
    }

    // Factors that make no rate: refused, file untouched.
    writeFile(dir.file("ok.wav"), makeWave(44100, 2, 10));
    writeFile(dir.file("ok.aif"), makeAiff(44100, 2, 10));
    for (const char *name : {"ok.wav", "ok.aif"}) {
        const Bytes before = readFile(dir.file(name));
        for (double factor : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity(), 1e9, 1e-9}) {
            EXPECT_TRUE(AudioKit::writeNewSampleRateHeaderInfo(dir.file(name), factor, false)) << name << " " << factor;
            EXPECT_EQ(readFile(dir.file(name)), before) << name << " " << factor;
        }
    }
}

TEST(RewriteSampleRate, WriteProtectedFileFailsAndStaysIdentical) {
    // Tests run as root, for whom permission bits protect nothing: the immutable
    // attribute is what makes a file unwritable here.
    std::vector<std::string> bases;
    if (const char *t = std::getenv("TMPDIR"); t && *t) bases.push_back(t);
    bases.push_back("/tmp");
    if (const char *b = std::getenv("SRK_BINARY_DIR"); b && *b) bases.push_back(b);

    for (const std::string &base : bases) {
        std::unique_ptr<TempDir> dir;
        try {
            dir = std::make_unique<TempDir>(base);
        } catch (const std::exception &) {
            continue;
        }
        const std::string probe = dir->file("probe");
        writeText(probe, "x");
        if (!setImmutable(probe, true)) continue;
        setImmutable(probe, false);

        for (const auto &[name, bytes] : {std::pair{"locked.aif", makeAiff(44100, 2, 100)},
                                          std::pair{"locked.wav", makeWave(44100, 2, 100)}}) {
            SCOPED_TRACE(name);
            const std::string path = dir->file(name);
            writeFile(path, bytes);
            ASSERT_TRUE(setImmutable(path, true));
            for (const auto &[factor, reset] : {std::pair{0.5, false}, std::pair{1.0, true}, std::pair{1.0, false}})
                EXPECT_TRUE(AudioKit::writeNewSampleRateHeaderInfo(path, factor, reset)) << factor << reset;
            EXPECT_EQ(readFile(path), bytes);
            EXPECT_EQ(factsOf(path).sr, 44100.0);  // still readable
            setImmutable(path, false);
        }
        return;
    }
    GTEST_SKIP() << "cannot set the immutable attribute (chattr +i) in $TMPDIR, /tmp or the build folder";
}

// ---------------------------------------------------------------- demo library

TEST(DemoLibrary, GeneratedFilesHaveTheFactsTheirNamesPromise) {
    const char *src = std::getenv("SRK_SOURCE_DIR");
    if (!src || !*src) GTEST_SKIP() << "SRK_SOURCE_DIR is not set (run through ctest)";
    TempDir dir;
    const std::string lib = dir.file("lib");
    const std::string cmd = "python3 '" + std::string(src) + "/scripts/make-demo-library.py' '" + lib + "' >/dev/null";
    ASSERT_EQ(std::system(cmd.c_str()), 0);

    struct Case {
        const char *path;
        double sr;
        uint32_t channels;
        const char *code;
        int64_t dataSize;
        bool playable, playableByName;
        double beats, bpm;  // 0: not a loop
    } cases[] = {
        {"Drums/Loops/Funk Beat.aif", 44100, 2, "AIFF", 705600, true, true, 8, 120},
        {"Drums/Loops/Lazy Groove 90 BPM.wav", 44100, 2, "WAVE", 940800, true, true, 8, 90},
        {"Drums/Loops/Shuffle 100 BPM.aif", 44100, 1, "AIFC", 211680, true, true, 4, 100},
        {"Drums/Loops/Break 140 BPM", 44100, 1, "AIFF", 151200, true, false, 4, 140},
        {"Bass/Saw Bass 120 BPM.aif", 44100, 1, "AIFF", 352800, true, true, 8, 120},
        {"Bass/Sub Line 100 BPM 48k.wav", 48000, 1, "WAVE", 230400, true, true, 4, 100},
        {"Textures/Air Pad 22k.aif", 22050, 1, "AIFF", 132300, true, true, 0, 0},
        {"Textures/Glass Pad 48k.wav", 48000, 2, "WAVE", 384000, true, true, 0, 0},
        {"Field Recordings \xE2\x80\x93 Caf\xC3\xA9 \xC3\x9Cmlaut/Rain on Tin.wav", 22050, 1, "WAVE", 88200, true, true, 0, 0},
        {"Textures/notes.txt", 0, 0, "0", -12345, false, false, 0, 0},
        {"song.mp3", 0, 0, "MP3 ", -12345, false, false, 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.path);
        const std::string path = lib + "/" + c.path;
        const Facts f = factsOf(path);
        EXPECT_EQ(f.sr, c.sr);
        EXPECT_EQ(f.channels, c.channels);
        EXPECT_EQ(f.bits, c.sr ? 16u : 0u);
        EXPECT_EQ(code(f.format), c.code);
        EXPECT_EQ(f.dataSize, c.dataSize);
        EXPECT_EQ(AudioKit::canPlayFile(path, false), c.playable);
        EXPECT_EQ(AudioKit::canPlayFile(path, true), c.playableByName);
        if (c.beats > 0) {
            // Whole beats: beats x rate x 60 / frames gives the tempo in the name exactly.
            const int64_t frames = f.dataSize / (f.channels * 2);
            EXPECT_DOUBLE_EQ(c.beats * f.sr * 60.0 / double(frames), c.bpm);
        }
    }

    // A second run leaves a generated library alone.
    const std::string funk = lib + "/Drums/Loops/Funk Beat.aif";
    writeText(funk, "changed by the user");
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    const std::string changed = "changed by the user";
    EXPECT_EQ(readFile(funk), Bytes(changed.begin(), changed.end()));
}
