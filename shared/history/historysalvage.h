#pragma once
// Copying what can still be read from a damaged history into a new one.

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <optional>

// Copies into db (open, of the current version) every game of the file at
// brokenPath whose rows all read back: its figures, words, kana and missed
// keys; a game with a row that fails is left out whole. The running totals
// are then made anew from every game db holds. The file at brokenPath is
// opened read-only and only when its tables are exactly ours. Returns how
// many games were copied, 0 when none could be read; nothing when db could
// not be written (failure says why).
std::optional<int> SalvageGames(const QSqlDatabase& db, const QString& brokenPath,
                                QSqlError* failure);
