#pragma once
// The Seeker's recursive scan: every entry below a root once, tested for audio, sorted.
// Plain logic without widgets; the scan worker, the window and the command line share it.
#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

// The playability test: (full path, checkOnlyExt) -> playable. The program uses
// AudioKit::canPlayFile; tests may pass their own.
using SeekerPlayabilityTest = std::function<bool(const std::string &path, bool checkOnlyExt)>;
SeekerPlayabilityTest seekerDefaultPlayabilityTest();

// The recursive listing of a folder: the path of every entry at every depth below the root,
// relative to it, in the order the file system gives them (a folder's entries come after the
// folder itself). Symbolic links are entries and are never descended into; a folder that
// cannot be read has no entries. Hidden entries are included.
class SeekerListing {
public:
    enum Kind : uint8_t {
        Folder,   // a real folder (not a link)
        File,     // a regular file
        Special,  // a pipe, socket or device: never opened, judged by its name alone
        Link,     // a symbolic link: its target decides (followed when tested)
    };

    // Lists `root` (bytes as the file system takes them). Polls `stop` (may be null) between
    // folders and returns early, incomplete, when it is set.
    static SeekerListing list(const std::string &root, const std::atomic<bool> *stop = nullptr);

    size_t size() const { return entries_.size(); }
    // Relative path of entry i, without a leading "/".
    std::string_view relativePath(size_t i) const {
        return {names_.data() + entries_[i].offset, entries_[i].length};
    }
    Kind kind(size_t i) const { return Kind(entries_[i].kind); }

private:
    struct Entry {
        size_t offset;
        uint32_t length;
        uint8_t kind;
    };
    void listFolder(const std::string &root, std::string &relative, const std::atomic<bool> *stop);
    std::string names_;
    std::vector<Entry> entries_;
};

// What the scan reports while it runs, on the thread that runs it.
class SeekerScanProgress {
public:
    virtual ~SeekerScanProgress() = default;
    // The listing is complete: `entryCount` entries will be tested.
    virtual void scanDidList(qsizetype entryCount) = 0;
    // Entry `index` is about to be tested (issued once per entry).
    virtual void scanDidProgress(qsizetype index) = 0;
};

struct SeekerScanOptions {
    // Deep scan (open files whose extension says nothing). Read once per tested entry, so a
    // change during a scan affects the entries tested after it. Null means off.
    const std::atomic<bool> *deepScan = nullptr;
    // The stop request, tested before every entry (and between folders while listing).
    const std::atomic<bool> *stop = nullptr;
    SeekerScanProgress *progress = nullptr;
    SeekerPlayabilityTest canPlayFile;   // empty: the program's test
};

// Scans `root` as the Seeker does: lists it, skips entries whose relative path starts with
// "." (a hidden entry directly in the root, and everything below it), skips folders (links
// followed), keeps what the playability test accepts, and sorts the full paths
// case-insensitively. Full paths are the root joined with the relative path, so they keep the
// root's form (two leading slashes stay). Returns nothing when stopped.
std::optional<QStringList> seekerScan(const QString &root, const SeekerScanOptions &options);

// `root` joined with a relative path as one path component: root + "/" + relative, without
// doubling the slash when the root already ends with one.
QString seekerJoinPath(const QString &root, const QString &relative);

// Sorts full paths by case-insensitive comparison; equal-ignoring-case paths keep their order.
void seekerSortPaths(QStringList &paths);

// Last path component ("filename" cell) and the path without it (the folder).
QString seekerLastPathComponent(const QString &path);
QString seekerDeletingLastPathComponent(const QString &path);

// Text of one Seeker table cell for row path `path`:
//  "filename": the file's name;
//  saved results on, any other column: the file's full folder path;
//  "location" with saved results off: the folder relative to `scanRoot` with its leading "/"
//  (empty for a file directly in the root, and empty when `scanRoot` is null);
//  anything else: empty.
QString seekerCellText(const QString &column, const QString &path, const QString &scanRoot,
                       bool useSavedResults);

// The status line: kLiveFilesFound with `count`, or, with saved results on,
// kFilesFoundInMemory with `count` and `memoryDate` (already formatted).
QString seekerStatusLine(qsizetype count, bool useSavedResults, const QString &memoryDate);
