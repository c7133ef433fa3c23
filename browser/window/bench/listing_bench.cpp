// Listing a folder of 20,000 audio files through the Browser's folder model (default
// setting: folders and playable audio, sorted case-insensitively) against `ls -1 | sort -f`
// on the same folder. Best of several runs each; prints "listing ratio R" last.
#include "FolderModel.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>

namespace {
constexpr int kEntries = 20000;
constexpr int kRuns = 9;

void makeFolder(const QString &dir) {
    if (QFileInfo::exists(dir + "/.complete"))
        return;
    QDir().mkpath(dir);
    const char *ext[] = {".aif", ".wav", ".aiff", ".WAV", ".AIF", ".sd2"};
    const char *words[] = {"Kick", "snare", "Hat", "bass", "Pad", "vox", "Loop", "fx", "Perc", "tom"};
    for (int i = 0; i < kEntries; ++i) {
        const QString name = QString("%1 %2 %3%4").arg(words[i % 10]).arg((i * 7919) % kEntries).arg(i).arg(ext[i % 6]);
        QFile f(dir + '/' + name);
        f.open(QIODevice::WriteOnly);
    }
    QFile done(dir + "/.complete");
    done.open(QIODevice::WriteOnly);
}

double bestOf(const std::function<void()> &run) {
    double best = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        QElapsedTimer t;
        t.start();
        run();
        best = std::min(best, double(t.nsecsElapsed()) / 1e6);
    }
    return best;
}
}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: listing_bench WORK_FOLDER\n");
        return 2;
    }
    const QString dir = QString::fromLocal8Bit(argv[1]) + "/listing-20000";
    makeFolder(dir);
    qsizetype listed = 0;
    const double ours = bestOf([&] {
        FolderModel model;  // a fresh cache each run: the folder is read every time
        listed = model.directoryContentsAtPath(dir).size();
    });
    const double theirs = bestOf([&] {
        QProcess::execute("sh", {"-c", "ls -1 \"$0\" | sort -f > /dev/null", dir});
    });
    std::printf("folder model: %lld entries listed in %.2f ms (best of %d)\n", (long long)listed, ours, kRuns);
    std::printf("ls -1 | sort -f: %.2f ms (best of %d)\n", theirs, kRuns);
    std::printf("listing ratio %.3f\n", ours / theirs);
    return listed == kEntries ? 0 : 1;
}
