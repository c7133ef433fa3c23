#include "SeekerCommand.h"

#include "SeekerFilter.h"
#include "SeekerScan.h"

#include <QFileInfo>

int runSeekerScanCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    const auto usage = [&err] {
        err << "usage: Soundrake --scan DIR [--deep] [--filter TEXT] [--in-paths]\n";
        err.flush();
        return 2;
    };
    QString root;
    QString filter;
    bool haveRoot = false, deep = false, inPaths = false, haveFilter = false;
    qsizetype i = 0;
    if (!args.isEmpty() && !args.first().startsWith(QLatin1Char('-')))
        i = 1;   // the program's name
    for (; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        if (arg == QLatin1String("--scan") && !haveRoot && i + 1 < args.size()) {
            root = args.at(++i);
            haveRoot = true;
        } else if (arg == QLatin1String("--filter") && !haveFilter && i + 1 < args.size()) {
            filter = args.at(++i);
            haveFilter = true;
        } else if (arg == QLatin1String("--deep")) {
            deep = true;
        } else if (arg == QLatin1String("--in-paths")) {
            inPaths = true;
        } else {
            return usage();
        }
    }
    if (!haveRoot || root.isEmpty())
        return usage();
    if (!QFileInfo(root).isDir()) {
        err << "Soundrake: " << root << ": not a folder\n";
        err.flush();
        return 1;
    }
    const std::atomic<bool> deepScan{deep};
    SeekerScanOptions options;
    options.deepScan = &deepScan;
    const std::optional<QStringList> scanList = seekerScan(root, options);
    const QStringList rows = seekerFilterPaths(scanList ? &*scanList : nullptr, filter, inPaths);
    for (const QString &path : rows)
        out << path << '\n';
    out.flush();
    return 0;
}
