#include "SeekerVocabulary.h"

#include "SeekerPlist.h"

#include <QDir>
#include <QFile>

const QString SeekerVocabulary::_vocabularyFilename = QStringLiteral("Soundrake vocabulary.xml");

SeekerVocabulary::SeekerVocabulary(QString resourceFolder) : resourceFolder_(std::move(resourceFolder)) {}

const QStringList *SeekerVocabulary::getSeekerVocabulary() {
    if (_vocabulary)
        return &*_vocabulary;
    QFile file(QDir(resourceFolder_).filePath(_vocabularyFilename));
    if (!file.open(QIODevice::ReadOnly))
        return nullptr;
    _vocabulary = seekerReadStringArray(file.readAll());
    return _vocabulary ? &*_vocabulary : nullptr;
}

int SeekerVocabulary::numberOfItemsInComboBox() {
    const QStringList *words = getSeekerVocabulary();
    return words ? int(words->size()) : 0;
}

QString SeekerVocabulary::comboBoxObjectValueForItemAtIndex(int index) {
    const QStringList *words = getSeekerVocabulary();
    if (!words || index < 0 || index >= words->size())
        return QString();
    return words->at(index);
}
