#pragma once
// Helpers shared by the tests of the history: games to write, statements run
// on a connection of the test's own, files of earlier versions, a program
// holding the history locked and a check that the file is whole.

#include "history/gamepacking.h"
#include "history/historydb.h"
#include "history/historyschema.h"
#include "history/historywriter.h"
#include "testsupport.h"

#include <QSqlQuery>
#include <QtTest>

#include <map>

#include <unistd.h>

// Runs statements on a connection of the test's own, outside the library.
inline void RunSql(const QString& path, const QStringList& statements) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-setup");
        db.setDatabaseName(path);
        if (!db.open())
            qFatal("cannot open %s", qPrintable(path));
        for (const QString& sql : statements) {
            QSqlQuery query(db);
            if (!query.exec(sql))
                qFatal("%s: %s", qPrintable(sql), qPrintable(query.lastError().text()));
        }
        db.close();
    }
    QSqlDatabase::removeDatabase("test-setup");
}

// An empty history of the given earlier version, its tables as they were
// then.
inline void MakeEmptyHistory(const QString& path, int version) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-empty-version");
        db.setDatabaseName(path);
        QSqlError failure;
        if (!db.open() || MigrateHistory(db, &failure, version) != MigrateResult::Current)
            qFatal("cannot make %s: %s", qPrintable(path), qPrintable(failure.text()));
        db.close();
    }
    QSqlDatabase::removeDatabase("test-empty-version");
}

// A history of the first version holding games as the game wrote them then:
// a row each, rows of their words, kana and missed keys, and the totals per
// kana.
inline void MakeFirstVersionHistory(const QString& path, const QList<GameRecord>& games) {
    {
        QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "test-first-version");
        db.setDatabaseName(path);
        QSqlError failure;
        if (!db.open() || MigrateHistory(db, &failure, 1) != MigrateResult::Current)
            qFatal("cannot make %s: %s", qPrintable(path), qPrintable(failure.text()));
        QSqlQuery row(db);
        const auto insert = [&row](const QString& sql, const QVariantList& values) {
            row.prepare(sql);
            for (qsizetype i = 0; i < values.size(); ++i)
                row.bindValue(int(i), values[i]);
            if (!row.exec())
                qFatal("%s: %s", qPrintable(sql), qPrintable(row.lastError().text()));
        };
        const auto optional = [](std::optional<int> value) {
            return value ? QVariant(*value) : QVariant();
        };
        for (qsizetype id = 1; id <= games.size(); ++id) {
            const GameRecord& game = games[id - 1];
            insert("INSERT INTO games VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                   {id, QString("uuid-%1").arg(id), StartedText(game.started),
                    game.started.toMSecsSinceEpoch(), game.list, game.level, game.wordsPerStage,
                    ResultName(game.result), game.stage, game.score, game.words, game.keys,
                    game.misses, game.seconds});
            for (qsizetype w = 0; w < game.wordList.size(); ++w) {
                const WordRecord& word = game.wordList[w];
                insert("INSERT INTO words VALUES (?, ?, ?, ?, ?)",
                       {id, w, word.text, optional(word.reactionMs), optional(word.completionMs)});
                for (qsizetype k = 0; k < word.kana.size(); ++k) {
                    const KanaRecord& kana = word.kana[k];
                    insert("INSERT INTO kana VALUES (?, ?, ?, ?, ?, ?, ?)",
                           {id, w, k, kana.kana, kana.misses.size(), optional(kana.ms),
                            kana.spelling});
                    for (qsizetype m = 0; m < kana.misses.size(); ++m)
                        insert("INSERT INTO miss_keys VALUES (?, ?, ?, ?, ?, ?)",
                               {id, w, k, m, kana.misses[m].expected, kana.misses[m].typed});
                }
            }
        }
        insert("INSERT INTO kana_totals SELECT kana, count(*), sum(misses), count(ms),"
               " coalesce(sum(ms), 0) FROM kana GROUP BY kana",
               {});
        db.close();
    }
    QSqlDatabase::removeDatabase("test-first-version");
}

// A history of the first version holding games games of one word: か and し
// completed, ん begun, five keys in 1.5 s.
inline void MakeFirstVersionHistory(const QString& path, int games) {
    QList<GameRecord> list;
    for (int n = 0; n < games; ++n) {
        list.append(TypedGame(QDateTime(QDate(2026, 3, 1), QTime(20, n), QTimeZone(9 * 3600)),
                              {{"か", "KA", 500, {}}, {"し", "SI", 400, {}}, {"ん", "N", {}, {}}}));
        list.back().seconds = 1.5;
    }
    MakeFirstVersionHistory(path, list);
}

// A history of the fifth version holding games as the game wrote them then:
// its tables as now, but for the attempts with a miss that the totals did
// not keep.
inline void MakeFifthVersionHistory(const QString& path, const QList<GameRecord>& games) {
    const QString now = path + ".now";
    {
        HistoryDb db(now);
        if (!WriteGames(db, games))
            qFatal("cannot write games into %s", qPrintable(now));
    }
    MakeEmptyHistory(path, 5);
    QStringList copy = {QStringLiteral("ATTACH DATABASE '%1' AS now").arg(now)};
    for (const char* table :
         {"games", "game_words", "key_totals", "confusions", "habit_totals", "day_totals"})
        copy << QStringLiteral("INSERT INTO main.%1 SELECT * FROM now.%1").arg(table);
    copy << "INSERT INTO main.kana_totals SELECT kana, attempts, misses, timed, total_ms"
            " FROM now.kana_totals"
         << "INSERT INTO main.spelling_totals SELECT kana, spelling, attempts, misses, timed,"
            " timed_ms, timed_square_ms FROM now.spelling_totals";
    RunSql(path, copy);
    for (const char* suffix : {"", "-wal", "-shm"})
        QFile::remove(now + suffix);
}

// A game of one word, started now.
inline GameRecord AnyGame() {
    return TypedGame(QDateTime::currentDateTime(), {{"き", "KI", 1100, {}}});
}

constexpr int kWordsPerGame = 45;
constexpr int kKanaPerWord = 5;

// A game of 45 words of five kana each, some missed; n makes each different.
// Only its rows matter here, not its figures.
inline GameRecord PlayedGame(const QString& list, int n) {
    static const std::pair<const char16_t*, const char*> kPool[] = {
        {u"か", "KA"},    {u"し", "SI"}, {u"しゃ", "SYA"}, {u"ん", "NN"},
        {u"っと", "TTO"}, {u"つ", "TU"}, {u"ふ", "HU"},    {u"ち", "TI"},
    };
    GameRecord game;
    game.started = QDateTime(QDate(2026, 1, 1), QTime(0, 0)).addSecs(qint64(60) * n);
    game.list = list;
    for (int w = 0; w < kWordsPerGame; ++w) {
        WordRecord word{QStringLiteral("語%1").arg(w), 500, 2500, {}};
        for (int k = 0; k < kKanaPerWord; ++k) {
            const auto& [kana, spelling] = kPool[(w * 7 + k * 3 + n) % 8];
            KanaRecord unit{QString::fromUtf16(kana), QString::fromLatin1(spelling), 400, {}};
            if ((w + k + n) % 5 == 0)
                unit.misses.append({unit.spelling.left(1), "Q"});
            // One missed kana in three is missed twice.
            if ((w + k + n) % 15 == 0)
                unit.misses.append({unit.spelling.left(1), "Q"});
            word.kana.append(unit);
        }
        game.wordList.append(word);
    }
    return game;
}

// Holds the history in program folder locked, as another program inside a
// long transaction would, until killed; a byte down ready says it holds it.
inline int HoldHistory(const QString& folder, int ready) {
    QSqlDatabase db = QSqlDatabase::addDatabase("QSQLITE", "holder");
    db.setDatabaseName(JoinPath(folder, "history.sqlite"));
    QSqlQuery query(db);
    if (!db.open() || !query.exec("BEGIN EXCLUSIVE") || write(ready, "h", 1) != 1)
        return 1;
    for (;;)
        pause();
}

inline QString Single(const HistoryDb& db, const QString& sql) {
    QSqlQuery query(db.connection());
    return query.exec(sql) && query.next() ? query.value(0).toString() : query.lastError().text();
}

// The totals per day, list and level hold what each game in the file adds:
// its count, and for a game with a correct key its keys, misses, time in
// whole ms, kana and bests; so do the totals per day of every list and
// level, each list's bests with the first day each was reached, and the
// lists and levels played. Counted here from the games as a reader would.
inline void VerifyDayTotals(HistoryDb& db) {
    const auto recount = [&db](const QString& key) {
        return Single(db,
                      "SELECT group_concat(row, ' / ') FROM (SELECT " + key +
                          " || ',' || count(*) || ',' || count(nullif(keys, 0)) || ','"
                          " || sum(keys) || ',' || total(iif(keys > 0, misses, 0)) || ','"
                          " || total(iif(keys > 0, round(seconds * 1000), 0)) || ','"
                          " || total(iif(keys > 0, kana, 0)) || ',' || max(score) || ','"
                          " || ifnull(max(iif(keys > 0, 60.0 * keys / seconds, NULL)), '-') || ','"
                          " || ifnull(max(iif(keys > 0, 1.0 * keys / (keys + misses), NULL)), '-')"
                          " AS row FROM games GROUP BY " +
                          key + " ORDER BY 1)");
    };
    const auto kept = [&db](const QString& key, const QString& table) {
        return Single(db, "SELECT group_concat(row, ' / ') FROM (SELECT " + key +
                              " || ',' || games || ',' || rated || ',' || keys || ','"
                              " || (1.0 * misses) || ',' || (1.0 * ms) || ',' || (1.0 * kana)"
                              " || ',' || best_score || ',' || ifnull(best_kpm, '-') || ','"
                              " || ifnull(best_accuracy, '-') AS row FROM " +
                              table + " ORDER BY 1)");
    };
    QCOMPARE(kept("day || ',' || list || ',' || level", "day_totals"),
             recount("substr(started, 1, 10) || ',' || list || ',' || level"));
    QCOMPARE(kept("day", "all_day_totals"), recount("substr(started, 1, 10)"));

    const QString bestDays = Single(
        db, "WITH g AS (SELECT list, substr(started, 1, 10) AS day, score,"
            " iif(keys > 0, 60.0 * keys / seconds, NULL) AS kpm,"
            " iif(keys > 0, 1.0 * keys / (keys + misses), NULL) AS accuracy FROM games),"
            " b AS (SELECT list, max(score) AS score, max(kpm) AS kpm, max(accuracy) AS accuracy"
            " FROM g GROUP BY list)"
            " SELECT group_concat(row, ' / ') FROM (SELECT list || ',' || score || ','"
            " || (SELECT min(day) FROM g WHERE g.list = b.list AND g.score = b.score) || ','"
            " || ifnull(kpm, '-') || ',' || ifnull((SELECT min(day) FROM g"
            " WHERE g.list = b.list AND g.kpm = b.kpm), '-') || ',' || ifnull(accuracy, '-')"
            " || ',' || ifnull((SELECT min(day) FROM g WHERE g.list = b.list"
            " AND g.accuracy = b.accuracy), '-') AS row FROM b ORDER BY 1)");
    QCOMPARE(Single(db, "SELECT group_concat(row, ' / ') FROM (SELECT list || ',' || best_score"
                        " || ',' || score_day || ',' || ifnull(best_kpm, '-') || ','"
                        " || ifnull(kpm_day, '-') || ',' || ifnull(best_accuracy, '-') || ','"
                        " || ifnull(accuracy_day, '-') AS row FROM list_bests ORDER BY 1)"),
             bestDays);
    QCOMPARE(Single(db, "SELECT group_concat(row, ' / ') FROM"
                        " (SELECT list || ',' || level AS row FROM played ORDER BY 1)"),
             Single(db, "SELECT group_concat(row, ' / ') FROM"
                        " (SELECT DISTINCT list || ',' || level AS row FROM games ORDER BY 1)"));
}

// The totals' attempts with a miss hold what each game in the file adds:
// counted here from the games' words as a reader would, a value that does
// not unpack passed over. Compared as lines "kana spelling: attempts with a
// miss", the spelling empty for the totals per kana, those of none left out.
inline void VerifyMissedAttempts(HistoryDb& db) {
    std::map<QString, qint64> recount;
    QSqlQuery words(db.connection());
    QVERIFY(words.exec("SELECT packed FROM game_words"));
    while (words.next()) {
        for (const WordRecord& word :
             UnpackWords(words.value(0).toByteArray()).value_or(QList<WordRecord>())) {
            for (const KanaRecord& kana : word.kana) {
                const qint64 missed = kana.misses.isEmpty() ? 0 : 1;
                recount[kana.kana + " :"] += missed;
                if (kana.ms)
                    recount[kana.kana + " " + kana.spelling + ":"] += missed;
            }
        }
    }
    QStringList counted;
    for (const auto& [row, missed] : recount) {
        if (missed > 0)
            counted.append(row + " " + QString::number(missed));
    }
    QSqlQuery totals(db.connection());
    QVERIFY(totals.exec("SELECT kana || ' :', missed_attempts FROM kana_totals UNION ALL"
                        " SELECT kana || ' ' || spelling || ':', missed_attempts"
                        " FROM spelling_totals"));
    QStringList kept;
    while (totals.next()) {
        if (totals.value(1).toLongLong() > 0)
            kept.append(totals.value(0).toString() + " " + totals.value(1).toString());
    }
    kept.sort();
    counted.sort();
    QCOMPARE(kept, counted);
}

// The whole database is sound, and each game in it has all its rows and
// added all its kana and its day to the totals.
inline void VerifyWhole(HistoryDb& db) {
    QString message;
    QVERIFY2(db.open(&message), qPrintable(message));
    QCOMPARE(Single(db, "PRAGMA integrity_check"), "ok");
    QCOMPARE(Single(db, "SELECT count(*) FROM games WHERE id NOT IN (SELECT game FROM game_words)"),
             "0");
    QCOMPARE(Single(db, "SELECT (SELECT coalesce(sum(attempts), 0) FROM kana_totals) ="
                        " 225 * (SELECT count(*) FROM games)"),
             "1");
    VerifyDayTotals(db);
    VerifyMissedAttempts(db);
}
