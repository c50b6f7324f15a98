// The figures the statistics program shows: keys per minute and accuracy,
// the games in order and per day, the last game against the ten before it,
// the weakest and slowest kana.

#include "historydb.h"
#include "historyqueries.h"
#include "historywriter.h"
#include "testsupport.h"
#include "weakkana.h"

#include <QtTest>

namespace {

const QTimeZone kJapan(9 * 3600);

// A game of one word with the given figures.
GameRecord Game(const QDateTime& started, qint32 score, int keys, int misses, double seconds,
                std::optional<int> reactionMs) {
    GameRecord game;
    game.started = started;
    game.list = QStringLiteral("Nomal.dat");
    game.result = GameResult::Won;
    game.score = score;
    game.keys = keys;
    game.misses = misses;
    game.seconds = seconds;
    game.wordList = {{"木", reactionMs, std::nullopt, {}}};
    return game;
}

KanaFigures Kana(const QString& kana, qint64 attempts, qint64 misses, qint64 timed,
                 qint64 totalMs) {
    return {kana, attempts, misses, timed, totalMs};
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
    void derivedFigures() {
        QCOMPARE(Kpm(45, 30), 90.0);
        QCOMPARE(Kpm(10, 0), 0.0);
        QCOMPARE(Accuracy(0, 4), 0.0);
        QCOMPARE(Accuracy(0, 0), 1.0);
        // A kana may be missed more than once in an attempt.
        QCOMPARE(Kana("ぬ", 4, 6, 2, 900).missRate(), 1.5);
    }

    // Games come back in the order they were played, whatever the order they
    // were written in, and a day is the local date of the start: 00:10 in
    // Japan is the next day there, though still the same day in UTC.
    void gamesAndDays() {
        TempProgramFolder folder;
        HistoryDb db;
        const QDateTime late(QDate(2026, 3, 1), QTime(23, 30), kJapan);
        const QDateTime afterMidnight(QDate(2026, 3, 2), QTime(0, 10), kJapan);
        const QDateTime evening(QDate(2026, 3, 1), QTime(20, 0), kJapan);
        QVERIFY(WriteGame(db, Game(afterMidnight, 300, 120, 0, 60, 500)));
        QVERIFY(WriteGame(db, Game(late, 200, 100, 5, 50, 500)));
        QVERIFY(WriteGame(db, Game(evening, 100, 80, 15, 40, 500)));

        QString error;
        const QList<GameSummary> games = ReadGames(db, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QCOMPARE(games.size(), 3);
        QCOMPARE(games[0].score, 100);
        QCOMPARE(games[1].score, 200);
        QCOMPARE(games[2].score, 300);

        const QList<DayFigures> days = ReadDays(db, &error);
        QCOMPARE(days.size(), 2);
        QCOMPARE(days[0].day, QDate(2026, 3, 1));
        QCOMPARE(days[0].games, 2);
        QCOMPARE(days[0].keys, 180);
        QCOMPARE(days[0].misses, 20);
        QCOMPARE(days[0].bestScore, 200);
        QCOMPARE(days[0].kpm(), 120.0);
        QCOMPARE(days[0].accuracy(), 0.9);
        QCOMPARE(days[1].day, QDate(2026, 3, 2));
        QCOMPARE(days[1].games, 1);
    }

    // The last of twelve games against the ten before it (the first is too
    // old to count); a game without a key has no reaction time and is left
    // out of that mean only.
    void lastGameAgainstTenBefore() {
        TempProgramFolder folder;
        HistoryDb db;
        QVERIFY2(!ReadLastGame(db), "no game yet");
        const QDateTime first(QDate(2026, 3, 1), QTime(9, 0), kJapan);
        for (int i = 1; i <= 12; ++i) {
            // Game i scores 100 i, types 60 i keys a minute with i misses and
            // reacts in 10 i ms; game 5 never got a key.
            const std::optional<int> reaction = i == 5 ? std::nullopt : std::optional(10 * i);
            QVERIFY(WriteGame(
                db, Game(first.addSecs(qint64(600) * i), 100 * i, 60 * i, i, 60, reaction)));
        }
        QString error;
        const std::optional<LastGameComparison> last = ReadLastGame(db, &error);
        QVERIFY2(last, qPrintable(error));
        QCOMPARE(last->game.score, 1200);
        QCOMPARE(last->last.score, 1200.0);
        QCOMPARE(last->last.kpm, 720.0);
        QCOMPARE(last->last.misses, 12.0);
        QCOMPARE(last->last.reactionMs.value_or(-1), 120.0);
        QCOMPARE(last->previousGames, 10);
        QCOMPARE(last->previous.score, 650.0);
        QCOMPARE(last->previous.kpm, 390.0);
        QCOMPARE(last->previous.misses, 6.5);
        QCOMPARE(last->previous.accuracy, 60.0 / 61.0);
        QCOMPARE(last->previous.reactionMs.value_or(-1), 600.0 / 9.0);
    }

    // Misses ranked with the prior: a kana missed once in its only attempt
    // comes below one missed three times in four over sixty attempts, and one
    // never missed in its only attempt above one seldom missed in a hundred.
    // Slowness against the median of the kana's mean times, tempered the same
    // way.
    void weakKanaOrder() {
        const QList<KanaFigures> kana = {
            Kana("あ", 100, 2, 100, 20000), // 200 ms
            Kana("し", 20, 10, 20, 6000),   // 300 ms
            Kana("つ", 60, 45, 60, 24000),  // 400 ms
            Kana("ぬ", 1, 1, 1, 2000),      // 2000 ms
            Kana("へ", 2, 1, 2, 1000),      // 500 ms
            Kana("ろ", 1, 0, 0, 0),         // never completed
        };
        const QList<RankedKana> weakest = WeakestByMisses(kana);
        QCOMPARE(Names(weakest), QStringList({"つ", "ぬ", "し", "へ", "ろ", "あ"}));
        QCOMPARE(weakest[0].score, 46.0 / 62.0);
        QCOMPARE(weakest[2].score, weakest[3].score); // equal: more attempts first
        QCOMPARE(Names(WeakestByMisses(kana, 2)), QStringList({"つ", "ぬ"}));

        QCOMPARE(MedianKanaMs(kana).value_or(-1), 400.0);
        QCOMPARE(MedianKanaMs(kana.mid(0, 3) + kana.mid(4, 1)).value_or(-1), 350.0);
        QVERIFY(!MedianKanaMs({Kana("ろ", 1, 0, 0, 0)}));
        const QList<RankedKana> slowest = SlowestKana(kana);
        QCOMPARE(Names(slowest), QStringList({"ぬ", "へ", "つ", "し", "あ"}));
        QCOMPARE(slowest[0].score, (2000.0 + 800) / 3 / 400);
        QCOMPARE(slowest[2].score, 1.0);
    }
};

QTEST_GUILESS_MAIN(TestHistoryQueries)
#include "test_historyqueries.moc"
