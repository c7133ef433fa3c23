#include "SeekerFilter.h"

#include <memory>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// Simple case folding of every UTF-16 code unit, as Qt's case-insensitive search applies it to
// characters of the Basic Multilingual Plane. Surrogates fold to themselves.
const char16_t *foldTable() {
    static const std::unique_ptr<char16_t[]> table = [] {
        auto t = std::make_unique<char16_t[]>(0x10000);
        for (uint32_t u = 0; u < 0x10000; ++u)
            t[u] = QChar::isSurrogate(char16_t(u)) ? char16_t(u) : char16_t(QChar::toCaseFolded(char16_t(u)));
        return t;
    }();
    return table.get();
}

// Collects every code unit whose folding equals `folded`; false when there are more than `out`
// can hold.
bool foldVariants(char16_t folded, std::array<char16_t, 4> &out, int &count) {
    const char16_t *fold = foldTable();
    count = 0;
    for (uint32_t u = 0; u < 0x10000; ++u) {
        if (fold[u] != folded)
            continue;
        if (count == int(out.size()))
            return false;
        out[size_t(count++)] = char16_t(u);
    }
    return true;
}

}  // namespace

SeekerPhraseMatcher::SeekerPhraseMatcher(const QString &phrase) : phrase_(phrase) {
    const char16_t *fold = foldTable();
    for (QChar c : phrase) {
        if (c.isSurrogate())
            useQt_ = true;
        folded_.push_back(fold[c.unicode()]);
    }
    if (!folded_.empty() && !useQt_) {
        useQt_ = !foldVariants(folded_.front(), firstSet_, firstCount_) ||
                 !foldVariants(folded_.back(), lastSet_, lastCount_);
    }
}

bool SeekerPhraseMatcher::matchesScalar(QStringView subject) const {
    const char16_t *fold = foldTable();
    const size_t n = folded_.size();
    const size_t m = size_t(subject.size());
    const char16_t *s = subject.utf16();
    for (size_t i = 0; i + n <= m; ++i) {
        size_t j = 0;
        while (j < n && fold[s[i + j]] == folded_[j])
            ++j;
        if (j == n)
            return true;
    }
    return false;
}

bool SeekerPhraseMatcher::matches(QStringView subject) const {
    const size_t n = folded_.size();
    if (n == 0)
        return true;
    if (useQt_)
        return subject.contains(phrase_, Qt::CaseInsensitive);
    const size_t m = size_t(subject.size());
    if (m < n)
        return false;
#if defined(__SSE2__)
    const char16_t *fold = foldTable();
    const char16_t *s = subject.utf16();
    __m128i first[4], last[4];
    for (int k = 0; k < 4; ++k) {
        // Unused slots repeat the first variant, which changes nothing in the OR below.
        first[k] = _mm_set1_epi16(short(firstSet_[size_t(k < firstCount_ ? k : 0)]));
        last[k] = _mm_set1_epi16(short(lastSet_[size_t(k < lastCount_ ? k : 0)]));
    }
    size_t i = 0;
    // Positions i .. i+7 are candidates when s[i+k] may fold to the first unit and s[i+k+n-1]
    // to the last one; only candidates are compared in full.
    for (; i + n - 1 + 8 <= m; i += 8) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i *>(s + i + n - 1));
        __m128i ea = _mm_cmpeq_epi16(a, first[0]);
        __m128i eb = _mm_cmpeq_epi16(b, last[0]);
        for (int k = 1; k < 4; ++k) {
            ea = _mm_or_si128(ea, _mm_cmpeq_epi16(a, first[k]));
            eb = _mm_or_si128(eb, _mm_cmpeq_epi16(b, last[k]));
        }
        unsigned mask = unsigned(_mm_movemask_epi8(_mm_and_si128(ea, eb)));
        while (mask) {
            const size_t lane = size_t(__builtin_ctz(mask)) / 2;
            mask &= ~(3u << (lane * 2));
            size_t j = 1;
            while (j + 1 < n && fold[s[i + lane + j]] == folded_[j])
                ++j;
            if (j + 1 >= n)
                return true;
        }
    }
    for (; i + n <= m; ++i) {
        size_t j = 0;
        while (j < n && fold[s[i + j]] == folded_[j])
            ++j;
        if (j == n)
            return true;
    }
    return false;
#else
    return matchesScalar(subject);
#endif
}

QStringList seekerFilterPaths(const QStringList *scanList, const QString &text, bool findInPaths) {
    if (!scanList)
        return {};
    if (text.isEmpty())
        return *scanList;
    const SeekerPhraseMatcher matcher(text);
    QStringList passed;
    for (const QString &path : *scanList) {
        QStringView subject(path);
        if (!findInPaths) {
            // The last path component; a trailing "/" is not part of it.
            while (subject.size() > 1 && subject.endsWith(QLatin1Char('/')))
                subject.chop(1);
            const qsizetype slash = subject.lastIndexOf(QLatin1Char('/'));
            if (slash >= 0 && subject.size() > 1)
                subject = subject.mid(slash + 1);
        }
        if (matcher.matches(subject))
            passed.append(path);
    }
    return passed;
}
