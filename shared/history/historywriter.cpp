#include "history/historywriter.h"

#include "history/daytotals.h"
#include "history/kanatallies.h"
#include "history/spellingtotals.h"
#include "history/sqlsupport.h"

#include <QFile>
#include <QFileInfo>
#include <QUuid>
#include <QVariant>

#include <sys/statvfs.h>
#include <unistd.h>

namespace {

QVariant Optional(const std::optional<int>& value) {
    return value ? QVariant(*value) : QVariant();
}

bool StoreRows(const QSqlDatabase& db, const GameRecord& game, const QString& uuid, qint64& id,
               QSqlError* failure) {
    SqlStatement games(
        db,
        "INSERT INTO games (uuid, started, started_ms, list, level, words_per_stage, result,"
        " stage, score, words, keys, misses, seconds, kana)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
        failure);
    if (!games.run({uuid, StartedText(game.started), game.started.toMSecsSinceEpoch(), game.list,
                    game.level, game.wordsPerStage, ResultName(game.result), game.stage, game.score,
                    game.words, game.keys, game.misses, game.seconds, CompletedKana(game)}))
        return false;
    id = games.lastInsertId();

    SqlStatement words(db,
                       "INSERT INTO words (game, pos, text, reaction_ms, completion_ms)"
                       " VALUES (?, ?, ?, ?, ?)",
                       failure);
    SqlStatement kana(db,
                      "INSERT INTO kana (game, word, pos, kana, spelling, misses, ms)"
                      " VALUES (?, ?, ?, ?, ?, ?, ?)",
                      failure);
    SqlStatement misses(db,
                        "INSERT INTO miss_keys (game, word, kana, seq, expected, typed)"
                        " VALUES (?, ?, ?, ?, ?, ?)",
                        failure);
    Tallies tallies;
    for (int w = 0; w < game.wordList.size(); ++w) {
        const WordRecord& word = game.wordList[w];
        if (!words.run({id, w, word.text, Optional(word.reactionMs), Optional(word.completionMs)}))
            return false;
        for (int k = 0; k < word.kana.size(); ++k) {
            const KanaRecord& unit = word.kana[k];
            if (!kana.run({id, w, k, unit.kana, unit.spelling, int(unit.misses.size()),
                           Optional(unit.ms)}))
                return false;
            for (int m = 0; m < unit.misses.size(); ++m) {
                if (!misses.run({id, w, k, m, unit.misses[m].expected, unit.misses[m].typed}))
                    return false;
            }
            tallies.add(unit);
        }
    }

    SqlStatement kanaTotals(db,
                            "INSERT INTO kana_totals (kana, attempts, misses, timed, total_ms)"
                            " VALUES (?, ?, ?, ?, ?) ON CONFLICT (kana) DO UPDATE SET"
                            " attempts = attempts + excluded.attempts,"
                            " misses = misses + excluded.misses,"
                            " timed = timed + excluded.timed,"
                            " total_ms = total_ms + excluded.total_ms",
                            failure);
    for (const auto& [text, tally] : tallies.kana) {
        if (!kanaTotals.run({text, tally.attempts, tally.misses, tally.timed, tally.totalMs}))
            return false;
    }
    SqlStatement keyTotals(db,
                           "INSERT INTO key_totals (key, expected, missed) VALUES (?, ?, ?)"
                           " ON CONFLICT (key) DO UPDATE SET"
                           " expected = expected + excluded.expected,"
                           " missed = missed + excluded.missed",
                           failure);
    for (const auto& [key, tally] : tallies.keys) {
        if (!keyTotals.run({key, tally.expected, tally.missed}))
            return false;
    }
    SqlStatement confusions(
        db,
        "INSERT INTO confusions (kana, expected, typed, count) VALUES (?, ?, ?, ?)"
        " ON CONFLICT (kana, expected, typed) DO UPDATE SET"
        " count = count + excluded.count",
        failure);
    for (const auto& [confusion, count] : tallies.confusions) {
        const auto& [text, expected, typed] = confusion;
        if (!confusions.run({text, expected, typed, count}))
            return false;
    }
    SpellingTallies spellings;
    spellings.add(game);
    GameSummary summary = game;
    summary.kana = CompletedKana(game);
    return spellings.store(db, failure) && AddToDayTotals(db, summary, failure);
}

bool Store(const QSqlDatabase& db, const GameRecord& game, const QString& uuid, qint64* id,
           QSqlError* failure) {
    SqlTransaction transaction(db, SqlTransaction::Kind::Write, failure);
    if (!transaction.begun())
        return false;
    // Written already, by this program before a crash took the news or by
    // another program retrying the same waiting game: kept as it is.
    SqlStatement known(db, "SELECT id FROM games WHERE uuid = ?", failure);
    if (!known.run({uuid}))
        return false;
    qint64 stored = 0;
    if (known.next()) {
        stored = known.number(0);
    } else if (!StoreRows(db, game, uuid, stored, failure) || !transaction.commit(failure)) {
        return false;
    } else {
        // The committed game is in the journal; copying it into the file
        // now keeps the journal from growing with the run. A reader in the
        // way only leaves the copy for the next game.
        Exec(db, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"), nullptr);
    }
    if (id)
        *id = stored;
    return true;
}

// Whether the disk that holds path has no room left: a write that fails for
// want of room is often told by SQLite only as a failed write.
bool DiskFull(const QString& path) {
    struct statvfs disk {};
    if (::statvfs(QFile::encodeName(QFileInfo(path).absolutePath()).constData(), &disk) != 0)
        return false;
    // What the writer may still use: root may take the blocks kept back for it.
    const unsigned long long blocks = ::geteuid() == 0 ? disk.f_bfree : disk.f_bavail;
    constexpr unsigned long long kRoomForAGame = 1 << 20;
    return blocks * disk.f_frsize < kRoomForAGame;
}

} // namespace

bool WriteGame(HistoryDb& db, const GameRecord& game, QString* message, qint64* id,
               WriteProblem* problem) {
    // A game never given an identity was never written anywhere else.
    const QString uuid = game.uuid.isEmpty() ? QUuid::createUuid().toString() : game.uuid;
    QSqlError seen;
    QString said;
    const bool written = db.run(
        HistoryDb::Access::Write,
        [&](const QSqlDatabase& connection, QSqlError* failure) {
            const bool stored = Store(connection, game, uuid, id, failure);
            seen = *failure;
            return stored;
        },
        &said);
    WriteProblem why = WriteProblem::None;
    if (!written) {
        why = IsBusyError(seen) ? WriteProblem::Busy : WriteProblem::Other;
        // Opening failed (no statement ran), or the disk did.
        if ((!seen.isValid() || IsDiskError(seen)) && DiskFull(db.path())) {
            why = WriteProblem::DiskFull;
            said =
                QStringLiteral("成績の記録「%1」に書き込めません（ディスクの空きが足りません）。")
                    .arg(db.path());
        }
    }
    if (message)
        *message = said;
    if (problem)
        *problem = why;
    return written;
}
