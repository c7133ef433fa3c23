#include "DesktopServices.h"

namespace {
DesktopServices *gShared = nullptr;
}

DesktopServices &DesktopServices::shared() {
    if (!gShared) {
        static RecordingDesktopServices fallback;
        return fallback;
    }
    return *gShared;
}

void DesktopServices::setShared(DesktopServices *services) { gShared = services; }

bool RecordingDesktopServices::openFile(const QString &path, const QString &application) {
    calls.append(QStringLiteral("open %1|%2").arg(application, path));
    return true;
}

void RecordingDesktopServices::revealFile(const QString &path) { calls.append(QStringLiteral("reveal ") + path); }

bool RecordingDesktopServices::startNewCopy() {
    calls.append(QStringLiteral("newCopy"));
    return true;
}

bool RecordingDesktopServices::moveToTrash(const QString &path) {
    calls.append(QStringLiteral("trash ") + path);
    return trashSucceeds;
}
