#pragma once
// Small path and comment utilities shared by the browser's operations.
#include <QString>

#include <string>

class SrkUtils {
public:
    // Paths that come out of the column browser begin with two slashes ("//Users/x").
    // Returns the path without its first character when its second character is "/",
    // otherwise an unchanged copy.
    static QString stripSlashIfNeeded(const QString &path);
    // The path as the file system takes it (the local 8-bit encoding), for the audio engine.
    static std::string nativePath(const QString &path);

    // A file's comment is kept in its extended attribute "user.xdg.comment" (UTF-8), the
    // attribute that desktop file managers show. Symbolic links are followed. Any thread.
    //
    // Reads the comment of `path` into `comment`: 0 on success (a file without a comment
    // gives 0 and an empty text); non-zero when the path names nothing, the file system keeps
    // no extended attributes, or the attribute cannot be read. `comment` is untouched then.
    static int getComment(const QString &path, QString *comment);
    // Writes `comment` as the comment of `path` (an empty text removes the attribute): 0 on
    // success; non-zero when the path names nothing, the file system takes no extended
    // attributes, the text is longer than it takes, or the file cannot be written.
    static int setComment(const QString &path, const QString &comment);

    static const char *const kCommentAttribute;  // "user.xdg.comment"
};
