#pragma once
// The Seeker's filter: one literal phrase, searched case-insensitively in each file's name or,
// with "Find In Paths", in its whole path. Plain logic; runs on the main thread.
#include <QString>
#include <QStringList>
#include <QStringView>

#include <array>
#include <vector>

// Finds one phrase in texts ignoring letter case. Equal to QStringView::contains with
// Qt::CaseInsensitive (simple case folding of each character), but built for scanning
// hundreds of thousands of paths per keystroke: the first and last characters of the phrase
// are looked for eight at a time and only those places are compared in full.
class SeekerPhraseMatcher {
public:
    explicit SeekerPhraseMatcher(const QString &phrase);
    bool matches(QStringView subject) const;

private:
    bool matchesScalar(QStringView subject) const;
    QString phrase_;
    std::vector<char16_t> folded_;      // the phrase, case-folded
    std::array<char16_t, 4> firstSet_{}; // every code unit that folds to the phrase's first unit
    std::array<char16_t, 4> lastSet_{};  // ... to its last unit
    int firstCount_ = 0, lastCount_ = 0;
    bool useQt_ = false;                 // phrases with surrogate pairs or many fold variants
};

// The filtered list (`seekerFilter:`): the paths of `scanList` (null: none) that pass the
// filter `text` taken exactly as typed, in scan-list order. An empty text passes every path.
// The subject is the path's last component, or the whole path when `findInPaths` is set.
QStringList seekerFilterPaths(const QStringList *scanList, const QString &text, bool findInPaths);
