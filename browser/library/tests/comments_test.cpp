#include "SrkUtils.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include <sys/xattr.h>

namespace {
QString makeFile(const QTemporaryDir &dir, const QString &name) {
    const QString path = dir.path() + "/" + name;
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write("RIFF");
    return path;
}

QByteArray rawAttribute(const QString &path) {
    char buffer[4096];
    const ssize_t n = ::getxattr(QFile::encodeName(path).constData(), "user.xdg.comment", buffer, sizeof buffer);
    return n < 0 ? QByteArray() : QByteArray(buffer, n);
}
}  // namespace

TEST(SrkUtils, StripSlashIfNeeded) {
    const struct {
        const char *in, *out;
    } cases[] = {{"//Users/x/a.aif", "/Users/x/a.aif"}, {"/Users/x/a.aif", "/Users/x/a.aif"}, {"/", "/"}, {"", ""},
                 {"///a", "//a"}};
    for (const auto &c : cases)
        EXPECT_EQ(SrkUtils::stripSlashIfNeeded(QString::fromUtf8(c.in)), QString::fromUtf8(c.out)) << c.in;
}

// Comments are UTF-8 in user.xdg.comment, where file managers read them; text that is not
// ASCII survives a write and a read unchanged, also through the two-slash browser paths.
TEST(SrkUtils, CommentRoundTripsWithNonAsciiText) {
    QTemporaryDir dir;
    const QString file = makeFile(dir, "Kick 909.aif");
    const QString texts[] = {QStringLiteral("Kick from the 909"), QStringLiteral("Größe – café, naïve, smørrebrød"),
                             QStringLiteral("ドラム 🥁"), QStringLiteral("line one\nline two")};
    for (const QString &text : texts) {
        ASSERT_EQ(SrkUtils::setComment("/" + file, text), 0);
        EXPECT_EQ(rawAttribute(file), text.toUtf8()) << "stored as plain UTF-8 without terminator";
        QString read = "stale";
        ASSERT_EQ(SrkUtils::getComment("/" + file, &read), 0);
        EXPECT_EQ(read, text);
    }
}

TEST(SrkUtils, NoCommentReadsEmptyAndEmptyCommentRemovesTheAttribute) {
    QTemporaryDir dir;
    const QString file = makeFile(dir, "a.wav");
    QString read = "stale";
    EXPECT_EQ(SrkUtils::getComment(file, &read), 0);
    EXPECT_EQ(read, "");
    ASSERT_EQ(SrkUtils::setComment(file, "x"), 0);
    ASSERT_EQ(SrkUtils::setComment(file, ""), 0);
    EXPECT_LT(::getxattr(QFile::encodeName(file).constData(), "user.xdg.comment", nullptr, 0), 0);
    EXPECT_EQ(SrkUtils::setComment(file, ""), 0) << "removing no comment is fine";

    // A value written by another tool with its NUL terminator reads without it.
    ::setxattr(QFile::encodeName(file).constData(), "user.xdg.comment", "abc\0", 4, 0);
    ASSERT_EQ(SrkUtils::getComment(file, &read), 0);
    EXPECT_EQ(read, "abc");
}

TEST(SrkUtils, CommentFailuresAreNonZeroAndNeverTouchTheOutput) {
    QTemporaryDir dir;
    const QString file = makeFile(dir, "a.wav");
    QString read = "untouched";
    EXPECT_NE(SrkUtils::getComment(dir.path() + "/missing.wav", &read), 0);
    EXPECT_NE(SrkUtils::setComment(dir.path() + "/missing.wav", "x"), 0);
    EXPECT_NE(SrkUtils::setComment(dir.path() + "/missing.wav", ""), 0);
    EXPECT_NE(SrkUtils::getComment("", &read), 0);
    EXPECT_NE(SrkUtils::setComment("", "x"), 0);
    // A file system that keeps no user attributes.
    EXPECT_NE(SrkUtils::setComment("/proc/version", "x"), 0);
    const int got = SrkUtils::getComment("/proc/version", &read);
    EXPECT_TRUE(got != 0 || read.isEmpty());
    read = "untouched";
    // Longer than any file system takes: refused, and the old comment stays.
    ASSERT_EQ(SrkUtils::setComment(file, "keep"), 0);
    EXPECT_NE(SrkUtils::setComment(file, QString(100 * 1024, QChar(u'é'))), 0);
    ASSERT_EQ(SrkUtils::getComment(file, &read), 0);
    EXPECT_EQ(read, "keep");
}

TEST(SrkUtils, CommentOfALinkIsTheCommentOfItsTarget) {
    QTemporaryDir dir;
    const QString file = makeFile(dir, "a.wav");
    ASSERT_TRUE(QFile::link(file, dir.path() + "/alias.wav"));
    ASSERT_EQ(SrkUtils::setComment(dir.path() + "/alias.wav", "through the link"), 0);
    EXPECT_EQ(rawAttribute(file), "through the link");
}
