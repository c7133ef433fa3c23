#pragma once
// What the browser asks of the desktop: open a file (with a named application or the
// default one), show a file selected in the file manager, start another copy of the
// program, move a file to the trash. One real implementation talks to the desktop;
// tests install a recording one.
#include <QString>
#include <QStringList>

class DesktopServices {
public:
    virtual ~DesktopServices() = default;
    // Opens `path` with `application` (a command or .desktop name), or with the desktop's
    // default handler when `application` is null or empty. False when nothing could start.
    virtual bool openFile(const QString &path, const QString &application) = 0;
    // Shows the file manager with `path` selected.
    virtual void revealFile(const QString &path) = 0;
    // Starts the program's own executable again, without arguments.
    virtual bool startNewCopy() = 0;
    // Moves the file to the user's trash; false (and the file untouched) on failure.
    virtual bool moveToTrash(const QString &path) = 0;

    static DesktopServices &shared();
    static void setShared(DesktopServices *services);  // not owned
};

class RecordingDesktopServices : public DesktopServices {
public:
    QStringList calls;  // "open <app>|<path>", "reveal <path>", "newCopy", "trash <path>"
    bool trashSucceeds = true;
    bool openFile(const QString &path, const QString &application) override;
    void revealFile(const QString &path) override;
    bool startNewCopy() override;
    bool moveToTrash(const QString &path) override;
};
