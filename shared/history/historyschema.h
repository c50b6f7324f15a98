#pragma once
// The tables of the history and the steps from each version of the file to
// the next, recorded in PRAGMA user_version.
//
// Version 1: games, their words, per kana its misses, time and the spelling
// typed, per miss the keys expected and the key typed, and running totals per
// kana, per key and per confusion. The file is marked as this program's with
// PRAGMA application_id = kHistoryApplicationId.
//
// Version 2: running totals per kana and spelling typed and per habit of
// spelling, and per game the kana completed.
//
// Version 3: running totals per day, word list and start level.
//
// Version 4: each game's words, kana and missed keys packed into one value.
//
// Version 5: those values packed anew, a quarter smaller.
//
// Version 6: per kana and per spelling, the attempts with a miss.
//
// Version 7: running totals per day of every list and level, each list's
// bests, and the lists and levels played.

#include <QSqlDatabase>
#include <QSqlError>

#include <optional>

// The version this program writes.
constexpr int kHistoryVersion = 7;
// The first version whose games hold their completed kana.
constexpr int kKanaVersion = 2;
// "YUBI" in ASCII.
constexpr int kHistoryApplicationId = 0x59554249;

enum class MigrateResult {
    Current, // the file is (now) of the version wanted
    Newer,   // the file is of a later version; nothing was changed
    Failed,  // a step failed; the file is as it was
};

// Brings the database to target (kHistoryVersion unless a test makes a file
// of an older version): every missing step in order, all in one
// transaction, so a file is at one version or the next, never between. A
// new, empty database gets every step. failure says why it Failed.
MigrateResult MigrateHistory(const QSqlDatabase& db, QSqlError* failure,
                             int target = kHistoryVersion);

// The version recorded in the file; nothing when it could not be read.
std::optional<int> HistoryVersion(const QSqlDatabase& db, QSqlError* failure);

// What reads the attempts with a miss from a row of kana_totals or
// spelling_totals in db: the column; in a file of a version before it was
// kept, read as it lies until a writer brings it up to date, the misses up
// to the attempts, which is never fewer. Nothing when the version could not
// be read.
std::optional<QString> MissedAttemptsColumn(const QSqlDatabase& db, QSqlError* failure);

// What a database file is to this program, told from its header and its
// schema alone, without a write.
enum class HistoryKind {
    Ours,    // marked as ours, of kHistoryVersion, with exactly our tables
    Older,   // marked as ours, of an earlier version, with exactly its tables
    Empty,   // no schema and no mark: a file still to be made
    Newer,   // marked as ours, of a later version
    Foreign, // anything else: another program's file, or ours altered
};
// Nothing when the file could not be read; failure says why.
std::optional<HistoryKind> IdentifyHistory(const QSqlDatabase& db, QSqlError* failure);

// True when the attached database schema holds exactly the objects of one
// version up to kHistoryVersion (the tables and index, with our columns;
// nothing else).
bool HasHistorySchema(const QSqlDatabase& db, const QString& schema, QSqlError* failure);
