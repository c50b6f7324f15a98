#include "config/spellings.h"
#include "course.h"
#include "kana/romaji.h"
#include "play/ranking.h"
#include "play/settings.h"
#include "testsupport.h"
#include "wordlists/liststore.h"

#include <QTest>
#include <QTimeZone>

#include <tuple>

// How records show in a failed comparison.
char* toString(const WordRecord& word) {
    QString text = QStringLiteral("%1: reaction %2, completion %3;")
                       .arg(word.text)
                       .arg(word.reactionMs.value_or(-1))
                       .arg(word.completionMs.value_or(-1));
    for (const KanaRecord& kana : word.kana) {
        text +=
            QStringLiteral(" %1 %2 %3 ms").arg(kana.kana, kana.spelling).arg(kana.ms.value_or(-1));
        for (const KeyMiss& miss : kana.misses)
            text += QStringLiteral(" (expected %1, typed %2)").arg(miss.expected, miss.typed);
    }
    return qstrdup(text.toUtf8().constData());
}

namespace {

constexpr int kCoarse = 1;
constexpr int kFine = 2;

QString Word(int stage, int slot) {
    return QStringLiteral("%1-%2").arg(stage).arg(slot);
}

// Every drawn word shows "stage-slot" and is typed with the single key A.
void FillWords() {
    for (int stage = 1; stage <= 5; ++stage) {
        gWordRomaji[stage].fill(QStringLiteral("A"));
        gWordCodes[stage].fill(QStringLiteral("001"));
        for (int slot = 1; slot <= 10; ++slot)
            gWordText[stage][slot] = Word(stage, slot);
    }
}

// The play screen's part without files: a list of 20 words in every level
// unless a test says otherwise, whose words fill makes.
struct WordsWithoutFiles : CourseHost {
    bool listLoaded = true;
    bool wordsRead = true;
    std::array<int, kLevels> counts{20, 20, 20, 20, 20};
    std::function<void()> fill = [] { FillWords(); };
    int draws = 0;
    QStringList problems;

    bool loadWords(const CountsCheck& enough) override {
        if (!listLoaded || !enough(counts))
            return false;
        ++draws;
        fill();
        return wordsRead;
    }
    void showProblem(const QString& text) override { problems.append(text); }
};

// A course on a platform with a fixed identifier and settings reset to the
// given level and words per stage; its clocks stand still unless the test
// moves them (ms), and it keeps the records it hands over.
struct Course : WordsWithoutFiles, GameCourse {
    Course(int platform, int level = 3, int wordCount = 6)
        : GameCourse(*this, [platform] { return platform; },
                     {[] { return kStartedAt; }, [this] { return ms; }}) {
        gGameLevel = std::int16_t(level);
        gWordCount = std::int16_t(wordCount);
        gNewRankPos = gNewRankScore = -1;
        setRecorder([this](const GameRecord& game) { records.append(game); });
    }
    void countdown(int ticks) {
        while (ticks-- > 0)
            countdownTick();
    }
    // Each key gapMs after the one before.
    void type(const char* keys, int gapMs = 100) {
        for (const char* key = keys; *key != '\0'; ++key) {
            ms += gapMs;
            keyPress(char16_t(*key));
        }
    }
    static inline const QDateTime kStartedAt{QDate(2026, 3, 1), QTime(21, 5, 9),
                                             QTimeZone(9 * 3600)};
    qint64 ms = 0;
    QList<GameRecord> records;
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
            QCOMPARE(game.records.size(), 0); // never played
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
    // timing every current system gets. A game ended part-way leaves nothing
    // to the next: it starts at the level's step and stage 1 with no score
    // and no misses, and its record counts only its own keys.
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
            QCOMPARE(game.keyPress(u'1'), KeyResult::Missed);
            game.clickStartEnd(); // END in the middle of a word
            game.startPlaying();
            QCOMPARE(gSpeed, speeds[0]);
            QCOMPARE(game.s.stage, 1);
            QCOMPARE(game.s.score, 0);
            QCOMPARE(game.missCount(), 0);
            QCOMPARE(game.keyPress(u'A'), KeyResult::WordDone);
            game.clickStartEnd();
            QCOMPARE(game.records.size(), 2);
            QCOMPARE(game.records[1].words, 1);
            QCOMPARE(game.records[1].keys, 1);
            QCOMPARE(game.records[1].misses, 0);
        }
    }

    // Points by the position of the word; level 5 coarse falls 40 twips a tick,
    // so 127 ticks reach the death line exactly and one more loses. A lost
    // game is recorded, timed to its loss, when it is ended.
    void pointsAndDeathLine() {
        // level, game ticks, points (-1: lost)
        const int rows[][3] = {{5, 0, 0}, {5, 127, 5080}, {5, 128, -1}, {3, 1, 14}, {3, 2, 29}};
        for (const auto& [level, ticks, points] : rows) {
            Course game(kCoarse, level);
            game.startPlaying();
            game.ms = 2000;
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
            game.ms = 9000;
            game.clickStartEnd();
            QCOMPARE(game.records.size(), 1);
            QVERIFY(game.records[0].result == GameResult::Lost && game.records[0].misses == 0);
            QCOMPARE(game.records[0].seconds, 2.0);
        }
    }

    // A whole game: words in order, the next word across stages, the last
    // word scoring nothing, and the hand-over to the ranking, after which the
    // game is recorded, even when the screen was left during the name dialog.
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
            game.end();
            QCOMPARE(game.records.size(), 0);
            game.finishWonGame();
            QCOMPARE(game.records.size(), 1);
            const GameRecord& record = game.records[0];
            QVERIFY(record.result == GameResult::Won && record.stage == 5 && record.score == score);
            QVERIFY(record.words == 5 * perStage && record.keys == record.words);
        }
    }

    // Too few words in a level refuse the game with a message before any draw;
    // unreadable working files leave the button on "ＥＮＤ". Without a list
    // loaded nothing is said of words: guards the shortage reported after a
    // list could not be loaded into a read-only folder. (The play screen's
    // test judges a list another program has just shortened.)
    void startRefusedOrFailed() {
        // words per stage, a level and its words (the others hold 20), the
        // words read, words needed in each level (0: the game may start), a
        // list loaded
        const int rows[][6] = {{8, 3, 8, 1, 9, 1},
                               {0, 5, 6, 1, 7, 1},
                               {12, 2, 11, 1, 0, 1},
                               {6, 1, 20, 0, 0, 1},
                               {6, 1, 0, 0, 0, 0}};
        for (const auto& [wordCount, level, count, read, needed, loaded] : rows) {
            Course game(kCoarse, 3, wordCount);
            game.listLoaded = loaded;
            game.wordsRead = read;
            game.counts[level - 1] = count;
            game.clickStartEnd();
            QCOMPARE(game.s.countVisible, needed == 0 && read);
            QVERIFY(game.problems.size() == int(needed > 0) &&
                    game.draws == int(needed == 0 && loaded));
            QCOMPARE(game.s.caption, (needed > 0 ? kStartCaption : kEndCaption).toString());
            for (const QString& problem : game.problems) {
                QVERIFY(problem.contains(QStringLiteral("レベル%1").arg(level)));
                QVERIFY(problem.contains(QStringLiteral("%1語").arg(needed)));
            }
        }
    }

    // The record of a game is exact: each word's times, each kana unit's
    // spelling, time and misses with the keys that were right, whichever
    // spelling the player switched to on the way (the target rewritten
    // longer, shorter or in place), and the totals.
    void recordOfAGame() {
        gKeyConfig.fill(QStringLiteral("1"));
        gKeyConfig[2] = gKeyConfig[4] = QStringLiteral("2"); // つ shown as TSU, ん as N
        BuildRomajiTable();
        ApplyKeyConfig();
        // Shown as SYASIN, TIKATETSU, JANPU-, FAKKUSU.
        const std::pair<QString, QString> words[] = {{"写真", "075012046"},
                                                     {"地下鉄", "017006019018"},
                                                     {"ジャンプー", "096046069113"},
                                                     {"ファックス", "109108008013"}};
        Course game(kFine);
        game.fill = [&] {
            FillWords();
            for (int slot = 1; slot <= 4; ++slot) {
                const auto& [text, codes] = words[slot - 1];
                gWordText[1][slot] = text;
                gWordCodes[1][slot] = codes;
                gWordRomaji[1][slot] = CodesToRomaji(codes);
            }
        };
        gLoadedWordFile = "W.dat";
        game.ms = 1000; // "ＧＯ", and the first word shown
        game.startPlaying();
        game.type("SIHASJHIXN");
        game.ms += 400;
        game.type("CHIQKATETAU");
        game.type("ZYANPU-");
        game.type("FULAKKUS");
        game.ms += 200;
        const std::int32_t score = game.s.score;
        game.clickStartEnd();

        QCOMPARE(game.records.size(), 1);
        const GameRecord& record = game.records[0];
        QCOMPARE(record.started, Course::kStartedAt);
        QCOMPARE(record.list, QStringLiteral("W.dat"));
        QVERIFY(record.level == 3 && record.wordsPerStage == 6 && record.stage == 1);
        QVERIFY(record.result == GameResult::Ended && record.score == score);
        QCOMPARE(record.words, 3);
        QCOMPARE(record.keys, 31);
        QCOMPARE(record.misses, 5);
        QCOMPARE(record.seconds, 4.2); // 1.0 + 1.5 + 0.7 + 1.0 of the word left
        const WordRecord expected[] = {
            {"写真",
             100,
             1000,
             {{"しゃ", "SHA", 400, {{"YH", "I"}}},
              {"し", "SHI", 400, {{"IH", "J"}}},
              {"ん", "N", 200, {{"N", "X"}}}}},
            {"地下鉄",
             500,
             1500,
             {{"ち", "CHI", 700, {}},
              {"か", "KA", 300, {{"K", "Q"}}},
              {"て", "TE", 200, {}},
              {"つ", "TU", 300, {{"SU", "A"}}}}},
            {"ジャンプー",
             100,
             700,
             {{"じゃ", "ZYA", 300, {}},
              {"ん", "N", 100, {}},
              {"ぷ", "PU", 200, {}},
              {"ー", "-", 100, {}}}},
            // Left while す was begun; the kana after it were not.
            {"ファックス",
             100,
             std::nullopt,
             {{"ふぁ", "FULA", 400, {}}, {"っく", "KKU", 300, {}}, {"す", "S", std::nullopt, {}}}},
        };
        QCOMPARE(record.wordList.size(), 4);
        for (int w = 0; w < 4; ++w)
            QCOMPARE(record.wordList[w], expected[w]);
    }
};

QTEST_GUILESS_MAIN(TestCourse)
#include "test_course.moc"
