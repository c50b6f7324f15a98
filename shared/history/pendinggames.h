#pragma once
// The games that wait to be written into the history: one file per game in
// the folder "history-pending" beside history.sqlite, named after the game's
// start and identity, holding the whole record as JSON. A game goes there
// the moment it ends and leaves once the history holds it; a game the history
// could not take stays, with the reason, until the next game's end or the
// next start of the game or the editor writes it.
//
// The files are read as data anyone may have written: a link, a file too
// large or one that does not hold a whole game is set aside, never trusted.

#include "play/gamerecord.h"

#include <QString>
#include <QStringList>

#include <optional>

// The folder of the games waiting to be written into the history at
// historyPath.
QString PendingFolder(const QString& historyPath);

// Puts game (which must have its uuid) into the pending store of the
// history at historyPath, replacing the file of the same game. durable waits
// until the file is on the disk, so a power cut keeps it; otherwise it
// survives the program's end but may not survive a power cut. reason: why
// the game waits, empty while it is only on its way. False, with why in
// Japanese, when the file cannot be written.
bool KeepPendingGame(const QString& historyPath, const GameRecord& game, bool durable,
                     const QString& reason, QString* error = nullptr);

// The path the file of game has in the store.
QString PendingFile(const QString& historyPath, const GameRecord& game);

// The files of the store in the order the games started; none when the store
// is missing or is not a real folder.
QStringList PendingFiles(const QString& historyPath);

// One game read back from the store, and why it waits (empty when not said).
struct PendingGame {
    GameRecord game;
    QString reason;
};
// The game a file of the store holds. Nothing when it is a link or no regular
// file, larger than any game, or does not hold a whole game of this format.
std::optional<PendingGame> ReadPendingGame(const QString& file);

// Removes a file of the store once its game is in the history.
void ForgetPendingGame(const QString& file);

// Renames a file that holds no game to "<name>.broken", where the store no
// longer looks, and returns that name; empty when it cannot be renamed.
QString SetPendingFileAside(const QString& file);

// Removes the temporary files that writes into the store of processes no
// longer running left behind.
void RemoveStalePendingFiles(const QString& historyPath);

// "記録待ちのゲーム 3 件（reasons）": what Seiseki shows of the store; empty
// when no game waits.
QString PendingSummary(const QString& historyPath);
