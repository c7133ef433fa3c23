// Feeds any bytes to the Seeker's property-list reader. What it accepts must survive a round
// trip through the writer unchanged.
#include "SeekerPlist.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<QStringList> strings = seekerReadStringArray(bytes);
    if (!strings)
        return 0;
    // libplist stores strings as C strings: a string with a NUL cannot come back whole.
    for (const QString &s : *strings) {
        if (s.contains(QChar(0)))
            return 0;
    }
    const std::optional<QStringList> again = seekerReadStringArray(seekerXmlStringArray(*strings));
    if (!again || *again != *strings)
        abort();
    return 0;
}
