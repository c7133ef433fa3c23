#pragma once
#include "DesktopServices.h"

// The desktop services of a Linux desktop: applications started detached, the file
// manager's D-Bus interface to show a file, the freedesktop.org trash.
class QtDesktopServices : public DesktopServices {
public:
    bool openFile(const QString &path, const QString &application) override;
    void revealFile(const QString &path) override;
    bool startNewCopy() override;
    bool moveToTrash(const QString &path) override;
};
