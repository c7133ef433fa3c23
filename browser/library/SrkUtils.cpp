#include "SrkUtils.h"

#include <QFile>

#include <cerrno>
#include <sys/xattr.h>
#include <vector>

const char *const SrkUtils::kCommentAttribute = "user.xdg.comment";

namespace {
// The largest value Linux hands out for one extended attribute.
constexpr size_t kMaxAttributeSize = 64 * 1024;

int failure() { return errno != 0 ? errno : EIO; }
}  // namespace

std::string SrkUtils::nativePath(const QString &path) { return QFile::encodeName(path).toStdString(); }

QString SrkUtils::stripSlashIfNeeded(const QString &path) {
    if (path.size() >= 2 && path.at(1) == QLatin1Char('/'))
        return path.mid(1);
    return path;
}

int SrkUtils::getComment(const QString &path, QString *comment) {
    if (path.isEmpty() || !comment)
        return EINVAL;
    const QByteArray native = QFile::encodeName(path);
    // The attribute may change between asking its size and reading it: ask again when the
    // buffer turns out too small, but never read more than an attribute can hold.
    for (int attempt = 0; attempt < 4; ++attempt) {
        errno = 0;
        const ssize_t size = ::getxattr(native.constData(), kCommentAttribute, nullptr, 0);
        if (size < 0) {
            if (errno == ENODATA) {  // no comment yet
                comment->clear();
                return 0;
            }
            return failure();
        }
        if (size_t(size) > kMaxAttributeSize)
            return E2BIG;
        std::vector<char> buffer(size_t(size) + 1);
        errno = 0;
        const ssize_t got = ::getxattr(native.constData(), kCommentAttribute, buffer.data(), buffer.size());
        if (got < 0) {
            if (errno == ERANGE)
                continue;
            if (errno == ENODATA) {
                comment->clear();
                return 0;
            }
            return failure();
        }
        size_t length = size_t(got);
        // Some tools store the text with its terminating NUL.
        while (length > 0 && buffer[length - 1] == '\0')
            --length;
        *comment = QString::fromUtf8(buffer.data(), qsizetype(length));
        return 0;
    }
    return ERANGE;
}

int SrkUtils::setComment(const QString &path, const QString &comment) {
    if (path.isEmpty())
        return EINVAL;
    const QByteArray native = QFile::encodeName(path);
    errno = 0;
    if (comment.isEmpty()) {
        if (::removexattr(native.constData(), kCommentAttribute) == 0 || errno == ENODATA) {
            // Removing a comment that was never there still needs a file to remove it from.
            if (errno == ENODATA && !QFile::exists(path))
                return ENOENT;
            return 0;
        }
        return failure();
    }
    const QByteArray text = comment.toUtf8();
    if (size_t(text.size()) > kMaxAttributeSize)
        return E2BIG;
    if (::setxattr(native.constData(), kCommentAttribute, text.constData(), size_t(text.size()), 0) != 0)
        return failure();
    return 0;
}
