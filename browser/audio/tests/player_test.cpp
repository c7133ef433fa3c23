// The streaming file player on a null output pulled by hand: provider choice, chunking,
// the end of the file, underruns, loops, several players, conversion and resampling.

#include <gtest/gtest.h>
#include <linux/capability.h>
#include <sndfile.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "AudioFileReaderThread.h"
#include "player_fixtures.h"

using namespace srk::playertest;

namespace {

constexpr int kWav16 = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kWav24 = SF_FORMAT_WAV | SF_FORMAT_PCM_24;
constexpr int kAiff16 = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;

// Expected output when a file's samples play unchanged on an output of the same rate and
// channel count.
std::vector<float> asFloats(const std::vector<int16_t> &samples) {
    std::vector<float> v(samples.size());
    for (size_t i = 0; i < samples.size(); ++i) v[i] = toFloat(samples[i]);
    return v;
}

// Compares out[offset ...] with want, reporting the first difference.
::testing::AssertionResult samplesMatch(const std::vector<float> &out, size_t offset, const std::vector<float> &want) {
    if (out.size() < offset + want.size())
        return ::testing::AssertionFailure() << "output too short: " << out.size() << " < " << offset + want.size();
    for (size_t i = 0; i < want.size(); ++i)
        if (out[offset + i] != want[i])
            return ::testing::AssertionFailure() << "sample " << offset + i << ": " << out[offset + i] << " != " << want[i];
    return ::testing::AssertionSuccess();
}

std::vector<float> prefix(const std::vector<float> &v, size_t n) { return {v.begin(), v.begin() + long(n)}; }

bool allZero(const std::vector<float> &v, size_t from, size_t to) {
    for (size_t i = from; i < to && i < v.size(); ++i)
        if (v[i] != 0.0f) return false;
    return true;
}

}  // namespace

TEST(ChunkSize, RoundsToWholeMultiplesOf32KiB) {
    struct Case { uint32_t bytesPerSecond, chunk; };
    const Case cases[] = {
        {176400, 163840},  // 44.1 kHz stereo 16-bit: rounded down
        {44100, 65536},    // 22.05 kHz mono 16-bit: rounded down would be too small, so up
        {131072, 131072},  // exactly 128 KiB is not above it: rounded up, to itself
        {131073, 163840},
        {576000, 557056},  // 96 kHz stereo 24-bit
        {1, 32768},
    };
    for (const Case &c : cases)
        EXPECT_EQ(AudioFilePlayer::ChunkSizeForBytesPerSecond(c.bytesPerSecond), c.chunk) << c.bytesPerSecond;
}

TEST(ProviderChoice, MemoryBelowOneMiBOrTwoChunksElseStreaming) {
    ScratchDir dir;
    struct Case {
        const char *name; int format, rate, channels; size_t frames; bool streams; uint32_t chunk; uint32_t bytes;
    };
    const Case cases[] = {
        // 1,048,575 bytes: the largest file always held in memory.
        {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 44100, 1, 1048575, false, 0, 1},
        // 1,048,576 bytes of 44.1 kHz stereo 16-bit: streams in 163,840-byte chunks.
        {"s16.wav", kWav16, 44100, 2, 262144, true, 163840, 2},
        // 1,099,998 bytes of 96 kHz stereo 24-bit, chunk 557,056: not above two chunks.
        {"s24a.wav", kWav24, 96000, 2, 183333, false, 0, 3},
        // 1,114,116 bytes: just above two chunks.
        {"s24b.wav", kWav24, 96000, 2, 185686, true, 557056, 3},
        {"mono.aif", kAiff16, 22050, 1, 600000, true, 65536, 2},
    };
    for (const Case &c : cases) {
        const std::string path = writeSamples(dir.file(c.name), c.format, c.rate, c.channels,
                                              std::vector<int16_t>(c.frames * size_t(c.channels), 256));
        AudioFilePlayID p = nullptr;
        ASSERT_EQ(NewAudioFilePlayID(path.c_str(), &p), kSrkNoErr) << c.name;
        EXPECT_EQ(p->UsingReaderThread(), c.streams) << c.name;
        EXPECT_EQ(p->GetChunkSize(), c.chunk) << c.name;
        EXPECT_EQ(p->GetManager()->GetFileBufferSize(), c.streams ? 2 * c.chunk : c.frames * c.channels * c.bytes) << c.name;
        DisposeAudioFilePlayID(p);
    }
}

// Every sample format the converter decodes, in both byte orders where the format has
// them, plus formats libsndfile decodes for us, all played unchanged at the file's rate.
TEST(Conversion, EverySampleFormatPlaysItsValues) {
    ScratchDir dir;
    struct Case { const char *name; int format; float tolerance; };
    const Case cases[] = {
        {"u8.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 0},
        {"s8.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_S8, 0},
        {"le16.wav", kWav16, 0},
        {"be16.aif", kAiff16, 0},
        {"le24.wav", kWav24, 0},
        {"be24.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_24, 0},
        {"le32.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_32, 0},
        {"be32.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_32, 0},
        {"lef32.wav", SF_FORMAT_WAV | SF_FORMAT_FLOAT, 0},
        {"bef32.aifc", SF_FORMAT_AIFF | SF_FORMAT_FLOAT, 0},
        {"lef64.wav", SF_FORMAT_WAV | SF_FORMAT_DOUBLE, 0},
        {"bef64.aifc", SF_FORMAT_AIFF | SF_FORMAT_DOUBLE, 0},
        {"sowt.aifc", SF_FORMAT_AIFF | SF_FORMAT_PCM_16 | SF_ENDIAN_LITTLE, 0},
        {"flac.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, 0},
        {"ulaw.aifc", SF_FORMAT_AIFF | SF_FORMAT_ULAW, 0.03f},
    };
    const auto samples = pattern(2 * 3000, 7);
    const auto want = asFloats(samples);
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = writeSamples(dir.file(c.name), c.format, 44100, 2, samples);
        ManualRig rig(44100, 2);
        ASSERT_EQ(rig.open(path), kSrkNoErr);
        const auto out = rig.pull(3000);
        for (size_t i = 0; i < want.size(); ++i)
            ASSERT_NEAR(out[i], want[i], c.tolerance + 1e-7f) << "sample " << i;
        EXPECT_EQ(rig.errors.load(), 0);
    }
}

TEST(InMemory, PlaysTheFileOnceThenReportsTheEndAndGoesSilent) {
    ScratchDir dir;
    const auto samples = pattern(2 * 10000, 1);
    const std::string path = writeSamples(dir.file("a.wav"), kWav16, 44100, 2, samples);
    ManualRig rig(44100, 2);
    ASSERT_EQ(rig.open(path), kSrkNoErr);
    ASSERT_FALSE(rig.player->UsingReaderThread());
    const auto out = rig.pull(12288);
    EXPECT_TRUE(samplesMatch(out, 0, asFloats(samples)));
    EXPECT_TRUE(allZero(out, samples.size(), out.size()));
    // The request after the one that handed out the file finds nothing: reported after
    // the block in which the file ran out.
    EXPECT_EQ(rig.endReportedAt, 10240);
    EXPECT_EQ(rig.underruns.load(), 0);
}

// A streaming file of 2.5 chunks: three halves (the last padded with silence), then the
// end at the second empty request.
TEST(Streaming, ThreeHalvesThenEndAtTheSecondEmptyRequest) {
    ScratchDir dir;
    // 96 kHz stereo 24-bit: chunk 557,056 bytes (not a whole number of 6-byte frames, so
    // frames straddle the halves). 232,106 frames = 1,392,636 bytes, about 2.5 chunks.
    const size_t frames = 232106;
    const auto samples = pattern(2 * frames, 2);
    const std::string path = writeSamples(dir.file("s.wav"), kWav24, 96000, 2, samples);
    ManualRig rig(96000, 2);
    ASSERT_EQ(rig.open(path), kSrkNoErr);
    ASSERT_TRUE(rig.player->UsingReaderThread());
    ASSERT_EQ(rig.player->GetChunkSize(), 557056u);
    const auto out = rig.pull(290 * 1024);
    EXPECT_TRUE(samplesMatch(out, 0, asFloats(samples)));
    // Three halves are 1,671,168 bytes = 278,528 frames = exactly 272 blocks: block 273
    // makes the first empty request, block 274 the second, which reports the end.
    EXPECT_TRUE(allZero(out, samples.size(), out.size()));
    EXPECT_EQ(rig.endReportedAt, 274 * 1024);
    EXPECT_EQ(rig.underruns.load(), 0);
    EXPECT_EQ(rig.errors.load(), 0);
}

// Unsigned 8-bit samples are silent at 0x80: the padding of the last half and the
// silence handed over after the end must be that, not zero bytes (full negative scale).
TEST(Silence, UnsignedEightBitFilesEndInSilence) {
    struct Case { const char *name; size_t frames; bool streams; };
    const Case cases[] = {{"memory", 5000, false}, {"streaming", 1100000, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const auto samples = pattern(c.frames, 9);
        const std::string path = writeSamples(dir.file("u8.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_U8, 44100, 1, samples);
        ManualRig rig(44100, 1);
        ASSERT_EQ(rig.open(path), kSrkNoErr);
        ASSERT_EQ(rig.player->UsingReaderThread(), c.streams);
        auto out = rig.pullToEnd(c.frames + 200000, 4096);
        ASSERT_GT(rig.endOfFile.load(), 0);
        const auto more = rig.pull(8192);
        out.insert(out.end(), more.begin(), more.end());
        EXPECT_TRUE(samplesMatch(out, 0, asFloats(samples)));
        EXPECT_TRUE(allZero(out, c.frames, out.size()));
    }
}

// Holds the reader's lock on another thread until released, as a busy reader would.
class LockHolder {
public:
    LockHolder() : thread_([this] {
        sReaderThread.GetGuard().Lock();
        {
            std::unique_lock<std::mutex> l(m_);
            held_ = true;
            cv_.notify_all();
            cv_.wait(l, [this] { return release_; });
        }
        sReaderThread.GetGuard().Unlock();
    }) {
        std::unique_lock<std::mutex> l(m_);
        cv_.wait(l, [this] { return held_; });
    }
    void release() {
        {
            std::lock_guard<std::mutex> l(m_);
            release_ = true;
        }
        cv_.notify_all();
        if (thread_.joinable()) thread_.join();
    }
    ~LockHolder() { release(); }

private:
    std::mutex m_;
    std::condition_variable cv_;
    bool held_ = false, release_ = false;
    std::thread thread_;
};

// While the reader's lock is busy the render thread queues nothing and retries; the half
// it could not get refilled becomes an underrun with silence, and once the lock is free
// playback carries on with the next chunk: nothing is lost or played twice.
TEST(Streaming, UnderrunGivesSilenceAndLosesNoChunk) {
    for (const bool withNotifier : {true, false}) {
        SCOPED_TRACE(withNotifier ? "with notifier" : "without notifier");
        ScratchDir dir;
        const size_t frames = 600000;  // 16-bit mono 22.05 kHz: 1.2 MB in 65,536-byte chunks
        const auto samples = pattern(frames, 3);
        const std::string path = writeSamples(dir.file("u.aif"), kAiff16, 22050, 1, samples);
        ManualRig rig(22050, 1);
        ASSERT_EQ(rig.open(path, 1.0, false, withNotifier), kSrkNoErr);
        const size_t half = 65536 / 2;
        std::vector<float> out;
        {
            LockHolder busy;
            out = rig.pull(half + 4096, 1024, false);
            if (withNotifier) {
                EXPECT_GT(rig.underruns.load(), 0);
            }
            bool connected = false;
            PlayerIsConnected(rig.player, &connected);
            EXPECT_TRUE(connected) << "an underrun alone does not disconnect";
            busy.release();
        }
        // The retry after the next render gets the refill queued.
        auto rest = rig.pull(frames + 65536);
        out.insert(out.end(), rest.begin(), rest.end());
        // The first half plays whole, then the underrun's silence.
        EXPECT_TRUE(samplesMatch(out, 0, prefix(asFloats(samples), half)));
        EXPECT_TRUE(allZero(out, half, half + 4096));
        // With the silence taken out, the whole file is there in order.
        std::vector<float> sounding;
        for (float v : out)
            if (v != 0.0f) sounding.push_back(v);
        EXPECT_TRUE(samplesMatch(sounding, 0, asFloats(samples)));
        EXPECT_EQ(sounding.size(), samples.size());
        bool connected = true;
        PlayerIsConnected(rig.player, &connected);
        if (withNotifier) {
            EXPECT_GT(rig.endOfFile.load(), 0);
        } else {
            EXPECT_FALSE(connected) << "the end of the file disconnects a player without notifier";
        }
    }
}

// Looping continues sample-exactly across the end of the file, from memory and streamed
// (where the end falls inside a half and the rest of the half comes from the start).
TEST(Looping, ContinuesSampleExactlyAcrossTheEnd) {
    struct Case { const char *name; size_t frames; bool streams; };
    const Case cases[] = {{"memory", 7777, false}, {"streaming", 600001, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const auto samples = pattern(c.frames, 4);
        const std::string path = writeSamples(dir.file("l.aif"), kAiff16, 22050, 1, samples);
        ManualRig rig(22050, 1);
        ASSERT_EQ(rig.open(path, 1.0, true), kSrkNoErr);
        ASSERT_EQ(rig.player->UsingReaderThread(), c.streams);
        const size_t total = c.frames * 2 + c.frames / 3;
        const auto out = rig.pull(total, 999);
        const auto one = asFloats(samples);
        for (size_t pass = 0; pass * c.frames < total; ++pass) {
            const size_t n = std::min(c.frames, total - pass * c.frames);
            EXPECT_TRUE(samplesMatch(out, pass * c.frames, prefix(one, n))) << "pass " << pass;
        }
        EXPECT_EQ(rig.endOfFile.load(), 0);
        EXPECT_EQ(rig.underruns.load(), 0);
    }
}

// Switching looping off during a pass lets that pass finish, then the file ends.
TEST(Looping, SwitchedOffMidPassFinishesThatPass) {
    struct Case { const char *name; size_t frames; bool streams; };
    const Case cases[] = {{"memory", 7777, false}, {"streaming", 700000, true}};
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const auto samples = pattern(c.frames, 5);
        const std::string path = writeSamples(dir.file("l.aif"), kAiff16, 22050, 1, samples);
        ManualRig rig(22050, 1);
        ASSERT_EQ(rig.open(path, 1.0, true), kSrkNoErr);
        ASSERT_EQ(rig.player->UsingReaderThread(), c.streams);
        auto out = rig.pull(c.frames + c.frames / 2);
        PlayerSetLooping(rig.player, false);
        const auto rest = rig.pullToEnd(4 * c.frames);
        out.insert(out.end(), rest.begin(), rest.end());
        ASSERT_GT(rig.endOfFile.load(), 0);
        const auto one = asFloats(samples);
        EXPECT_TRUE(samplesMatch(out, 0, one));
        EXPECT_TRUE(samplesMatch(out, c.frames, one));
        EXPECT_EQ(soundingFrames(out, 1), 2 * c.frames);
    }
}

// Two streaming players are served by the one reader, each with its own file intact;
// when both are gone the reader thread ends, and a new streaming player starts it again.
TEST(Streaming, TwoPlayersAtOnceAndTheReaderLifecycle) {
    ScratchDir dir;
    const size_t frames = 600000;
    const auto a = pattern(frames, 10), b = pattern(frames, 11);
    const std::string pa = writeSamples(dir.file("a.aif"), kAiff16, 22050, 1, a);
    const std::string pb = writeSamples(dir.file("b.aif"), kAiff16, 22050, 1, b);
    {
        ManualRig ra(22050, 1), rb(22050, 1);
        ASSERT_EQ(ra.open(pa), kSrkNoErr);
        ASSERT_EQ(rb.open(pb), kSrkNoErr);
        EXPECT_EQ(sReaderThread.NumberOfReaders(), 2);
        EXPECT_TRUE(sReaderThread.IsThreadAlive());
        std::vector<float> oa, ob;
        while (oa.size() < frames + 70000) {
            // Both ask before the reader runs, so it serves them in request order.
            const auto xa = ra.pull(1500, 1500, false);
            const auto xb = rb.pull(1500, 1500, false);
            sReaderThread.WaitUntilIdle(10'000'000'000ULL);
            oa.insert(oa.end(), xa.begin(), xa.end());
            ob.insert(ob.end(), xb.begin(), xb.end());
        }
        EXPECT_TRUE(samplesMatch(oa, 0, asFloats(a)));
        EXPECT_TRUE(samplesMatch(ob, 0, asFloats(b)));
        EXPECT_EQ(ra.underruns.load() + rb.underruns.load(), 0);
        EXPECT_GT(ra.endOfFile.load(), 0);
        EXPECT_GT(rb.endOfFile.load(), 0);
    }
    EXPECT_EQ(sReaderThread.NumberOfReaders(), 0);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (sReaderThread.IsThreadAlive() && std::chrono::steady_clock::now() < deadline) std::this_thread::yield();
    EXPECT_FALSE(sReaderThread.IsThreadAlive());
    ManualRig again(22050, 1);
    ASSERT_EQ(again.open(pa), kSrkNoErr);
    EXPECT_TRUE(sReaderThread.IsThreadAlive());
    EXPECT_TRUE(samplesMatch(again.pull(70000), 0, prefix(asFloats(a), 70000)));
}

// Players are made, played a little and thrown away while the reader may be reading
// into them: it must never write into a removed one (ASan and TSan builds watch this).
TEST(Streaming, DisposingWhileTheReaderWorksIsSafe) {
    ScratchDir dir;
    const auto samples = pattern(600000, 12);
    const std::string path = writeSamples(dir.file("d.aif"), kAiff16, 22050, 1, samples);
    for (int i = 0; i < 20; ++i) {
        ManualRig rig(22050, 1);
        ASSERT_EQ(rig.open(path, 1.0, true), kSrkNoErr);
        rig.pull(size_t(33000 + 700 * i), 4096, false);  // the reader is still busy when the rig goes
    }
    EXPECT_EQ(sReaderThread.NumberOfReaders(), 0);
}

TEST(ChannelMap, MonoFileSoundsOnEveryOutputChannel) {
    ScratchDir dir;
    const auto samples = pattern(5000, 6);
    const std::string path = writeSamples(dir.file("m.wav"), kWav16, 44100, 1, samples);
    ManualRig rig(44100, 2);
    ASSERT_EQ(rig.open(path), kSrkNoErr);
    const auto out = rig.pull(5000);
    for (size_t i = 0; i < samples.size(); ++i) {
        ASSERT_EQ(out[2 * i], toFloat(samples[i])) << i;
        ASSERT_EQ(out[2 * i + 1], toFloat(samples[i])) << i;
    }
}

// Speed and rate conversion: the converter treats the file as running at rate x speed,
// so pitch and length follow.
TEST(Resampling, PitchAndLengthFollowRateAndSpeed) {
    struct Case { const char *name; int fileRate; double outRate; double speed; double hz; double seconds; };
    const Case cases[] = {
        {"48k file on 44.1k output", 48000, 44100, 1.0, 1000, 1.0},
        {"44.1k file on 48k output", 44100, 48000, 1.0, 1000, 1.0},
        {"speed 0.5 on 44.1k", 44100, 44100, 0.5, 500, 2.0},
        {"speed 2.0 on 44.1k to 48k", 44100, 48000, 2.0, 2000, 0.5},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        ScratchDir dir;
        const std::string path = writeSamples(dir.file("t.wav"), kWav16, c.fileRate, 1,
                                              tone(1000, c.fileRate, 1, size_t(c.fileRate), 0.5));
        ManualRig rig(c.outRate, 2);
        ASSERT_EQ(rig.open(path, c.speed), kSrkNoErr);
        FormatConverter *conv = nullptr;
        ASSERT_EQ(PlayerGetInfo(rig.player, nullptr, nullptr, &conv), kSrkNoErr);
        ASSERT_NE(conv, nullptr);
        EXPECT_DOUBLE_EQ(conv->InputFormat().sampleRate, c.fileRate * c.speed);
        // Pulled only until the end is reported: the end must not cut off the resampler's
        // last few milliseconds.
        const auto out = rig.pullToEnd(size_t(4 * c.outRate));
        ASSERT_GT(rig.endOfFile.load(), 0);
        // The tone starts at once: the resampler's warm-up silence is not played.
        size_t first = 0;
        while (first < out.size() / 2 && std::fabs(out[2 * first]) <= 0.01f) ++first;
        EXPECT_LE(first, 3u);
        const double expectFrames = c.seconds * c.outRate;
        // The resampler's filter rings on a little past the end, far below this threshold.
        EXPECT_NEAR(double(soundingFrames(out, 2, 0.01f)), expectFrames, 0.002 * c.outRate);
        EXPECT_NEAR(zeroCrossingHz(out, 2, c.outRate, size_t(0.1 * expectFrames), size_t(0.9 * expectFrames)), c.hz,
                    c.hz * 0.002);
        EXPECT_NEAR(rms(out, 2, size_t(0.1 * expectFrames), size_t(0.9 * expectFrames)), 0.5 / std::sqrt(2.0), 0.01);
        for (size_t i = 0; i < out.size() / 2; ++i) ASSERT_EQ(out[2 * i], out[2 * i + 1]);
    }
}

TEST(FunctionInterface, NullArgumentsAndMissingDestination) {
    ScratchDir dir;
    const std::string path = writeSamples(dir.file("n.wav"), kWav16, 44100, 1, pattern(100, 1));
    AudioFilePlayID p = nullptr;
    EXPECT_EQ(NewAudioFilePlayID(nullptr, &p), kSrkParamErr);
    EXPECT_EQ(NewAudioFilePlayID(path.c_str(), nullptr), kSrkParamErr);
    EXPECT_EQ(DisposeAudioFilePlayID(nullptr), kSrkNoErr);
    NullOutput out(44100, 2, NullOutput::Mode::Manual);
    bool b = false;
    EXPECT_EQ(PlayerSetDestination(nullptr, &out, 0), kSrkParamErr);
    EXPECT_EQ(PlayerSetLooping(nullptr, true), kSrkParamErr);
    EXPECT_EQ(PlayerSetSpeed(nullptr, 2.0), kSrkParamErr);
    EXPECT_EQ(PlayerSetNotifier(nullptr, nullptr, nullptr), kSrkParamErr);
    EXPECT_EQ(PlayerConnect(nullptr), kSrkParamErr);
    EXPECT_EQ(PlayerDisconnect(nullptr), kSrkParamErr);
    EXPECT_EQ(PlayerIsConnected(nullptr, &b), kSrkParamErr);
    EXPECT_EQ(PlayerGetInfo(nullptr, nullptr, nullptr, nullptr), kSrkParamErr);
    EXPECT_EQ(PlayerPrint(nullptr), kSrkParamErr);

    ASSERT_EQ(NewAudioFilePlayID(path.c_str(), &p), kSrkNoErr);
    AudioOutput *unit = nullptr;
    EXPECT_EQ(PlayerGetInfo(p, &unit, nullptr, nullptr), kSrkPlayerNoDestination);
    EXPECT_EQ(PlayerSetDestination(p, nullptr, 0), kSrkParamErr);
    EXPECT_EQ(PlayerIsConnected(p, nullptr), kSrkParamErr);
    // Connecting without a destination fails rather than rendering without a converter.
    EXPECT_NE(PlayerConnect(p), kSrkNoErr);
    ASSERT_EQ(PlayerSetDestination(p, &out, 0), kSrkNoErr);
    int32_t bus = -1;
    FormatConverter *conv = nullptr;
    EXPECT_EQ(PlayerGetInfo(p, &unit, &bus, &conv), kSrkNoErr);
    EXPECT_EQ(unit, &out);
    EXPECT_EQ(bus, 0);
    EXPECT_NE(conv, nullptr);
    ASSERT_EQ(PlayerConnect(p), kSrkNoErr);
    EXPECT_EQ(PlayerIsConnected(p, &b), kSrkNoErr);
    EXPECT_TRUE(b);
    EXPECT_EQ(PlayerSetDestination(p, &out, 0), kSrkUnknownErr) << "refused while connected";
    EXPECT_EQ(PlayerDisconnect(p), kSrkNoErr);
    EXPECT_EQ(PlayerIsConnected(p, &b), kSrkNoErr);
    EXPECT_FALSE(b);
    EXPECT_EQ(DisposeAudioFilePlayID(p), kSrkNoErr);
}

TEST(FunctionInterface, FailuresPrintOneLineAndReturnTheStatus) {
    ScratchDir dir;
    AudioFilePlayID p = nullptr;
    ::testing::internal::CaptureStdout();
    const SrkStatus s = NewAudioFilePlayID(dir.file("missing.wav").c_str(), &p);
    const std::string printed = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(s, kSrkFileOpenFailed);
    EXPECT_EQ(p, nullptr) << "no handle on failure";
    EXPECT_EQ(printed, "Error:AudioFileOpen=0x666F706E,1718579310,fopn\n\n");

    const std::string path = writeSamples(dir.file("p.wav"), kWav16, 44100, 2, pattern(200, 1));
    ASSERT_EQ(NewAudioFilePlayID(path.c_str(), &p), kSrkNoErr);
    NullOutput out(44100, 2, NullOutput::Mode::Manual);
    ::testing::internal::CaptureStdout();
    EXPECT_EQ(PlayerSetDestination(p, &out, 1), kSrkNoSuchBus);
    PlayerSetSpeed(p, 0.0);
    EXPECT_EQ(PlayerSetDestination(p, &out, 0), kSrkBadSpeed);
    PlayerSetSpeed(p, 1.0);
    ASSERT_EQ(PlayerSetDestination(p, &out, 0), kSrkNoErr);
    ASSERT_EQ(PlayerConnect(p), kSrkNoErr);
    PlayerPrint(p);
    const std::string dump = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(dump.find("Error:AudioUnitGetProperty=0x6275733F,1651864383,bus?\n\n"), std::string::npos) << dump;
    for (const char *line : {"Destination Bus:0\n", "Is 'aunt' unit:false\n", "Is Connected:true\n",
                             "Using Reader Thread:false\n", "- - - - - - - - - - - - - - \n", "  Sample Rate:44100.000000\n"})
        EXPECT_NE(dump.find(line), std::string::npos) << line << dump;
    DisposeAudioFilePlayID(p);
}

// Where the system refuses a fixed priority, the reader says so once and still streams.
// Runs in a child process that gives up the right to real-time scheduling: no real-time
// budget and (when running as root) no CAP_SYS_NICE. Exits 0 when exactly one refusal
// line was printed over two starts of the reader thread and the audio played.
[[noreturn]] void streamWithoutRealTimeRights(const std::string &path, const std::string &log,
                                             const std::vector<int16_t> &samples) {
    const rlimit none{0, 0};
    setrlimit(RLIMIT_RTPRIO, &none);
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct caps[2]{};
    syscall(SYS_capget, &header, caps);
    caps[0].effective &= ~(1u << CAP_SYS_NICE);
    caps[0].permitted &= ~(1u << CAP_SYS_NICE);
    syscall(SYS_capset, &header, caps);
    if (!freopen(log.c_str(), "w", stdout)) _exit(3);
    bool played = true;
    for (int round = 0; round < 2; ++round) {
        {
            ManualRig rig(22050, 1);
            if (rig.open(path) != kSrkNoErr) _exit(4);
            const auto out = rig.pull(100000);
            for (size_t i = 0; i < 100000; ++i) played = played && out[i] == toFloat(samples[i]);
        }
        while (sReaderThread.IsThreadAlive()) std::this_thread::yield();
    }
    fflush(stdout);
    FILE *f = fopen(log.c_str(), "r");
    char line[512];
    int refusals = 0;
    while (f && fgets(line, sizeof line, f))
        if (std::string(line).rfind("Error:thread_policy - Couldn't set thread as fixed priority.=", 0) == 0) ++refusals;
    fprintf(stderr, "refusals=%d played=%d\n", refusals, int(played));
    _exit(refusals == 1 && played ? 0 : 1);
}

TEST(ReaderPriority, RefusedPrioritySaysSoOnceAndStillStreams) {
    // A fresh process: a reader thread left by earlier tests does not exist after a fork.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    ScratchDir dir;
    const auto samples = pattern(600000, 13);
    const std::string path = writeSamples(dir.file("p.aif"), kAiff16, 22050, 1, samples);
    EXPECT_EXIT(streamWithoutRealTimeRights(path, dir.file("stdout.txt"), samples), ::testing::ExitedWithCode(0),
                "refusals=1 played=1");
}

TEST(AudioLockTest, TryNeverWaitsAndKnowsItsOwner) {
    AudioLock lock("test");
    bool acquired = false;
    ASSERT_TRUE(lock.Try(&acquired));
    EXPECT_TRUE(acquired);
    EXPECT_TRUE(lock.Try(&acquired)) << "the owner gets true";
    EXPECT_FALSE(acquired) << "but did not take it again";
    EXPECT_FALSE(lock.Lock()) << "Lock by the owner does not lock twice";
    std::thread([&] {
        bool other = true;
        EXPECT_FALSE(lock.Try(&other));
        EXPECT_FALSE(other);
        lock.Unlock();  // not the owner: no effect
    }).join();
    EXPECT_TRUE(lock.OwnedByCaller());
    EXPECT_TRUE(lock.WaitFor(1'000'000)) << "times out";
    EXPECT_TRUE(lock.OwnedByCaller()) << "owner again after the wait";
    lock.Unlock();
    std::thread([&] {
        bool other = false;
        EXPECT_TRUE(lock.Try(&other));
        EXPECT_TRUE(other);
        lock.Unlock();
    }).join();
}
