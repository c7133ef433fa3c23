#include "SeekerFilter.h"

#include <gtest/gtest.h>

#include <random>

namespace {

struct FilterCase {
    const char *text;
    bool findInPaths;
    QStringList passing;   // of the list below
};

TEST(SeekerFilter, ExamplesFromNamesAndPaths) {
    const QStringList scanList = {
        "/Samples/Drums/Kick 01.aif", "/Samples/808KICK.wav",      "/Samples/Kik.aif",
        "/Samples/Kick Snare Combo.aif", "/Samples/Snare Kick.aif", "/Samples/Drums/k1.aif",
        "/Samples/kick/hat.wav",
    };
    const FilterCase cases[] = {
        {"kick", false, {"/Samples/Drums/Kick 01.aif", "/Samples/808KICK.wav", "/Samples/Kick Snare Combo.aif",
                         "/Samples/Snare Kick.aif"}},
        // One literal phrase: the inner space is part of it.
        {"kick snare", false, {"/Samples/Kick Snare Combo.aif"}},
        // A trailing space is kept.
        {"kick ", false, {"/Samples/Drums/Kick 01.aif", "/Samples/Kick Snare Combo.aif"}},
        {"Drums", false, {}},
        {"Drums", true, {"/Samples/Drums/Kick 01.aif", "/Samples/Drums/k1.aif"}},
        {"kick", true, {"/Samples/Drums/Kick 01.aif", "/Samples/808KICK.wav", "/Samples/Kick Snare Combo.aif",
                        "/Samples/Snare Kick.aif", "/Samples/kick/hat.wav"}},
        {"/", true, scanList},
        {"/", false, {}},
        {"", false, scanList},
        {"", true, scanList},
        {"SAMPLES", true, scanList},
        {"k", false, {"/Samples/Drums/Kick 01.aif", "/Samples/808KICK.wav", "/Samples/Kik.aif",
                      "/Samples/Kick Snare Combo.aif", "/Samples/Snare Kick.aif", "/Samples/Drums/k1.aif"}},
        {".AIF", false, {"/Samples/Drums/Kick 01.aif", "/Samples/Kik.aif", "/Samples/Kick Snare Combo.aif",
                         "/Samples/Snare Kick.aif", "/Samples/Drums/k1.aif"}},
        {"kick 01.aiff", false, {}},
    };
    for (const FilterCase &c : cases) {
        EXPECT_EQ(seekerFilterPaths(&scanList, c.text, c.findInPaths), c.passing)
            << '"' << c.text << "\" in paths " << c.findInPaths;
    }
}

TEST(SeekerFilter, NoScanListGivesNoRows) {
    EXPECT_TRUE(seekerFilterPaths(nullptr, "", false).isEmpty());
    EXPECT_TRUE(seekerFilterPaths(nullptr, "kick", true).isEmpty());
}

// The fast matcher must agree with Qt's own case-insensitive search, including characters
// whose case folding lands on ASCII (Kelvin sign, long s), Greek final sigma, dotted capital I,
// surrogate pairs, and phrases longer and shorter than the eight-unit blocks it scans.
TEST(SeekerPhraseMatcher, AgreesWithQtCaseInsensitiveSearch) {
    const QString alphabet = QString::fromUtf8("aAkKsSiI \u212A\u017F\u0130\u0131\u03C3\u03C2\u03A3\u00DF\u00E9\u00C9/._-")
                             + QString::fromUcs4(U"\U0001F3B5\U00010400\U00010428");
    std::mt19937 rng(12345);
    auto randomText = [&](int maxLength) {
        QString s;
        const int n = int(rng() % uint32_t(maxLength + 1));
        for (int i = 0; i < n; ++i) {
            const QChar c = alphabet.at(int(rng() % uint32_t(alphabet.size())));
            if (c.isHighSurrogate()) {
                const int at = alphabet.indexOf(c);
                s += alphabet.mid(at, 2);
            } else if (!c.isLowSurrogate()) {
                s += c;
            }
        }
        return s;
    };
    int matches = 0;
    for (int round = 0; round < 20000; ++round) {
        const QString phrase = randomText(round % 50 == 0 ? 12 : 3);
        const QString subject = randomText(40);
        const bool expected = QStringView(subject).contains(phrase, Qt::CaseInsensitive);
        matches += expected;
        ASSERT_EQ(SeekerPhraseMatcher(phrase).matches(subject), expected)
            << "phrase \"" << phrase.toStdString() << "\" subject \"" << subject.toStdString() << '"';
    }
    EXPECT_GT(matches, 1000);   // the sample exercises both answers
}

}  // namespace
