#include "FolderModel.h"

#include "Defaults.h"
#include "DefaultsKeys.h"
#include "MenuValidation.h"
#include "Preferences.h"
#include "SrkUtils.h"
#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <dirent.h>

namespace {
struct Folder {
    QTemporaryDir dir;
    QString path() const { return dir.path(); }
    QString at(const QString &name) const { return dir.path() + QLatin1Char('/') + name; }
};

// a.aif, notes.txt, .DS_Store, Kicks/ and the rest of the listing rules' cases.
void fillMixedFolder(const Folder &f) {
    ASSERT_TRUE(writeTone(f.at("a.aif"), SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
    ASSERT_TRUE(writeText(f.at("notes.txt")));
    ASSERT_TRUE(writeText(f.at(".DS_Store")));
    ASSERT_TRUE(QDir().mkdir(f.at("Kicks")));
}
}  // namespace

TEST(FolderModel, DefaultListsFoldersAndPlayableAudioOnlySortedWithAttributes) {
    Folder f;
    fillMixedFolder(f);
    ASSERT_TRUE(writeText(f.at("loop.wav"), "not really audio"));  // listed on its name alone
    ASSERT_TRUE(writeText(f.at("song.mp3")));                      // never listed
    ASSERT_TRUE(writeTone(f.at("take1"), SF_FORMAT_WAV | SF_FORMAT_PCM_16));  // content decides
    ASSERT_TRUE(writeText(f.at("readme")));                        // content says no
    ASSERT_TRUE(writeTone(f.at("B.aiff"), SF_FORMAT_AIFF | SF_FORMAT_PCM_24));

    FolderModel model;
    const QStringList names = model.directoryContentsAtPath(f.path());
    EXPECT_EQ(names, (QStringList{"a.aif", "B.aiff", "Kicks", "loop.wav", "take1"}));
    EXPECT_EQ(model._browserCacheContentsAttrs, (QList<int>{0, 0, 1, 0, 0}));
    EXPECT_EQ(model._browserCachePath, f.path());
}

TEST(FolderModel, ShowAllListsEveryEntryButHiddenOnes) {
    Folder f;
    fillMixedFolder(f);
    Defaults::setBool(true, OnlyShowAudioFilesKey);
    FolderModel model;
    EXPECT_EQ(model.directoryContentsAtPath(f.path()), (QStringList{"a.aif", "Kicks", "notes.txt"}));
    EXPECT_EQ(model._browserCacheContentsAttrs, (QList<int>{0, 1, 0}));
    Defaults::remove(OnlyShowAudioFilesKey);
}

TEST(FolderModel, CacheHoldsOneFolderComparedExactly) {
    Folder a, b;
    fillMixedFolder(a);
    FolderModel model;
    model.directoryContentsAtPath(a.path());
    model.directoryContentsAtPath(a.path());
    EXPECT_EQ(model.directoryReads(), 1);
    // A new file outside the program shows only after another folder was listed.
    ASSERT_TRUE(writeTone(a.at("c.wav"), SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    EXPECT_FALSE(model.directoryContentsAtPath(a.path()).contains("c.wav"));
    model.directoryContentsAtPath(b.path());
    EXPECT_TRUE(model.directoryContentsAtPath(a.path()).contains("c.wav"));
    EXPECT_EQ(model.directoryReads(), 3);
    // The same folder with two leading slashes is another key.
    model.directoryContentsAtPath(QLatin1Char('/') + a.path());
    EXPECT_EQ(model.directoryReads(), 4);
    model.invalidate();
    model.directoryContentsAtPath(QLatin1Char('/') + a.path());
    EXPECT_EQ(model.directoryReads(), 5);
}

TEST(FolderModel, LinksToFoldersAreBranchesAndDanglingLinksAreNotAudio) {
    Folder f;
    ASSERT_TRUE(QDir().mkdir(f.at("Real")));
    ASSERT_TRUE(QFile::link(f.at("Real"), f.at("Linked")));
    ASSERT_TRUE(QFile::link(f.at("gone"), f.at("dangling")));
    FolderModel model;
    EXPECT_EQ(model.directoryContentsAtPath(f.path()), (QStringList{"Linked", "Real"}));
    EXPECT_EQ(model._browserCacheContentsAttrs, (QList<int>{1, 1}));
}

TEST(FolderModel, UnreadableFolderListsEmptyAndIsCached) {
    FolderModel model;
    EXPECT_TRUE(model.directoryContentsAtPath("/no/such/folder").isEmpty());
    EXPECT_TRUE(model._browserCacheContentsAttrs.isEmpty());
    model.directoryContentsAtPath("/no/such/folder");
    EXPECT_EQ(model.directoryReads(), 1);
}

TEST(FolderModel, AttributesFollowTheirNamesThroughTheSort) {
    // The reader hands names in an order unlike the sorted one; attributes must move along.
    Folder f;
    for (const char *dir : {"zeta", "Alpha", "mid"})
        ASSERT_TRUE(QDir().mkdir(f.at(dir)));
    for (const char *file : {"beta.wav", "Omega.aif", "delta.AIFF"})
        ASSERT_TRUE(writeText(f.at(file)));
    FolderModel model;
    model.setDirectoryReader([](const QString &, std::vector<FolderModel::RawEntry> *entries) {
        for (const char *n : {"zeta", "beta.wav", "Alpha", "Omega.aif", "mid", "delta.AIFF"})
            entries->push_back({n, DT_UNKNOWN});  // types unknown: the model must look
        return true;
    });
    EXPECT_EQ(model.directoryContentsAtPath(f.path()),
              (QStringList{"Alpha", "beta.wav", "delta.AIFF", "mid", "Omega.aif", "zeta"}));
    EXPECT_EQ(model._browserCacheContentsAttrs, (QList<int>{1, 0, 0, 1, 0, 1}));
}

TEST(FolderModel, PathsOfColumnsBeginWithTwoSlashes) {
    const QStringList selected{"Volumes", "Disk", "Loops"};
    struct Case {
        int column;
        QString path;
    } cases[] = {{0, "/"}, {1, "//Volumes"}, {2, "//Volumes/Disk"}, {3, "//Volumes/Disk/Loops"}};
    for (const Case &c : cases)
        EXPECT_EQ(FolderModel::pathForColumn(c.column, selected), c.path) << c.column;
}

TEST(SrkUtils, StripSlashIfNeeded) {
    struct Case {
        QString in, out;
    } cases[] = {{"//Users/x/a.aif", "/Users/x/a.aif"}, {"/Users/x", "/Users/x"}, {"/", "/"},
                 {"//", "/"},  {"", ""}, {"a/b", "/b"}, {"x/", "/"}};
    for (const Case &c : cases)
        EXPECT_EQ(SrkUtils::stripSlashIfNeeded(c.in), c.out) << c.in.toStdString();
}

TEST(MenuValidation, EnablingFollowsTabSoundAndScan) {
    struct Case {
        const char *action;
        bool seeker, sound, scan, enabled;
    } cases[] = {
        {"createSoundbank:", true, false, false, true},  {"createSoundbank:", false, true, false, false},
        {"jump:", false, true, false, false},            {"jump:", true, true, false, true},
        {"jump:", true, false, false, false},            {"rescanThread:", true, false, false, true},
        {"rescanThread:", true, false, true, false},     {"rescanThread:", false, false, false, false},
        {"makeStartupDirectory:", false, false, false, true}, {"makeFavortiesDirectory:", true, true, false, false},
        {"rename:", false, true, false, true},           {"moveToTrash:", true, false, false, false},
        {"writeNewSampleRate:", false, false, false, false}, {"revealInFinder:", true, true, false, true},
        {"gotoRoot:", true, false, true, true},
    };
    for (const Case &c : cases)
        EXPECT_EQ(validateMenuAction(c.action, {c.seeker, c.sound, c.scan}), c.enabled) << c.action;
}

TEST(Preferences, StartUpAndFavoritesFoldersResolveEachTime) {
    Folder f, app;
    Preferences::setApplicationFolderForTesting(app.path());
    EXPECT_EQ(Preferences::startUpDir(), "/");
    EXPECT_EQ(Preferences::favortiesDirectory(), app.path() + "/Soundrake Favorites");

    Defaults::setString(f.at("missing"), StartupDirectoryKey);
    Defaults::setString(f.at("missing"), FavoritesDirectoryKey);
    EXPECT_EQ(Preferences::startUpDir(), "/");
    EXPECT_EQ(Preferences::favortiesDirectory(), app.path() + "/Soundrake Favorites");

    ASSERT_TRUE(writeTone(f.at("a.aif"), SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
    // A file (given as a browser path with two slashes) stores its folder.
    Preferences::makeStartupDirectory(QLatin1Char('/') + f.at("a.aif"));
    EXPECT_EQ(Preferences::startUpDir(), f.path());
    Preferences::makeFavortiesDirectory(f.path());
    EXPECT_EQ(Preferences::favortiesDirectory(), f.path() + "/Soundrake Favorites");
    Defaults::setBool(true, DoNotCreateFavoritesFolder);
    EXPECT_EQ(Preferences::favortiesDirectory(), f.path());
    Defaults::setString(QString(), StartupDirectoryKey);
    EXPECT_EQ(Preferences::startUpDir(), "/");
}
