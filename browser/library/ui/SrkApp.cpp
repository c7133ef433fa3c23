#include "SrkApp.h"

#include <QAction>
#include <QKeySequence>

SrkApp::SrkApp(SrkAppController *c, QObject *parent) : QObject(parent), controller(c) {
    auto make = [this](const QString &title, const QString &selector, const QList<QKeySequence> &keys,
                       void (SrkApp::*run)(QObject *)) {
        auto *a = new QAction(title, this);
        a->setProperty("srkAction", selector);
        a->setShortcuts(keys);
        connect(a, &QAction::triggered, this, [this, run] { (this->*run)(this); });
        return a;
    };
    aliasAction = make(tr("Make Alias in Favorites"), QStringLiteral("alias:"), {QKeySequence(tr("Ctrl+L"))},
                       &SrkApp::alias);
    copyAction = make(tr("Copy"), QStringLiteral("copy:"), {QKeySequence::Copy}, &SrkApp::copy);
    playAction = make(tr("Play"), QStringLiteral("play:"), {QKeySequence(Qt::Key_MediaPlay)}, &SrkApp::play);
    stopPlayAction = make(tr("Stop"), QStringLiteral("stopPlay:"), {QKeySequence(Qt::Key_MediaStop)},
                          &SrkApp::stopPlay);
}

void SrkApp::alias(QObject *) { controller->referToFavorites(this); }
void SrkApp::copy(QObject *) { controller->copyToFavorites(this); }
void SrkApp::play(QObject *) { controller->playButton(this); }
void SrkApp::stopPlay(QObject *) { controller->stopButton(this); }

bool SrkApp::validateMenuItem(QAction *) const { return !controller->filename().isNull(); }

void SrkApp::updateActions() {
    for (QAction *a : actions())
        a->setEnabled(validateMenuItem(a));
}
