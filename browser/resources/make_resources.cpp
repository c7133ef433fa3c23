// Generates Soundrake's interface resources into a folder:
//   beep.aif        a short two-tone chime (file operations confirm with it)
//   spinup.aif      a record spinning up to speed (played when the speed resets)
//   TapPadKick.aif  a short kick drum (the tap pad's click)
//   disc0001.jpg .. disc0060.jpg  a record drawn once and turned by 6 degrees per frame
// usage: make_resources OUTPUT_FOLDER
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QRadialGradient>

#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {
constexpr int kRate = 44100;

bool writeAiff(const QString &path, const std::vector<float> &mono) {
    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 2;
    info.format = SF_FORMAT_AIFF | SF_FORMAT_PCM_16;
    SNDFILE *f = sf_open(QFile::encodeName(path).constData(), SFM_WRITE, &info);
    if (!f)
        return false;
    std::vector<float> stereo(mono.size() * 2);
    for (size_t i = 0; i < mono.size(); ++i)
        stereo[2 * i] = stereo[2 * i + 1] = mono[i];
    const sf_count_t written = sf_writef_float(f, stereo.data(), sf_count_t(mono.size()));
    sf_close(f);
    return written == sf_count_t(mono.size());
}

std::vector<float> beep() {
    // Two sine partials a fifth apart with a fast attack and an exponential decay.
    const int n = int(0.18 * kRate);
    std::vector<float> s(size_t(n), 0.0f);
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const double env = std::min(1.0, t / 0.004) * std::exp(-t * 18.0);
        const double f = t < 0.07 ? 1318.5 : 1975.5;
        s[size_t(i)] = float(0.45 * env * std::sin(2 * M_PI * f * t));
    }
    return s;
}

std::vector<float> spinup() {
    // A low hum whose pitch glides from a crawl up to speed, with a little motor noise.
    const int n = int(0.9 * kRate);
    std::vector<float> s(static_cast<size_t>(n));
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> noise(-1.0, 1.0);
    double phase = 0.0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const double progress = t / 0.9;
        const double freq = 40.0 + 180.0 * progress * progress;
        phase += 2 * M_PI * freq / kRate;
        const double env = std::min(1.0, t / 0.05) * std::min(1.0, (0.9 - t) / 0.08);
        s[size_t(i)] = float(env * (0.35 * std::sin(phase) + 0.12 * std::sin(2 * phase) + 0.03 * noise(rng)));
    }
    return s;
}

std::vector<float> kick() {
    const int n = int(0.25 * kRate);
    std::vector<float> s(static_cast<size_t>(n));
    double phase = 0.0;
    for (int i = 0; i < n; ++i) {
        const double t = double(i) / kRate;
        const double freq = 50.0 + 110.0 * std::exp(-t * 30.0);
        phase += 2 * M_PI * freq / kRate;
        s[size_t(i)] = float(0.8 * std::exp(-t * 14.0) * std::sin(phase));
    }
    return s;
}

QImage record(int size) {
    QImage img(size, size, QImage::Format_RGB32);
    img.fill(QColor(236, 236, 236));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(size / 2.0, size / 2.0);
    const double r = size * 0.47;
    QRadialGradient vinyl(c, r);
    vinyl.setColorAt(0.0, QColor(40, 40, 40));
    vinyl.setColorAt(1.0, QColor(12, 12, 12));
    p.setBrush(vinyl);
    p.setPen(Qt::NoPen);
    p.drawEllipse(c, r, r);
    p.setBrush(Qt::NoBrush);
    for (double g = r * 0.42; g < r * 0.97; g += size / 64.0) {
        p.setPen(QPen(QColor(55, 55, 55), 0.6));
        p.drawEllipse(c, g, g);
    }
    // A light reflection and a label with a mark so that the turning shows.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 28));
    p.drawPie(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), 30 * 16, 25 * 16);
    p.setBrush(QColor(200, 60, 40));
    p.drawEllipse(c, r * 0.36, r * 0.36);
    p.setBrush(QColor(245, 215, 90));
    p.drawRect(QRectF(c.x() - r * 0.05, c.y() - r * 0.34, r * 0.10, r * 0.22));
    p.setBrush(QColor(236, 236, 236));
    p.drawEllipse(c, r * 0.04, r * 0.04);
    return img;
}
}  // namespace

int main(int argc, char **argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_resources OUTPUT_FOLDER\n");
        return 2;
    }
    const QString out = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(out);
    bool ok = writeAiff(out + "/beep.aif", beep()) && writeAiff(out + "/spinup.aif", spinup()) &&
              writeAiff(out + "/TapPadKick.aif", kick());
    const QImage disc = record(160);
    for (int i = 1; i <= 60 && ok; ++i) {
        QImage frame(disc.size(), QImage::Format_RGB32);
        frame.fill(QColor(236, 236, 236));
        QPainter p(&frame);
        p.setRenderHint(QPainter::SmoothPixmapTransform);
        p.translate(disc.width() / 2.0, disc.height() / 2.0);
        p.rotate(6.0 * (i - 1));
        p.translate(-disc.width() / 2.0, -disc.height() / 2.0);
        p.drawImage(0, 0, disc);
        p.end();
        ok = frame.save(out + QString::asprintf("/disc%04d.jpg", i), "JPG", 85);
    }
    if (!ok) {
        std::fprintf(stderr, "make_resources: could not write into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
