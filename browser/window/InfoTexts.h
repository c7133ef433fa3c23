#pragma once
// The texts of the file-information fields and of renaming with the tempo, formed without
// widgets so that they can be checked directly.
#include <QString>

#include <cstdint>

struct InfoTexts {
    QString sampleRate;  // "SR: 44100.00"; empty when the facts are incomplete
    QString channels;    // "Channels: 2 Bits: 16"
    QString time;        // "Time: 00:00:08.10"
    QString format;      // "Format: AIFF", always set
};

// The information texts for a file's facts. Rate, channels, bits and format must all be
// nonzero for the first three texts; the format line is always formed.
InfoTexts infoTextsFor(double sampleRate, uint32_t channels, uint32_t bits, uint32_t fileFormat, int64_t dataSize);

// The four characters of a container code ("AIFF", "MP3 ").
QString fourCharString(uint32_t code);

// The tempo as the tempo field shows it: two decimals when decimals are kept, otherwise
// the whole number with the fraction dropped.
QString bpmFieldText(double tempo, bool keepDecimals);

// The new path of a file renamed with its tempo text: "Funk-120 BPM.aif" after the name
// (postfix), "120 BPM-Funk.aif" before it.
QString pathRenamedWithBPM(const QString &path, const QString &bpmText, bool postfix);
