// Real sound: AudioKit plays a generated tone on the default sound device, and the
// recording of the sound server's null sink shows that it came out, at the right pitch
// and level. Needs a PulseAudio (or PipeWire) server whose default sink is "nullsink"
// (scripts/with-servers.sh starts one); without it these tests fail.

#include <gtest/gtest.h>
#include <signal.h>
#include <sndfile.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <thread>
#include <typeinfo>

#include "AudioKit.h"
#include "PortAudioOutput.h"
#include "../player_fixtures.h"

extern char **environ;

using namespace srk::playertest;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kRate = 44100;

off_t fileSize(const std::string &path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_size : 0;
}

// Waits until cond holds or the time is up; the recorder and the device make progress on
// their own, so the test polls what they produce.
template <typename F>
bool waitFor(F cond, std::chrono::milliseconds limit) {
    const auto end = Clock::now() + limit;
    while (!cond()) {
        if (Clock::now() > end) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// parec recording the null sink's monitor as raw 16-bit stereo at 44.1 kHz.
class Recorder {
public:
    explicit Recorder(std::string path) : path_(std::move(path)) {
        const char *argv[] = {"parec", "-d", "nullsink.monitor", "--latency-msec=20", "--format=s16le",
                              "--rate=44100", "--channels=2", "--raw", path_.c_str(), nullptr};
        if (posix_spawnp(&pid_, "parec", nullptr, nullptr, const_cast<char **>(argv), environ) != 0) pid_ = -1;
    }
    // The monitor delivers silence continuously once the recorder is connected.
    bool waitUntilRecording() {
        return pid_ > 0 && waitFor([&] { return fileSize(path_) > 8 * 1024; }, std::chrono::seconds(10));
    }
    // Lets another `frames` frames be recorded (the sound's way through the server).
    void recordFurther(size_t frames) {
        const off_t target = fileSize(path_) + off_t(frames * 4);
        waitFor([&] { return fileSize(path_) >= target; }, std::chrono::seconds(10));
    }
    // SIGINT makes parec flush what it has.
    std::vector<float> stop() {
        if (pid_ > 0) {
            kill(pid_, SIGINT);
            int status = 0;
            waitpid(pid_, &status, 0);
            pid_ = -1;
        }
        std::ifstream in(path_, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        std::vector<float> v(bytes.size() / 2);
        for (size_t i = 0; i < v.size(); ++i) {
            int16_t s;
            std::memcpy(&s, bytes.data() + 2 * i, 2);
            v[i] = toFloat(s);
        }
        return v;
    }
    ~Recorder() {
        if (pid_ > 0) stop();
    }

private:
    std::string path_;
    pid_t pid_ = -1;
};

struct Waiter : AudioKitDelegate {
    std::mutex m;
    std::condition_variable cv;
    int finished = 0;
    void soundDidFinishPlaying() override {
        std::lock_guard<std::mutex> l(m);
        ++finished;
        cv.notify_all();
    }
    bool wait(std::chrono::seconds limit) {
        std::unique_lock<std::mutex> l(m);
        return cv.wait_for(l, limit, [&] { return finished > 0; });
    }
};

struct Heard {
    double hz = 0.0;
    double rms = 0.0;
    double seconds = 0.0;  // how long the recording sounds
    int gaps = 0;          // silent stretches of 5 ms or more inside the sound (dropouts)
};

// The sounding stretch of a recording (left channel): its length, and the pitch and
// level of its middle.
Heard analyse(const std::vector<float> &stereo) {
    const size_t frames = stereo.size() / 2;
    size_t first = frames, last = 0;
    for (size_t i = 0; i < frames; ++i)
        if (std::fabs(stereo[2 * i]) > 0.02f) {
            first = std::min(first, i);
            last = i;
        }
    Heard h;
    if (first >= last) return h;
    h.seconds = double(last - first) / kRate;
    const size_t from = first + (last - first) / 5, to = last - (last - first) / 5;
    // Pitch from the median distance between upward zero crossings, which a dropout
    // cannot drag off.
    std::vector<size_t> periods;
    size_t prev = 0;
    for (size_t i = from + 1; i < to; ++i)
        if (stereo[2 * (i - 1)] < 0.0f && stereo[2 * i] >= 0.0f) {
            if (prev) periods.push_back(i - prev);
            prev = i;
        }
    if (!periods.empty()) {
        // Average over a window of periods around the median, for sub-sample precision.
        std::sort(periods.begin(), periods.end());
        const size_t lo = periods.size() / 4, hi = periods.size() * 3 / 4 + 1;
        double sum = 0;
        for (size_t i = lo; i < hi; ++i) sum += double(periods[i]);
        h.hz = kRate / (sum / double(hi - lo));
    }
    h.rms = rms(stereo, 2, from, to);
    size_t run = 0;
    for (size_t i = first; i <= last; ++i) {
        run = std::fabs(stereo[2 * i]) < 1e-4f ? run + 1 : 0;
        if (run == kRate / 200) ++h.gaps;
    }
    return h;
}

class Sound : public ::testing::Test {
protected:
    void SetUp() override {
        // CI always runs these with a sound server; its absence is a failure, not a skip.
        ASSERT_EQ(std::system("pactl info >/dev/null 2>&1"), 0)
            << "no PulseAudio server reachable: run the tests under scripts/with-servers.sh";
        tone_ = writeSamples(dir_.file("tone.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16, kRate, 2,
                             tone(440, kRate, 2, size_t(kRate * 1.5), 0.5));
    }

    // Plays the tone through AudioKit on the default device (a new AudioKit, or the one
    // given, played once more) and returns what the sink's monitor heard.
    Heard playAndRecord(double speed, double volume, std::unique_ptr<AudioKit> *keep = nullptr) {
        Recorder rec(dir_.file("rec-" + std::to_string(++takes_) + ".raw"));
        EXPECT_TRUE(rec.waitUntilRecording()) << "parec did not start recording nullsink.monitor";
        std::unique_ptr<AudioKit> own;
        std::unique_ptr<AudioKit> &kit = keep ? *keep : own;
        if (!kit) kit = AudioKit::initWithContentsOfFile(tone_);
        EXPECT_NE(kit, nullptr);
        if (!kit) return {};
        EXPECT_NE(dynamic_cast<PortAudioOutput *>(kit->outputUnit()), nullptr)
            << "AudioKit fell back to the null output: PortAudio found no default device";
        Waiter waiter;
        kit->setDelegate(&waiter);
        kit->setPlaybackSpeed(speed);
        kit->setVolume(volume);
        EXPECT_FALSE(kit->play(false));
        EXPECT_TRUE(waiter.wait(std::chrono::seconds(15))) << "playback never ended";
        EXPECT_FALSE(kit->isPlaying());
        rec.recordFurther(kRate / 2);
        kit->setDelegate(nullptr);
        own.reset();
        return analyse(rec.stop());
    }

    ScratchDir dir_;
    std::string tone_;
    int takes_ = 0;
};

}  // namespace

TEST_F(Sound, ToneComesOutOfTheDefaultDevice) {
    const Heard h = playAndRecord(1.0, 1.0);
    EXPECT_NEAR(h.hz, 440.0, 2.0);
    EXPECT_NEAR(h.rms, 0.5 / std::sqrt(2.0), 0.03);
    EXPECT_NEAR(h.seconds, 1.5, 0.1);
    EXPECT_EQ(h.gaps, 0);
}

TEST_F(Sound, SpeedTwoPlaysAnOctaveHigherInHalfTheTime) {
    const Heard h = playAndRecord(2.0, 1.0);
    EXPECT_NEAR(h.hz, 880.0, 4.0);
    EXPECT_NEAR(h.seconds, 0.75, 0.1);
}

// Both takes on one AudioKit: the device stream that completed at the end of the first
// take starts again for the second.
TEST_F(Sound, VolumeQuarterIsAQuarterOfTheLevel) {
    std::unique_ptr<AudioKit> kit;
    const Heard full = playAndRecord(1.0, 1.0, &kit);
    const Heard quarter = playAndRecord(1.0, 0.25, &kit);
    EXPECT_NEAR(quarter.seconds, 1.5, 0.1);
    ASSERT_GT(full.rms, 0.1);
    EXPECT_NEAR(quarter.rms / full.rms, 0.25, 0.02);
    EXPECT_NEAR(quarter.hz, 440.0, 2.0);
}
