#pragma once
// Reading the history through a filter (a word list, a start level, a range
// of days) from the running totals per day, and the games themselves at the
// resolution a chart draws them. Errors as in historyqueries.h.

#include "history/historydb.h"
#include "history/historyfigures.h"

#include <QDate>
#include <QList>
#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <optional>

// The games of each day the filter passes, oldest first. Empty when there is
// none or on failure.
QList<DayFigures> ReadDayFigures(HistoryDb& db, const TrendFilter& filter,
                                 QString* error = nullptr);
// The same inside a transaction of the caller's. False on failure.
bool SelectDayFigures(const QSqlDatabase& db, const TrendFilter& filter, QList<DayFigures>& days,
                      QSqlError* failure);

// A best figure and the first day it was reached.
struct PersonalBest {
    double value = 0;
    QDate day;
};
// The bests of one word list's games.
struct ListBests {
    QString list;
    PersonalBest score;
    std::optional<PersonalBest> kpm;      // nothing: no game with a correct key
    std::optional<PersonalBest> accuracy; // over a whole game, 0 to 1
};
// The bests per word list among the games the filter passes (its list part
// included), in list name order. Empty when there is none or on failure.
QList<ListBests> ReadBests(HistoryDb& db, const TrendFilter& filter, QString* error = nullptr);

// The word lists and start levels of every game, for choosing a filter.
struct PlayedChoices {
    QStringList lists; // in name order
    QList<int> levels; // ascending
};
std::optional<PlayedChoices> ReadPlayedChoices(HistoryDb& db, QString* error = nullptr);

// The games with a correct key the filter passes, oldest first, in at most
// buckets runs, reading a bounded number of games whatever the history
// holds. Up to 32 games a run, every game is read: runs of (nearly) equal
// length, a game each when there are fewer games than buckets, their
// quartiles over every game. Beyond, a run is of whole days with (nearly)
// equal numbers of games (a day with more than a run's share is a run of its
// own), its means from the totals per day and its quartiles from 32 of its
// games spread over it, read through the index of start times; first and
// last are then of those games. Empty when there is none or on failure.
QList<GameBucket> ReadGamePoints(HistoryDb& db, const TrendFilter& filter, int buckets,
                                 QString* error = nullptr);

// What a page of trends shows for one filter, read in one transaction so
// that its parts agree.
struct TrendFigures {
    TrendFilter filter;      // what they were read for
    PlayedChoices choices;   // of every game, to choose the filter from
    QList<ListBests> bests;  // as ReadBests
    QList<DayFigures> days;  // as ReadDayFigures
    QList<GameBucket> games; // as ReadGamePoints
};
std::optional<TrendFigures> ReadTrend(HistoryDb& db, const TrendFilter& filter, int buckets,
                                      QString* error = nullptr);
