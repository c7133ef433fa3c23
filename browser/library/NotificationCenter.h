#pragma once
// A process-wide broadcaster of named notifications ("FavoritesDirectoryChanged"),
// so that views can follow changes made elsewhere. Post and observe on the main thread.
#include <QObject>
#include <QString>

class NotificationCenter : public QObject {
    Q_OBJECT
public:
    static NotificationCenter &defaultCenter();
    void post(const QString &name, QObject *sender = nullptr) { emit posted(name, sender); }

signals:
    void posted(const QString &name, QObject *sender);
};
