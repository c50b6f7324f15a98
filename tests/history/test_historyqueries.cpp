// Recording a game and the figures the statistics program reads back: every
// figure, word, kana and miss is read back as written, the totals add up over
// games, and a write that cannot finish leaves nothing of the game behind;
// keys per minute and accuracy, the games in order and per day, the last game
// against the ten before it, kana per minute (also from a file of the first
// version), the weakest and slowest kana; figures through a filter, the bests
// per list and the games in runs, against the games written.

#include "history/csvexport.h"
#include "history/filteredqueries.h"
#include "history/historydb.h"
#include "history/historyqueries.h"
#include "history/historywriter.h"
#include "history/weakkana.h"
#include "historysupport.h"

#include <QRandomGenerator>
#include <QSqlQuery>
#include <QtTest>

#include <algorithm>
#include <map>
#include <vector>

namespace {

// A game lost on its third word: 写真 typed SYA-SI-NN, 学校 GA-KKO-U, and
// 新聞 begun as SHI-N-B when the word fell. Both spellings of し and of ん
// appear, and a kana with a miss and no time.
GameRecord ScriptedGame() {
    GameRecord game;
    game.started = QDateTime(QDate(2026, 3, 1), QTime(21, 5, 9), QTimeZone(9 * 3600));
    game.list = QStringLiteral("Nomal.dat");
    game.level = 3;
    game.wordsPerStage = 6;
    game.result = GameResult::Lost;
    game.stage = 1;
    game.score = 1234;
    game.words = 2;
    game.keys = 18;
    game.misses = 5;
    game.seconds = 7.25;
    game.wordList = {
        {"写真",
         800,
         2400,
         {{"しゃ", "SYA", 900, {{"YH", "U"}}},
          {"し", "SI", 300, {}},
          {"ん", "NN", 500, {{"N", "M"}}}}},
        {"学校",
         600,
         3000,
         {{"が", "GA", 400, {}}, {"っこ", "KKO", 700, {{"K", "O"}}}, {"う", "U", 300, {}}}},
        {"新聞",
         500,
         std::nullopt,
         {{"し", "SHI", 600, {}},
          {"ん", "N", 400, {}},
          {"ぶ", "B", std::nullopt, {{"U", "A"}, {"U", "I"}}}}},
    };
    return game;
}

QStringList Names(const QList<RankedKana>& ranked) {
    QStringList names;
    for (const RankedKana& kana : ranked)
        names.append(kana.figures.kana);
    return names;
}

} // namespace

class TestHistoryQueries : public QObject {
    Q_OBJECT

private slots:
    // The scripted game is read back as written, word by word. The totals behind the kana
    // chart, the keyboard and the confusions, over that game written twice:
    // each kana's figures whatever its spelling, each key's due and missed
    // counts, the confusions by count.
    void recordAndTotals() {
        TempProgramFolder folder;
        HistoryDb db;
        const GameRecord game = ScriptedGame();
        QString message;
        qint64 id = 0;
        QVERIFY2(WriteGame(db, game, &message, &id), qPrintable(message));
        QVERIFY2(message.isEmpty(), qPrintable(message));
        // The second time ぶ is missed once more with A.
        GameRecord again = game;
        again.wordList[2].kana[2].misses.append(KeyMiss{"U", "A"});
        QVERIFY(WriteGame(db, again));

        const std::optional<GameRecord> read = ReadGame(db, id, &message);
        QVERIFY2(read, qPrintable(message));
        // The game's own figures come back through the columns every game is
        // listed with, which the command line's CSV export checks one by one.
        QCOMPARE(read->id, id);
        QCOMPARE(read->score, game.score);
        QCOMPARE(read->wordList.size(), game.wordList.size());
        for (qsizetype w = 0; w < game.wordList.size(); ++w)
            QVERIFY2(read->wordList[w] == game.wordList[w], qPrintable(game.wordList[w].text));

        // Kana per minute as the history keeps it: eight kana in 7.25 s.
        QCOMPARE(ReadGames(db).value(0).kanaPerMinute().value_or(-1), 8 * 60 / 7.25);

        QVERIFY(!ReadGame(db, id + 2, &message));
        QVERIFY2(message.isEmpty(), "a missing game is no failure");

        // Each kana in kana table order: attempts, misses, attempts with a
        // miss, attempts timed, their time.
        QString error;
        const QList<KanaFigures> kana = ReadKanaFigures(db, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList kanaRows;
        for (const KanaFigures& k : kana)
            kanaRows.append(QStringLiteral("%1 %2 %3 %4 %5 %6")
                                .arg(k.kana)
                                .arg(k.attempts)
                                .arg(k.misses)
                                .arg(k.missedAttempts)
                                .arg(k.timed)
                                .arg(k.totalMs));
        QCOMPARE(kanaRows, QStringList({"う 2 0 0 2 600", "し 4 0 0 4 1800", "ん 4 2 2 4 1800",
                                        "が 2 0 0 2 800", "ぶ 2 5 2 0 0", "しゃ 2 2 2 2 1800",
                                        "っこ 2 2 2 2 1400"}));
        QCOMPARE(kana[1].meanMs().value_or(-1), 450.0); // し
        QVERIFY2(!kana[4].meanMs(), "ぶ was never completed");

        // A key is due at every correct key of that letter and every miss
        // where the target showed it, not where it was typed wrongly (M):
        // each key, due, missed.
        QStringList keyRows;
        for (const KeyFigures& k : ReadKeyFigures(db, &error))
            keyRows.append(QStringLiteral("%1 %2 %3").arg(k.key).arg(k.expected).arg(k.missed));
        keyRows.sort();
        QCOMPARE(keyRows, QStringList({"A 4 0", "B 2 0", "G 2 0", "H 2 0", "I 4 0", "K 6 2",
                                       "N 8 2", "O 2 0", "S 6 0", "U 7 5", "Y 4 2"}));

        const QList<Confusion> confusions = ReadConfusions(db, 3, &error);
        QCOMPARE(confusions.size(), 3);
        QCOMPARE(confusions[0].kana, "ぶ");
        QCOMPARE(confusions[0].expected, "U");
        QCOMPARE(confusions[0].typed, "A");
        QCOMPARE(confusions[0].count, 3);
        // Equal counts in kana table order.
        QCOMPARE(confusions[1].kana, "ん");
        QCOMPARE(confusions[1].typed, "M");
        QCOMPARE(confusions[2].kana, "ぶ");
        QCOMPARE(confusions[2].typed, "I");
    }

    void derivedFigures() {
        QCOMPARE(Kpm(45, 30), 90.0);
        QCOMPARE(Kpm(10, 0), 0.0);
        QCOMPARE(Accuracy(0, 4), 0.0);
        QCOMPARE(Accuracy(0, 0), 1.0);
        // A kana may be missed more than once in an attempt: its rate counts
        // the attempts.
        QCOMPARE((KanaFigures{"ぬ", 4, 6, 2, 2, 900}.missRate()), 0.5);
    }

    // Twelve games ten minutes apart from 22:30 in Japan, written newest
    // first: they come back in the order they were played. A day is the
    // local date of the start: the games from midnight on fall on the next
    // day there, though still on the same day in UTC. The last game stands
    // against the ten before it that had a correct key: game 11 had only
    // wrong keys, so it is counted but stays out of the averages and of its
    // day's sums. The reaction leaves out each game's first word (the wait
    // after ＧＯ); game 5 reacted to no other word and is left out of that
    // mean only.
    void gamesDaysAndLastGame() {
        TempProgramFolder folder;
        HistoryDb db;
        QVERIFY2(!ReadLastGame(db), "no game yet");
        const QDateTime first(QDate(2026, 3, 1), QTime(22, 30), QTimeZone(9 * 3600));
        for (int i = 12; i >= 1; --i) {
            // Game i scores 100 i, types 60 i keys a minute with i misses,
            // completes two kana a minute and reacts in 10 i ms after the
            // first word.
            GameRecord game = TypedGame(first.addSecs(qint64(600) * i), {{"か", "KA", 900, {}}});
            game.wordList.append({"二",
                                  i == 5 ? std::nullopt : std::optional(10 * i),
                                  500,
                                  {{"に", "NI", 500, {}}}});
            if (i == 11)
                game.wordList = {
                    {"単語", 400, std::nullopt, {{"か", "", std::nullopt, {{"K", "J"}}}}}};
            game.score = 100 * i;
            game.keys = i == 11 ? 0 : 60 * i;
            game.misses = i;
            game.seconds = 60;
            QVERIFY(WriteGame(db, game));
        }

        QString error;
        const QList<GameSummary> games = ReadGames(db, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(games.size(), 12);
        for (qsizetype i = 0; i < games.size(); ++i)
            QCOMPARE(games[i].score, 100 * (i + 1));
        QCOMPARE(games[0].kanaPerMinute().value_or(-1), 2.0);
        QVERIFY2(!games[10].hasCorrectKey(), "game 11 had only wrong keys");

        // Games 1 to 8 until 23:50, games 9 to 12 from 00:00.
        const QList<DayFigures> days = ReadDays(db, &error);
        QCOMPARE(days.size(), 2);
        QCOMPARE(days[0].day, QDate(2026, 3, 1));
        QCOMPARE(days[0].games, 8);
        QCOMPARE(days[0].keys, 60 * 36);
        QCOMPARE(days[0].misses, 36);
        QCOMPARE(days[0].bestScore, 800);
        QCOMPARE(days[0].kpm(), 270.0);
        QCOMPARE(days[0].accuracy(), 60.0 / 61.0);
        QCOMPARE(days[0].kanaPerMinute().value_or(-1), 2.0);
        QCOMPARE(days[1].day, QDate(2026, 3, 2));
        QCOMPARE(days[1].games, 4);
        QCOMPARE(days[1].gamesWithKeys, 3);
        QVERIFY2(days[1].kpm() == 620.0 && days[1].accuracy() == 60.0 / 61.0,
                 "the time and misses of game 11 stay out of its day");

        const std::optional<LastGameComparison> last = ReadLastGame(db, &error);
        QVERIFY2(last, qPrintable(error));
        QCOMPARE(last->game.score, 1200);
        QCOMPARE(last->last.score, 1200.0);
        QCOMPARE(last->last.kpm, 720.0);
        QCOMPARE(last->last.misses, 12.0);
        QCOMPARE(last->last.kanaPerMinute.value_or(-1), 2.0);
        QCOMPARE(last->last.reactionMs.value_or(-1), 120.0);
        QCOMPARE(last->previousGames, 10); // games 1 to 10
        QCOMPARE(last->previous.score, 550.0);
        QCOMPARE(last->previous.kpm, 330.0);
        QCOMPARE(last->previous.misses, 5.5);
        QCOMPARE(last->previous.accuracy, 60.0 / 61.0);
        QCOMPARE(last->previous.kanaPerMinute.value_or(-1), 2.0);
        QCOMPARE(last->previous.reactionMs.value_or(-1), 500.0 / 9.0);
    }

    // A file of the first version read before the game brought it up to date
    // gives every figure but kana per minute, unknown rather than 0 (and an
    // empty column in the export); once the game opened it, each game's kana
    // are counted from its rows, for the reader already open too.
    void kanaPerMinuteOfTheFirstVersion() {
        TempProgramFolder folder;
        MakeFirstVersionHistory(HistoryPath(), 2);
        HistoryDb reader(HistoryPath(), HistoryDb::Mode::Read);
        QString error;
        const std::optional<HistoryOverview> before = ReadOverview(reader, &error);
        QVERIFY2(before, qPrintable(error));
        const QList<GameSummary> games = ReadGames(reader);
        QCOMPARE(games.size(), 2);
        QVERIFY2(!games[0].kana && !ReadDays(reader)[0].kana && before->last &&
                     !before->last->last.kanaPerMinute,
                 "kana per minute is unknown in a file of the first version");
        QCOMPARE(games[0].kpm(), 200.0);
        QByteArray csv;
        qint64 rows = 0;
        QVERIFY(WriteGamesCsv(
            reader,
            [&csv](const QByteArray& piece) {
                csv += piece;
                return true;
            },
            &rows, &error));
        QVERIFY2(rows == 2 && csv.endsWith(",200.0,1.0000,\r\n"), csv.constData());

        HistoryDb game;
        QVERIFY(game.open(&error));
        const QList<GameSummary> after = ReadGames(reader, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(after.size(), 2);
        for (const GameSummary& migrated : after)
            QCOMPARE(migrated.kanaPerMinute().value_or(-1), 80.0); // か and し in 1.5 s
    }

    // Weak kana are those whose own misses show it against the player's
    // miss rate (here 60 in 2,000, 3 %): 3 misses in 10 is weak, 30 in 1,000
    // is the player's rate and not; one miss, no miss, or misses that are
    // all habits are never weak. The missed kana that are not weak follow,
    // ranked the same way.
    void weakKanaOrder() {
        KanaFigures habit{"ん", 100, 12, 12, 100, 20000};
        habit.habitMisses = 12;
        habit.habitAttempts = 12;
        const QList<KanaFigures> counted = {
            {"か", 1000, 30, 30, 1000, 200000},
            {"し", 10, 3, 3, 10, 3000},
            {"た", 838, 20, 20, 838, 167600},
            {"つ", 50, 6, 6, 50, 10000},
            {"ぬ", 1, 1, 1, 1, 200},
            {"ぴゅ", 1, 0, 0, 1, 300},
            habit,
        };
        QCOMPARE(PlayerMissRate(counted), 0.03);
        const QList<RankedKana> weakest = WeakestByMisses(counted);
        QCOMPARE(Names(weakest), QStringList({"し", "つ"}));
        QCOMPARE(weakest[0].score, (3 + 20 * 0.03) / 30);
        QCOMPARE(Names(WeakestByMisses(counted, 1)), QStringList({"し"}));
        QCOMPARE(Names(MissedNotWeak(counted)), QStringList({"ぬ", "か", "た"}));
        QVERIFY2(WeakestByMisses({{"ぴゅ", 1, 0, 0, 1, 300}, {"あ", 1, 0, 0, 1, 100}}).isEmpty(),
                 "a clean game made kana weak");
    }

    // Random games on two lists, three levels and five days, some without a
    // correct key and some played abroad (their day is the local date of
    // their start), of so few scores that a list's best is reached on
    // several days, written out of day order: the totals hold what the
    // games add, and a filter, the bests per list and the games read in
    // runs agree with the same figures counted from the games written.
    void filteredFiguresAfterRandomGames() {
        TempProgramFolder folder;
        HistoryDb db;
        QRandomGenerator random(29);
        QList<GameRecord> written;
        for (int n = 0; n < 120; ++n) {
            const int offset = random.bounded(2) == 0 ? 9 * 3600 : -5 * 3600;
            GameRecord game =
                TypedGame(QDateTime(QDate(2026, 3, 1 + random.bounded(5)),
                                    QTime(random.bounded(24), n % 60), QTimeZone(offset)),
                          {{"か", "KA", 500, {}}, {"し", "SI", random.bounded(100, 900), {}}});
            game.list = random.bounded(2) == 0 ? "A.dat" : "B.dat";
            game.level = 1 + random.bounded(3);
            game.score = random.bounded(40);
            game.keys = random.bounded(6) == 0 ? 0 : random.bounded(1, 300);
            game.misses = random.bounded(20);
            game.seconds = random.bounded(5000, 90000) / 1000.0;
            QVERIFY(WriteGame(db, game));
            written.append(game);
        }
        VerifyDayTotals(db);

        // The games of list A at level 2 from 2 to 4 March, per day.
        const TrendFilter filter{"A.dat", 2, QDate(2026, 3, 2), QDate(2026, 3, 4)};
        std::map<QDate, DayFigures> expected;
        for (const GameRecord& game : written) {
            const QDate day = game.started.date();
            if (game.list != *filter.list || game.level != *filter.level || day < *filter.from ||
                day > *filter.to)
                continue;
            DayFigures& figures = expected[day];
            figures.day = day;
            ++figures.games;
            if (game.hasCorrectKey()) {
                ++figures.gamesWithKeys;
                figures.keys += game.keys;
                figures.misses += game.misses;
                figures.seconds += game.seconds;
                figures.bestKpm = std::max(figures.bestKpm.value_or(0), game.kpm());
            }
            figures.bestScore = std::max(figures.bestScore, game.score);
        }
        QString error;
        const QList<DayFigures> days = ReadDayFigures(db, filter, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(days.size(), qsizetype(expected.size()));
        for (const DayFigures& day : days) {
            const DayFigures& want = expected[day.day];
            const QByteArray on = day.day.toString(Qt::ISODate).toUtf8();
            QVERIFY2(day.games == want.games && day.gamesWithKeys == want.gamesWithKeys, on);
            QVERIFY2(day.keys == want.keys && day.misses == want.misses, on);
            QVERIFY2(qAbs(day.seconds - want.seconds) < 0.001, on);
            QVERIFY2(day.bestScore == want.bestScore && day.bestKpm == want.bestKpm, on);
        }

        // The best score of each list and the first day it was reached.
        const QList<ListBests> bests = ReadBests(db, {}, &error);
        QCOMPARE(bests.size(), 2);
        for (const ListBests& list : bests) {
            PersonalBest best{-1, {}};
            for (const GameRecord& game : written) {
                const QDate day = game.started.date();
                if (game.list == list.list &&
                    (game.score > best.value || (game.score == best.value && day < best.day)))
                    best = {double(game.score), day};
            }
            QCOMPARE(list.score.value, best.value);
            QCOMPARE(list.score.day, best.day);
        }

        // Every game with a correct key, in four runs in start order: few
        // enough to read every game, so each run's figures are exact, its
        // mean pooled over its games.
        QList<GameRecord> rated;
        std::copy_if(written.begin(), written.end(), std::back_inserter(rated),
                     [](const GameRecord& game) { return game.hasCorrectKey(); });
        std::stable_sort(rated.begin(), rated.end(), [](const GameRecord& a, const GameRecord& b) {
            return a.started < b.started;
        });
        const QList<GameBucket> runs = ReadGamePoints(db, {}, 4, &error);
        QCOMPARE(runs.size(), 4);
        qsizetype first = 0;
        for (const GameBucket& run : runs) {
            std::vector<double> kpm;
            qint64 keys = 0;
            double seconds = 0;
            for (qsizetype i = first; i < first + run.games; ++i) {
                kpm.push_back(rated[i].kpm());
                keys += rated[i].keys;
                seconds += rated[i].seconds;
            }
            first += run.games;
            std::sort(kpm.begin(), kpm.end());
            QVERIFY2(qAbs(run.kpm.mean - Kpm(keys, seconds)) < 1e-9, "pooled over the run");
            QCOMPARE(run.kpm.median, kpm.size() % 2 == 1
                                         ? kpm[kpm.size() / 2]
                                         : (kpm[kpm.size() / 2 - 1] + kpm[kpm.size() / 2]) / 2);
            QVERIFY2(run.kpm.lower <= run.kpm.median && run.kpm.median <= run.kpm.upper,
                     "the middle half holds the median");
        }
        QCOMPARE(first, rated.size());

        // Too many games for one run to read them all: its mean still covers
        // every game, from the totals per day, and its middle half comes from
        // games spread over its days rather than the first ones.
        const QList<GameBucket> whole = ReadGamePoints(db, {}, 1, &error);
        QCOMPARE(whole.size(), 1);
        QCOMPARE(whole[0].games, rated.size());
        qint64 keys = 0;
        qint64 misses = 0;
        for (const GameRecord& game : rated) {
            keys += game.keys;
            misses += game.misses;
        }
        QCOMPARE(whole[0].accuracy.mean, Accuracy(keys, misses));
        QVERIFY2(whole[0].last.date() > whole[0].first.date().addDays(2),
                 qPrintable(QStringLiteral("sampled from %1 to %2")
                                .arg(whole[0].first.toString(), whole[0].last.toString())));
        const auto [slowest, fastest] = std::minmax_element(
            rated.begin(), rated.end(),
            [](const GameRecord& a, const GameRecord& b) { return a.kpm() < b.kpm(); });
        QVERIFY2(slowest->kpm() <= whole[0].kpm.lower && whole[0].kpm.lower <= whole[0].kpm.upper &&
                     whole[0].kpm.upper <= fastest->kpm(),
                 "the middle half among the games' own figures");
    }

    // Slowness per key against the median key, over the kana after another
    // key of the word: the median is the middle key's (each key at its kana's
    // mean over all spellings), and a kana slow over two keys is shrunk to
    // below one a little less slow over twenty.
    void slowKanaPerKey() {
        const QList<SpellingFigures> spellings = {
            {"か", "KA", 100, 0, 0, 100, 20000, 0}, // 200 keys at 100 ms
            {"し", "SHI", 50, 0, 0, 50, 22500, 0},  // 150 keys at 150 ms
            {"し", "SI", 50, 0, 0, 50, 12000, 0},   // 100 keys at 120 ms
            {"ぬ", "NU", 1, 0, 0, 1, 600, 0},       //   2 keys at 300 ms
            {"む", "MU", 10, 0, 0, 10, 4000, 0},    //  20 keys at 200 ms
            {"を", "WO", 3, 0, 0, 0, 0, 0},         // only a word's first kana
        };
        QCOMPARE(MedianKeyMs(spellings).value_or(-1), 34500.0 / 250);
        QVERIFY(!MedianKeyMs(spellings.mid(5)));
        const QList<SlowKana> slowest = SlowestKana(spellings);
        QStringList names;
        for (const SlowKana& kana : slowest)
            names.append(kana.kana);
        QCOMPARE(names, QStringList({"む", "ぬ", "し", "か"}));
        QCOMPARE(slowest[0].score, (4000 + 20 * 138.0) / 40 / 138);
        QCOMPARE(slowest[2].score, 1.0);
        QCOMPARE(slowest[2].keys, qint64(250));
    }
};

QTEST_GUILESS_MAIN(TestHistoryQueries)
#include "test_historyqueries.moc"
