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

// Reads one folder, appends its entries, then descends into its real sub-folders. A sub-folder
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
    // The root itself may be a link (the Browser follows links to folders); below it, links
    // are entries and are not followed.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | (relative.empty() ? 0 : O_NOFOLLOW));
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
        const size_t offset = names_.size();
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

// Sorting by case-insensitive comparison. Qt compares two strings by the case folding of
// each UTF-16 unit (a low surrogate folded together with its high surrogate); each path's
// folded units are written once as big-endian byte pairs, so that byte-wise comparison of
// these keys orders the paths exactly as that comparison does, at the speed of memcmp.
// Equal keys keep the order in which the paths were added.
class SeekerPathSorter {
public:
    // A path as the file system gives it.
    void add(std::string_view bytes) {
        bool ascii = true;
        for (unsigned char c : bytes) {
            if (c >= 0x80) {
                ascii = false;
                break;
            }
        }
        if (!ascii) {
            add(QFile::decodeName(QByteArray(bytes.data(), qsizetype(bytes.size()))));
            return;
        }
        const size_t offset = keys_.size();
        keys_.resize(offset + 2 * bytes.size());
        char *out = keys_.data() + offset;
        for (unsigned char c : bytes) {
            *out++ = 0;
            *out++ = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
        }
        refs_.push_back({offset, uint32_t(2 * bytes.size()), uint32_t(refs_.size())});
    }
    void add(QStringView text) {
        const size_t offset = keys_.size();
        if (std::all_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x80; })) {
            keys_.resize(offset + 2 * size_t(text.size()));
            char *out = keys_.data() + offset;
            for (QChar qc : text) {
                const char16_t c = qc.unicode();
                *out++ = 0;
                *out++ = char(c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c);
            }
            refs_.push_back({offset, uint32_t(keys_.size() - offset), uint32_t(refs_.size())});
            return;
        }
        char16_t last = 0;
        for (QChar qc : text) {
            const char16_t u = qc.unicode();
            char16_t folded;
            if (QChar::isLowSurrogate(u) && QChar::isHighSurrogate(last))
                folded = QChar::lowSurrogate(QChar::toCaseFolded(QChar::surrogateToUcs4(last, u)));
            else
                folded = QChar::toCaseFolded(u);
            last = u;
            keys_ += char(folded >> 8);
            keys_ += char(folded & 0xff);
        }
        refs_.push_back({offset, uint32_t(keys_.size() - offset), uint32_t(refs_.size())});
    }
    // The indexes of the added paths in sorted order.
    std::vector<uint32_t> order() {
        const char *keys = keys_.data();
        std::sort(refs_.begin(), refs_.end(), [keys](const Ref &a, const Ref &b) {
            const int c = std::memcmp(keys + a.offset, keys + b.offset, std::min(a.length, b.length));
            if (c != 0)
                return c < 0;
            if (a.length != b.length)
                return a.length < b.length;
            return a.index < b.index;
        });
        std::vector<uint32_t> out;
        out.reserve(refs_.size());
        for (const Ref &r : refs_)
            out.push_back(r.index);
        return out;
    }

private:
    struct Ref {
        size_t offset;
        uint32_t length, index;
    };
    std::string keys_;
    std::vector<Ref> refs_;
};

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

    // Found paths, as bytes, one after the other; converted to text once sorted.
    std::string foundBytes;
    std::vector<std::pair<size_t, uint32_t>> found;
    SeekerPathSorter sorter;
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
        if (canPlay(full, !deep)) {
            found.emplace_back(foundBytes.size(), uint32_t(full.size()));
            foundBytes += full;
            // Every found path starts with the same root: the relative part alone orders them.
            sorter.add(relative);
        }
    }
    if (stopped())
        return std::nullopt;
    QStringList sorted;
    sorted.reserve(qsizetype(found.size()));
    for (uint32_t i : sorter.order()) {
        const auto [offset, length] = found[i];
        sorted.append(QFile::decodeName(QByteArray(foundBytes.data() + offset, qsizetype(length))));
    }
    return sorted;
}

QString seekerJoinPath(const QString &root, const QString &relative) {
    if (root.endsWith(QLatin1Char('/')))
        return root + relative;
    return root + QLatin1Char('/') + relative;
}

void seekerSortPaths(QStringList &paths) {
    SeekerPathSorter sorter;
    for (const QString &path : paths)
        sorter.add(path);
    const std::vector<uint32_t> order = sorter.order();
    QStringList sorted;
    sorted.reserve(paths.size());
    for (uint32_t i : order)
        sorted.append(paths.at(qsizetype(i)));
    paths = std::move(sorted);
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
