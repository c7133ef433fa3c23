#include "Autopilot.h"

#include "SeekerScan.h"

#include <random>

namespace {
// Sets a step's lock for the step's duration, whatever the way out.
class StepLock {
public:
    explicit StepLock(bool &lock) : lock_(lock) { lock_ = true; }
    ~StepLock() { lock_ = false; }

private:
    bool &lock_;
};
}  // namespace

Autopilot::Autopilot(RandomSource random) : random_(std::move(random)) {
    if (!random_) {
        random_ = [engine = std::mt19937(std::random_device{}())]() mutable { return uint32_t(engine() >> 1); };
    }
}

void Autopilot::_timerAutoAction(const AutopilotInput &input, AutopilotHost &host) {
    if (_autoPause) {
        if (++pauseCount <= 10)
            return;
        pauseCount = 0;
    }
    if (input.currentTabShowing == 0)
        browserAutopilot(input, host);
    else
        seekerAutopilot(input, host);
}

QString Autopilot::browserPath(const AutopilotInput &input, int row) const {
    // The same path the browser's cell gives: the cached folder joined with the name, so that
    // a file is recognised as played whether it came up in order or at random.
    return seekerJoinPath(input.browserCachePath, input.browserCacheContents->at(row));
}

void Autopilot::browserAutopilot(const AutopilotInput &input, AutopilotHost &host) {
    if (!input.browserCacheContentsAttrs || !input.browserCacheContents || !input.soundLoaded ||
        input.soundPlaying || browserTimerLock_)
        return;
    StepLock lock(browserTimerLock_);
    const QList<int> &attrs = *input.browserCacheContentsAttrs;
    const int count = int(std::min(attrs.size(), input.browserCacheContents->size()));
    for (;;) {
        int row;
        if (!_autoRandom) {
            // A counter of -1 compares as past the end.
            while (uint32_t(playAllCounter) < uint32_t(count) && attrs[playAllCounter] != 0)
                ++playAllCounter;
            if (uint32_t(playAllCounter) >= uint32_t(count)) {
                host.stopPlayAll();
                return;
            }
            row = playAllCounter++;
        } else {
            int files = 0;
            for (int i = 0; i < count; ++i)
                files += attrs[i] == 0;
            if (files == 0 || _autopilotHistory.size() + skipped_.size() >= files) {
                host.stopPlayAll();
                return;
            }
            row = draw(count, [&](int i) { return attrs[i] == 0 && !wasTried(browserPath(input, i)); });
            playAllCounter = row;
        }
        const QString path = browserPath(input, row);
        host.selectBrowserRow(row);
        host.setFilename(path);
        if (host.clickIt(0))
            return;
        skipped_.insert(path.toCaseFolded());
    }
}

void Autopilot::seekerAutopilot(const AutopilotInput &input, AutopilotHost &host) {
    if (!input.seekerFilteredCacheContents || !input.soundLoaded || input.soundPlaying || seekerTimerLock_)
        return;
    StepLock lock(seekerTimerLock_);
    const QStringList &rows = *input.seekerFilteredCacheContents;
    const int count = int(rows.size());
    for (;;) {
        int row;
        if (!_autoRandom) {
            if (uint32_t(playAllCounter) >= uint32_t(count)) {
                host.stopPlayAll();
                return;
            }
            row = playAllCounter;
        } else {
            if (count == 0 || _autopilotHistory.size() + skipped_.size() >= count) {
                host.stopPlayAll();
                return;
            }
            row = draw(count, [&](int i) { return !wasTried(rows[i]); });
            playAllCounter = row;
        }
        host.selectSeekerRow(row);
        host.setFilename(rows[row]);
        if (!_autoRandom)
            ++playAllCounter;
        if (host.clickIt(1))
            return;
        skipped_.insert(rows[row].toCaseFolded());
    }
}

void Autopilot::randomSelectionJump(const QStringList *rows, AutopilotHost &host) {
    if (!rows || rows->isEmpty())
        return;
    const int row = int(random_() % uint32_t(rows->size()));
    playAllCounter = row;
    host.selectSeekerRow(row);
    host.setFilename(rows->at(row));
}

int Autopilot::draw(int count, const std::function<bool(int)> &eligible) {
    // Near the end of a long run most draws hit played files; give up drawing after many
    // misses and walk from the last drawn place to the next eligible index instead.
    const int maxDraws = 64 + 8 * count;
    int i = 0;
    for (int n = 0; n < maxDraws; ++n) {
        i = int(random_() % uint32_t(count));
        if (eligible(i))
            return i;
    }
    for (int k = 0; k < count; ++k) {
        const int j = (i + k) % count;
        if (eligible(j))
            return j;
    }
    return i;   // not reached: callers ensure an eligible index exists
}

bool Autopilot::wasTried(const QString &path) const {
    const QString folded = path.toCaseFolded();
    return played_.contains(folded) || skipped_.contains(folded);
}

void Autopilot::pushFileOnAutopilotHistory(const QString &path) {
    _autopilotHistory.append(path);
    played_.insert(path.toCaseFolded());
}

bool Autopilot::fileHasBeenPlayedByAutopilot(const QString &path) const {
    return played_.contains(path.toCaseFolded());
}

void Autopilot::clearAutopilotHistory() {
    _autopilotHistory.clear();
    played_.clear();
    skipped_.clear();
}
