// Feeds any bytes to the version list reader as the server's answer. Whatever it reads, the
// outcome must agree with the version it reports.
#include "VersionList.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const VersionList::Result r = VersionList::compare(bytes, QStringLiteral("Soundrake"), QStringLiteral("2.3"));
    switch (r.outcome) {
    case VersionList::Outcome::UpToDate:
        if (r.listed != QLatin1String("2.3"))
            abort();
        break;
    case VersionList::Outcome::Newer:
        if (r.listed == QLatin1String("2.3"))
            abort();
        break;
    case VersionList::Outcome::NoEntry:
    case VersionList::Outcome::Unreadable:
        if (!r.listed.isEmpty())
            abort();
        break;
    }
    return 0;
}
