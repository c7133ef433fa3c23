#pragma once
// Small helpers shared by the Seeker tests: a core application for queued calls, fixture
// files in temporary folders, and a hand-made WAVE file.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>

#include <cstdint>
#include <functional>
#include <string>

inline QCoreApplication *seekerTestApp() {
    static int argc = 1;
    static char name[] = "srk_seeker_tests";
    static char *argv[] = {name, nullptr};
    static QCoreApplication *app = QCoreApplication::instance() ? QCoreApplication::instance()
                                                                : new QCoreApplication(argc, argv);
    return app;
}

// Runs the event loop until `done` answers true or five seconds pass; returns `done()`.
inline bool processEventsUntil(const std::function<bool()> &done) {
    seekerTestApp();
    QDeadlineTimer deadline(5000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return done();
}

inline void writeBytes(const QString &path, const QByteArray &bytes) {
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    if (f.open(QIODevice::WriteOnly))
        f.write(bytes);
}

// A 16-bit mono PCM WAVE file with a few frames of silence.
inline QByteArray tinyWave(uint32_t rate = 44100) {
    const uint32_t frames = 32, dataBytes = frames * 2;
    QByteArray b;
    auto u32 = [&b](uint32_t v) { for (int i = 0; i < 4; ++i) b.append(char((v >> (8 * i)) & 0xff)); };
    auto u16 = [&b](uint16_t v) { b.append(char(v & 0xff)); b.append(char(v >> 8)); };
    b.append("RIFF");
    u32(36 + dataBytes);
    b.append("WAVEfmt ");
    u32(16);
    u16(1);        // PCM
    u16(1);        // channels
    u32(rate);
    u32(rate * 2); // bytes per second
    u16(2);        // block align
    u16(16);       // bits
    b.append("data");
    u32(dataBytes);
    b.append(QByteArray(int(dataBytes), '\0'));
    return b;
}
