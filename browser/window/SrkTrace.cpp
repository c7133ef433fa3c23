#include "SrkTrace.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

bool srkTraceEnabled() {
    static const bool enabled = std::getenv("SRK_TRACE") != nullptr;
    return enabled;
}

void srkTrace(const QString &event) {
    if (!srkTraceEnabled())
        return;
    const QByteArray line = "soundrake: " + event.toUtf8() + '\n';
    std::fwrite(line.constData(), 1, size_t(line.size()), stderr);
    std::fflush(stderr);
}
