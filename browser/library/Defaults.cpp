#include "Defaults.h"

#include <QSettings>

namespace {
QSettings store() {
    return QSettings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("Soundrake"),
                     QStringLiteral("Soundrake"));
}
}  // namespace

bool Defaults::boolForKey(const QString &key) { return store().value(key, false).toBool(); }

QString Defaults::stringForKey(const QString &key) {
    const QVariant v = store().value(key);
    return v.isValid() ? v.toString() : QString();
}

QByteArray Defaults::bytesForKey(const QString &key) { return store().value(key).toByteArray(); }

void Defaults::setBool(bool value, const QString &key) { store().setValue(key, value); }

void Defaults::setString(const QString &value, const QString &key) { store().setValue(key, value); }

void Defaults::setBytes(const QByteArray &value, const QString &key) { store().setValue(key, value); }

void Defaults::remove(const QString &key) { store().remove(key); }

void Defaults::synchronize() { store().sync(); }

QString Defaults::fileName() { return store().fileName(); }
