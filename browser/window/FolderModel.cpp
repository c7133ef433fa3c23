#include "FolderModel.h"

#include "AudioKit.h"
#include "Defaults.h"
#include "DefaultsKeys.h"
#include "SrkTrace.h"

#include <QFile>

#include <algorithm>

#include <dirent.h>
#include <sys/stat.h>

bool srkIsFolder(const QString &path) {
    struct stat st;
    return ::stat(QFile::encodeName(path).constData(), &st) == 0 && S_ISDIR(st.st_mode);
}

FolderModel::FolderModel() : reader_(&FolderModel::readDirectory) {}

bool FolderModel::readDirectory(const QString &path, std::vector<RawEntry> *entries) {
    DIR *dir = ::opendir(QFile::encodeName(path).constData());
    if (!dir)
        return false;
    while (const dirent *entry = ::readdir(dir)) {
        const char *n = entry->d_name;
        if (n[0] == '.' && (n[1] == 0 || (n[1] == '.' && n[2] == 0)))
            continue;
        entries->push_back({QByteArray(n), entry->d_type});
    }
    ::closedir(dir);
    return true;
}

const QStringList &FolderModel::directoryContentsAtPath(const QString &path) {
    if (!_browserCachePath.isNull() && path == _browserCachePath)
        return _browserCacheContents;
    const bool showAll = Defaults::boolForKey(OnlyShowAudioFilesKey);

    _browserCachePath = path;
    _browserCacheContents.clear();
    _browserCacheContentsAttrs.clear();

    std::vector<RawEntry> entries;
    ++directoryReads_;
    reader_(path, &entries);  // an unreadable folder lists as empty, and is cached as such

    struct Taken {
        QString name;
        QString folded;  // the sort key
        int attr;
    };
    std::vector<Taken> taken;
    taken.reserve(entries.size());
    const QByteArray folder = QFile::encodeName(path) + '/';
    std::string full;
    for (const RawEntry &e : entries) {
        if (e.name.startsWith('.'))
            continue;
        full.assign(folder.constData(), size_t(folder.size()));
        full.append(e.name.constData(), size_t(e.name.size()));
        // The directory entry tells folders from files; only links and entries of unknown
        // type need a stat, which follows links as the listing must.
        bool isFolder = e.type == DT_DIR;
        if (e.type == DT_LNK || e.type == DT_UNKNOWN) {
            struct stat st;
            isFolder = ::stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
        }
        int attr;
        if (isFolder)
            attr = 1;
        else if (showAll || AudioKit::canPlayFile(full, false))
            attr = 0;
        else
            continue;
        QString name = QFile::decodeName(e.name);
        QString folded = name.toCaseFolded();
        taken.push_back({std::move(name), std::move(folded), attr});
    }

    // Sort names case-insensitively and carry the attributes along. Equal names under
    // case folding keep a fixed order by exact comparison.
    std::sort(taken.begin(), taken.end(), [](const Taken &a, const Taken &b) {
        const int c = a.folded.compare(b.folded);
        return c != 0 ? c < 0 : a.name < b.name;
    });
    _browserCacheContents.reserve(qsizetype(taken.size()));
    _browserCacheContentsAttrs.reserve(qsizetype(taken.size()));
    for (Taken &t : taken) {
        _browserCacheContents.append(std::move(t.name));
        _browserCacheContentsAttrs.append(t.attr);
    }
    srkTrace(QStringLiteral("listed %1 (%2 entries)").arg(path).arg(_browserCacheContents.size()));
    return _browserCacheContents;
}

QString FolderModel::listingPathFor(const QString &folder) {
    return folder == QLatin1String("/") ? folder : QStringLiteral("/") + folder;
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
