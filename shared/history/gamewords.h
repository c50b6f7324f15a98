#pragma once
// Each game's words as the history holds them: packed, one value a game, or
// in a file of a version before that, in rows of words, kana and missed keys.

#include "play/gamerecord.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <functional>
#include <optional>

// Whether schema ("main" or an attached file) keeps the words in rows;
// nothing on failure.
std::optional<bool> WordsInRows(const QSqlDatabase& db, const QString& schema, QSqlError* failure);

// The words of game id in schema, empty when it has none. False on failure,
// or with failure left invalid when its packed words are damaged.
bool SelectWords(const QSqlDatabase& db, const QString& schema, qint64 id, QList<WordRecord>& words,
                 QSqlError* failure);

// What ForEachGameWords does at a game whose packed words are damaged:
// stops and fails, or passes the game over.
enum class DamagedWords { Fail, Skip };

// Calls each with every game's number and words in schema, by number, one
// game held at a time; a game without words is passed over. False on
// failure, when a game's packed words are damaged (unless damaged says to
// skip them), or when each says so.
using GameWordsVisitor = std::function<bool(qint64 id, const QList<WordRecord>& words)>;
bool ForEachGameWords(const QSqlDatabase& db, const QString& schema, const GameWordsVisitor& each,
                      QSqlError* failure, DamagedWords damaged = DamagedWords::Fail);

// Stores the words of game id packed in table game_words of main; a game
// of no words too, so that a game without its packed words is known lost.
bool StoreWords(const QSqlDatabase& db, qint64 id, const QList<WordRecord>& words,
                QSqlError* failure);

// Packs every game's words kept in rows in main into game_words, a game
// without rows as one of no words; the rows stay until the caller drops
// them.
bool PackWordRows(const QSqlDatabase& db, QSqlError* failure);

// Copies every game's words from game_words of main into repacked_words,
// packed anew as StoreWords packs them now; a value that does not unpack is
// copied as it is.
bool RepackWords(const QSqlDatabase& db, QSqlError* failure);
