#include "InfoTexts.h"

#include "AudioKit.h"

#include <gtest/gtest.h>

TEST(InfoTexts, FormsTheFourFields) {
    // 8.1 s of 44,100 Hz stereo 16-bit audio.
    const InfoTexts t = infoTextsFor(44100.0, 2, 16, kAudioFileAIFFType, 1428840);
    EXPECT_EQ(t.sampleRate, "SR: 44100.00");
    EXPECT_EQ(t.channels, "Channels: 2 Bits: 16");
    EXPECT_EQ(t.time, "Time: 00:00:08.10");
    EXPECT_EQ(t.format, "Format: AIFF");

    const InfoTexts longOne = infoTextsFor(22050.0, 1, 8, kAudioFileWAVEType, int64_t(22050) * 3725);
    EXPECT_EQ(longOne.time, "Time: 01:02:05.00");
}

TEST(InfoTexts, IncompleteFactsShowOnlyTheFormat) {
    const InfoTexts mp3 = infoTextsFor(0, 0, 0, kAudioFileMP3Type, 0);
    EXPECT_TRUE(mp3.sampleRate.isEmpty());
    EXPECT_TRUE(mp3.time.isEmpty());
    EXPECT_EQ(mp3.format, "Format: MP3 ");
    EXPECT_EQ(infoTextsFor(0, 0, 0, 0, 0).format, QString("Format: ") + QString(4, QChar(0)));
}

TEST(InfoTexts, TempoFieldBothSenses) {
    struct Case {
        double tempo;
        bool keep;
        const char *text;
    } cases[] = {{120.0, false, "120"}, {120.0, true, "120.00"}, {119.0, false, "119"},
                 {118.518518, true, "118.52"}, {85.71, false, "85"}, {-3.7, false, "-3"}};
    for (const Case &c : cases)
        EXPECT_EQ(bpmFieldText(c.tempo, c.keep), c.text) << c.tempo;
}

TEST(InfoTexts, RenamedWithTempo) {
    struct Case {
        const char *path, *bpm;
        bool postfix;
        const char *result;
    } cases[] = {
        {"/Loops/Funk.aif", "120", false, "/Loops/120 BPM-Funk.aif"},
        {"/Loops/Funk.aif", "120", true, "/Loops/Funk-120 BPM.aif"},
        {"/Loops/Funk", "120", true, "/Loops/Funk-120 BPM."},
        {"/Loops/Funk.aif", "", false, "/Loops/ BPM-Funk.aif"},
        {"//Users/x/a.b.wav", "98.50", true, "//Users/x/a.b-98.50 BPM.wav"},
    };
    for (const Case &c : cases)
        EXPECT_EQ(pathRenamedWithBPM(c.path, c.bpm, c.postfix), c.result) << c.path;
}
