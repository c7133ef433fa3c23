// Creating a soundbank of 2,000 files listed across 20 folders (the copy the Seeker's Create
// Soundbank command makes) against `cp` of the same files into a new folder. Each copy is
// given its name only once complete, where cp writes in place. Best of several runs each,
// after one warm-up run of both so that the sources come from the page cache in every run.
// Prints "soundbank ratio R" last.
#include "LibraryFiles.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {
constexpr int kFiles = 2000;
constexpr int kFolders = 20;
constexpr int kBytes = 96 * 1024;  // a one-shot of about half a second of 16-bit stereo
constexpr int kRuns = 5;

QStringList makeLibrary(const QString &root) {
    QStringList paths;
    for (int i = 0; i < kFiles; ++i)
        paths << QString("%1/Folder %2/Sample %3.wav").arg(root).arg(i % kFolders).arg(i);
    if (QFileInfo::exists(root + "/.complete"))
        return paths;
    QByteArray data(kBytes, '\0');
    for (int i = 0; i < kBytes; ++i)
        data[i] = char((i * 131) ^ (i >> 7));
    for (int f = 0; f < kFolders; ++f)
        QDir().mkpath(QString("%1/Folder %2").arg(root).arg(f));
    for (const QString &p : paths) {
        QFile out(p);
        if (!out.open(QIODevice::WriteOnly) || out.write(data) != data.size()) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(p));
            std::exit(1);
        }
    }
    QFile done(root + "/.complete");
    done.open(QIODevice::WriteOnly);
    return paths;
}

double timed(const std::function<void()> &run) {
    QElapsedTimer t;
    t.start();
    run();
    return double(t.nsecsElapsed()) / 1e6;
}
}  // namespace

int main(int argc, char **argv) {
    QCoreApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: soundbank_bench WORK_FOLDER\n");
        return 2;
    }
    const QString work = QString::fromLocal8Bit(argv[1]);
    const QStringList paths = makeLibrary(work + "/soundbank-library");
    const QString bank = work + "/soundbank-ours", cpBank = work + "/soundbank-cp";
    const QString listFile = work + "/soundbank-list";
    {
        QFile list(listFile);
        list.open(QIODevice::WriteOnly);
        for (const QString &p : paths)
            list.write(QFile::encodeName(p) + '\0');
    }
    int copied = 0;
    bool ok = true;
    auto ours = [&] {
        ok = LibraryFiles::createSoundbank(bank, paths, &copied) && ok;
    };
    auto theirs = [&] {
        QProcess::execute("sh", {"-c", "mkdir \"$1\" && xargs -0 cp -t \"$1\" < \"$0\"", listFile, cpBank});
    };
    double best = 1e30, bestCp = 1e30;
    for (int run = 0; run <= kRuns; ++run) {
        QDir(bank).removeRecursively();
        QDir(cpBank).removeRecursively();
        QProcess::execute("sync", {});
        const double a = timed(ours);
        const double b = timed(theirs);
        if (run > 0) {  // run 0 warms the cache
            best = std::min(best, a);
            bestCp = std::min(bestCp, b);
        }
    }
    const qsizetype inCp = QDir(cpBank).entryList(QDir::Files).size();
    std::printf("soundbank: %d files (%d KiB each) copied in %.1f ms (best of %d)\n", copied, kBytes / 1024, best, kRuns);
    std::printf("xargs cp -t: %lld files in %.1f ms (best of %d)\n", (long long)inCp, bestCp, kRuns);
    QDir(bank).removeRecursively();
    QDir(cpBank).removeRecursively();
    std::printf("soundbank ratio %.3f\n", best / bestCp);
    return ok && copied == kFiles && inCp == kFiles ? 0 : 1;
}
