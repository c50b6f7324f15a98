#pragma once
// The trend chart's columns of games, read from the totals per day and a
// bounded sample of each column's games, so that their cost does not grow
// with the history.

#include "history/historyfigures.h"

#include <QList>

class QSqlDatabase;
class QSqlError;

// The games of days (as SelectDayFigures gives them) in at most buckets
// columns, as ReadGamePoints describes them. False with the failure.
bool SelectPoints(const QSqlDatabase& db, const TrendFilter& filter, const QList<DayFigures>& days,
                  int buckets, QList<GameBucket>& points, QSqlError* failure);
