#pragma once
// The per-user defaults store: an INI file under $XDG_CONFIG_HOME/Soundrake.
// Each call opens its own QSettings, so any thread may read or write.
#include <QByteArray>
#include <QString>

class Defaults {
public:
    static bool boolForKey(const QString &key);          // unset reads false
    static QString stringForKey(const QString &key);     // unset reads a null QString
    static QByteArray bytesForKey(const QString &key);   // window frames
    static void setBool(bool value, const QString &key);
    static void setString(const QString &value, const QString &key);
    static void setBytes(const QByteArray &value, const QString &key);
    static void remove(const QString &key);
    static void synchronize();
    static QString fileName();
};
