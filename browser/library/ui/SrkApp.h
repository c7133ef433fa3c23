#pragma once
// SrkApp: the program-level actions. Make Alias, Copy, Play and Stop reach the application
// rather than one view; each is forwarded to the controller with the application object as
// sender, and all four are enabled exactly while the controller has a sound loaded. Copy is
// the standard Copy command: a text field with the focus takes Ctrl+C first, so the command
// reaches the application (and copies the current sound into the favorites) only otherwise.
// Main thread only.
#include <QList>
#include <QObject>
#include <QString>

class QAction;

// What the application object asks of the controller.
class SrkAppController {
public:
    virtual ~SrkAppController() = default;
    virtual QString filename() const = 0;   // null when no sound is loaded
    virtual void referToFavorites(QObject *sender) = 0;
    virtual void copyToFavorites(QObject *sender) = 0;
    virtual void playButton(QObject *sender) = 0;
    virtual void stopButton(QObject *sender) = 0;
};

class SrkApp : public QObject {
    Q_OBJECT
public:
    explicit SrkApp(SrkAppController *controller, QObject *parent = nullptr);

    void alias(QObject *sender = nullptr);
    void copy(QObject *sender = nullptr);
    void play(QObject *sender = nullptr);
    void stopPlay(QObject *sender = nullptr);
    // True exactly when the controller's filename is not null, whatever the item.
    bool validateMenuItem(QAction *item) const;
    // Enables or disables the four actions by validateMenuItem.
    void updateActions();

    QAction *aliasAction = nullptr;
    QAction *copyAction = nullptr;
    QAction *playAction = nullptr;
    QAction *stopPlayAction = nullptr;
    QList<QAction *> actions() const { return {aliasAction, copyAction, playAction, stopPlayAction}; }

    SrkAppController *controller;   // not owned
};
