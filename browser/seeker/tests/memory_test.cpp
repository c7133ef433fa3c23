#include "SeekerMemory.h"
#include "SeekerPlist.h"
#include "SeekerTestSupport.h"
#include "SeekerVocabulary.h"

#include <QDateTime>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <plist/plist.h>

#include <sys/stat.h>
#include <utime.h>

namespace {

QByteArray binaryStringArray(const QStringList &strings) {
    plist_t root = plist_new_array();
    for (const QString &s : strings)
        plist_array_append_item(root, plist_new_string(s.toUtf8().constData()));
    char *bin = nullptr;
    uint32_t length = 0;
    plist_to_bin(root, &bin, &length);
    QByteArray out(bin, int(length));
    free(bin);
    plist_free(root);
    return out;
}

TEST(SeekerMemory, RoundTripKeepsEveryPathInOrder) {
    QTemporaryDir tmp;
    SeekerMemory memory(tmp.path());
    EXPECT_EQ(memory.saveSeekerFilename(), tmp.path() + "/Saved Scan Long Term Memory");
    EXPECT_FALSE(memory.exists());
    EXPECT_FALSE(memory.read().has_value());
    const QStringList list = {"//Volumes/Disk/Loops/a.aif", "/r/B & <c>.wav", QString::fromUtf8("/r/\u00C9t\u00E9 \U0001F3B5.wav"),
                              "/r/b.aif"};
    ASSERT_TRUE(memory.write(list));
    EXPECT_TRUE(memory.exists());
    EXPECT_EQ(memory.read().value(), list);
    // An XML property list, so other tools can read it.
    QFile file(memory.saveSeekerFilename());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    EXPECT_TRUE(text.startsWith("<?xml")) << text.left(40).toStdString();
    EXPECT_TRUE(text.contains("<string>//Volumes/Disk/Loops/a.aif</string>"));
    // Saving again replaces the whole list and leaves no temporary file behind.
    ASSERT_TRUE(memory.write({"/only.wav"}));
    EXPECT_EQ(memory.read().value(), QStringList({"/only.wav"}));
    EXPECT_EQ(QDir(tmp.path()).entryList(QDir::Files | QDir::Hidden), QStringList({"Saved Scan Long Term Memory"}));
}

TEST(SeekerMemory, EmptyOrUnreadableFiles) {
    QTemporaryDir tmp;
    SeekerMemory memory(tmp.path());
    ASSERT_TRUE(memory.write({}));
    EXPECT_EQ(memory.read().value(), QStringList());
    for (const QByteArray &bytes : {QByteArray(), QByteArray("garbage"), QByteArray("<?xml version=\"1.0\"?><plist><dict/></plist>"),
                                    QByteArray("bplist00\xff\xff\xff", 11)}) {
        writeBytes(memory.saveSeekerFilename(), bytes);
        EXPECT_FALSE(memory.read().has_value()) << bytes.toStdString();
    }
}

TEST(SeekerMemory, UnwritableFolderFailsAndKeepsTheOldFile) {
    QTemporaryDir tmp;
    SeekerMemory missingFolder(tmp.path() + "/no/such/folder");
    EXPECT_FALSE(missingFolder.write({"/a.wav"}));
    // A folder in place of the file cannot be replaced.
    SeekerMemory blocked(tmp.path());
    QDir().mkpath(blocked.saveSeekerFilename());
    EXPECT_FALSE(blocked.write({"/a.wav"}));
}

TEST(SeekerMemory, ModificationDateFormat) {
    QTemporaryDir tmp;
    SeekerMemory memory(tmp.path());
    EXPECT_EQ(memory.modificationDate(), "");
    ASSERT_TRUE(memory.write({"/a.wav"}));
    const QDateTime when(QDate(2004, 5, 17), QTime(21, 3, 9), Qt::LocalTime);
    struct utimbuf times;
    times.actime = times.modtime = time_t(when.toSecsSinceEpoch());
    ASSERT_EQ(::utime(memory.saveSeekerFilename().toUtf8().constData(), &times), 0);
    EXPECT_EQ(memory.modificationDate(), "05-17-04 21:03:09");
}

TEST(SeekerPlist, ReadsBinaryListsAndSkipsNonStrings) {
    EXPECT_EQ(seekerReadStringArray(binaryStringArray({"kick", "snare", "808"})).value(),
              QStringList({"kick", "snare", "808"}));
    const QByteArray mixed = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><array>"
                             "<string>a</string><integer>3</integer><string>b</string></array></plist>";
    EXPECT_EQ(seekerReadStringArray(mixed).value(), QStringList({"a", "b"}));
}

TEST(SeekerVocabulary, LoadsOnceInFileOrderAndRetriesAfterAFailure) {
    QTemporaryDir tmp;
    SeekerVocabulary vocabulary(tmp.path());
    EXPECT_EQ(vocabulary.getSeekerVocabulary(), nullptr);
    EXPECT_EQ(vocabulary.numberOfItemsInComboBox(), 0);
    const QString file = tmp.path() + "/Soundrake vocabulary.xml";
    writeBytes(file, "not a property list");
    EXPECT_EQ(vocabulary.getSeekerVocabulary(), nullptr);
    writeBytes(file, seekerXmlStringArray({"Kick", "Snare", "Hi Hat"}));
    ASSERT_NE(vocabulary.getSeekerVocabulary(), nullptr);
    EXPECT_EQ(*vocabulary.getSeekerVocabulary(), QStringList({"Kick", "Snare", "Hi Hat"}));
    EXPECT_EQ(vocabulary.numberOfItemsInComboBox(), 3);
    EXPECT_EQ(vocabulary.comboBoxObjectValueForItemAtIndex(2), "Hi Hat");
    EXPECT_EQ(vocabulary.comboBoxObjectValueForItemAtIndex(3), "");
    // Loaded once: later changes to the file do not show.
    writeBytes(file, binaryStringArray({"Other"}));
    EXPECT_EQ(vocabulary.numberOfItemsInComboBox(), 3);
    SeekerVocabulary binary(tmp.path());
    EXPECT_EQ(*binary.getSeekerVocabulary(), QStringList({"Other"}));
}

TEST(SeekerVocabulary, ShippedWordListIsAUsefulArrayOfWords) {
    SeekerVocabulary vocabulary(QStringLiteral(SRK_SEEKER_RESOURCES));
    const QStringList *words = vocabulary.getSeekerVocabulary();
    ASSERT_NE(words, nullptr);
    EXPECT_GE(words->size(), 200);
    for (const char *word : {"kick", "snare", "hi hat", "pad", "dubstep", "dark", "staccato"})
        EXPECT_TRUE(words->contains(word, Qt::CaseInsensitive)) << word;
    // No empty entries, no duplicates.
    QStringList folded;
    for (const QString &w : *words) {
        EXPECT_FALSE(w.trimmed().isEmpty());
        folded << w.toCaseFolded();
    }
    folded.removeDuplicates();
    EXPECT_EQ(folded.size(), words->size());
}

}  // namespace
