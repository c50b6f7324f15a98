#include "config.h"
#include "course.h"
#include "judge.h"
#include "ranking.h"
#include "testsupport.h"
#include "wordfile.h"

#include <QTest>

using Numbers = QList<int>;
struct FallRow {
    int platform, level;
    Numbers misses, speeds; // misses of each word; fall step at the start and after each word
};
struct GameRow {
    int configured, wordCount; // words per stage, as configured and as played
    Numbers ranking;           // ranking scores minus the final score
    int place;                 // place taken, -1 for none
};
struct StartRow {
    int wordCount;
    Numbers classCounts;
    bool loads;
    QString message; // part of the refusal, empty when the game may start
};
Q_DECLARE_METATYPE(FallRow)
Q_DECLARE_METATYPE(GameRow)
Q_DECLARE_METATYPE(StartRow)

namespace {

constexpr int kCoarse = 1;
constexpr int kFine = 2;

// Every drawn word shows "stage-slot" and is typed with the single key A.
bool FillWords() {
    for (int stage = 1; stage <= 5; ++stage) {
        for (int slot = 1; slot <= 10; ++slot) {
            gWordText[stage][slot] = QStringLiteral("%1-%2").arg(stage).arg(slot);
            gWordRomaji[stage][slot] = QStringLiteral("A");
        }
    }
    return true;
}

GameCourse::PlatformQuery Platform(int id) {
    return [id] { return id; };
}

void Ticks(GameCourse& course, void (GameCourse::*tick)(), int count) {
    for (int i = 0; i < count; ++i) {
        (course.*tick)();
    }
}

// Starts a game and runs its countdown until play begins (bounded).
void StartPlaying(GameCourse& course) {
    course.clickStartEnd();
    for (int tick = 0; tick < 10000 && !gPlaying; ++tick) {
        course.countdownTick();
    }
}

} // namespace

class TestCourse : public QObject {
    Q_OBJECT

private slots:
    void init() {
        gWordCount = 6;
        gGameLevel = 3;
        gManiax = 0;
        gClassCount.fill(20);
        gRankScore.fill(1000000000);
        gNameMode = QStringLiteral("Default");
        gNewRankPos = -1;
        gNewRankScore = -1;
    }

    // A countdown ended early restarts from "３" with its clock at 0; keys
    // count nothing until "ＧＯ".
    void countdown_data() {
        QTest::addColumn<Numbers>("row"); // platform, ticks per count, ticks of GO, period
        QTest::newRow("coarse") << Numbers{kCoarse, 17, 27, 55};
        QTest::newRow("fine") << Numbers{kFine, 96, 155, 15};
        QTest::newRow("failed query") << Numbers{0, 96, 155, 15};
    }
    void countdown() {
        QFETCH(Numbers, row);
        const int countTicks = row[1];
        GameCourse course(Platform(row[0]), FillWords);
        const PlayScreen& screen = course.screen();
        course.clickStartEnd();
        Ticks(course, &GameCourse::countdownTick, countTicks + 2);
        QCOMPARE(screen.countText, QStringLiteral("２"));
        course.clickStartEnd();
        QVERIFY(screen.caption == kStartCaption && !screen.countVisible);
        QVERIFY(screen.countText.isEmpty() && screen.target.isEmpty());
        QVERIFY(!screen.countTimer.running && !screen.gameTimer.running);

        course.clickStartEnd();
        QCOMPARE(screen.caption, kEndCaption.toString());
        QCOMPARE(screen.countStyle, CountStyle::Countdown);
        QVERIFY(screen.countTimer.running && screen.gameTimer.running);
        QCOMPARE(screen.countTimer.period, row[3]);
        const QStringList counts{"３", "２", "１", "ＧＯ"};
        for (int i = 0; i < 3; ++i) {
            Ticks(course, &GameCourse::countdownTick, countTicks - 1);
            QCOMPARE(screen.countText, counts[i]);
            QCOMPARE(course.keyPress(u'a'), KeyResult::Ignored);
            course.gameTick();
            course.countdownTick();
            QCOMPARE(screen.countText, counts[i + 1]);
        }
        QVERIFY(gPlaying && screen.countVisible && screen.wordTop == kWordStartTop);
        Ticks(course, &GameCourse::countdownTick, row[2] - 1);
        QVERIFY(screen.countVisible);
        course.countdownTick();
        QVERIFY(!screen.countVisible && screen.countText.isEmpty() &&
                screen.countdownMarker.isEmpty());
    }

    // Misses change nothing but the mark and the count; a rewritten spelling
    // is kept for the rest of the word.
    void keysUpdateTheWord() {
        GameCourse course(Platform(kCoarse), [] {
            FillWords();
            gWordRomaji[1][1] = QStringLiteral("SHIKA");
            return true;
        });
        StartPlaying(course);
        const PlayScreen& screen = course.screen();
        QCOMPARE(course.keyPress(u's'), KeyResult::Accepted);
        for (const char16_t wrong : {u'1', u'Y'}) {
            QCOMPARE(course.keyPress(wrong), KeyResult::Missed);
            QVERIFY(screen.missMark);
            QVERIFY(screen.targetRomaji == u"SHIKA" && screen.typed == u"S");
            QVERIFY(screen.nextLetter == u"H" && gCharPos == 1);
        }
        QCOMPARE(course.missCount(), 2);
        QCOMPARE(course.keyPress(u'i'), KeyResult::Accepted);
        QVERIFY(!screen.missMark);
        QVERIFY(screen.targetRomaji == u"SIKA" && gWordRomaji[1][1] == u"SIKA");
        QVERIFY(screen.typed == u"SI" && screen.nextLetter == u"K");
    }

    // 5 words per stage.
    void fallStep_data() {
        QTest::addColumn<FallRow>("row");
        QTest::newRow("coarse example") << FallRow{kCoarse, 3, {0, 4}, {24, 23, 24}};
        QTest::newRow("coarse stages")
            << FallRow{kCoarse, 1, Numbers(20, 0), {8,  7,  6,  5,  4, 10, 9, 8, 7, 6, 15,
                                                    14, 13, 12, 11, 6, 5,  4, 3, 3, 8}};
        QTest::newRow("fine stages")
            << FallRow{kFine, 1, Numbers(15, 0), {2, 3, 3, 3, 3, 4, 3, 3, 3, 3, 6, 5, 4, 3, 3, 3}};
        QTest::newRow("coarse misses") << FallRow{kCoarse, 3, {10, 1}, {24, 28, 27}};
        QTest::newRow("fine misses") << FallRow{kFine, 3, {7, 3, 9}, {6, 6, 5, 6}};
        QTest::newRow("level 9 plays 5") << FallRow{kCoarse, 9, {}, {40}};
    }
    void fallStep() {
        QFETCH(FallRow, row);
        gGameLevel = std::int16_t(row.level);
        GameCourse course(Platform(row.platform), FillWords);
        StartPlaying(course);
        QCOMPARE(gSpeed, row.speeds[0]);
        for (qsizetype word = 0; word < row.misses.size(); ++word) {
            for (int miss = 0; miss < row.misses[word]; ++miss) {
                QCOMPARE(course.keyPress(u'1'), KeyResult::Missed);
            }
            QCOMPARE(course.keyPress(u'A'), KeyResult::WordDone);
            QCOMPARE(gSpeed, row.speeds[word + 1]);
        }
    }

    // Points by the position of the word; level 5 coarse falls 40 twips a tick,
    // so 127 ticks reach the death line exactly and one more loses.
    void pointsAndDeathLine_data() {
        QTest::addColumn<Numbers>("row"); // platform, level, ticks, points (-1: lost)
        QTest::newRow("finished at once") << Numbers{kCoarse, 5, 0, 0};
        QTest::newRow("at the death line") << Numbers{kCoarse, 5, 127, 5080};
        QTest::newRow("past the death line") << Numbers{kCoarse, 5, 128, -1};
        QTest::newRow("14.4") << Numbers{kCoarse, 3, 1, 14};
        QTest::newRow("28.8") << Numbers{kCoarse, 3, 2, 29};
        QTest::newRow("fine 1.2") << Numbers{kFine, 1, 3, 1};
    }
    void pointsAndDeathLine() {
        QFETCH(Numbers, row);
        const int points = row[3];
        gGameLevel = std::int16_t(row[1]);
        GameCourse course(Platform(row[0]), FillWords);
        const PlayScreen& screen = course.screen();
        StartPlaying(course);
        Ticks(course, &GameCourse::gameTick, row[2]);
        if (points >= 0) {
            QCOMPARE(course.keyPress(u'A'), KeyResult::WordDone);
            QCOMPARE(screen.score, points);
            QVERIFY(screen.wordTop == kWordStartTop && screen.typed.isEmpty());
            return;
        }
        QVERIFY(!gPlaying && screen.countVisible && screen.countText == kDeadText);
        QVERIFY(screen.countStyle == CountStyle::Dead);
        course.gameTick();
        QCOMPARE(screen.wordTop, float(kDeathLine + 40));
        QCOMPARE(course.keyPress(u'1'), KeyResult::Ignored);
        QCOMPARE(course.missCount(), 0);
        course.clickStartEnd();
        QVERIFY(screen.caption == kStartCaption && !screen.countVisible);
        QCOMPARE(screen.wordTop, float(kDeathLine + 40));
    }

    // A whole game: words in order, the next word across stages, the last
    // word scoring nothing, and the hand-over to the ranking.
    void wholeGame_data() {
        QTest::addColumn<GameRow>("row");
        QTest::newRow("6") << GameRow{6, 6, {2, 1, 0, -1, -2, -3, -4, -5, -6}, 3};
        QTest::newRow("10") << GameRow{10, 10, Numbers(9, -1), 0};
        QTest::newRow("12 clamped") << GameRow{12, 10, {8, 7, 6, 5, 4, 3, 2, 1, 0}, -1};
        QTest::newRow("0 clamped") << GameRow{0, 6, {9, 8, 7, 6, 5, 4, 3, 2, 1}, -1};
    }
    void wholeGame() {
        QFETCH(GameRow, row);
        const int place = row.place;
        gWordCount = std::int16_t(row.configured);
        GameCourse course(Platform(kFine), FillWords);
        const PlayScreen& screen = course.screen();
        StartPlaying(course);
        const int perStage = row.wordCount - 1;
        const auto name = [](int stage, int slot) {
            return QStringLiteral("%1-%2").arg(stage).arg(slot);
        };
        for (int word = 0; word < 5 * perStage - 1; ++word) {
            const int stage = word / perStage + 1;
            const int slot = word % perStage + 1;
            QVERIFY(screen.stage == stage && screen.target == name(stage, slot));
            QCOMPARE(screen.nextTarget,
                     slot < perStage ? name(stage, slot + 1) : name(stage + 1, 1));
            course.gameTick();
            const std::int32_t before = screen.score;
            QCOMPARE(course.keyPress(u'A'), KeyResult::WordDone);
            QVERIFY(screen.score > before);
        }
        QVERIFY(screen.target == name(5, perStage) && screen.nextTarget.isEmpty());
        course.gameTick();
        const std::int32_t score = screen.score;
        for (int i = 0; i < 9; ++i) {
            gRankScore[i] = score + row.ranking[i];
        }
        QCOMPARE(course.keyPress(u'A'), place >= 0 ? KeyResult::WonRanked : KeyResult::Won);
        QVERIFY(screen.score == score && !gPlaying && !screen.gameTimer.running);
        QCOMPARE(gNewRankPos, place);
        QCOMPARE(gNameMode, place >= 0 ? QStringLiteral("Clear") : QStringLiteral("Default"));
        QCOMPARE(gNewRankScore, place >= 0 ? score : -1);
        QCOMPARE(course.keyPress(u'A'), KeyResult::Ignored);
        gRankScore[0] = 123456; // as the name dialog would store it
        course.finishWonGame();
        QVERIFY(screen.caption == kStartCaption && screen.score == 0 && screen.stage == 1);
        QCOMPARE(screen.highScore, 123456);
    }

    // Too few words in a level refuse the game with a message before any draw;
    // unreadable working files leave the button on "ＥＮＤ".
    void startRefusedOrFailed_data() {
        QTest::addColumn<StartRow>("row");
        QTest::newRow("short level 3") << StartRow{8, {20, 20, 8, 20, 20}, true, "レベル3"};
        QTest::newRow("short, clamped to 6") << StartRow{0, {7, 7, 7, 7, 6}, true, "7語"};
        QTest::newRow("clamped to 10 fits") << StartRow{12, Numbers(5, 11), true, {}};
        QTest::newRow("loading fails") << StartRow{6, Numbers(5, 20), false, {}};
    }
    void startRefusedOrFailed() {
        QFETCH(StartRow, row);
        const QString& message = row.message;
        gWordCount = std::int16_t(row.wordCount);
        for (int level = 1; level <= 5; ++level) {
            gClassCount[level] = std::int16_t(row.classCounts[level - 1]);
        }
        int loaderCalls = 0;
        GameCourse course(Platform(kCoarse),
                          [&] { return ++loaderCalls, row.loads && FillWords(); });
        const PlayScreen& screen = course.screen();
        MessageCapture capture;
        course.clickStartEnd();
        QCOMPARE(screen.countVisible, message.isEmpty() && row.loads);
        QCOMPARE(capture.messages.size(), message.isEmpty() ? 0 : 1);
        QCOMPARE(loaderCalls, message.isEmpty() ? 1 : 0);
        if (!message.isEmpty()) {
            const CapturedMessage& shown = capture.messages[0];
            QVERIFY2(shown.text.contains(message), qPrintable(shown.text));
            QVERIFY(shown.title == u"Yubimaru" && shown.icon == MessageIcon::Critical);
            QVERIFY(screen.caption == kStartCaption &&
                    screen.gameTimer.period == kIdleGameTimerPeriod);
            return;
        }
        QCOMPARE(screen.caption, kEndCaption.toString());
        course.clickStartEnd();
        QVERIFY(screen.caption == kStartCaption && !screen.countVisible);
    }
};

QTEST_GUILESS_MAIN(TestCourse)
#include "test_course.moc"
