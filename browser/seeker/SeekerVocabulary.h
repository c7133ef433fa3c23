#pragma once
// The filter box's pull-down words, read from "Soundrake vocabulary.xml" in the program's
// resource folder (a property list, XML or binary, whose root is an array of strings).
// Main thread.
#include <QString>
#include <QStringList>

#include <optional>

class SeekerVocabulary {
public:
    static const QString _vocabularyFilename;   // "Soundrake vocabulary.xml"

    explicit SeekerVocabulary(QString resourceFolder);

    // The words in file order, loaded on first use. Null when the file is missing, unreadable
    // or not an array of strings; the next call tries again.
    const QStringList *getSeekerVocabulary();

    // The combo box's data source: the number of words (0 without a vocabulary) and word i.
    int numberOfItemsInComboBox();
    QString comboBoxObjectValueForItemAtIndex(int index);

private:
    QString resourceFolder_;
    std::optional<QStringList> _vocabulary;
};
