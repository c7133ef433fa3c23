#include "Preferences.h"

#include "Defaults.h"
#include "DefaultsKeys.h"
#include "NotificationCenter.h"
#include "SrkUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace {
QString &applicationFolderOverride() {
    static QString folder;
    return folder;
}

bool existsAt(const QString &path) {
    // Links are followed, as a file manager's existence test does.
    return !path.isEmpty() && QFileInfo::exists(path);
}

QString folderOf(const QString &path) {
    const QString p = SrkUtils::stripSlashIfNeeded(path);
    if (p.isEmpty() || QFileInfo(p).isDir())
        return p;
    // The parent by the text of the path: an empty or bare name has no folder, which then
    // names nothing (never the current directory).
    const qsizetype slash = p.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString(QLatin1String(""));
    return slash == 0 ? QStringLiteral("/") : p.left(slash);
}
}  // namespace

QString Preferences::applicationFolder() {
    if (!applicationFolderOverride().isEmpty())
        return applicationFolderOverride();
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

void Preferences::setApplicationFolderForTesting(const QString &folder) {
    applicationFolderOverride() = folder;
}

QString Preferences::favortiesDirectory() {
    QString base = Defaults::stringForKey(FavoritesDirectoryKey);
    if (!existsAt(base))
        base = applicationFolder();
    if (Defaults::boolForKey(DoNotCreateFavoritesFolder))
        return base;
    return QDir(base).filePath(QStringLiteral("Soundrake Favorites"));
}

QString Preferences::startUpDir() {
    const QString dir = Defaults::stringForKey(StartupDirectoryKey);
    if (existsAt(dir))
        return dir;
    return QStringLiteral("/");
}

void Preferences::makeFavortiesDirectory(const QString &path) {
    Defaults::setString(folderOf(path), FavoritesDirectoryKey);
    NotificationCenter::defaultCenter().post(kFavoritesDirectoryDidChange);
}

void Preferences::makeStartupDirectory(const QString &path) {
    Defaults::setString(folderOf(path), StartupDirectoryKey);
}
