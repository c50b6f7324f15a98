#pragma once
// The tables of the history and the steps from each version of the file to
// the next, recorded in PRAGMA user_version.
//
// Version 1: games, their words, and per kana its misses and time.
// Version 2: per kana also the spelling typed; per miss the keys expected and
// the key typed; running totals per kana, per key and per confusion, so the
// statistics need not read every kana row.

#include <QSqlDatabase>
#include <QSqlError>

// The version this program writes.
constexpr int kHistoryVersion = 2;

enum class MigrateResult {
    Current, // the file is (now) of kHistoryVersion
    Newer,   // the file is of a later version; nothing was changed
    Failed,  // a step failed; the file is as it was
};

// Brings the database to kHistoryVersion: every missing step in order, all in
// one transaction, so a file is at one version or the next, never between.
// A new, empty database gets every step. failure says why it Failed.
MigrateResult MigrateHistory(const QSqlDatabase& db, QSqlError* failure);
