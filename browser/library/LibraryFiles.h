#pragma once
// File operations of the library commands, without widgets: copying a file so that no half
// file is ever seen under its name, linking into the favorites, listing the favorites folder,
// creating a soundbank, and keeping the Browser's listing aligned when an entry goes.
// Any thread; nothing here touches the defaults or the interface.
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

namespace LibraryFiles {

// Whether something exists at `path`, following symbolic links (a dangling link is nothing).
bool existsFollowingLinks(const QString &path);
// Whether `path` is the name of anything, a dangling symbolic link included.
bool nameTaken(const QString &path);

// Copies the regular file `source` (links followed) to `destination`, which must not exist.
// The data go into an unnamed or temporary file in the destination's folder that gets its
// name only once complete, so `destination` never names a partial copy; a name taken
// meanwhile is never replaced. Permission bits, modification time and the user attributes (the
// file's comment) are kept. False, with
// nothing left behind and `*error` set to an errno value, on failure.
bool copyFile(const QString &source, const QString &destination, int *error = nullptr);

// The audio files listed in the favorites drawer: entries of `folder` (one level) that do not
// begin with ".", are not folders (links followed) and pass `canPlay` (extension or content).
// A dangling link is left out. Sorted case-insensitively; empty when the folder cannot be read.
QStringList favoritesInFolder(const QString &folder, const std::function<bool(const QString &)> &canPlay);

// The soundbank: creates the folder `folder` (one level; false when that fails, for instance
// because the name is taken) and copies every path of `paths` into it under its last path
// component, in list order, skipping a path whose name is already there (the first of several
// files with one name wins). Stops at the first copy that fails and returns false; the folder
// and the files copied before stay. `copied`, when given, counts the copies made.
bool createSoundbank(const QString &folder, const QStringList &paths, int *copied = nullptr);

// Removes element `row` from the listing `names` and its attributes `attrs`, keeping the two
// aligned and every other element in order. False (nothing changed) when `row` is out of range
// or the lists are not aligned.
bool removeListingEntry(QStringList &names, QList<int> &attrs, qsizetype row);

}  // namespace LibraryFiles
