#include "VersionList.h"

#include <plist/plist.h>

#include <memory>

#ifndef SRK_VERSION
#define SRK_VERSION "0.0.0"
#endif

namespace VersionList {

QString applicationVersion() { return QStringLiteral(SRK_VERSION); }

Result compare(const QByteArray &data, const QString &appName, const QString &runningVersion) {
    Result result;
    if (data.isEmpty() || data.size() > kMaxListSize)
        return result;
    plist_t root = nullptr;
    // The reader is told the size: the data need no terminator and are never read past.
    plist_from_memory(data.constData(), uint32_t(data.size()), &root);
    std::unique_ptr<void, void (*)(plist_t)> owner(root, plist_free);
    if (!root || plist_get_node_type(root) != PLIST_DICT)
        return result;
    const QByteArray key = appName.toUtf8();
    plist_t entry = plist_dict_get_item(root, key.constData());
    if (!entry || plist_get_node_type(entry) != PLIST_STRING) {
        result.outcome = Outcome::NoEntry;
        return result;
    }
    // The string is read by its stored length: a string holding a NUL (possible in a hostile
    // list) would trip the library's own check of the copying accessor.
    uint64_t length = 0;
    const char *text = plist_get_string_ptr(entry, &length);
    if (!text || length > uint64_t(kMaxListSize)) {
        result.outcome = Outcome::NoEntry;
        return result;
    }
    result.listed = QString::fromUtf8(text, qsizetype(length));
    result.outcome = result.listed == runningVersion ? Outcome::UpToDate : Outcome::Newer;
    return result;
}

}  // namespace VersionList
