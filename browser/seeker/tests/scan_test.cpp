#include "SeekerCommand.h"
#include "SeekerMessages.h"
#include "SeekerScan.h"
#include "SeekerTestSupport.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <random>

#include <unistd.h>

namespace {

// The example tree: audio and other names, hidden entries at the top and deeper down.
class ExampleTree : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(tmp.isValid());
        root = tmp.path() + "/r";
        for (const char *name : {"Kick.WAV", "snare.aif", "notes.txt", "song.mp3", ".hidden.aif", "Sub/hat.aiff",
                                 "Sub/.x.wav", ".Trash/old.wav"})
            writeBytes(root + "/" + name, "not really audio");
    }
    QStringList scan(bool deep = false) {
        const std::atomic<bool> deepScan{deep};
        SeekerScanOptions options;
        options.deepScan = &deepScan;
        std::optional<QStringList> list = seekerScan(root, options);
        EXPECT_TRUE(list.has_value());
        return list.value_or(QStringList());
    }
    QTemporaryDir tmp;
    QString root;
};

TEST_F(ExampleTree, ListsAudioFilesSortedWithoutLetterCaseSkippingTopLevelHiddenEntries) {
    const QStringList list = scan();
    EXPECT_EQ(list, QStringList({root + "/Kick.WAV", root + "/snare.aif", root + "/Sub/.x.wav",
                                 root + "/Sub/hat.aiff"}));
    EXPECT_EQ(seekerStatusLine(list.size(), false, QString()), "4 files found");
}

TEST_F(ExampleTree, LocationAndFilenameCells) {
    const QStringList list = scan();
    ASSERT_EQ(list.size(), 4);
    QStringList locations, names;
    for (const QString &path : list) {
        locations << seekerCellText("location", path, root, false);
        names << seekerCellText("filename", path, root, false);
    }
    EXPECT_EQ(locations, QStringList({"", "", "/Sub", "/Sub"}));
    EXPECT_EQ(names, QStringList({"Kick.WAV", "snare.aif", ".x.wav", "hat.aiff"}));
    // Without a scan root the location is empty; with saved results every other column shows
    // the whole folder; an unknown column is empty.
    EXPECT_EQ(seekerCellText("location", list[2], QString(), false), "");
    EXPECT_EQ(seekerCellText("location", list[2], root, true), root + "/Sub");
    EXPECT_EQ(seekerCellText("other", list[2], root, false), "");
}

TEST_F(ExampleTree, DeepScanFindsAudioWithoutExtensionButNeverMp3) {
    writeBytes(root + "/take1", tinyWave());
    writeBytes(root + "/Sub/song2.mp3", tinyWave());
    EXPECT_FALSE(scan(false).contains(root + "/take1"));
    const QStringList deep = scan(true);
    EXPECT_TRUE(deep.contains(root + "/take1"));
    EXPECT_FALSE(deep.contains(root + "/Sub/song2.mp3"));
    EXPECT_FALSE(deep.contains(root + "/notes.txt"));
    EXPECT_EQ(deep.size(), 5);
}

TEST_F(ExampleTree, LinksAreEntriesAndAreNeverDescendedInto) {
    // A dangling link with an audio name is listed; a link to a file is judged by its own
    // name; a link to a folder is a folder (skipped) and its files are not listed twice.
    ASSERT_EQ(::symlink((root + "/gone.wav").toUtf8().constData(), (root + "/link.wav").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink((root + "/Kick.WAV").toUtf8().constData(), (root + "/alias").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink((root + "/Sub").toUtf8().constData(), (root + "/SubLink.wav").toUtf8().constData()), 0);
    ASSERT_EQ(::symlink(root.toUtf8().constData(), (root + "/Sub/loop").toUtf8().constData()), 0);
    const QStringList list = scan();
    EXPECT_EQ(list, QStringList({root + "/Kick.WAV", root + "/link.wav", root + "/snare.aif", root + "/Sub/.x.wav",
                                 root + "/Sub/hat.aiff"}));
    // A root that is itself a link to a folder is scanned through it.
    const QString linkedRoot = tmp.path() + "/Samples";
    ASSERT_EQ(::symlink(root.toUtf8().constData(), linkedRoot.toUtf8().constData()), 0);
    const std::optional<QStringList> throughLink = seekerScan(linkedRoot, {});
    ASSERT_TRUE(throughLink.has_value());
    EXPECT_EQ(throughLink->size(), 5);
    EXPECT_EQ(throughLink->value(0), linkedRoot + "/Kick.WAV");
}

TEST(SeekerListing, EveryEntryOnceWithFoldersBeforeTheirEntries) {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    writeBytes(root + "/a/b/c.wav", "x");
    writeBytes(root + "/a/d.txt", "x");
    writeBytes(root + "/.h/e.wav", "x");
    const SeekerListing listing = SeekerListing::list(QFile::encodeName(root).toStdString());
    QStringList paths;
    for (size_t i = 0; i < listing.size(); ++i)
        paths << QString::fromStdString(std::string(listing.relativePath(i)));
    QStringList sorted = paths;
    sorted.sort();
    EXPECT_EQ(sorted, QStringList({".h", ".h/e.wav", "a", "a/b", "a/b/c.wav", "a/d.txt"}));
    EXPECT_LT(paths.indexOf("a"), paths.indexOf("a/b"));
    EXPECT_LT(paths.indexOf("a/b"), paths.indexOf("a/b/c.wav"));
}

TEST(SeekerScan, UnreadableRootGivesAnEmptyList) {
    QTemporaryDir tmp;
    writeBytes(tmp.path() + "/file.wav", "x");
    for (const QString &root : {tmp.path() + "/missing", tmp.path() + "/file.wav", QString()}) {
        const std::optional<QStringList> list = seekerScan(root, {});
        ASSERT_TRUE(list.has_value()) << root.toStdString();
        EXPECT_TRUE(list->isEmpty()) << root.toStdString();
    }
}

TEST(SeekerScan, FoundPathsKeepTheRootsForm) {
    QTemporaryDir tmp;
    writeBytes(tmp.path() + "/Loops/a.wav", "x");
    // Paths from the browser begin with two slashes; a trailing slash is not doubled.
    const QString twoSlashes = "/" + tmp.path() + "/Loops";
    EXPECT_EQ(seekerScan(twoSlashes, {}).value(), QStringList({twoSlashes + "/a.wav"}));
    EXPECT_EQ(seekerScan(tmp.path() + "/Loops/", {}).value(), QStringList({tmp.path() + "/Loops/a.wav"}));
    EXPECT_EQ(seekerCellText("location", "/a.wav", "/", false), "");
}

TEST(SeekerScan, PipesAreJudgedByNameOnlyEvenInDeepScan) {
    // Opening a pipe would wait for a writer for ever.
    QTemporaryDir tmp;
    ASSERT_EQ(::mkfifo((tmp.path() + "/pipe").toUtf8().constData(), 0600), 0);
    ASSERT_EQ(::mkfifo((tmp.path() + "/pipe.wav").toUtf8().constData(), 0600), 0);
    const std::atomic<bool> deep{true};
    SeekerScanOptions options;
    options.deepScan = &deep;
    EXPECT_EQ(seekerScan(tmp.path(), options).value(), QStringList({tmp.path() + "/pipe.wav"}));
}

TEST(SeekerScan, StopRequestIsTestedBeforeEveryEntry) {
    QTemporaryDir tmp;
    for (int i = 0; i < 10; ++i)
        writeBytes(tmp.path() + QString("/f%1.wav").arg(i), "x");
    std::atomic<bool> stop{false};
    int tested = 0;
    SeekerScanOptions options;
    options.stop = &stop;
    options.canPlayFile = [&](const std::string &, bool) {
        if (++tested == 3)
            stop = true;
        return true;
    };
    EXPECT_FALSE(seekerScan(tmp.path(), options).has_value());
    EXPECT_EQ(tested, 3);
}

// The scan sorts by case-insensitive comparison as Qt defines it, also for names beyond ASCII.
TEST(SeekerSort, OrdersLikeQtCaseInsensitiveComparison) {
    const QString alphabet = QString::fromUtf8("aAbB_-. /zZ\u00E9\u00C9\u00DF\u03A3\u03C3\u03C2\u212A\u0130kK")
                             + QString::fromUcs4(U"\U0001F3B5\U00010400\U00010428\uFB01");
    std::mt19937 rng(5);
    QStringList paths;
    for (int i = 0; i < 3000; ++i) {
        QString s = "/r/";
        const int n = 1 + int(rng() % 8);
        for (int k = 0; k < n; ++k) {
            const int at = int(rng() % uint32_t(alphabet.size()));
            if (alphabet.at(at).isLowSurrogate())
                continue;
            s += alphabet.at(at).isHighSurrogate() ? alphabet.mid(at, 2) : alphabet.mid(at, 1);
        }
        paths << s;
    }
    QStringList expected = paths;
    std::stable_sort(expected.begin(), expected.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    QStringList sorted = paths;
    seekerSortPaths(sorted);
    EXPECT_EQ(sorted, expected);

    // The same order comes out of a scan of files with such names.
    QTemporaryDir tmp;
    QStringList names = {QString::fromUtf8("\u00C9t\u00E9.wav"), "eta.wav", QString::fromUtf8("\u00E9t\u00E9 2.wav"),
                         "Zulu.wav", QString::fromUtf8("\u03A3igma.wav"), "_x.wav", "a b.wav", "A.wav"};
    QStringList files;
    for (const QString &name : names) {
        writeBytes(tmp.path() + "/" + name, "x");
        files << tmp.path() + "/" + name;
    }
    std::stable_sort(files.begin(), files.end(), [](const QString &a, const QString &b) {
        return QString::compare(a, b, Qt::CaseInsensitive) < 0;
    });
    EXPECT_EQ(seekerScan(tmp.path(), {}).value(), files);
}

TEST(SeekerStatusLine, BothFormats) {
    EXPECT_EQ(seekerStatusLine(0, false, QString()), "0 files found");
    EXPECT_EQ(seekerStatusLine(120, true, "05-17-04 21:03:09"),
              "120 files found in saved scan memory from 05-17-04 21:03:09");
}

struct CommandCase {
    QStringList args;
    int status;
    QStringList rows;   // relative to the tree's root
};

TEST(SeekerCommand, PrintsTheFilteredListOrUsage) {
    QTemporaryDir tmp;
    const QString root = tmp.path() + "/Lib";
    for (const char *name : {"Drums/Kick 01.aif", "Drums/snare.wav", "808KICK.wav", "take1", "notes.txt"})
        writeBytes(root + "/" + name, QByteArray(name) == "take1" ? tinyWave() : QByteArray("x"));
    const CommandCase cases[] = {
        {{"--scan", root}, 0, {"/808KICK.wav", "/Drums/Kick 01.aif", "/Drums/snare.wav"}},
        {{"Soundrake", "--scan", root, "--filter", "kick"}, 0, {"/808KICK.wav", "/Drums/Kick 01.aif"}},
        {{"--filter", "drums", "--scan", root}, 0, {}},
        {{"--scan", root, "--filter", "drums", "--in-paths"}, 0, {"/Drums/Kick 01.aif", "/Drums/snare.wav"}},
        {{"--scan", root, "--deep"}, 0, {"/808KICK.wav", "/Drums/Kick 01.aif", "/Drums/snare.wav", "/take1"}},
        {{"--scan"}, 2, {}},
        {{"--scan", root, "--bogus"}, 2, {}},
        {{"--deep"}, 2, {}},
        {{"--scan", root, "--filter"}, 2, {}},
        {{"--scan", root + "/nothing"}, 1, {}},
    };
    for (const CommandCase &c : cases) {
        QString outText, errText;
        QTextStream out(&outText), err(&errText);
        EXPECT_EQ(runSeekerScanCommand(c.args, out, err), c.status) << c.args.join(' ').toStdString();
        QStringList expected;
        for (const QString &row : c.rows)
            expected << root + row;
        EXPECT_EQ(outText.split('\n', Qt::SkipEmptyParts), expected) << c.args.join(' ').toStdString();
        if (c.status == 2) {
            EXPECT_TRUE(errText.startsWith("usage: ")) << errText.toStdString();
        }
    }
}

}  // namespace
