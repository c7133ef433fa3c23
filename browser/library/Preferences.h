#pragma once
// Where the favorites and the start-up folder are. These are resolved afresh on every
// call from the user defaults and the file system; nothing is cached.
#include <QString>

class Preferences {
public:
    // "Favorites Directory" when something exists there, else the application's folder;
    // joined with "Soundrake Favorites" unless "Do Not Create Favorites Folder" is set.
    static QString favortiesDirectory();
    // "Startup Directory" when set, not empty and existing; otherwise "/".
    static QString startUpDir();
    // Store the folder of a path (the path itself when it is a folder, else its parent).
    static void makeFavortiesDirectory(const QString &path);
    static void makeStartupDirectory(const QString &path);

    // The folder the favorites fall back to when none is set: the application's own folder.
    static QString applicationFolder();
    static void setApplicationFolderForTesting(const QString &folder);
};
