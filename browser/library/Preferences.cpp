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
    const QFileInfo info(p);
    if (info.isDir())
        return p;
    return info.path();
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
