#pragma once
// The saved scan memory: the file "Saved Scan Long Term Memory", an XML property list holding
// the Seeker's whole scan list, kept beside the program so that later launches can show the
// list without scanning. Main thread.
#include <QString>
#include <QStringList>

#include <optional>

class SeekerMemory {
public:
    static const QString kFileName;   // "Saved Scan Long Term Memory"

    // The memory file lives in `folder`; a null folder means the program's own folder (the
    // folder of the executable).
    explicit SeekerMemory(QString folder = QString());

    // Path of the memory file (`saveSeekerFilename`).
    QString saveSeekerFilename() const;
    bool exists() const;
    // Writes `scanList` as the whole file: into a temporary file in the same folder, renamed
    // over the old file once complete, so that a crash or a full disk never leaves half a
    // list. False when the file could not be written (the old file, if any, is unchanged).
    bool write(const QStringList &scanList) const;
    // The list in the file; nothing when the file is missing, unreadable, not a property list
    // or not an array.
    std::optional<QStringList> read() const;
    // The file's modification time in local time as "%m-%d-%y %H:%M:%S" (05-17-04 21:03:09);
    // empty when the file is missing.
    QString modificationDate() const;

    QString folder() const { return folder_; }

private:
    QString folder_;
};
