#include "SrkUtils.h"

QString SrkUtils::stripSlashIfNeeded(const QString &path) {
    if (path.size() >= 2 && path.at(1) == QLatin1Char('/'))
        return path.mid(1);
    return path;
}
