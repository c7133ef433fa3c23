#include "QtDesktopServices.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDesktopServices>
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
    QFile file(path);
    return file.moveToTrash();
}
