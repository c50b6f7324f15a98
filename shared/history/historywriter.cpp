#include "history/historywriter.h"

#include "history/daytotals.h"
#include "history/gamewords.h"
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

    KanaTallies tallies;
    for (const WordRecord& word : game.wordList) {
        for (const KanaRecord& unit : word.kana)
            tallies.add(unit);
    }
    if (!StoreWords(db, id, game.wordList, failure) || !tallies.store(db, failure))
        return false;
    SpellingTallies spellings;
    spellings.add(game);
    GameSummary summary = game;
    summary.kana = CompletedKana(game);
    return spellings.store(db, failure) && AddToDayTotals(db, summary, failure);
}

// Writes the games in one transaction, each unless the history holds its
// uuid already; ids, when given, gets the number of each.
bool Store(const QSqlDatabase& db, const QList<GameRecord>& games, const QStringList& uuids,
           QList<qint64>* ids, QSqlError* failure) {
    SqlTransaction transaction(db, SqlTransaction::Kind::Write, failure);
    if (!transaction.begun())
        return false;
    SqlStatement known(db, "SELECT id FROM games WHERE uuid = ?", failure);
    QList<qint64> stored;
    bool added = false;
    for (qsizetype n = 0; n < games.size(); ++n) {
        // Written already, by this program before a crash took the news or
        // by another program retrying the same waiting game: kept as it is.
        if (!known.run({uuids[n]}))
            return false;
        qint64 id = 0;
        if (known.next()) {
            id = known.number(0);
        } else if (!StoreRows(db, games[n], uuids[n], id, failure)) {
            return false;
        } else {
            added = true;
        }
        stored.append(id);
    }
    if (!transaction.commit(failure))
        return false;
    // The committed games are in the journal; copying them into the file
    // now keeps the journal from growing with the run. A reader in the way
    // only leaves the copy for the next game.
    if (added)
        Exec(db, QStringLiteral("PRAGMA wal_checkpoint(PASSIVE)"), nullptr);
    if (ids)
        *ids = stored;
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

// Writes the games as one transaction through db, and sorts why not.
bool Write(HistoryDb& db, const QList<GameRecord>& games, QString* message, QList<qint64>* ids,
           WriteProblem* problem) {
    // A game never given an identity was never written anywhere else.
    QStringList uuids;
    for (const GameRecord& game : games)
        uuids.append(game.uuid.isEmpty() ? QUuid::createUuid().toString() : game.uuid);
    QSqlError seen;
    QString said;
    const bool written = db.run(
        HistoryDb::Access::Write,
        [&](const QSqlDatabase& connection, QSqlError* failure) {
            const bool stored = Store(connection, games, uuids, ids, failure);
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

} // namespace

bool WriteGame(HistoryDb& db, const GameRecord& game, QString* message, qint64* id,
               WriteProblem* problem) {
    QList<qint64> ids;
    const bool written = Write(db, {game}, message, &ids, problem);
    if (written && id)
        *id = ids.constFirst();
    return written;
}

bool WriteGames(HistoryDb& db, const QList<GameRecord>& games, QString* message) {
    return Write(db, games, message, nullptr, nullptr);
}
