#include "SeekerScan.h"

#include "AudioKit.h"
#include "SeekerMessages.h"

#include <QFile>

#include <algorithm>
#include <cstring>

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

SeekerPlayabilityTest seekerDefaultPlayabilityTest() {
    return [](const std::string &path, bool checkOnlyExt) { return AudioKit::canPlayFile(path, checkOnlyExt); };
}

SeekerListing SeekerListing::list(const std::string &root, const std::atomic<bool> *stop) {
    SeekerListing listing;
    if (root.empty())
        return listing;
    std::string relative;
    listing.listFolder(root, relative, stop);
    return listing;
}

// Reads one folder, appends its entries, then descends into its real sub-folders. The folder
// is opened by its full path with O_NOFOLLOW, so a link that was swapped in for a folder after
// it was listed is not followed either. The directory entry's type is used as given; only
// file systems that do not fill it in cost an lstat per entry.
void SeekerListing::listFolder(const std::string &root, std::string &relative, const std::atomic<bool> *stop) {
    if (stop && stop->load(std::memory_order_relaxed))
        return;
    std::string folder = root;
    if (!relative.empty()) {
        if (folder.back() != '/')
            folder += '/';
        folder += relative;
    }
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return;   // unreadable: no entries
    DIR *dir = ::fdopendir(fd);
    if (!dir) {
        ::close(fd);
        return;
    }
    const size_t first = entries_.size();
    while (const dirent *e = ::readdir(dir)) {
        const char *name = e->d_name;
        if (name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0)))
            continue;
        uint8_t kind;
        unsigned char type = e->d_type;
        if (type == DT_UNKNOWN) {
            struct stat st;
            if (::fstatat(fd, name, &st, AT_SYMLINK_NOFOLLOW) != 0)
                type = DT_REG;   // vanished: tested as a non-folder
            else if (S_ISDIR(st.st_mode))
                type = DT_DIR;
            else if (S_ISLNK(st.st_mode))
                type = DT_LNK;
            else if (S_ISREG(st.st_mode))
                type = DT_REG;
            else
                type = DT_FIFO;
        }
        switch (type) {
        case DT_DIR: kind = Folder; break;
        case DT_LNK: kind = Link; break;
        case DT_REG: kind = File; break;
        default: kind = Special; break;
        }
        const size_t nameLength = std::strlen(name);
        const uint32_t offset = uint32_t(names_.size());
        if (!relative.empty()) {
            names_ += relative;
            names_ += '/';
        }
        names_.append(name, nameLength);
        entries_.push_back({offset, uint32_t(names_.size() - offset), kind});
    }
    ::closedir(dir);
    const size_t last = entries_.size();
    for (size_t i = first; i < last; ++i) {
        if (entries_[i].kind != Folder)
            continue;
        std::string sub(relativePath(i));
        listFolder(root, sub, stop);
    }
}

std::optional<QStringList> seekerScan(const QString &root, const SeekerScanOptions &options) {
    const SeekerPlayabilityTest canPlay = options.canPlayFile ? options.canPlayFile : seekerDefaultPlayabilityTest();
    auto stopped = [&] { return options.stop && options.stop->load(std::memory_order_relaxed); };

    const std::string rootBytes = QFile::encodeName(root).toStdString();
    const SeekerListing listing = SeekerListing::list(rootBytes, options.stop);
    const size_t n = listing.size();
    if (options.progress)
        options.progress->scanDidList(qsizetype(n));

    std::string full = rootBytes;
    if (full.empty() || full.back() != '/')
        full += '/';
    const size_t prefixLength = full.size();

    QStringList found;
    for (size_t i = 0; i < n; ++i) {
        if (stopped())
            return std::nullopt;
        if (options.progress)
            options.progress->scanDidProgress(qsizetype(i));
        const std::string_view relative = listing.relativePath(i);
        if (relative.empty() || relative.front() == '.')
            continue;
        full.resize(prefixLength);
        full.append(relative);
        bool mayOpen = true;
        switch (listing.kind(i)) {
        case SeekerListing::Folder:
            continue;
        case SeekerListing::File:
            break;
        case SeekerListing::Special:
            mayOpen = false;   // opening a pipe would block the scan
            break;
        case SeekerListing::Link: {
            struct stat st;
            if (::stat(full.c_str(), &st) == 0) {
                if (S_ISDIR(st.st_mode))
                    continue;
                mayOpen = S_ISREG(st.st_mode);
            }
            // A dangling link is tested like a missing file: its name decides.
            break;
        }
        }
        const bool deep = mayOpen && options.deepScan && options.deepScan->load(std::memory_order_relaxed);
        if (canPlay(full, !deep))
            found.append(QFile::decodeName(QByteArray(full.data(), qsizetype(full.size()))));
    }
    if (stopped())
        return std::nullopt;
    seekerSortPaths(found);
    return found;
}

QString seekerJoinPath(const QString &root, const QString &relative) {
    if (root.endsWith(QLatin1Char('/')))
        return root + relative;
    return root + QLatin1Char('/') + relative;
}

void seekerSortPaths(QStringList &paths) {
    std::stable_sort(paths.begin(), paths.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
}

QString seekerLastPathComponent(const QString &path) {
    QStringView view(path);
    while (view.size() > 1 && view.endsWith(QLatin1Char('/')))
        view.chop(1);
    const qsizetype slash = view.lastIndexOf(QLatin1Char('/'));
    if (slash < 0 || view.size() == 1)
        return view.toString();
    return view.mid(slash + 1).toString();
}

QString seekerDeletingLastPathComponent(const QString &path) {
    QStringView view(path);
    while (view.size() > 1 && view.endsWith(QLatin1Char('/')))
        view.chop(1);
    const qsizetype slash = view.lastIndexOf(QLatin1Char('/'));
    if (slash < 0)
        return QString();
    if (slash == 0)
        return QStringLiteral("/");
    return view.left(slash).toString();
}

QString seekerCellText(const QString &column, const QString &path, const QString &scanRoot, bool useSavedResults) {
    if (column == QLatin1String("filename"))
        return seekerLastPathComponent(path);
    if (useSavedResults)
        return seekerDeletingLastPathComponent(path);
    if (column == QLatin1String("location")) {
        if (scanRoot.isNull())
            return QString();
        return seekerDeletingLastPathComponent(path).mid(scanRoot.size());
    }
    return QString();
}

QString seekerStatusLine(qsizetype count, bool useSavedResults, const QString &memoryDate) {
    if (!useSavedResults)
        return QString(kLiveFilesFound).replace(QLatin1String("%d"), QString::number(count));
    return QString(kFilesFoundInMemory)
        .replace(QLatin1String("%d"), QString::number(count))
        .replace(QLatin1String("%@"), memoryDate);
}
