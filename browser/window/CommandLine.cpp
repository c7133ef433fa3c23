#include "CommandLine.h"

#include "AudioKit.h"
#include "InfoTexts.h"
#include "SeekerCommand.h"
#include "SrkUtils.h"

#include <QFile>

#include <cmath>

namespace {
const char *kUsage =
    "usage: Soundrake [--info PATH...] [--rewrite-rate FACTOR PATH] [--reset-rate PATH]"
    " [--scan DIR [--deep] [--filter TEXT] [--in-paths]]";
const char *kHeaderFailed = "Unable to write the file header.  Is the file locked?  Check permissions.";

int usage(QTextStream &err) {
    err << kUsage << "\n";
    err.flush();
    return 2;
}

}  // namespace

int runSoundrakeCommand(const QStringList &args, QTextStream &out, QTextStream &err) {
    if (args.isEmpty())
        return usage(err);
    const QString command = args.first();
    if (command == QLatin1String("--info")) {
        if (args.size() < 2)
            return usage(err);
        for (qsizetype i = 1; i < args.size(); ++i) {
            const QString &path = args[i];
            double sr = 0;
            uint32_t channels = 0, bits = 0, format = 0;
            int64_t bytes = 0;
            AudioKit::getAudioFileInfo(SrkUtils::nativePath(path), &sr, &channels, &bits, &format, &bytes);
            const bool playable = AudioKit::canPlayFile(SrkUtils::nativePath(path), false);
            out << path << '\t' << (playable ? "playable" : "not-playable") << '\t'
                << QString::asprintf("%.2f", sr) << '\t' << channels << '\t' << bits << '\t'
                << (format ? fourCharString(format) : QStringLiteral("0")) << '\t' << qint64(bytes) << '\n';
        }
        out.flush();
        return 0;
    }
    if (command == QLatin1String("--rewrite-rate") || command == QLatin1String("--reset-rate")) {
        const bool reset = command == QLatin1String("--reset-rate");
        if (args.size() != (reset ? 2 : 3))
            return usage(err);
        double factor = 1.0;
        if (!reset) {
            bool ok = false;
            factor = args[1].toDouble(&ok);
            if (!ok || !std::isfinite(factor) || factor <= 0.0) {
                err << "Soundrake: the factor must be a positive number\n";
                return usage(err);
            }
        }
        const QString path = args.last();
        if (!QFile::exists(path)) {
            err << "Soundrake: no such file: " << path << "\n";
            err.flush();
            return 1;
        }
        if (AudioKit::writeNewSampleRateHeaderInfo(SrkUtils::nativePath(path), factor, reset)) {
            err << kHeaderFailed << "\n";
            err.flush();
            return 1;
        }
        return 0;
    }
    if (command == QLatin1String("--scan"))
        return runSeekerScanCommand(args, out, err);
    return usage(err);
}
