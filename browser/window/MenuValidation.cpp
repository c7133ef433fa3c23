#include "MenuValidation.h"

#include <QSet>

bool validateMenuAction(const QString &action, const MenuState &s) {
    static const QSet<QString> needSound = {
        QStringLiteral("rename:"),           QStringLiteral("revealInFinder:"),
        QStringLiteral("copyToFavorites:"),  QStringLiteral("renameWithBPM:"),
        QStringLiteral("referToFavorites:"), QStringLiteral("moveToTrash:"),
        QStringLiteral("writeNewSampleRate:")};
    if (action == QLatin1String("createSoundbank:"))
        return s.seekerShowing;
    if (action == QLatin1String("jump:"))
        return s.seekerShowing && s.soundLoaded;
    if (action == QLatin1String("rescanThread:"))
        return s.seekerShowing && !s.scanRunning;
    if (action == QLatin1String("makeStartupDirectory:") ||
        action == QLatin1String("makeFavortiesDirectory:"))
        return !s.seekerShowing;
    if (needSound.contains(action))
        return s.soundLoaded;
    return true;
}
