#pragma once
// The tables of the history and the steps from each version of the file to
// the next, recorded in PRAGMA user_version.
//
// Version 1: games, their words, per kana its misses, time and the spelling
// typed, per miss the keys expected and the key typed, and running totals per
// kana, per key and per confusion. The file is marked as this program's with
// PRAGMA application_id = kHistoryApplicationId.

#include <QSqlDatabase>
#include <QSqlError>

// The version this program writes.
constexpr int kHistoryVersion = 1;
// "YUBI" in ASCII.
constexpr int kHistoryApplicationId = 0x59554249;

enum class MigrateResult {
    Current, // the file is (now) of kHistoryVersion
    Newer,   // the file is of a later version; nothing was changed
    Failed,  // a step failed; the file is as it was
};

// Brings the database to kHistoryVersion: every missing step in order, all in
// one transaction, so a file is at one version or the next, never between.
// A new, empty database gets every step. failure says why it Failed.
MigrateResult MigrateHistory(const QSqlDatabase& db, QSqlError* failure);
