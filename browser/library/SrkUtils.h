#pragma once
// Small path and comment utilities shared by the browser's operations.
#include <QString>

class SrkUtils {
public:
    // Paths that come out of the column browser begin with two slashes ("//Users/x").
    // Returns the path without its first character when its second character is "/",
    // otherwise an unchanged copy.
    static QString stripSlashIfNeeded(const QString &path);
};
