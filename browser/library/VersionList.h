#pragma once
// The version list: an XML property list on the maker's web server whose root is a dictionary;
// the string under the program's name is the newest released version. No widgets, no network.
#include <QByteArray>
#include <QString>

namespace VersionList {

// Where the list is fetched from unless the "Version List Address" default names another.
inline constexpr const char *kDefaultAddress = "http://soundrake.example.org/software/versionlist.xml";
inline constexpr const char *kDownloadPage = "http://soundrake.example.org/download/";
inline constexpr const char *kMusicPage = "http://soundrake.example.org/music/";
// The list is a few hundred bytes; anything far larger is not a version list.
inline constexpr qsizetype kMaxListSize = 256 * 1024;

// The program's own version, compared with the list's entry as a plain string.
QString applicationVersion();

enum class Outcome {
    UpToDate,      // the entry equals the running version
    Newer,         // the entry differs (the two are not ordered)
    Unreadable,    // not a property list, too large, or its root is not a dictionary
    NoEntry,       // a dictionary without a string under the program's name
};

struct Result {
    Outcome outcome = Outcome::Unreadable;
    QString listed;  // the version under the program's name, when there is one
};

// Reads `data` (XML or binary property list) and compares its entry for `appName` with
// `runningVersion`.
Result compare(const QByteArray &data, const QString &appName, const QString &runningVersion);

}  // namespace VersionList
