// Recording a game: every figure, word, kana and miss is read back as
// written, the totals the statistics read add up over games, and a write
// that cannot finish leaves nothing of the game behind.

#include "historydb.h"
#include "historyqueries.h"
#include "historywriter.h"
#include "testsupport.h"

#include <QSqlQuery>
#include <QtTest>

#include <algorithm>

namespace {

KanaRecord Kana(const QString& kana, const QString& spelling, std::optional<int> ms,
                const QList<KeyMiss>& misses = {}) {
    return {kana, spelling, ms, misses};
}

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
         {Kana("しゃ", "SYA", 900, {{"YH", "U"}}), Kana("し", "SI", 300),
          Kana("ん", "NN", 500, {{"N", "M"}})}},
        {"学校",
         600,
         3000,
         {Kana("が", "GA", 400), Kana("っこ", "KKO", 700, {{"K", "O"}}), Kana("う", "U", 300)}},
        {"新聞",
         500,
         std::nullopt,
         {Kana("し", "SHI", 600), Kana("ん", "N", 400),
          Kana("ぶ", "B", std::nullopt, {{"U", "A"}, {"U", "I"}})}},
    };
    return game;
}

// The entry of list whose name is name, or nothing.
template <typename Figures>
const Figures* Find(const QList<Figures>& list, QString Figures::*field, const QString& name) {
    const auto it = std::find_if(list.begin(), list.end(),
                                 [&](const Figures& figures) { return figures.*field == name; });
    return it == list.end() ? nullptr : &*it;
}

} // namespace

class TestHistoryWriter : public QObject {
    Q_OBJECT

private slots:
    void recordReadBack() {
        TempProgramFolder folder;
        HistoryDb db;
        const GameRecord game = ScriptedGame();
        QString message;
        qint64 id = 0;
        QVERIFY2(WriteGame(db, game, &message, &id), qPrintable(message));
        QVERIFY2(message.isEmpty(), qPrintable(message));

        const std::optional<GameRecord> read = ReadGame(db, id, &message);
        QVERIFY2(read, qPrintable(message));
        QCOMPARE(read->id, id);
        QCOMPARE(StartedText(read->started), QStringLiteral("2026-03-01T21:05:09+09:00"));
        QCOMPARE(read->list, game.list);
        QCOMPARE(read->level, game.level);
        QCOMPARE(read->wordsPerStage, game.wordsPerStage);
        QCOMPARE(read->result, game.result);
        QCOMPARE(read->stage, game.stage);
        QCOMPARE(read->score, game.score);
        QCOMPARE(read->words, game.words);
        QCOMPARE(read->keys, game.keys);
        QCOMPARE(read->misses, game.misses);
        QCOMPARE(read->seconds, game.seconds);
        QCOMPARE(read->wordList.size(), game.wordList.size());
        for (qsizetype w = 0; w < game.wordList.size(); ++w)
            QVERIFY2(read->wordList[w] == game.wordList[w], qPrintable(game.wordList[w].text));

        QVERIFY(!ReadGame(db, id + 1, &message));
        QVERIFY2(message.isEmpty(), "a missing game is no failure");
    }

    // The totals behind the kana chart, the keyboard and the confusions, over
    // the scripted game written twice: each kana's figures whatever its
    // spelling, each key's due and missed counts, the confusions by count.
    void totals() {
        TempProgramFolder folder;
        HistoryDb db;
        GameRecord game = ScriptedGame();
        QVERIFY(WriteGame(db, game));
        // The second time ぶ is missed once more with A.
        game.wordList[2].kana[2].misses.append(KeyMiss{"U", "A"});
        QVERIFY(WriteGame(db, game));

        QString error;
        const QList<KanaFigures> kana = ReadKanaFigures(db, &error);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        QStringList order;
        for (const KanaFigures& figures : kana)
            order.append(figures.kana);
        QCOMPARE(order, QStringList({"う", "し", "ん", "が", "ぶ", "しゃ", "っこ"}));
        struct Expected {
            const char16_t* kana;
            qint64 attempts, misses, timed, totalMs;
        };
        const Expected rows[] = {
            {u"し", 4, 0, 4, 1800}, {u"ん", 4, 2, 4, 1800},   {u"しゃ", 2, 2, 2, 1800},
            {u"ぶ", 2, 5, 0, 0},    {u"っこ", 2, 2, 2, 1400},
        };
        for (const Expected& row : rows) {
            const QString name = QString::fromUtf16(row.kana);
            const KanaFigures* figures = Find(kana, &KanaFigures::kana, name);
            QVERIFY2(figures, qPrintable(name));
            QVERIFY2(figures->attempts == row.attempts, qPrintable(name + " attempts"));
            QVERIFY2(figures->misses == row.misses, qPrintable(name + " misses"));
            QVERIFY2(figures->timed == row.timed, qPrintable(name + " timed"));
            QVERIFY2(figures->totalMs == row.totalMs, qPrintable(name + " total ms"));
        }
        QCOMPARE(Find(kana, &KanaFigures::kana, "し")->meanMs().value_or(-1), 450.0);
        QVERIFY2(!Find(kana, &KanaFigures::kana, "ぶ")->meanMs(), "ぶ was never completed");

        // A key is due at every correct key of that letter and every miss
        // where the target showed it.
        const QList<KeyFigures> keys = ReadKeyFigures(db, &error);
        struct ExpectedKey {
            const char* key;
            qint64 expected, missed;
        };
        const ExpectedKey keyRows[] = {{"S", 6, 0}, {"N", 8, 2}, {"Y", 4, 2},
                                       {"K", 6, 2}, {"U", 7, 5}, {"H", 2, 0}};
        for (const ExpectedKey& row : keyRows) {
            const KeyFigures* figures = Find(keys, &KeyFigures::key, row.key);
            QVERIFY2(figures, row.key);
            QVERIFY2(figures->expected == row.expected, row.key);
            QVERIFY2(figures->missed == row.missed, row.key);
        }
        QVERIFY2(!Find(keys, &KeyFigures::key, "M"), "a key typed wrongly is not due");

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

    // A disk that fills during the write: false, a reason naming the file,
    // and nothing of the game stored; the next write goes through.
    void fullDisk() {
        TempProgramFolder folder;
        HistoryDb db;
        QVERIFY(WriteGame(db, ScriptedGame()));
        const QSqlDatabase connection = db.connection();
        QSqlQuery pages(connection);
        QVERIFY(pages.exec("PRAGMA page_count") && pages.next());
        const int used = pages.value(0).toInt();
        QVERIFY(pages.exec(QStringLiteral("PRAGMA max_page_count = %1").arg(used)));

        GameRecord big = ScriptedGame();
        for (int i = 0; i < 200; ++i)
            big.wordList.append(big.wordList[0]);
        QString message;
        QVERIFY(!WriteGame(db, big, &message));
        QVERIFY2(message.contains(folder.filePath("history.sqlite")), qPrintable(message));
        QVERIFY2(message.contains(u"ディスクの空きが足りません"), qPrintable(message));
        QCOMPARE(ReadGames(db).size(), 1);
        QCOMPARE(ReadKanaFigures(db).size(), 7);

        QVERIFY(pages.exec("PRAGMA max_page_count = 1000000"));
        QVERIFY2(WriteGame(db, big, &message), qPrintable(message));
        QCOMPARE(ReadGames(db).size(), 2);
    }
};

QTEST_GUILESS_MAIN(TestHistoryWriter)
#include "test_historywriter.moc"
