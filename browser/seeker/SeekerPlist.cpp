#include "SeekerPlist.h"

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace {
struct PlistFree {
    void operator()(void *node) const { plist_free(static_cast<plist_t>(node)); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;
}  // namespace

std::optional<QStringList> seekerReadStringArray(const QByteArray &data) {
    if (data.isEmpty() || quint64(data.size()) > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(data.constData(), uint32_t(data.size()), &root);
    PlistPtr owner(root);
    if (!root || plist_get_node_type(root) != PLIST_ARRAY)
        return std::nullopt;
    QStringList strings;
    const uint32_t count = plist_array_get_size(root);
    strings.reserve(qsizetype(count));
    for (uint32_t i = 0; i < count; ++i) {
        plist_t item = plist_array_get_item(root, i);
        if (!item || plist_get_node_type(item) != PLIST_STRING)
            continue;
        uint64_t length = 0;
        const char *text = plist_get_string_ptr(item, &length);
        if (!text)
            continue;
        strings.append(QString::fromUtf8(text, qsizetype(length)));
    }
    return strings;
}

QByteArray seekerXmlStringArray(const QStringList &strings) {
    PlistPtr root(plist_new_array());
    for (const QString &s : strings)
        plist_array_append_item(static_cast<plist_t>(root.get()), plist_new_string(s.toUtf8().constData()));
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(static_cast<plist_t>(root.get()), &xml, &length);
    QByteArray out(xml, qsizetype(length));
    plist_to_xml_free(xml);
    return out;
}
