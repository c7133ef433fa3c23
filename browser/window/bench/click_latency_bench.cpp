// Click-to-sound latency through the whole main-window controller: from the browser's
// single click on a file to the first non-silent frame handed to the output, for a small
// file (held in memory) and a large one (streamed from disk), beside the engine's own start
// latency (AudioKit's play to the first sound) on the same files.
// usage: srk_bench_click_latency SMALL_FILE LARGE_FILE RUNS
#include "AudioKit.h"
#include "BrowserDelegate.h"
#include "ColumnBrowser.h"
#include "DesktopServices.h"
#include "Prompter.h"
#include "TimingOutput.h"

#include <QApplication>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

using srkbench::Clock;
using srkbench::TimingOutput;

namespace {
constexpr double kOutputRate = 48000.0;

double waitForSound(TimingOutput *out, Clock::time_point start) {
    while (out->mFirstSound.load() == Clock::time_point{}) {
        if (Clock::now() - start > std::chrono::seconds(5))
            return -1.0;
        std::this_thread::yield();
    }
    return std::chrono::duration<double, std::milli>(out->mFirstSound.load() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: srk_bench_click_latency SMALL_FILE LARGE_FILE RUNS\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[3]));
    RecordingPrompter prompts;
    RecordingDesktopServices desktop;
    Prompter::setShared(&prompts);
    DesktopServices::setShared(&desktop);

    BrowserDelegate controller;
    TimingOutput *current = nullptr;
    controller.setSoundFactory([&current](const std::string &path) {
        auto output = std::make_unique<TimingOutput>(kOutputRate);
        current = output.get();
        return AudioKit::initWithOutput(path, std::move(output));
    });
    controller.awakeFromNib();

    double worst = 0.0;
    for (const char *path : {argv[1], argv[2]}) {
        const QString file = QFileInfo(QString::fromLocal8Bit(path)).absoluteFilePath();
        std::vector<double> clicks, engine;
        for (int i = 0; i < runs; ++i) {
            // Through the controller: select the file in the browser and click.
            if (!controller.setBrowserPath(file)) {
                std::fprintf(stderr, "cannot select %s in the browser\n", path);
                return 1;
            }
            current = nullptr;
            const auto start = Clock::now();
            controller.singleClick(controller.browser);
            const double ms = current ? waitForSound(current, start) : -1.0;
            if (ms < 0) {
                std::fprintf(stderr, "%s: no sound came out after the click\n", path);
                return 1;
            }
            clicks.push_back(ms);
            controller.play(false);
            app.processEvents();

            // The engine alone on the same file.
            auto output = std::make_unique<TimingOutput>(kOutputRate);
            TimingOutput *out = output.get();
            auto kit = AudioKit::initWithOutput(path, std::move(output));
            const auto t0 = Clock::now();
            if (!kit || kit->play(false))
                return 1;
            const double e = waitForSound(out, t0);
            if (e < 0)
                return 1;
            engine.push_back(e);
        }
        const double m = median(clicks);
        worst = std::max(worst, m);
        std::printf("%s (%lld bytes): click to sound median %.3f ms (max %.3f); engine start median %.3f ms\n",
                    QFileInfo(file).fileName().toLocal8Bit().constData(), (long long)QFileInfo(file).size(), m,
                    *std::max_element(clicks.begin(), clicks.end()), median(engine));
    }
    std::printf("click-latency value %.3f ms\n", worst);
    Prompter::setShared(nullptr);
    DesktopServices::setShared(nullptr);
    return 0;
}
