#include "Defaults.h"
#include "DefaultsKeys.h"
#include "NotificationCenter.h"
#include "Preferences.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

// Where the favorites and the start-up folder are, resolved from the defaults each time.
class FavoritesFolder : public ::testing::Test {
protected:
    void SetUp() override {
        for (const QString &key : {FavoritesDirectoryKey, DoNotCreateFavoritesFolder, StartupDirectoryKey})
            Defaults::remove(key);
        app = dir.path() + "/Applications";
        QDir().mkpath(app);
        QDir().mkpath(dir.path() + "/Users/x/Loops");
        QDir().mkpath(dir.path() + "/Users/x/Favs");
        QFile f(dir.path() + "/Users/x/Loops/a.aif");
        f.open(QIODevice::WriteOnly);
        Preferences::setApplicationFolderForTesting(app);
    }
    void TearDown() override { Preferences::setApplicationFolderForTesting(QString()); }
    QTemporaryDir dir;
    QString app;
};

TEST_F(FavoritesFolder, ResolvesFromTheDefaultsEachTime) {
    const QString x = dir.path() + "/Users/x";
    EXPECT_EQ(Preferences::favortiesDirectory(), app + "/Soundrake Favorites") << "unset: beside the program";
    Defaults::setString(x + "/Favs", FavoritesDirectoryKey);
    EXPECT_EQ(Preferences::favortiesDirectory(), x + "/Favs/Soundrake Favorites");
    Defaults::setBool(true, DoNotCreateFavoritesFolder);
    EXPECT_EQ(Preferences::favortiesDirectory(), x + "/Favs") << "the base itself";
    Defaults::setString(x + "/Deleted", FavoritesDirectoryKey);
    EXPECT_EQ(Preferences::favortiesDirectory(), app) << "a stored folder that is gone falls back silently";
    Defaults::setString("", FavoritesDirectoryKey);
    EXPECT_EQ(Preferences::favortiesDirectory(), app);
}

TEST_F(FavoritesFolder, StartUpFolderFallsBackToTheRoot) {
    const QString loops = dir.path() + "/Users/x/Loops";
    const struct {
        QString stored;
        bool set;
        QString expected;
    } cases[] = {{"", false, "/"}, {"", true, "/"}, {loops, true, loops}, {loops + "/Deleted", true, "/"}};
    for (const auto &c : cases) {
        if (c.set)
            Defaults::setString(c.stored, StartupDirectoryKey);
        else
            Defaults::remove(StartupDirectoryKey);
        EXPECT_EQ(Preferences::startUpDir(), c.expected) << c.stored.toStdString();
    }
}

// Make Favorites / Start-up Folder store the folder of the file well's two-slash path.
TEST_F(FavoritesFolder, MakeFolderStoresTheFolderOfThePath) {
    const QString loops = dir.path() + "/Users/x/Loops";
    int posted = 0;
    QObject::connect(&NotificationCenter::defaultCenter(), &NotificationCenter::posted,
                     [&](const QString &name, QObject *) { posted += name == kFavoritesDirectoryDidChange; });
    for (const QString &path : {"/" + loops + "/a.aif", "/" + loops, loops, loops + "/"}) {
        Defaults::remove(FavoritesDirectoryKey);
        Preferences::makeFavortiesDirectory(path);
        EXPECT_EQ(QDir::cleanPath(Defaults::stringForKey(FavoritesDirectoryKey)), loops) << path.toStdString();
        Defaults::remove(StartupDirectoryKey);
        Preferences::makeStartupDirectory(path);
        EXPECT_EQ(QDir::cleanPath(Defaults::stringForKey(StartupDirectoryKey)), loops) << path.toStdString();
    }
    EXPECT_EQ(posted, 4) << "only the favorites folder is announced";
    Defaults::remove(DoNotCreateFavoritesFolder);
    EXPECT_EQ(Preferences::favortiesDirectory(), loops + "/Soundrake Favorites");
    // An emptied field, or a bare name, stores a folder that names nothing (never the current
    // directory), so the program's folder is the base again.
    for (const QString &path : {QString(""), QString("Favs")}) {
        Preferences::makeFavortiesDirectory(path);
        EXPECT_EQ(Defaults::stringForKey(FavoritesDirectoryKey), "") << path.toStdString();
        EXPECT_EQ(Preferences::favortiesDirectory(), app + "/Soundrake Favorites");
    }
}
