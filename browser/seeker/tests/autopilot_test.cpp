#include "Autopilot.h"

#include <gtest/gtest.h>

#include <random>

namespace {

// The controller as the autopilot sees it: a current file, a sound that plays for a few ticks,
// files that cannot be played or have vanished, and a log of what the autopilot asked for.
class FakeController : public AutopilotHost {
public:
    explicit FakeController(Autopilot &a) : autopilot(a) {}

    Autopilot &autopilot;
    // The run's lists.
    int tab = 0;
    QString folder;
    QStringList names;
    QList<int> attrs;
    QStringList rows;
    // The sound.
    QString current;
    bool loaded = false;
    int startedAt = 0, duration = 0, tickNumber = 0;
    bool inPlayAllMode = true;
    QStringList unplayable, vanished;
    QStringList log;
    std::function<void()> duringSetFilename;

    bool playing() const { return loaded && tickNumber - startedAt <= duration; }
    AutopilotInput input() const {
        AutopilotInput in;
        in.currentTabShowing = tab;
        in.browserCachePath = folder;
        in.browserCacheContents = tab == 0 ? &names : nullptr;
        in.browserCacheContentsAttrs = tab == 0 ? &attrs : nullptr;
        in.seekerFilteredCacheContents = tab == 1 ? &rows : nullptr;
        in.soundLoaded = loaded;
        in.soundPlaying = playing();
        return in;
    }
    // Runs ticks until the run ends or `limit` ticks have passed.
    void runTicks(int limit) {
        for (int i = 0; i < limit && inPlayAllMode; ++i) {
            ++tickNumber;
            autopilot._timerAutoAction(input(), *this);
        }
    }

    void stopPlayAll() override {
        log << "stop";
        inPlayAllMode = false;
        autopilot.clearAutopilotHistory();
    }
    void selectBrowserRow(int row) override { log << QString("select %1").arg(row); }
    void selectSeekerRow(int row) override { log << QString("select %1").arg(row); }
    void setFilename(const QString &path) override {
        if (duringSetFilename)
            duringSetFilename();
        if (vanished.contains(path))
            log << "missing " + path;
        else
            current = path;
    }
    bool clickIt(int) override {
        if (unplayable.contains(current)) {
            log << "cannot play " + current;
            loaded = false;
            return false;
        }
        autopilot.pushFileOnAutopilotHistory(current);
        log << QString("play %1 at %2").arg(current).arg(tickNumber);
        loaded = true;
        startedAt = tickNumber;
        return true;
    }
    QStringList plays() const {
        QStringList out;
        for (const QString &line : log)
            if (line.startsWith("play "))
                out << line.section(' ', 1, 1);
        return out;
    }
};

Autopilot::RandomSource seeded(uint32_t seed) {
    return [engine = std::mt19937(seed)]() mutable { return uint32_t(engine() >> 1); };
}

// The folder a.aif, Beats (a folder), c.wav with a run started on a.aif.
void browserFolder(FakeController &c) {
    c.tab = 0;
    c.folder = "//r";
    c.names = {"a.aif", "Beats", "c.wav"};
    c.attrs = {0, 1, 0};
    c.current = "//r/a.aif";
    c.loaded = true;
    c.startedAt = -100;
}

TEST(Autopilot, BrowserInOrderSkipsFoldersAndEnds) {
    Autopilot autopilot(seeded(1));
    FakeController c(autopilot);
    browserFolder(c);
    autopilot.playAllCounter = 0;
    c.runTicks(10);
    EXPECT_EQ(c.log, QStringList({"select 0", "play //r/a.aif at 1", "select 2", "play //r/c.wav at 2", "stop"}));
    EXPECT_TRUE(autopilot.autopilotHistory().isEmpty());   // dropped when the run ended
}

TEST(Autopilot, BrowserAtRandomPlaysEveryFileOnceAndNeverAFolder) {
    for (uint32_t seed = 1; seed <= 40; ++seed) {
        Autopilot autopilot(seeded(seed));
        autopilot._autoRandom = true;
        FakeController c(autopilot);
        browserFolder(c);
        c.runTicks(50);
        QStringList plays = c.plays();
        plays.sort();
        EXPECT_EQ(plays, QStringList({"//r/a.aif", "//r/c.wav"})) << "seed " << seed;
        EXPECT_FALSE(c.log.contains("select 1")) << "seed " << seed;
        EXPECT_EQ(c.log.last(), "stop");
    }
}

TEST(Autopilot, SeekerInOrderWithNoRowSelectedEndsAtTheFirstActingTick) {
    Autopilot autopilot;
    FakeController c(autopilot);
    c.tab = 1;
    c.rows = {"/r/a.wav", "/r/b.wav", "/r/c.wav"};
    c.current = "/r/x.wav";
    c.loaded = true;
    c.startedAt = -100;
    autopilot.playAllCounter = -1;
    c.runTicks(5);
    EXPECT_EQ(c.log, QStringList({"stop"}));
    EXPECT_EQ(c.tickNumber, 1);
}

TEST(Autopilot, SeekerAtRandomPlaysEachRowOnceEvenWithAPoorRandomSource) {
    const QStringList rows = {"/r/a.wav", "/r/b.wav", "/r/c.wav", "/r/d.wav", "/r/e.wav"};
    std::vector<Autopilot::RandomSource> sources = {seeded(7), seeded(99), [] { return 0u; }, [] { return 3u; }};
    for (auto &source : sources) {
        Autopilot autopilot(source);
        autopilot._autoRandom = true;
        FakeController c(autopilot);
        c.tab = 1;
        c.rows = rows;
        c.current = "/r/start.wav";
        c.loaded = true;
        c.startedAt = -100;
        c.duration = 2;
        c.runTicks(100);
        QStringList plays = c.plays();
        plays.sort();
        EXPECT_EQ(plays, rows);
        EXPECT_EQ(c.log.last(), "stop");
        EXPECT_FALSE(c.inPlayAllMode);
    }
}

TEST(Autopilot, RandomRunOverAnEmptyListEndsWithoutDrawing) {
    int draws = 0;
    Autopilot autopilot([&] { return uint32_t(draws++); });
    autopilot._autoRandom = true;
    FakeController c(autopilot);
    c.tab = 1;
    c.loaded = true;
    c.startedAt = -100;
    c.runTicks(3);
    EXPECT_EQ(c.log, QStringList({"stop"}));
    EXPECT_EQ(draws, 0);
}

TEST(Autopilot, AutoPauseActsOnEveryEleventhTick) {
    Autopilot autopilot;
    autopilot._autoPause = true;
    FakeController c(autopilot);
    c.tab = 1;
    c.rows = {"/r/a.wav", "/r/b.wav", "/r/c.wav"};
    c.current = "/r/a.wav";
    c.loaded = true;
    c.startedAt = -100;
    c.duration = 5;   // ends long before the next acting tick
    autopilot.playAllCounter = 0;
    c.runTicks(100);
    EXPECT_EQ(c.log, QStringList({"select 0", "play /r/a.wav at 11", "select 1", "play /r/b.wav at 22", "select 2",
                                  "play /r/c.wav at 33", "stop"}));
    EXPECT_EQ(c.tickNumber, 44);
    // The count is kept across runs: a new run's first step comes 11 ticks after the last.
    EXPECT_EQ(autopilot.pauseCount, 0);
    c.inPlayAllMode = true;
    autopilot.playAllCounter = 0;
    c.runTicks(11);
    EXPECT_TRUE(c.log.last().startsWith("play /r/a.wav at 55"));
}

TEST(Autopilot, AFileThatCannotBePlayedIsSkippedWithinTheSameTick) {
    Autopilot autopilot;
    FakeController c(autopilot);
    c.tab = 1;
    c.rows = {"/r/a.wav", "/r/notes.txt", "/r/broken.wav", "/r/c.wav"};
    c.unplayable = {"/r/notes.txt", "/r/broken.wav"};
    c.current = "/r/a.wav";
    c.loaded = true;
    c.startedAt = -100;
    autopilot.playAllCounter = 1;
    c.runTicks(10);
    EXPECT_EQ(c.log, QStringList({"select 1", "cannot play /r/notes.txt", "select 2", "cannot play /r/broken.wav",
                                  "select 3", "play /r/c.wav at 1", "stop"}));

    // At random, the skipped files count as done so that the run still ends.
    Autopilot random(seeded(3));
    random._autoRandom = true;
    FakeController r(random);
    r.tab = 0;
    r.folder = "/r";
    r.names = {"a.wav", "b.txt", "c.wav", "d.txt"};
    r.attrs = {0, 0, 0, 0};
    r.unplayable = {"/r/b.txt", "/r/d.txt"};
    r.current = "/r/a.wav";
    r.loaded = true;
    r.startedAt = -100;
    r.runTicks(20);
    QStringList plays = r.plays();
    plays.sort();
    EXPECT_EQ(plays, QStringList({"/r/a.wav", "/r/c.wav"}));
    EXPECT_EQ(r.log.last(), "stop");
}

TEST(Autopilot, VanishedFileReplaysThePreviousOneAsTheControllerDoes) {
    Autopilot autopilot;
    FakeController c(autopilot);
    c.tab = 1;
    c.rows = {"/r/a.wav", "/r/gone.wav"};
    c.vanished = {"/r/gone.wav"};
    c.current = "/r/a.wav";
    c.loaded = true;
    c.startedAt = -100;
    autopilot.playAllCounter = 1;
    c.runTicks(10);
    EXPECT_EQ(c.log, QStringList({"select 1", "missing /r/gone.wav", "play /r/a.wav at 1", "stop"}));
}

TEST(Autopilot, StepsDoNothingWhileASoundPlaysOrNoneIsLoadedOrAStepIsRunning) {
    Autopilot autopilot;
    FakeController c(autopilot);
    c.tab = 1;
    c.rows = {"/r/a.wav", "/r/b.wav"};
    autopilot.playAllCounter = 0;
    c.runTicks(3);   // nothing was played before the run: it idles
    EXPECT_TRUE(c.log.isEmpty());
    c.loaded = true;
    c.startedAt = c.tickNumber;
    c.duration = 3;
    c.runTicks(3);   // still playing
    EXPECT_TRUE(c.log.isEmpty());
    // A tick arriving from inside a step (a nested event loop) returns at once.
    int nested = 0;
    c.duringSetFilename = [&] {
        ++nested;
        autopilot._timerAutoAction(c.input(), c);
    };
    c.runTicks(1);
    EXPECT_EQ(nested, 1);
    EXPECT_EQ(c.log, QStringList({"select 0", "play /r/a.wav at 7"}));
}

TEST(Autopilot, RandomSelectionJumpSelectsWithoutPlaying) {
    Autopilot autopilot([] { return 7u; });
    FakeController c(autopilot);
    const QStringList rows = {"/r/a.wav", "/r/b.wav", "/r/c.wav"};
    autopilot.randomSelectionJump(&rows, c);
    EXPECT_EQ(c.log, QStringList({"select 1"}));
    EXPECT_EQ(c.current, "/r/b.wav");
    EXPECT_EQ(autopilot.playAllCounter, 1);
    const QStringList none;
    c.log.clear();
    autopilot.randomSelectionJump(&none, c);
    autopilot.randomSelectionJump(nullptr, c);
    EXPECT_TRUE(c.log.isEmpty());
}

TEST(Autopilot, HistoryIgnoresLetterCase) {
    Autopilot autopilot;
    autopilot.pushFileOnAutopilotHistory("/r/Kick.WAV");
    autopilot.pushFileOnAutopilotHistory("/r/Kick.WAV");
    EXPECT_TRUE(autopilot.fileHasBeenPlayedByAutopilot("/R/kick.wav"));
    EXPECT_FALSE(autopilot.fileHasBeenPlayedByAutopilot("/r/kick2.wav"));
    EXPECT_EQ(autopilot.autopilotHistory().size(), 2);
    autopilot.clearAutopilotHistory();
    EXPECT_FALSE(autopilot.fileHasBeenPlayedByAutopilot("/r/Kick.WAV"));
}

}  // namespace
