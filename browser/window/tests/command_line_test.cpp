#include "CommandLine.h"

#include "TestFiles.h"

#include <gtest/gtest.h>

#include <QTemporaryDir>

namespace {
struct Outcome {
    int status;
    QString out, err;
};

Outcome run(const QStringList &args) {
    Outcome r;
    QTextStream out(&r.out), err(&r.err);
    r.status = runSoundrakeCommand(args, out, err);
    out.flush();
    err.flush();
    return r;
}
}  // namespace

TEST(CommandLine, InfoPrintsOneTabSeparatedLinePerPath) {
    QTemporaryDir dir;
    const QString aif = dir.path() + "/Loop one.aif", bare = dir.path() + "/take1", txt = dir.path() + "/notes.txt";
    ASSERT_TRUE(writeTone(aif, SF_FORMAT_AIFF | SF_FORMAT_PCM_16, 44100, 2, 1.0));
    ASSERT_TRUE(writeTone(bare, SF_FORMAT_WAV | SF_FORMAT_PCM_24, 48000, 1, 0.5));
    ASSERT_TRUE(writeText(txt));
    const Outcome r = run({"--info", aif, bare, txt, dir.path() + "/song.mp3"});
    EXPECT_EQ(r.status, 0);
    const QStringList lines = r.out.split('\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[0], aif + "\tplayable\t44100.00\t2\t16\tAIFF\t176400");
    EXPECT_EQ(lines[1], bare + "\tplayable\t48000.00\t1\t24\tWAVE\t72000");
    EXPECT_EQ(lines[2], txt + "\tnot-playable\t0.00\t0\t0\t0\t0");
    EXPECT_EQ(lines[3], dir.path() + "/song.mp3\tnot-playable\t0.00\t0\t0\tMP3 \t0");
}

TEST(CommandLine, RewriteAndResetTheDeclaredRate) {
    QTemporaryDir dir;
    const QString wav = dir.path() + "/a b.wav";
    ASSERT_TRUE(writeTone(wav, SF_FORMAT_WAV | SF_FORMAT_PCM_16, 44100));
    EXPECT_EQ(run({"--rewrite-rate", "0.5", wav}).status, 0);
    EXPECT_TRUE(run({"--info", wav}).out.contains("\t22050.00\t"));
    EXPECT_EQ(run({"--reset-rate", wav}).status, 0);
    EXPECT_TRUE(run({"--info", wav}).out.contains("\t44100.00\t"));

    const QString txt = dir.path() + "/notes.txt";
    ASSERT_TRUE(writeText(txt));
    const Outcome refused = run({"--rewrite-rate", "2", txt});
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err, "Unable to write the file header.  Is the file locked?  Check permissions.\n");
    EXPECT_EQ(run({"--reset-rate", dir.path() + "/missing.wav"}).status, 1);
}

TEST(CommandLine, ScanPrintsTheSeekersFilteredList) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir().mkpath(dir.path() + "/Drums/Kicks"));
    ASSERT_TRUE(writeTone(dir.path() + "/Drums/Kicks/Big Kick.aif", SF_FORMAT_AIFF | SF_FORMAT_PCM_16));
    ASSERT_TRUE(writeTone(dir.path() + "/Drums/snare.wav", SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    ASSERT_TRUE(writeTone(dir.path() + "/Drums/kick2", SF_FORMAT_WAV | SF_FORMAT_PCM_16));
    const Outcome all = run({"--scan", dir.path()});
    EXPECT_EQ(all.status, 0);
    EXPECT_EQ(all.out, dir.path() + "/Drums/Kicks/Big Kick.aif\n" + dir.path() + "/Drums/snare.wav\n");
    const Outcome deep = run({"--scan", dir.path(), "--deep", "--filter", "KICK"});
    EXPECT_EQ(deep.out, dir.path() + "/Drums/kick2\n" + dir.path() + "/Drums/Kicks/Big Kick.aif\n");
}

TEST(CommandLine, BadArgumentsGetTheUsageAndStatusTwo) {
    const QStringList bad[] = {{}, {"--info"}, {"--rewrite-rate", "x", "/a.wav"}, {"--rewrite-rate", "-1", "/a.wav"},
                               {"--rewrite-rate", "/a.wav"}, {"--reset-rate"}, {"--frobnicate"}, {"--scan"}};
    for (const QStringList &args : bad) {
        const Outcome r = run(args);
        EXPECT_EQ(r.status, 2) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.contains("usage:")) << args.join(' ').toStdString();
    }
}
