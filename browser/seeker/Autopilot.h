#pragma once
// The autopilot: what play-all mode does on each one-second tick. It walks the Browser's folder
// or the Seeker's rows, in order or at random without repeats, optionally pausing between
// files. A step machine without widgets: the controller's timer calls _timerAutoAction once per
// tick with the controller's current lists, and the autopilot tells the controller through
// AutopilotHost what to select and play, or to end the run. Main thread only.
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>

// The controller's state that a tick reads.
struct AutopilotInput {
    int currentTabShowing = 0;   // 0: the Browser tab, 1: the Seeker tab
    // The Browser's cached listing (names and 1 = folder / 0 = file); null when none.
    QString browserCachePath;
    const QStringList *browserCacheContents = nullptr;
    const QList<int> *browserCacheContentsAttrs = nullptr;
    // The Seeker's rows (full paths); null when none.
    const QStringList *seekerFilteredCacheContents = nullptr;
    bool soundLoaded = false;    // a sound is loaded (`_sound` is set)
    bool soundPlaying = false;   // ... and it is playing
};

// What the autopilot asks of the controller during a step, in the order it asks.
class AutopilotHost {
public:
    virtual ~AutopilotHost() = default;
    // End the run (`stopPlayAll`); the controller calls Autopilot::clearAutopilotHistory.
    virtual void stopPlayAll() = 0;
    // Select `row` in the browser's last visible column.
    virtual void selectBrowserRow(int row) = 0;
    // Select `row` of the Seeker table, replacing the selection, and scroll it into view.
    virtual void selectSeekerRow(int row) = 0;
    // Make `path` the current file (`setFilename:`).
    virtual void setFilename(const QString &path) = 0;
    // `clickIt:` with the Browser (tab 0) or the Seeker table (tab 1) as sender and
    // `fromAutopilot:` YES: loads the current file, pushes it onto the history
    // (pushFileOnAutopilotHistory) and plays it. True when a sound is loaded afterwards.
    virtual bool clickIt(int tab) = 0;
};

class Autopilot {
public:
    // Non-negative pseudo-random integers; every draw takes the next value.
    using RandomSource = std::function<uint32_t()>;

    // Without a source, a generator seeded at start-up is used.
    explicit Autopilot(RandomSource random = {});

    // One tick of a run. With "Auto Pause" on, only every eleventh tick goes on to a step.
    void _timerAutoAction(const AutopilotInput &input, AutopilotHost &host);
    // One step over the Browser's folder, or over the Seeker's rows. A step acts only when
    // its list exists, a sound is loaded, it is not playing and no step of its kind is in
    // progress (a step runs the controller's code, which may run a nested event loop). A file
    // that cannot be played is skipped within the same step, so the run never idles on it.
    void browserAutopilot(const AutopilotInput &input, AutopilotHost &host);
    void seekerAutopilot(const AutopilotInput &input, AutopilotHost &host);
    // Selects a random Seeker row and makes it the current file; plays nothing.
    void randomSelectionJump(const QStringList *seekerFilteredCacheContents, AutopilotHost &host);

    // The history of files the autopilot loaded in this run (duplicates kept).
    void pushFileOnAutopilotHistory(const QString &path);
    // Whether the history holds `path`, ignoring letter case.
    bool fileHasBeenPlayedByAutopilot(const QString &path) const;
    // Drops the history and the skipped files (the run ended).
    void clearAutopilotHistory();
    const QStringList &autopilotHistory() const { return _autopilotHistory; }

    // The run's position: the next row to play in order, or the row drawn last. Set by the
    // controller to the selected row (-1 when none) when a run starts.
    int32_t playAllCounter = 0;
    bool _autoRandom = false;   // "Auto Random"
    bool _autoPause = false;    // "Auto Pause"
    // Ticks counted by "Auto Pause"; kept across runs and option changes.
    int32_t pauseCount = 0;

private:
    // Picks an index in [0, count) that `eligible` accepts, drawing at random; falls back to
    // a walk from a random start when the source keeps hitting rejected indexes.
    int draw(int count, const std::function<bool(int)> &eligible);
    bool wasTried(const QString &path) const;
    QString browserPath(const AutopilotInput &input, int row) const;

    RandomSource random_;
    QStringList _autopilotHistory;
    QSet<QString> played_;    // case-folded history, for the no-repeat test
    QSet<QString> skipped_;   // case-folded files of this run that could not be played
    bool browserTimerLock_ = false;
    bool seekerTimerLock_ = false;
};
