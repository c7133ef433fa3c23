// Benchmarks of the Seeker against the tools a user would reach for instead. Each subcommand
// prepares its input when missing, times our code and the other tool on the same input in
// one run (alternating, median of several rounds, caches warm), and prints as its last line
// "NAME ratio R" (our time over the other tool's time).
//
//   srk_bench_seeker scan WORKDIR       recursive scan of 200,000 entries vs find
//   srk_bench_seeker deep-scan WORKDIR  deep scan of 2,000 extension-less WAVE files vs soxi
//   srk_bench_seeker filter WORKDIR     filter over 500,000 paths vs grep -F -i
#include "SeekerFilter.h"
#include "SeekerScan.h"
#include "SeekerScanWorker.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <random>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

extern char **environ;

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

// Runs a program with its output going to `outputFile`; returns its wall time in ms, or -1.
double timeProcess(const std::vector<std::string> &argv, const std::string &outputFile) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outputFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    std::vector<char *> args;
    for (const std::string &a : argv)
        args.push_back(const_cast<char *>(a.c_str()));
    args.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid;
    const int rc = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (rc != 0)
        return -1;
    int status = 0;
    waitpid(pid, &status, 0);
    const double ms = msSince(start);
    return WIFEXITED(status) ? ms : -1;
}

void writeFile(const std::string &path, const char *data, size_t size) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0)
        return;
    if (size && ::write(fd, data, size) < 0)
        perror(path.c_str());
    ::close(fd);
}

std::string tinyWave() {
    const uint32_t frames = 2205, dataBytes = frames * 2, rate = 44100;
    std::string b;
    auto u32 = [&b](uint32_t v) { for (int i = 0; i < 4; ++i) b += char((v >> (8 * i)) & 0xff); };
    auto u16 = [&b](uint16_t v) { b += char(v & 0xff); b += char(v >> 8); };
    b += "RIFF";
    u32(36 + dataBytes);
    b += "WAVEfmt ";
    u32(16); u16(1); u16(1); u32(rate); u32(rate * 2); u16(2); u16(16);
    b += "data";
    u32(dataBytes);
    b.append(dataBytes, '\0');
    return b;
}

// ---- scan ----

// A sample library of `total` entries: packs of folders holding audio under several
// extensions and letter cases, other files, hidden files and a hidden top-level folder,
// links to files, to folders and to nothing.
void makeTree(const std::string &root, int total) {
    std::mt19937 rng(42);
    const char *audio[] = {"Kick %d.wav", "snare_%d.aif", "Loop %d 120bpm.AIFF", "pad%d.WAV", "vox %d.sd2"};
    const char *other[] = {"notes %d.txt", "song %d.mp3", "cover%d.jpg", "preset %d.fxp", "readme%d"};
    int made = 0;
    auto entry = [&made] { ++made; };
    ::mkdir(root.c_str(), 0755);
    const std::string hidden = root + "/.Trash";
    ::mkdir(hidden.c_str(), 0755);
    entry();
    for (int i = 0; i < 500; ++i, entry())
        writeFile(hidden + "/old " + std::to_string(i) + ".wav", "x", 1);
    for (int pack = 0; made < total; ++pack) {
        const std::string packDir = root + "/Pack " + std::to_string(pack);
        ::mkdir(packDir.c_str(), 0755);
        entry();
        for (int sub = 0; sub < 8 && made < total; ++sub) {
            const std::string dir = packDir + "/Folder " + std::to_string(sub);
            ::mkdir(dir.c_str(), 0755);
            entry();
            for (int f = 0; f < 60 && made < total; ++f) {
                char name[64];
                const unsigned r = rng() % 100;
                if (r < 55)
                    snprintf(name, sizeof name, audio[rng() % 5], f);
                else if (r < 90)
                    snprintf(name, sizeof name, other[rng() % 5], f);
                else if (r < 95)
                    snprintf(name, sizeof name, ".hidden %d.wav", f);
                else
                    snprintf(name, sizeof name, "link %d.wav", f);
                const std::string path = dir + "/" + name;
                if (r >= 95) {
                    const std::string target = (r == 95) ? packDir : (r == 96) ? dir + "/gone.wav" : dir + "/Kick 0.wav";
                    if (::symlink(target.c_str(), path.c_str()) != 0)
                        continue;
                } else {
                    writeFile(path, "", 0);
                }
                entry();
            }
        }
    }
}

class ScanReceiver : public SeekerScanSink {
public:
    std::function<void()> onEnd;
    qsizetype listed = 0, progressCalls = 0, lastProgress = -1, found = 0;
    void scanDidList(qsizetype n) override { listed = n; }
    void scanDidProgress(qsizetype i) override {
        ++progressCalls;
        lastProgress = i;
    }
    void scanDidStop() override { onEnd(); }
    void scanDidComplete(QStringList list) override {
        found = list.size();
        onEnd();
    }
};

struct ScanRun {
    double ms = 0, longestGapMs = 0;
    qsizetype listed = 0, found = 0, progressCalls = 0, lastProgress = 0;
};

// One scan on the worker while the main thread runs an event loop that receives the scan's
// steps; a 5 ms timer on the main thread measures the longest time between two of its ticks.
ScanRun scanWithEventLoop(const QString &root) {
    ScanRun run;
    QObject context;
    ScanReceiver receiver;
    QueuedSeekerScanSink queued(&context, &receiver);
    QEventLoop loop;
    receiver.onEnd = [&] { loop.quit(); };
    QTimer ticker;
    ticker.setTimerType(Qt::PreciseTimer);
    ticker.setInterval(5);
    Clock::time_point lastTick = Clock::now();
    QObject::connect(&ticker, &QTimer::timeout, [&] {
        run.longestGapMs = std::max(run.longestGapMs, msSince(lastTick));
        lastTick = Clock::now();
    });
    SeekerScanWorker worker;
    ticker.start();
    const auto start = Clock::now();
    lastTick = start;
    worker.start(root, &queued);
    loop.exec();
    run.ms = msSince(start);
    run.longestGapMs = std::max(run.longestGapMs, msSince(lastTick));
    worker.finish();
    run.listed = receiver.listed;
    run.found = receiver.found;
    run.progressCalls = receiver.progressCalls;
    run.lastProgress = receiver.lastProgress;
    return run;
}

int benchScan(const std::string &work) {
    const std::string root = work + "/scan-tree";
    const std::string marker = work + "/scan-tree.complete";
    if (::access(marker.c_str(), F_OK) != 0) {
        fprintf(stderr, "scan: generating a tree of 200,000 entries in %s\n", root.c_str());
        if (::access(root.c_str(), F_OK) == 0)
            timeProcess({"rm", "-rf", root}, "/dev/null");
        makeTree(root, 200000);
        writeFile(marker, "", 0);
    }
    const std::vector<std::string> find = {
        "find", root, "-type", "f", "(", "-iname", "*.wav", "-o", "-iname", "*.aif", "-o", "-iname", "*.aiff",
        "-o", "-iname", "*.sd2", ")", "!", "-path", root + "/.*"};
    const std::string findOut = work + "/scan-find.out";
    const QString qroot = QString::fromStdString(root);
    // Warm the caches, then alternate.
    timeProcess(find, findOut);
    ScanRun first = scanWithEventLoop(qroot);
    std::vector<double> ours, theirs;
    double longestGap = first.longestGapMs;
    for (int round = 0; round < 5; ++round) {
        const ScanRun run = scanWithEventLoop(qroot);
        ours.push_back(run.ms);
        longestGap = std::max(longestGap, run.longestGapMs);
        theirs.push_back(timeProcess(find, findOut));
    }
    printf("scan: %lld entries listed, %lld audio files found, %lld progress deliveries (last index %lld)\n",
           (long long)first.listed, (long long)first.found, (long long)first.progressCalls,
           (long long)first.lastProgress);
    printf("scan: ours %.1f ms, find %.1f ms (medians of 5)\n", median(ours), median(theirs));
    printf("scan: main thread longest gap between 5 ms ticks during scans: %.1f ms (stall %s 50 ms)\n", longestGap,
           longestGap - 5.0 <= 50.0 ? "<=" : ">");
    printf("scan ratio %.2f\n", median(ours) / median(theirs));
    return 0;
}

// ---- deep scan ----

int benchDeepScan(const std::string &work) {
    const std::string dir = work + "/deep-files";
    const std::string marker = work + "/deep-files.complete";
    std::vector<std::string> files;
    for (int i = 0; i < 2000; ++i)
        files.push_back(dir + "/take" + std::to_string(i));
    if (::access(marker.c_str(), F_OK) != 0) {
        ::mkdir(dir.c_str(), 0755);
        const std::string wave = tinyWave();
        for (const std::string &f : files)
            writeFile(f, wave.data(), wave.size());
        writeFile(marker, "", 0);
    }
    std::vector<std::string> soxi = {"soxi", "-r"};
    soxi.insert(soxi.end(), files.begin(), files.end());
    const std::string soxiOut = work + "/deep-soxi.out";
    const std::atomic<bool> deep{true};
    SeekerScanOptions options;
    options.deepScan = &deep;
    const QString qdir = QString::fromStdString(dir);
    auto ourRun = [&] {
        const auto start = Clock::now();
        const std::optional<QStringList> list = seekerScan(qdir, options);
        const double ms = msSince(start);
        if (!list || list->size() != 2000)
            fprintf(stderr, "deep-scan: found %lld files, expected 2000\n", list ? (long long)list->size() : -1LL);
        return ms;
    };
    if (timeProcess(soxi, soxiOut) < 0) {
        fprintf(stderr, "deep-scan: soxi is not available\n");
        return 1;
    }
    ourRun();
    std::vector<double> ours, theirs;
    for (int round = 0; round < 5; ++round) {
        ours.push_back(ourRun());
        theirs.push_back(timeProcess(soxi, soxiOut));
    }
    printf("deep-scan: ours %.1f ms, soxi %.1f ms over 2000 files (medians of 5)\n", median(ours), median(theirs));
    printf("deep-scan ratio %.2f\n", median(ours) / median(theirs));
    return 0;
}

// ---- filter ----

int benchFilter(const std::string &work) {
    const char *kinds[] = {"Kick", "Snare", "Hat", "Clap", "Pad", "Bass", "Lead", "Vox", "FX", "Perc", "Tom", "Ride"};
    const char *folders[] = {"Drums", "Loops", "One Shots", "Melodic", "Textures", "Vocals"};
    std::mt19937 rng(7);
    QStringList paths;
    paths.reserve(500000);
    std::string text;
    for (int i = 0; i < 500000; ++i) {
        char buf[256];
        snprintf(buf, sizeof buf, "//Volumes/Samples/Pack %u/%s/%s %s %03u %ubpm.%s", unsigned(rng() % 400),
                 folders[rng() % 6], kinds[rng() % 12], (rng() % 2) ? "Dry" : "Wet", unsigned(rng() % 1000),
                 unsigned(80 + rng() % 100), (rng() % 3) ? "wav" : "aif");
        paths.append(QString::fromLatin1(buf));
        text += buf;
        text += '\n';
    }
    const std::string listFile = work + "/filter-paths.txt";
    writeFile(listFile, text.data(), text.size());
    const std::string grepOut = work + "/filter-grep.out";
    const std::vector<std::string> grep = {"grep", "-F", "-i", "kick", listFile};
    auto ourRun = [&](bool inPaths, qsizetype *count) {
        const auto start = Clock::now();
        const QStringList rows = seekerFilterPaths(&paths, QStringLiteral("kick"), inPaths);
        const double ms = msSince(start);
        if (count)
            *count = rows.size();
        return ms;
    };
    timeProcess(grep, grepOut);
    qsizetype rows = 0;
    ourRun(true, &rows);
    std::vector<double> ours, names, theirs;
    for (int round = 0; round < 7; ++round) {
        ours.push_back(ourRun(true, nullptr));
        names.push_back(ourRun(false, nullptr));
        theirs.push_back(timeProcess(grep, grepOut));
    }
    printf("filter: %lld of 500000 paths pass \"kick\"\n", (long long)rows);
    printf("filter: ours %.1f ms (whole paths), %.1f ms (names), grep -F -i %.1f ms (medians of 7)\n", median(ours),
           median(names), median(theirs));
    printf("filter ratio %.2f\n", median(ours) / median(theirs));
    return 0;
}

}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        fprintf(stderr, "usage: srk_bench_seeker scan|deep-scan|filter WORKDIR\n");
        return 2;
    }
    const std::string what = argv[1], work = argv[2];
    QDir().mkpath(QString::fromStdString(work));
    setvbuf(stdout, nullptr, _IOLBF, 0);
    if (what == "scan")
        return benchScan(work);
    if (what == "deep-scan")
        return benchDeepScan(work);
    if (what == "filter")
        return benchFilter(work);
    fprintf(stderr, "usage: srk_bench_seeker scan|deep-scan|filter WORKDIR\n");
    return 2;
}
