#include "VersionList.h"

#include <gtest/gtest.h>

namespace {
QByteArray plist(const QByteArray &body) {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" \"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
           "<plist version=\"1.0\">" +
           body + "</plist>\n";
}
}  // namespace

TEST(VersionList, ComparesTheEntryForTheProgramAsAPlainString) {
    using VersionList::Outcome;
    const struct {
        QByteArray data;
        Outcome outcome;
        const char *listed;
    } cases[] = {
        {plist("<dict><key>Soundrake</key><string>2.3</string></dict>"), Outcome::UpToDate, "2.3"},
        {plist("<dict><key>Mavlet</key><string>1.0</string><key>Soundrake</key><string>2.2</string></dict>"),
         Outcome::Newer, "2.2"},
        {plist("<dict><key>Soundrake</key><string>2.30</string></dict>"), Outcome::Newer, "2.30"},
        {plist("<dict><key>Mavlet</key><string>2.3</string></dict>"), Outcome::NoEntry, ""},
        {plist("<dict><key>Soundrake</key><integer>3</integer></dict>"), Outcome::NoEntry, ""},
        {plist("<array><string>Soundrake</string></array>"), Outcome::Unreadable, ""},
        {"<html><body>404 Not Found</body></html>", Outcome::Unreadable, ""},
        {plist("<dict><key>Soundrake</key><string>2.3"), Outcome::Unreadable, ""},  // cut short
        {"", Outcome::Unreadable, ""},
        {QByteArray(VersionList::kMaxListSize + 1, ' '), Outcome::Unreadable, ""},
    };
    for (const auto &c : cases) {
        const VersionList::Result r = VersionList::compare(c.data, "Soundrake", "2.3");
        EXPECT_EQ(int(r.outcome), int(c.outcome)) << c.data.left(120).constData();
        EXPECT_EQ(r.listed, QString::fromUtf8(c.listed));
    }
}

// A string with a NUL inside once made the property-list library abort the program.
TEST(VersionList, StringWithANulIsReadByItsLength) {
    QByteArray data = plist("<dict><key>Soundrake</key><string>2.3#x</string></dict>");
    data[data.indexOf('#')] = '\0';
    const VersionList::Result r = VersionList::compare(data, "Soundrake", "2.3");
    EXPECT_NE(int(r.outcome), int(VersionList::Outcome::UpToDate));
    if (r.outcome == VersionList::Outcome::Newer) {
        EXPECT_TRUE(r.listed.startsWith("2.3") && r.listed.size() == 5) << "the entry is read to its stored length";
    }
}

TEST(VersionList, RunningVersionIsTheProjectVersion) {
    EXPECT_FALSE(VersionList::applicationVersion().isEmpty());
    EXPECT_NE(VersionList::applicationVersion(), "0.0.0") << "the build passes the project's version";
}
