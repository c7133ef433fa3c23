// Fuzzes the container header reader and the rate patcher on bytes in memory.
//
// For any input: parsing never reads outside the buffer; a planned patch stays inside the
// file, never touches the sound data, and re-parsing the patched bytes gives a consistent
// header that declares the new rate. Violations abort, which libFuzzer reports.

#include "HeaderPatcher.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

using namespace srk::header;

namespace {

void check(bool ok) {
    if (!ok) std::abort();
}

bool isAiff(const Layout &l) { return l.container == Container::AIFF || l.container == Container::AIFC; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    // The 80-bit float codec: any finite positive value it decodes encodes back to itself.
    if (size >= 10) {
        const double v = decodeExtended80(data);
        if (std::isfinite(v) && v != 0.0) {
            uint8_t again[10];
            encodeExtended80(v, again);
            check(decodeExtended80(again) == v);
        }
    }

    const std::optional<Layout> layout = parseBuffer(data, size);
    if (!layout) return 0;
    const Layout &L = *layout;
    check(L.dataSize <= L.declaredDataSize);
    check(!L.hasData || L.dataSize <= size);
    if (!L.consistent) return 0;
    check(L.rateOffset + (isAiff(L) ? 10 : 8) <= size);

    const struct {
        double factor;
        bool reset;
    } changes[] = {{0.5, false}, {2.0, false}, {1.0, true}, {1.0, false}, {0.8333, false}};
    for (const auto &c : changes) {
        const double newRate = newRateFor(L.sampleRate, c.factor, c.reset);
        const std::optional<std::vector<Patch>> patches = planRateChange(L, newRate);
        if (!patches) continue;
        if (c.factor == 1.0 && !c.reset) check(patches->empty());
        std::vector<uint8_t> copy(data, data + size);
        for (const Patch &p : *patches) {
            check(p.offset <= size && p.bytes.size() <= size - p.offset);
            // Never inside the sound data.
            if (L.hasData && L.dataSize > 0)
                check(p.offset + p.bytes.size() <= L.dataOffset || p.offset >= L.dataOffset + L.dataSize);
            std::memcpy(copy.data() + p.offset, p.bytes.data(), p.bytes.size());
        }
        const std::optional<Layout> after = parseBuffer(copy.data(), copy.size());
        check(after.has_value() && after->consistent);
        check(after->container == L.container && after->channels == L.channels);
        check(after->dataOffset == L.dataOffset && after->dataSize == L.dataSize);
        if (isAiff(L)) check(after->sampleRate == newRate || (patches->empty() && after->sampleRate == L.sampleRate));
        else check(after->sampleRate == std::round(newRate));
    }
    return 0;
}
