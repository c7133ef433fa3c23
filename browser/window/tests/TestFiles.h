#pragma once
// Small real audio files and folders for the window's tests.
#include "QtPrinters.h"

#include <QDir>
#include <QFile>
#include <QString>

#include <sndfile.h>

#include <cmath>
#include <vector>

// Writes `seconds` of a 440 Hz tone; `format` is a libsndfile major|minor format.
inline bool writeTone(const QString &path, int format, int rate = 44100, int channels = 2, double seconds = 0.1) {
    SF_INFO info{};
    info.samplerate = rate;
    info.channels = channels;
    info.format = format;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f)
        return false;
    const sf_count_t frames = sf_count_t(seconds * rate);
    std::vector<float> buf(size_t(frames * channels));
    for (sf_count_t i = 0; i < frames; ++i)
        for (int c = 0; c < channels; ++c)
            buf[size_t(i * channels + c)] = 0.5f * float(std::sin(2 * M_PI * 440.0 * double(i) / rate));
    sf_writef_float(f, buf.data(), frames);
    sf_close(f);
    return true;
}

inline bool writeText(const QString &path, const QByteArray &text = "hello\n") {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(text) == text.size();
}
