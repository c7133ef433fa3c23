// srk_bench_start_latency MEMORY_FILE STREAMING_FILE RUNS: the time from AudioKit's play
// to the first non-silent frame its output's real-time thread is handed, for a file held
// in memory and for a streamed one, at the file's own rate (44,100 Hz) and resampled to
// 48,000 Hz. Prints the median of RUNS for each case.

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "AudioFilePlayer.h"
#include "AudioKit.h"
#include "AudioOutput.h"
#include "TimingOutput.h"

using srkbench::Clock;
using srkbench::TimingOutput;

namespace {

double measure(const char *path, double rate) {
    auto output = std::make_unique<TimingOutput>(rate);
    TimingOutput &out = *output;
    auto kit = AudioKit::initWithOutput(path, std::move(output));
    const auto start = Clock::now();
    if (!kit || kit->play(false)) return -1.0;
    while (out.mFirstSound.load() == Clock::time_point{}) {
        if (Clock::now() - start > std::chrono::seconds(5)) return -1.0;
        std::this_thread::yield();
    }
    return std::chrono::duration<double, std::milli>(out.mFirstSound.load() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

}  // namespace

int main(int argc, char **argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s MEMORY_FILE STREAMING_FILE RUNS\n", argv[0]);
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[3]));
    const struct { const char *name; const char *path; double rate; } cases[] = {
        {"memory 44100", argv[1], 44100}, {"memory 48000", argv[1], 48000},
        {"streaming 44100", argv[2], 44100}, {"streaming 48000", argv[2], 48000},
    };
    for (const auto &c : cases) {
        std::vector<double> ms;
        for (int i = 0; i < runs; ++i) {
            const double t = measure(c.path, c.rate);
            if (t < 0) {
                std::fprintf(stderr, "%s: no sound came out\n", c.name);
                return 1;
            }
            ms.push_back(t);
        }
        std::printf("%s: median %.3f ms (min %.3f, max %.3f)\n", c.name, median(ms),
                    *std::min_element(ms.begin(), ms.end()), *std::max_element(ms.begin(), ms.end()));
    }
    return 0;
}
