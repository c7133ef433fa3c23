#include "SeekerMemory.h"

#include "SeekerPlist.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

const QString SeekerMemory::kFileName = QStringLiteral("Saved Scan Long Term Memory");

SeekerMemory::SeekerMemory(QString folder) : folder_(std::move(folder)) {
    if (folder_.isNull())
        folder_ = QCoreApplication::applicationDirPath();
}

QString SeekerMemory::saveSeekerFilename() const {
    return QDir(folder_).filePath(kFileName);
}

bool SeekerMemory::exists() const {
    return QFileInfo::exists(saveSeekerFilename());
}

bool SeekerMemory::write(const QStringList &scanList) const {
    QSaveFile file(saveSeekerFilename());
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QByteArray xml = seekerXmlStringArray(scanList);
    if (file.write(xml) != xml.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

std::optional<QStringList> SeekerMemory::read() const {
    QFile file(saveSeekerFilename());
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return seekerReadStringArray(file.readAll());
}

QString SeekerMemory::modificationDate() const {
    const QFileInfo info(saveSeekerFilename());
    if (!info.exists())
        return QString();
    return info.lastModified().toLocalTime().toString(QStringLiteral("MM-dd-yy HH:mm:ss"));
}
