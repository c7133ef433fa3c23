// The Seeker side of the main window's controller.
#include "BrowserDelegate.h"

#include "FileWell.h"

#include <QAbstractItemModel>
#include <QFile>
#include <QTableView>

void BrowserDelegate::_timerAutoAction(QObject *) {
    // The play-all tick. Until the autopilot's steps are wired in, a run only idles.
}

void BrowserDelegate::renameInSeeker(const QString &oldPath, const QString &newPath) {
    for (QString &p : _seekerCacheContents)
        if (p == oldPath)
            p = newPath;
    for (QString &p : _seekerFilteredCacheContents)
        if (p == oldPath)
            p = newPath;
    if (_sound)
        _sound->replaceFilename(QFile::encodeName(newPath).toStdString());
    fileWell->setFile(newPath);
    if (_seeker && _seeker->model())
        emit _seeker->model()->layoutChanged();
}
