#include "LibraryFiles.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/xattr.h>
#include <vector>
#include <sys/stat.h>
#include <unistd.h>

namespace {
QByteArray native(const QString &path) { return QFile::encodeName(path); }

// Closes a descriptor when it goes out of scope.
struct Fd {
    int fd = -1;
    explicit Fd(int f) : fd(f) {}
    ~Fd() {
        if (fd >= 0)
            ::close(fd);
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
};

// Copies all of `in` to `out`, in the kernel where it can (copy_file_range shares blocks on
// file systems that can and avoids user-space buffers elsewhere), else through a buffer.
bool copyData(int in, int out, off_t size) {
    off_t done = 0;
    bool kernelCopy = true;
    while (kernelCopy && done < size) {
        const ssize_t n = ::copy_file_range(in, nullptr, out, nullptr, size_t(size - done), 0);
        if (n > 0) {
            done += n;
            continue;
        }
        if (n == 0)
            break;  // the file shrank: copy what is there
        if (errno == EINTR)
            continue;
        if (errno == EXDEV || errno == ENOSYS || errno == EOPNOTSUPP || errno == EINVAL)
            kernelCopy = false;  // fall back to read/write from where we are
        else
            return false;
    }
    if (kernelCopy)
        return true;
    if (::lseek(in, done, SEEK_SET) < 0 || ::lseek(out, done, SEEK_SET) < 0)
        return false;
    static thread_local char buffer[1 << 17];
    for (;;) {
        const ssize_t n = ::read(in, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        for (ssize_t written = 0; written < n;) {
            const ssize_t w = ::write(out, buffer + written, size_t(n - written));
            if (w < 0) {
                if (errno == EINTR)
                    continue;
                return false;
            }
            written += w;
        }
    }
}

// Copies the user attributes (the comment among them) as a file manager's copy keeps them. A
// file system without them is no reason to fail the copy.
void copyUserAttributes(int in, int out) {
    char names[4096];
    const ssize_t listed = ::flistxattr(in, names, sizeof names);
    if (listed <= 0)
        return;
    std::vector<char> value;
    for (const char *name = names; name < names + listed; name += std::strlen(name) + 1) {
        if (std::strncmp(name, "user.", 5) != 0)
            continue;
        const ssize_t size = ::fgetxattr(in, name, nullptr, 0);
        if (size < 0 || size > 64 * 1024)
            continue;
        value.resize(size_t(size) + 1);
        const ssize_t got = ::fgetxattr(in, name, value.data(), value.size());
        if (got >= 0)
            ::fsetxattr(out, name, value.data(), size_t(got), 0);
    }
}

bool finishAttributes(int out, const struct stat &st) {
    if (::fchmod(out, st.st_mode & 07777) != 0)
        return false;
    const struct timespec times[2] = {st.st_atim, st.st_mtim};
    return ::futimens(out, times) == 0;
}
}  // namespace

namespace LibraryFiles {

bool existsFollowingLinks(const QString &path) {
    struct stat st;
    return !path.isEmpty() && ::stat(native(path).constData(), &st) == 0;
}

bool nameTaken(const QString &path) {
    struct stat st;
    return !path.isEmpty() && ::lstat(native(path).constData(), &st) == 0;
}

bool copyFile(const QString &source, const QString &destination, int *error) {
    int dummy = 0;
    int &err = error ? *error : dummy;
    err = 0;
    const QByteArray from = native(source), to = native(destination);
    Fd in(::open(from.constData(), O_RDONLY | O_CLOEXEC));
    if (in.fd < 0) {
        err = errno;
        return false;
    }
    struct stat st;
    if (::fstat(in.fd, &st) != 0) {
        err = errno;
        return false;
    }
    if (!S_ISREG(st.st_mode)) {
        err = EISDIR;
        return false;
    }
    const QByteArray folder = native(QFileInfo(destination).path());

    // First choice: an unnamed file in the destination folder, given its name by linkat once
    // complete. A crash before that leaves nothing at all; linkat never replaces a name.
    {
        Fd out(::open(folder.constData(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600));
        if (out.fd >= 0) {
            copyUserAttributes(in.fd, out.fd);
            if (!copyData(in.fd, out.fd, st.st_size) || !finishAttributes(out.fd, st)) {
                err = errno ? errno : EIO;
                return false;
            }
            char procPath[64];
            std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", out.fd);
            if (::linkat(AT_FDCWD, procPath, AT_FDCWD, to.constData(), AT_SYMLINK_FOLLOW) == 0)
                return true;
            if (errno != ENOENT && errno != EPERM && errno != EOPNOTSUPP && errno != EXDEV) {
                err = errno;
                return false;
            }
            // No /proc or links not allowed here: copy again through a named temporary file.
            if (::lseek(in.fd, 0, SEEK_SET) < 0) {
                err = errno;
                return false;
            }
        } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOTSUP) {
            err = errno;
            return false;
        }
    }

    // Second choice: a hidden temporary file beside the destination, renamed into place without
    // replacing anything, and removed on any failure.
    QByteArray temp = folder + "/." + QFileInfo(destination).fileName().toUtf8().left(200) + ".XXXXXX";
    Fd out(::mkostemp(temp.data(), O_CLOEXEC));
    if (out.fd < 0) {
        err = errno;
        return false;
    }
    copyUserAttributes(in.fd, out.fd);
    bool ok = copyData(in.fd, out.fd, st.st_size) && finishAttributes(out.fd, st);
    if (ok) {
        ok = ::renameat2(AT_FDCWD, temp.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0;
        if (!ok && errno == EINVAL) {
            // The file system cannot rename without replacing: a hard link never replaces.
            ok = ::link(temp.constData(), to.constData()) == 0;
            if (ok)
                ::unlink(temp.constData());
        }
    }
    if (!ok) {
        err = errno ? errno : EIO;
        ::unlink(temp.constData());
    }
    return ok;
}

QStringList favoritesInFolder(const QString &folder, const std::function<bool(const QString &)> &canPlay) {
    QStringList taken;
    const QDir dir(folder);
    if (folder.isEmpty() || !dir.exists())
        return taken;
    const QStringList names = dir.entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                            QDir::Unsorted);
    for (const QString &name : names) {
        if (name.startsWith(QLatin1Char('.')))
            continue;
        const QString full = folder + QLatin1Char('/') + name;
        struct stat st;
        if (::stat(native(full).constData(), &st) != 0 || S_ISDIR(st.st_mode))
            continue;
        if (canPlay && !canPlay(full))
            continue;
        taken.append(name);
    }
    std::sort(taken.begin(), taken.end(),
              [](const QString &a, const QString &b) { return a.compare(b, Qt::CaseInsensitive) < 0; });
    return taken;
}

bool createSoundbank(const QString &folder, const QStringList &paths, int *copied) {
    if (copied)
        *copied = 0;
    if (folder.isEmpty() || ::mkdir(native(folder).constData(), 0777) != 0)
        return false;
    for (const QString &path : paths) {
        const QString destination = folder + QLatin1Char('/') + QFileInfo(path).fileName();
        if (nameTaken(destination))
            continue;
        if (!copyFile(path, destination))
            return false;
        if (copied)
            ++*copied;
    }
    return true;
}

bool removeListingEntry(QStringList &names, QList<int> &attrs, qsizetype row) {
    if (row < 0 || row >= names.size() || names.size() != attrs.size())
        return false;
    names.removeAt(row);
    attrs.removeAt(row);
    return true;
}

}  // namespace LibraryFiles
