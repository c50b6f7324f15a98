#pragma once
// What the history asks of SQLite below Qt's driver, on the handle the driver
// holds: a file's contents are data, so every statement on it is bounded in
// time and memory, and nothing is written to a file on closing before the
// file is known to be this program's.

#include <QSqlDatabase>
#include <QSqlError>

#include <chrono>

using SqlDeadline = std::chrono::steady_clock::time_point;

// Bounds the connection: schema code (views, triggers, defaults) runs no
// function with side effects, temporary tables stay in memory, a value longer
// than a megabyte is refused, SQLite's memory in the whole process is capped,
// and a statement still running at *deadline is interrupted. *deadline must
// outlive the connection. False with the failure when the handle is not
// SQLite's or a setting is refused.
bool BoundConnection(const QSqlDatabase& db, const SqlDeadline* deadline, QSqlError* failure);

// Whether closing the last connection to the file copies the write-ahead log
// into it (SQLite's default).
void SetCheckpointOnClose(const QSqlDatabase& db, bool on);
