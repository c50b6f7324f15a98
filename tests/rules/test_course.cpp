#include "classcount.h"
#include "course.h"
#include "liststore.h"
#include "ranking.h"
#include "settings.h"
#include "testsupport.h"

#include <QTest>

#include <tuple>

namespace {

constexpr int kCoarse = 1;
constexpr int kFine = 2;

QString Word(int stage, int slot) {
    return QStringLiteral("%1-%2").arg(stage).arg(slot);
}

// Every drawn word shows "stage-slot" and is typed with the single key A.
bool FillWords() {
    for (int stage = 1; stage <= 5; ++stage) {
        gWordRomaji[stage].fill(QStringLiteral("A"));
        for (int slot = 1; slot <= 10; ++slot)
            gWordText[stage][slot] = Word(stage, slot);
    }
    return true;
}

// A course on a platform with a fixed identifier, settings reset to the given
// level and words per stage and 20 words in every level.
struct Course : GameCourse {
    Course(int platform, int level = 3, int wordCount = 6, WordLoader load = nullptr)
        : GameCourse([platform] { return platform; }, load ? load : [] { return FillWords(); }) {
        gGameLevel = std::int16_t(level);
        gWordCount = std::int16_t(wordCount);
        gClassCount.fill(20);
        gNewRankPos = gNewRankScore = -1;
    }
    void countdown(int ticks) {
        while (ticks-- > 0)
            countdownTick();
    }
    // Starts a game and runs the whole countdown; the word has not moved.
    void startPlaying() {
        clickStartEnd();
        countdown(1000);
    }
    const PlayScreen& s = screen();
};

} // namespace

class TestCourse : public QObject {
    Q_OBJECT

private slots:
    // END during the countdown returns to idle; a new start counts from "３"
    // with its clock at 0, at the platform's pace, and keys count nothing
    // until "ＧＯ". (The play screen's test shows misses and rewritten
    // spellings.)
    void countdown() {
        // platform, ticks per count, ticks of GO
        const int rows[][3] = {{kCoarse, 17, 27}, {kFine, 96, 155}, {0, 96, 155}};
        for (const auto& [platform, countTicks, goTicks] : rows) {
            Course game(platform);
            game.clickStartEnd();
            game.countdown(countTicks + 2);
            QCOMPARE(game.s.countText, QStringLiteral("２"));
            game.clickStartEnd();
            QVERIFY(game.s.caption == kStartCaption && !game.s.countVisible &&
                    !game.s.countTimer.running && !game.s.gameTimer.running);
            game.clickStartEnd();
            const QStringList counts{"３", "２", "１", "ＧＯ"};
            for (int i = 0; i < 3; ++i) {
                game.countdown(countTicks - 1);
                QCOMPARE(game.s.countText, counts[i]);
                QCOMPARE(game.keyPress(u'a'), KeyResult::Ignored);
                game.gameTick();
                game.countdownTick();
                QCOMPARE(game.s.countText, counts[i + 1]);
            }
            QVERIFY(gPlaying && game.s.wordTop == kWordStartTop);
            game.countdown(goTicks - 1);
            QVERIFY(game.s.countVisible);
            game.countdownTick();
            QVERIFY(!game.s.countVisible && game.s.countdownMarker.isEmpty());
        }
    }

    // Fall step at the start and after each word (5 words per stage), on the
    // timing every current system gets.
    void fallStep() {
        // level, misses of each word (0 when not given), steps
        using Numbers = QList<int>;
        const std::tuple<int, Numbers, Numbers> rows[] = {
            {1, {}, {2, 3, 3, 3, 3, 4, 3, 3, 3, 3, 6, 5, 4, 3, 3, 3}},
            {3, {7, 3, 9}, {6, 6, 5, 6}},
            {9, {}, {10}}, // out of range: plays level 5
        };
        for (const auto& [level, misses, speeds] : rows) {
            Course game(kFine, level);
            game.startPlaying();
            QCOMPARE(gSpeed, speeds[0]);
            for (qsizetype word = 1; word < speeds.size(); ++word) {
                for (int miss = 0; miss < misses.value(word - 1); ++miss)
                    QCOMPARE(game.keyPress(u'1'), KeyResult::Missed);
                QCOMPARE(game.keyPress(u'A'), KeyResult::WordDone);
                QCOMPARE(gSpeed, speeds[word]);
            }
        }
    }

    // Points by the position of the word; level 5 coarse falls 40 twips a tick,
    // so 127 ticks reach the death line exactly and one more loses.
    void pointsAndDeathLine() {
        // level, game ticks, points (-1: lost)
        const int rows[][3] = {{5, 0, 0}, {5, 127, 5080}, {5, 128, -1}, {3, 1, 14}, {3, 2, 29}};
        for (const auto& [level, ticks, points] : rows) {
            Course game(kCoarse, level);
            game.startPlaying();
            for (int tick = 0; tick < ticks; ++tick)
                game.gameTick();
            if (points >= 0) {
                QCOMPARE(game.keyPress(u'A'), KeyResult::WordDone);
                QVERIFY(game.s.score == points && game.s.wordTop == kWordStartTop);
                continue;
            }
            QVERIFY(!gPlaying && game.s.countText == kDeadText &&
                    game.s.countStyle == CountStyle::Dead);
            QVERIFY(game.keyPress(u'1') == KeyResult::Ignored && game.missCount() == 0);
        }
    }

    // A whole game: words in order, the next word across stages, the last
    // word scoring nothing, and the hand-over to the ranking.
    void wholeGame() {
        // words per stage as configured and as played; ranking score of place
        // i is the final score + offset - i; place taken (-1: none)
        const int rows[][4] = {{6, 5, 2, 3}, {10, 9, -1, 0}, {12, 9, 8, -1}, {0, 5, 9, -1}};
        for (const auto& [configured, perStage, offset, place] : rows) {
            Course game(kFine, 3, configured);
            game.startPlaying();
            for (int word = 0; word < 5 * perStage - 1; ++word) {
                const int stage = word / perStage + 1;
                const int slot = word % perStage + 1;
                QVERIFY(game.s.stage == stage && game.s.target == Word(stage, slot));
                QCOMPARE(game.s.nextTarget,
                         slot < perStage ? Word(stage, slot + 1) : Word(stage + 1, 1));
                game.gameTick();
                QCOMPARE(game.keyPress(u'A'), KeyResult::WordDone);
            }
            QVERIFY(game.s.target == Word(5, perStage) && game.s.nextTarget.isEmpty());
            game.gameTick();
            const std::int32_t score = game.s.score;
            for (int i = 0; i < 9; ++i)
                gRankScore[i] = score + offset - i;
            const bool ranked = place >= 0;
            gNameMode = QStringLiteral("Default");
            QCOMPARE(game.keyPress(u'A'), ranked ? KeyResult::WonRanked : KeyResult::Won);
            QVERIFY(game.s.score == score && !gPlaying && !game.s.gameTimer.running);
            QVERIFY(gNewRankPos == place && gNewRankScore == (ranked ? score : -1));
            QCOMPARE(gNameMode, QString(ranked ? "Clear" : "Default"));
            QCOMPARE(game.keyPress(u'A'), KeyResult::Ignored);
        }
    }

    // Too few words in a level refuse the game with a message before any draw;
    // unreadable working files leave the button on "ＥＮＤ". Without a list
    // loaded nothing is said of words: guards the shortage reported after a
    // list could not be loaded into a read-only folder.
    void startRefusedOrFailed() {
        // words per stage, a level and its words (the others hold 20), loading
        // works, words needed in each level (0: the game may start), a list loaded
        const int rows[][6] = {{8, 3, 8, 1, 9, 1},
                               {0, 5, 6, 1, 7, 1},
                               {12, 2, 11, 1, 0, 1},
                               {6, 1, 20, 0, 0, 1},
                               {6, 1, 0, 0, 0, 0}};
        for (const auto& [wordCount, level, count, loads, needed, loaded] : rows) {
            gLoadedWordFile = loaded ? "W.dat" : "";
            int loaderCalls = 0;
            Course game(kCoarse, 3, wordCount, [&] { return ++loaderCalls, loads && FillWords(); });
            gClassCount[level] = std::int16_t(count);
            MessageCapture capture;
            game.clickStartEnd();
            QCOMPARE(game.s.countVisible, needed == 0 && loads);
            QVERIFY(capture.messages.size() == int(needed > 0) && loaderCalls == int(needed == 0));
            QCOMPARE(game.s.caption, (needed > 0 ? kStartCaption : kEndCaption).toString());
            for (const CapturedMessage& m : capture.messages) {
                QVERIFY(m.text.contains(QStringLiteral("レベル%1").arg(level)));
                QVERIFY(m.text.contains(QStringLiteral("%1語").arg(needed)));
                QVERIFY(m.title == u"Yubimaru" && m.icon == MessageIcon::Critical);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestCourse)
#include "test_course.moc"
