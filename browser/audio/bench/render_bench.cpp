// srk_bench_render FILE [RATE]: plays FILE through AudioKit and the whole player path
// (reader thread, conversion, resampling to RATE, default 48,000 Hz stereo float) into
// a null output pulled as fast as it goes, and prints the frames rendered. bench/render.sh
// times it against sox doing the same conversion.

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "AudioFileReaderThread.h"
#include "AudioKit.h"
#include "AudioOutput.h"

int main(int argc, char **argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE [RATE]\n", argv[0]);
        return 2;
    }
    const double rate = argc > 2 ? std::atof(argv[2]) : 48000.0;
    auto output = std::make_unique<NullOutput>(rate, 2, NullOutput::Mode::Manual);
    NullOutput &out = *output;
    auto kit = AudioKit::initWithOutput(argv[1], std::move(output));
    if (!kit || kit->play(false)) {
        std::fprintf(stderr, "cannot play %s\n", argv[1]);
        return 1;
    }
    std::vector<float> buffer(1024 * 2);
    uint64_t frames = 0;
    double sink = 0.0;
    while (kit->isPlaying()) {
        out.Pull(buffer.data(), 1024);
        sink += buffer[0];
        frames += 1024;
        // Pulled faster than real time, the render would overtake the disk reader: let it
        // finish any refill it has been asked for (nothing to wait for most of the time).
        sReaderThread.WaitUntilIdle(10'000'000'000ULL);
    }
    std::printf("%llu frames rendered (%g)\n", static_cast<unsigned long long>(frames), sink);
    return 0;
}
