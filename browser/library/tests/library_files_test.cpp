#include "AudioKit.h"
#include "LibraryFiles.h"
#include "SrkUtils.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/stat.h>

namespace {
bool write(const QString &path, const QByteArray &data) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(data) == data.size();
}
QByteArray read(const QString &path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<unreadable>");
}
QStringList entries(const QString &folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::Name);
}
bool canPlay(const QString &path) { return AudioKit::canPlayFile(QFile::encodeName(path).toStdString(), false); }
}  // namespace

TEST(LibraryFiles, CopyIsExactKeepsModeAndNeverReplaces) {
    QTemporaryDir dir;
    QByteArray data(3 * 1024 * 1024 + 17, '\0');
    for (int i = 0; i < data.size(); ++i)
        data[i] = char(i * 31 + 7);
    ASSERT_TRUE(write(dir.path() + "/a.aif", data));
    ::chmod(QFile::encodeName(dir.path() + "/a.aif").constData(), 0640);
    ASSERT_TRUE(QDir().mkdir(dir.path() + "/Favs"));

    ASSERT_EQ(SrkUtils::setComment(dir.path() + "/a.aif", "Kick – grün"), 0);
    int error = -1;
    ASSERT_TRUE(LibraryFiles::copyFile(dir.path() + "/a.aif", dir.path() + "/Favs/a.aif", &error));
    EXPECT_EQ(error, 0);
    EXPECT_EQ(read(dir.path() + "/Favs/a.aif"), data);
    QString comment;
    ASSERT_EQ(SrkUtils::getComment(dir.path() + "/Favs/a.aif", &comment), 0);
    EXPECT_EQ(comment, "Kick – grün") << "the comment goes with the copy";
    EXPECT_EQ(QFileInfo(dir.path() + "/Favs/a.aif").permissions(), QFileInfo(dir.path() + "/a.aif").permissions());

    ASSERT_TRUE(write(dir.path() + "/b.aif", "other"));
    EXPECT_FALSE(LibraryFiles::copyFile(dir.path() + "/b.aif", dir.path() + "/Favs/a.aif", &error));
    EXPECT_EQ(error, EEXIST);
    EXPECT_EQ(read(dir.path() + "/Favs/a.aif"), data) << "a taken name is never replaced";
    EXPECT_EQ(entries(dir.path() + "/Favs"), QStringList{"a.aif"}) << "no temporary file left behind";
}

TEST(LibraryFiles, FailedCopyLeavesNothingBehind) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkdir(dir.path() + "/Favs"));
    ASSERT_TRUE(QDir().mkdir(dir.path() + "/Folder"));
    EXPECT_FALSE(LibraryFiles::copyFile(dir.path() + "/missing.aif", dir.path() + "/Favs/x.aif"));
    EXPECT_FALSE(LibraryFiles::copyFile(dir.path() + "/Folder", dir.path() + "/Favs/Folder"));
    EXPECT_FALSE(LibraryFiles::copyFile(dir.path() + "/Folder", dir.path() + "/NoSuchFolder/x.aif"));
    EXPECT_TRUE(entries(dir.path() + "/Favs").isEmpty());

    // A file that cannot be read (a full disk behaves the same on the writing side): nothing
    // is left under the name nor beside it.
    if (::geteuid() != 0) {
        ASSERT_TRUE(write(dir.path() + "/locked.aif", "x"));
        ::chmod(QFile::encodeName(dir.path() + "/locked.aif").constData(), 0);
        EXPECT_FALSE(LibraryFiles::copyFile(dir.path() + "/locked.aif", dir.path() + "/Favs/locked.aif"));
        EXPECT_TRUE(entries(dir.path() + "/Favs").isEmpty());
    }
}

// The soundbank example: of two files with one name the first in list order is copied.
TEST(LibraryFiles, SoundbankCopiesInListOrderSkippingTakenNames) {
    QTemporaryDir dir;
    for (const char *folder : {"a", "b"})
        ASSERT_TRUE(QDir().mkdir(dir.path() + "/" + folder));
    ASSERT_TRUE(write(dir.path() + "/a/Kick.aif", "kick from a"));
    ASSERT_TRUE(write(dir.path() + "/b/Kick.aif", "kick from b"));
    ASSERT_TRUE(write(dir.path() + "/b/Snare.aif", "snare"));
    const QString bank = dir.path() + "/Bank";
    int copied = -1;
    ASSERT_TRUE(LibraryFiles::createSoundbank(
        bank, {dir.path() + "/a/Kick.aif", dir.path() + "/b/Kick.aif", "/" + dir.path() + "/b/Snare.aif"}, &copied));
    EXPECT_EQ(copied, 2);
    EXPECT_EQ(entries(bank), (QStringList{"Kick.aif", "Snare.aif"}));
    EXPECT_EQ(read(bank + "/Kick.aif"), "kick from a");
    EXPECT_EQ(read(bank + "/Snare.aif"), "snare");

    // The folder's name is taken: nothing is created or copied.
    EXPECT_FALSE(LibraryFiles::createSoundbank(bank, {dir.path() + "/b/Snare.aif"}, &copied));
    EXPECT_EQ(copied, 0);
    // An empty list makes an empty folder.
    ASSERT_TRUE(LibraryFiles::createSoundbank(dir.path() + "/Empty", {}, &copied));
    EXPECT_TRUE(QFileInfo(dir.path() + "/Empty").isDir());
}

TEST(LibraryFiles, SoundbankStopsAtTheFirstFailedCopyKeepingWhatWasCopied) {
    QTemporaryDir dir;
    ASSERT_TRUE(write(dir.path() + "/one.aif", "1"));
    ASSERT_TRUE(write(dir.path() + "/three.aif", "3"));
    int copied = -1;
    EXPECT_FALSE(LibraryFiles::createSoundbank(
        dir.path() + "/Bank", {dir.path() + "/one.aif", dir.path() + "/gone.aif", dir.path() + "/three.aif"}, &copied));
    EXPECT_EQ(copied, 1);
    EXPECT_EQ(entries(dir.path() + "/Bank"), QStringList{"one.aif"});
}

// The drawer lists audio files of the favorites folder, not folders or other files; a link
// is listed while its target is an audio file.
TEST(LibraryFiles, FavoritesListing) {
    QTemporaryDir dir;
    const QString favs = dir.path();
    ASSERT_TRUE(QDir().mkdir(favs + "/Sub.wav"));
    ASSERT_TRUE(write(favs + "/song.wav", "not really audio"));
    ASSERT_TRUE(write(favs + "/notes.txt", "text"));
    ASSERT_TRUE(write(favs + "/.hidden.wav", "x"));
    ASSERT_TRUE(write(favs + "/b.AIF", "x"));
    ASSERT_TRUE(QFile::link(favs + "/song.wav", favs + "/Alias.wav"));
    ASSERT_TRUE(QFile::link(favs + "/gone.aif", favs + "/Dangling.aif"));
    EXPECT_EQ(LibraryFiles::favoritesInFolder(favs, canPlay), (QStringList{"Alias.wav", "b.AIF", "song.wav"}));
    EXPECT_TRUE(LibraryFiles::favoritesInFolder(favs + "/missing", canPlay).isEmpty());
}
