// AudioKit on a null output pulled by hand: starting, stopping, the end of playback and
// the delegate, looping, speed, volume, and the tempo of a file.

#include <gtest/gtest.h>
#include <sndfile.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <mutex>

#include "AudioFileReaderThread.h"
#include "AudioKit.h"
#include "player_fixtures.h"

using namespace srk::playertest;

namespace {

struct CountingDelegate : AudioKitDelegate {
    std::atomic<int> finished{0};
    void soundDidFinishPlaying() override { ++finished; }
};

struct Kit {
    NullOutput *output = nullptr;  // owned by kit
    std::unique_ptr<AudioKit> kit;
    CountingDelegate delegate;

    explicit Kit(const std::string &path, double rate = 44100) {
        auto out = std::make_unique<NullOutput>(rate, 2, NullOutput::Mode::Manual);
        output = out.get();
        kit = AudioKit::initWithOutput(path, std::move(out));
        kit->setDelegate(&delegate);
    }
    std::vector<float> pull(size_t frames) {
        std::vector<float> v(frames * 2);
        for (size_t done = 0; done < frames; done += 512) {
            output->Pull(v.data() + done * 2, uint32_t(std::min<size_t>(512, frames - done)));
            sReaderThread.WaitUntilIdle(10'000'000'000ULL);
        }
        return v;
    }
};

}  // namespace

TEST(AudioKitPlay, PlaysToTheEndAndTellsTheDelegateOnce) {
    ScratchDir dir;
    const auto samples = pattern(2 * 3000, 21);
    const std::string path = writeSamples(dir.file("a.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, samples);
    Kit k(path);
    EXPECT_FALSE(k.kit->isPlaying());
    ASSERT_FALSE(k.kit->play(false)) << "false: playback started";
    EXPECT_TRUE(k.kit->isPlaying());
    EXPECT_TRUE(k.kit->play(false)) << "a second play: is refused";
    const auto out = k.pull(8192);
    for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(out[i], toFloat(samples[i])) << i;
    EXPECT_FALSE(k.kit->isPlaying());
    EXPECT_EQ(k.delegate.finished.load(), 1);
    EXPECT_FALSE(k.output->IsRunning()) << "the end of playback stops the output";
    k.kit->stop();
    EXPECT_EQ(k.delegate.finished.load(), 1) << "stop while idle does not call the delegate";
    // And it plays again from the start.
    ASSERT_FALSE(k.kit->play(false));
    const auto again = k.pull(3000);
    for (size_t i = 0; i < samples.size(); ++i) ASSERT_EQ(again[i], toFloat(samples[i])) << i;
}

TEST(AudioKitPlay, StopAndReleaseEachEndPlaybackOnce) {
    ScratchDir dir;
    const std::string path =
        writeSamples(dir.file("a.aif"), SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 1, pattern(50000, 22));
    {
        Kit k(path);
        ASSERT_FALSE(k.kit->play(true));
        k.pull(1000);
        k.kit->stop();
        EXPECT_FALSE(k.kit->isPlaying());
        EXPECT_EQ(k.delegate.finished.load(), 1);
        const auto after = k.pull(1000);
        EXPECT_EQ(soundingFrames(after, 2), 0u) << "silent after stop";
        k.kit->stop();
        EXPECT_EQ(k.delegate.finished.load(), 1);
    }
    CountingDelegate delegate;
    {
        Kit k(path);
        k.kit->setDelegate(&delegate);
        ASSERT_FALSE(k.kit->play(false));
        k.pull(1000);
        k.kit.reset();  // released while playing
    }
    EXPECT_EQ(delegate.finished.load(), 1);
}

TEST(AudioKitPlay, UnusablePathsAndFilesDoNotStart) {
    ScratchDir dir;
    {
        Kit k(dir.file("missing.wav"));
        EXPECT_TRUE(k.kit->play(false));
        EXPECT_FALSE(k.kit->isPlaying());
    }
    {
        // Named like audio, but not audio: the player cannot open it.
        const std::string text = dir.file("text.wav");
        FILE *f = fopen(text.c_str(), "w");
        fputs("not a sound\n", f);
        fclose(f);
        Kit k(text);
        testing::internal::CaptureStdout();
        EXPECT_TRUE(k.kit->play(false));
        testing::internal::GetCapturedStdout();
        EXPECT_FALSE(k.kit->isPlaying());
        EXPECT_EQ(k.delegate.finished.load(), 0);
    }
}

// With looping the end never ends playback; switched off during a pass, that pass ends it.
TEST(AudioKitPlay, LoopingAndSwitchingItOff) {
    ScratchDir dir;
    const auto samples = pattern(4000, 23);
    const std::string path = writeSamples(dir.file("l.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1, samples);
    Kit k(path);
    ASSERT_FALSE(k.kit->play(true));
    k.pull(4000 * 5 + 1000);
    EXPECT_TRUE(k.kit->isPlaying());
    EXPECT_EQ(k.delegate.finished.load(), 0);
    k.kit->setLooping(false);
    const auto rest = k.pull(8000);
    EXPECT_FALSE(k.kit->isPlaying());
    EXPECT_EQ(k.delegate.finished.load(), 1);
    // The pass that was playing finished: 3,000 more frames of the file, then silence.
    EXPECT_EQ(soundingFrames(rest, 2), 3000u);
}

TEST(AudioKitPlay, SpeedTakesEffectAtTheNextPlayAndVolumeAtOnce) {
    ScratchDir dir;
    const std::string path = writeSamples(dir.file("t.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 1,
                                          tone(1000, 44100, 1, 22050, 0.5));
    Kit k(path);
    k.kit->setPlaybackSpeed(2.0);
    ASSERT_FALSE(k.kit->play(false));
    const auto fast = k.pull(44100);
    EXPECT_NEAR(zeroCrossingHz(fast, 2, 44100, 1000, 10000), 2000.0, 4.0);
    EXPECT_NEAR(double(soundingFrames(fast, 2, 0.01f)), 11025.0, 100.0);

    k.kit->setPlaybackSpeed(1.0);
    ASSERT_FALSE(k.kit->play(false));
    const auto loud = k.pull(4000);
    k.kit->setVolume(0.25);
    const auto quiet = k.pull(4000);
    EXPECT_NEAR(zeroCrossingHz(loud, 2, 44100, 0, 4000), 1000.0, 2.0);
    const double ratio = rms(quiet, 2, 0, 4000) / rms(loud, 2, 0, 4000);
    EXPECT_NEAR(ratio, 0.25, 0.005);
    k.kit->setVolume(7.0);  // out of range: full volume, never amplified
    const auto full = k.pull(4000);
    EXPECT_NEAR(rms(full, 2, 0, 4000) / rms(loud, 2, 0, 4000), 1.0, 0.005);
}

// The tempo of the whole file from a beat count.
TEST(AudioKitTempo, BeatsOverTheWholeFile) {
    ScratchDir dir;
    const std::string wav = writeSamples(dir.file("four.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                                         std::vector<int16_t>(705600 / 2, 0));
    const std::string aif = writeSamples(dir.file("long.aif"), SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 2,
                                         std::vector<int16_t>(1428840 / 2, 0));
    const std::string mp3 = dir.file("song.mp3");
    FILE *f = fopen(mp3.c_str(), "w");
    fputs("ID3", f);
    fclose(f);
    const std::string empty = writeSamples(dir.file("empty.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2, {});
    struct Case { std::string path; int32_t beats; bool round; double tempo; };
    const Case cases[] = {
        {wav, 8, false, 120.0},
        {wav, 7, false, 105.0},
        {aif, 16, false, 16 * 44100.0 * 60.0 / 357210.0},  // 118.518...
        {aif, 16, true, 119.0},
        {mp3, 8, false, 0.0},
        {mp3, 8, true, 0.0},
        {empty, 8, false, 0.0},  // no frames: no tempo
    };
    for (const Case &c : cases) {
        Kit k(c.path);
        EXPECT_DOUBLE_EQ(k.kit->getBPM(c.beats, c.round), c.tempo) << c.path << " " << c.beats << " " << c.round;
    }
}

// Without a device the null output pulls on its own thread at the pace of real time: the
// sound takes as long as it lasts and ends through the delegate as on a device.
TEST(AudioKitPlay, NullOutputPlaysInRealTime) {
    ScratchDir dir;
    const std::string path = writeSamples(dir.file("short.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100, 2,
                                          pattern(2 * 8820, 24));  // 0.2 s
    struct Waiter : AudioKitDelegate {
        std::mutex m;
        std::condition_variable cv;
        bool done = false;
        void soundDidFinishPlaying() override {
            std::lock_guard<std::mutex> l(m);
            done = true;
            cv.notify_all();
        }
    } waiter;
    auto kit = AudioKit::initWithOutput(path, std::make_unique<NullOutput>(44100, 2, NullOutput::Mode::RealTime));
    kit->setDelegate(&waiter);
    const auto start = std::chrono::steady_clock::now();
    ASSERT_FALSE(kit->play(false));
    {
        std::unique_lock<std::mutex> l(waiter.m);
        ASSERT_TRUE(waiter.cv.wait_for(l, std::chrono::seconds(10), [&] { return waiter.done; }));
    }
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(190));
    EXPECT_FALSE(kit->isPlaying());
    // And again, on the same output.
    waiter.done = false;
    ASSERT_FALSE(kit->play(false));
    std::unique_lock<std::mutex> l(waiter.m);
    EXPECT_TRUE(waiter.cv.wait_for(l, std::chrono::seconds(10), [&] { return waiter.done; }));
}
