#pragma once
// Reading the totals per spelling and per habit of spelling, inside a read
// transaction the caller holds. A file of the version before they were kept
// reads as having none of them.

#include "history/historyfigures.h"

#include <QList>
#include <QSqlDatabase>
#include <QSqlError>

// Sets each kana's habitMisses and habitAttempts.
bool AddHabitMisses(const QSqlDatabase& db, QList<KanaFigures>& kana, QSqlError* failure);

// Fills overview's spellings, habits, slowest and spellingsLater.
bool SelectSpellingFigures(const QSqlDatabase& db, HistoryOverview& overview, QSqlError* failure);
