#pragma once
// The Browser's folder model: listing a folder through a one-folder cache, and forming the
// paths the column browser hands out. No widgets; the window and the tests share it.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>
#include <vector>

class FolderModel {
public:
    // One directory entry as the file system gives it: its name (bytes) and what the
    // directory says it is (a d_type value; DT_UNKNOWN when it does not say).
    struct RawEntry {
        QByteArray name;
        unsigned char type = 0;
    };
    // Reads a folder's entries; false when the folder cannot be read.
    using DirectoryReader = std::function<bool(const QString &path, std::vector<RawEntry> *entries)>;

    FolderModel();

    // The listing of folder `path`: entry names sorted case-insensitively. Served from the
    // cache when `path` equals the cached path character for character; otherwise the
    // folder is read, filtered ("Only Show Audio Files") and becomes the cached folder.
    const QStringList &directoryContentsAtPath(const QString &path);

    // "/" for column 0; otherwise "/" followed by the browser's own path to that column,
    // "/" + the names selected in columns 0 .. column-1, so paths begin with two slashes.
    static QString pathForColumn(int column, const QStringList &selectedNames);
    // The listing path the browser gives a folder ("/" stays "/", "/a/b" becomes "//a/b").
    static QString listingPathFor(const QString &folder);

    // The listing cache: exactly one folder. `_browserCacheContentsAttrs[i]` is 1 when
    // `_browserCacheContents[i]` is a folder and 0 for a file.
    QString _browserCachePath;   // null when nothing is cached
    QStringList _browserCacheContents;
    QList<int> _browserCacheContentsAttrs;

    // Forgets the cached folder so that the next listing reads the file system again.
    void invalidate() { _browserCachePath = QString(); }

    // How many times the file system was read (for tests and diagnostics).
    int directoryReads() const { return directoryReads_; }
    void setDirectoryReader(DirectoryReader reader) { reader_ = std::move(reader); }
    static bool readDirectory(const QString &path, std::vector<RawEntry> *entries);

private:
    DirectoryReader reader_;
    int directoryReads_ = 0;
};

// Whether a path names a folder, following symbolic links.
bool srkIsFolder(const QString &path);
