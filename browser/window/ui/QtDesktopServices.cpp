#include "QtDesktopServices.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
#include <QDir>
#include <QStandardPaths>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QUrl>

bool QtDesktopServices::openFile(const QString &path, const QString &application) {
    if (!application.isEmpty()) {
        // A .desktop name goes through the desktop's launcher; anything else is a command.
        if (application.endsWith(QLatin1String(".desktop")))
            return QProcess::startDetached(QStringLiteral("gtk-launch"), {application, path});
        return QProcess::startDetached(application, {path});
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void QtDesktopServices::revealFile(const QString &path) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("/org/freedesktop/FileManager1"),
        QStringLiteral("org.freedesktop.FileManager1"), QStringLiteral("ShowItems"));
    call << QStringList{QUrl::fromLocalFile(path).toString()} << QString();
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 3000);
    if (reply.type() != QDBusMessage::ReplyMessage) {
        // No file manager answers: open the folder that holds the file.
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).path()));
    }
}

bool QtDesktopServices::startNewCopy() {
    return QProcess::startDetached(QCoreApplication::applicationFilePath(), {});
}

bool QtDesktopServices::moveToTrash(const QString &path) {
    // The home trash lives in the data folder ($XDG_DATA_HOME, ~/.local/share); when that folder
    // is missing, Qt 6.4 gives up on it and may "trash" the file into files/ and info/ below the
    // current directory. Make sure the folder exists, and accept only a result inside a trash.
    QDir().mkpath(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation));
    QFile file(path);
    if (!file.moveToTrash())
        return false;
    const QString trashed = file.fileName();
    const QString filesFolder = QFileInfo(trashed).dir().absolutePath();
    const bool inTrash = QFileInfo(trashed).isAbsolute() && filesFolder.endsWith(QLatin1String("/files")) &&
                         (filesFolder.contains(QLatin1String("/Trash/")) || filesFolder.contains(QLatin1String("/.Trash")));
    if (inTrash)
        return true;
    // Put it back where it was and report the failure.
    const QString info = QFileInfo(trashed).dir().absoluteFilePath(QStringLiteral("../info/")) +
                         QFileInfo(trashed).fileName() + QStringLiteral(".trashinfo");
    if (QFile::rename(trashed, path))
        QFile::remove(info);
    return false;
}
