#include "FolderModel.h"

#include "AudioKit.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "SrkTrace.h"

#include <QFile>

#include <algorithm>
#include <numeric>

#include <dirent.h>
#include <sys/stat.h>

bool srkIsFolder(const QString &path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

FolderModel::FolderModel() : reader_(&FolderModel::readDirectory) {}

bool FolderModel::readDirectory(const QString &path, QStringList *names) {
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return false;
    while (const dirent *entry = ::readdir(dir)) {
        const char *n = entry->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        names->append(QFile::decodeName(n));
    }
    ::closedir(dir);
    return true;
}

const QStringList &FolderModel::directoryContentsAtPath(const QString &path) {
    const bool showAll = Defaults::boolForKey(OnlyShowAudioFilesKey);
    if (!_browserCachePath.isNull() && path == _browserCachePath)
        return _browserCacheContents;

    _browserCachePath = path;
    _browserCacheContents.clear();
    _browserCacheContentsAttrs.clear();

    QStringList names;
    ++directoryReads_;
    reader_(path, &names);  // an unreadable folder lists as empty, and is cached as such

    QStringList taken;
    QList<int> attrs;
    for (const QString &name : std::as_const(names)) {
        if (name.startsWith(QLatin1Char('.')))
            continue;
        const QString full = path + QLatin1Char('/') + name;
        if (srkIsFolder(full)) {
            taken.append(name);
            attrs.append(1);
        } else if (showAll || AudioKit::canPlayFile(QFile::encodeName(full).toStdString(), false)) {
            taken.append(name);
            attrs.append(0);
        }
    }

    // Sort names case-insensitively and carry the attributes along. Equal names under
    // case folding keep a fixed order by exact comparison.
    std::vector<int> order(size_t(taken.size()));
    std::iota(order.begin(), order.end(), 0);
    std::vector<QString> folded;
    folded.reserve(order.size());
    for (const QString &n : std::as_const(taken))
        folded.push_back(n.toCaseFolded());
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const int c = folded[size_t(a)].compare(folded[size_t(b)]);
        return c != 0 ? c < 0 : taken[a] < taken[b];
    });
    _browserCacheContents.reserve(taken.size());
    _browserCacheContentsAttrs.reserve(taken.size());
    for (int i : order) {
        _browserCacheContents.append(taken[i]);
        _browserCacheContentsAttrs.append(attrs[i]);
    }
    srkTrace(QStringLiteral("listed %1 (%2 entries)").arg(path).arg(_browserCacheContents.size()));
    return _browserCacheContents;
}

int FolderModel::attributeOf(const QString &name) const {
    const qsizetype i = _browserCacheContents.indexOf(name);
    return i < 0 ? -1 : _browserCacheContentsAttrs[i];
}

QString FolderModel::pathForColumn(int column, const QStringList &selectedNames) {
    if (column <= 0)
        return QStringLiteral("/");
    QString browserPath;
    for (int i = 0; i < column && i < selectedNames.size(); ++i)
        browserPath += QLatin1Char('/') + selectedNames[i];
    if (browserPath.isEmpty())
        browserPath = QStringLiteral("/");
    return QStringLiteral("/") + browserPath;
}
