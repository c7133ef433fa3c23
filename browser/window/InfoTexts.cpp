#include "InfoTexts.h"

#include <cmath>

QString fourCharString(uint32_t code) {
    QString s;
    for (int shift = 24; shift >= 0; shift -= 8)
        s.append(QChar(char16_t((code >> shift) & 0xFF)));
    return s;
}

InfoTexts infoTextsFor(double sampleRate, uint32_t channels, uint32_t bits, uint32_t fileFormat, int64_t dataSize) {
    InfoTexts t;
    if (sampleRate != 0.0 && channels != 0 && bits != 0 && fileFormat != 0) {
        t.sampleRate = QString::asprintf("SR: %.2f", sampleRate);
        t.channels = QString::asprintf("Channels: %d Bits: %d", int(channels), int(bits));
        const int64_t bytesPerSample = bits / 8;
        if (bytesPerSample > 0 && dataSize >= 0) {
            const int64_t frames = (dataSize / bytesPerSample) / int64_t(channels);
            const double seconds = double(frames) / sampleRate;
            const int hours = int(seconds / 3600.0);
            const double rest = seconds - hours * 3600.0;
            const int minutes = int(rest / 60.0);
            const double secs = rest - minutes * 60.0;
            t.time = QString::asprintf("Time: %2.2d:%2.2d:%05.2f", hours, minutes, secs);
        }
        // Below 8 bits a sample has no whole byte size: no duration is shown.
    }
    t.format = QStringLiteral("Format: ") + fourCharString(fileFormat);
    return t;
}

QString bpmFieldText(double tempo, bool keepDecimals) {
    if (keepDecimals)
        return QString::asprintf("%.2f", tempo);
    if (!std::isfinite(tempo))
        return QStringLiteral("0");
    return QString::number(static_cast<long long>(std::trunc(tempo)));
}

QString pathRenamedWithBPM(const QString &path, const QString &bpmText, bool postfix) {
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QString folder = slash >= 0 ? path.left(slash) : QString();
    const QString last = path.mid(slash + 1);
    if (postfix) {
        // The extension is what follows the last dot of the last component; a name without
        // one keeps an empty extension after the dot ("Funk-120 BPM.").
        const qsizetype dot = last.lastIndexOf(QLatin1Char('.'));
        const QString stem = dot > 0 ? last.left(dot) : last;
        const QString ext = dot > 0 ? last.mid(dot + 1) : QString();
        const QString base = slash >= 0 ? folder + QLatin1Char('/') + stem : stem;
        return QStringLiteral("%1-%2 BPM.%3").arg(base, bpmText, ext);
    }
    return QStringLiteral("%1/%2 BPM-%3").arg(folder, bpmText, last);
}
