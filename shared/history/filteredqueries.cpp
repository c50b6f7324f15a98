#include "history/filteredqueries.h"

#include "history/daytotals.h"
#include "history/gamebuckets.h"
#include "history/historyread.h"
#include "history/historyschema.h"
#include "history/sqlsupport.h"

#include <algorithm>
#include <map>
#include <utility>

namespace {

// The first versions that keep the totals per day, and that keep those of
// every list and level apart.
constexpr int kDayTotalsVersion = 3;
constexpr int kWholeTotalsVersion = 7;

const QString kFirstDay = QStringLiteral("0000-00-00");
const QString kLastDay = QStringLiteral("9999-99-99");

QString DayText(const std::optional<QDate>& day, const QString& open) {
    return day ? day->toString(Qt::ISODate) : open;
}

// The totals per day, list and level under the name day_totals: the table,
// or for a file the game has not brought up to date, the same counted from
// its games in a WITH clause before the statement.
std::optional<QString> DayTotalsSource(const QSqlDatabase& db, QSqlError* failure) {
    const std::optional<int> version = HistoryVersion(db, failure);
    if (!version)
        return std::nullopt;
    if (*version >= kDayTotalsVersion)
        return QString();
    return QStringLiteral("WITH day_totals (day, list, level, games, rated, keys, misses, ms,"
                          " kana, best_score, best_kpm, best_accuracy) AS (SELECT %1"
                          " FROM games GROUP BY 1, 2, 3) ")
        .arg(DayTotalsColumns(*version >= kKanaVersion ? QStringLiteral("kana")
                                                       : QStringLiteral("NULL")));
}

// The rows of day_totals the filter passes; its values bound in this order.
const QString kDayFilter =
    QStringLiteral(" WHERE (? IS NULL OR list = ?) AND (? IS NULL OR level = ?)"
                   " AND day >= ? AND day <= ?");

bool RunDayFilter(SqlStatement& statement, const TrendFilter& filter) {
    return statement.run({Given(filter.list), Given(filter.list), Given(filter.level),
                          Given(filter.level), DayText(filter.from, kFirstDay),
                          DayText(filter.to, kLastDay)});
}

std::optional<double> OptionalReal(const QVariant& value) {
    return value.isNull() ? std::nullopt : std::optional<double>(value.toDouble());
}

// Whether the file keeps the totals of every list and level, each list's
// bests and the lists and levels played.
std::optional<bool> KeepsWholeTotals(const QSqlDatabase& db, QSqlError* failure) {
    const std::optional<int> version = HistoryVersion(db, failure);
    if (!version)
        return std::nullopt;
    return *version >= kWholeTotalsVersion;
}

std::optional<PersonalBest> StoredBest(const SqlStatement& row, int column) {
    if (row.value(column).isNull())
        return std::nullopt;
    return PersonalBest{row.value(column).toDouble(),
                        QDate::fromString(row.text(column + 1), Qt::ISODate)};
}

// The bests of every list, or of the one the filter names, from each list's
// bests kept whole.
bool SelectKeptBests(const QSqlDatabase& db, const TrendFilter& filter, QList<ListBests>& bests,
                     QSqlError* failure) {
    SqlStatement row(db,
                     QStringLiteral("SELECT list, best_score, score_day, best_kpm, kpm_day,"
                                    " best_accuracy, accuracy_day FROM list_bests"
                                    " WHERE ? IS NULL OR list = ? ORDER BY list"),
                     failure);
    if (!row.run({Given(filter.list), Given(filter.list)}))
        return false;
    while (row.next())
        bests.append({row.text(0), *StoredBest(row, 1), StoredBest(row, 3), StoredBest(row, 5)});
    return row.ok();
}

bool SelectBests(const QSqlDatabase& db, const TrendFilter& filter, QList<ListBests>& bests,
                 QSqlError* failure) {
    // Over every level and day, a list's bests are kept whole.
    const std::optional<bool> kept = KeepsWholeTotals(db, failure);
    if (!kept)
        return false;
    if (*kept && !filter.level && !filter.from && !filter.to)
        return SelectKeptBests(db, filter, bests, failure);
    const std::optional<QString> source = DayTotalsSource(db, failure);
    if (!source)
        return false;
    // A row a day and list, in the order of the table's key, so that the
    // rows of each level are folded in SQLite without a sort.
    SqlStatement row(
        db,
        *source +
            QStringLiteral("SELECT day, list, max(best_score), max(best_kpm), max(best_accuracy)"
                           " FROM day_totals") +
            kDayFilter + QStringLiteral(" GROUP BY day, list ORDER BY day, list"),
        failure);
    if (!RunDayFilter(row, filter))
        return false;
    // A best holds its first day: a later one only when it passes it. The
    // day is made only then.
    const auto day = [&row] { return QDate::fromString(row.text(0), Qt::ISODate); };
    const auto better = [&day](std::optional<PersonalBest>& best, std::optional<double> value) {
        if (value && (!best || *value > best->value))
            best = PersonalBest{*value, day()};
    };
    std::map<QString, ListBests> lists;
    while (row.next()) {
        const QString name = row.text(1);
        ListBests& list =
            lists.try_emplace(name, ListBests{name, {-1, {}}, std::nullopt, std::nullopt})
                .first->second;
        if (row.number(2) > list.score.value)
            list.score = {double(row.number(2)), day()};
        better(list.kpm, OptionalReal(row.value(3)));
        better(list.accuracy, OptionalReal(row.value(4)));
    }
    for (const auto& [name, list] : lists)
        bests.append(list);
    return row.ok();
}

bool SelectChoices(const QSqlDatabase& db, std::optional<PlayedChoices>& choices,
                   QSqlError* failure) {
    const std::optional<bool> kept = KeepsWholeTotals(db, failure);
    const std::optional<QString> source = DayTotalsSource(db, failure);
    if (!kept || !source)
        return false;
    SqlStatement row(db,
                     *kept
                         ? QStringLiteral("SELECT list, level FROM played")
                         : *source + QStringLiteral("SELECT DISTINCT list, level FROM day_totals"),
                     failure);
    if (!row.run())
        return false;
    PlayedChoices played;
    while (row.next()) {
        if (!played.lists.contains(row.text(0)))
            played.lists.append(row.text(0));
        if (!played.levels.contains(row.integer(1)))
            played.levels.append(row.integer(1));
    }
    if (!row.ok())
        return false;
    played.lists.sort();
    std::sort(played.levels.begin(), played.levels.end());
    choices = played;
    return true;
}

} // namespace

bool SelectDayFigures(const QSqlDatabase& db, const TrendFilter& filter, QList<DayFigures>& days,
                      QSqlError* failure) {
    const std::optional<int> version = HistoryVersion(db, failure);
    const std::optional<QString> source = DayTotalsSource(db, failure);
    if (!version || !source)
        return false;
    // Every list and level: a row a day, kept whole.
    const bool whole = *version >= kWholeTotalsVersion && !filter.list && !filter.level;
    SqlStatement row(
        db,
        whole ? QStringLiteral("SELECT day, games, rated, keys, misses, ms, kana, best_score,"
                               " best_kpm, best_accuracy FROM all_day_totals"
                               " WHERE day >= ? AND day <= ? ORDER BY day")
              : *source +
                    QStringLiteral("SELECT day, sum(games), sum(rated), sum(keys),"
                                   " sum(misses), sum(ms), sum(kana), max(best_score),"
                                   " max(best_kpm), max(best_accuracy) FROM day_totals") +
                    kDayFilter + QStringLiteral(" GROUP BY day ORDER BY day"),
        failure);
    if (whole ? !row.run({DayText(filter.from, kFirstDay), DayText(filter.to, kLastDay)})
              : !RunDayFilter(row, filter))
        return false;
    while (row.next()) {
        DayFigures day;
        day.day = QDate::fromString(row.text(0), Qt::ISODate);
        day.games = row.integer(1);
        day.gamesWithKeys = row.integer(2);
        day.keys = row.number(3);
        day.misses = row.number(4);
        day.seconds = double(row.number(5)) / 1000.0;
        if (*version >= kKanaVersion)
            day.kana = row.number(6);
        day.bestScore = row.integer(7);
        day.bestKpm = OptionalReal(row.value(8));
        day.bestAccuracy = OptionalReal(row.value(9));
        days.append(day);
    }
    return row.ok();
}

QList<DayFigures> ReadDayFigures(HistoryDb& db, const TrendFilter& filter, QString* error) {
    return ReadHistory<QList<DayFigures>>(
        db, error,
        [&filter](const QSqlDatabase& connection, QList<DayFigures>& days, QSqlError* failure) {
            return SelectDayFigures(connection, filter, days, failure);
        });
}

QList<ListBests> ReadBests(HistoryDb& db, const TrendFilter& filter, QString* error) {
    return ReadHistory<QList<ListBests>>(
        db, error,
        [&filter](const QSqlDatabase& connection, QList<ListBests>& bests, QSqlError* failure) {
            return SelectBests(connection, filter, bests, failure);
        });
}

std::optional<PlayedChoices> ReadPlayedChoices(HistoryDb& db, QString* error) {
    return ReadHistory<std::optional<PlayedChoices>>(db, error, SelectChoices);
}

QList<GameBucket> ReadGamePoints(HistoryDb& db, const TrendFilter& filter, int buckets,
                                 QString* error) {
    return ReadHistory<QList<GameBucket>>(
        db, error,
        [&filter, buckets](const QSqlDatabase& connection, QList<GameBucket>& points,
                           QSqlError* failure) {
            QList<DayFigures> days;
            return SelectDayFigures(connection, filter, days, failure) &&
                   SelectPoints(connection, filter, days, buckets, points, failure);
        });
}

std::optional<TrendFigures> ReadTrend(HistoryDb& db, const TrendFilter& filter, int buckets,
                                      QString* error) {
    return ReadHistory<std::optional<TrendFigures>>(
        db, error,
        [&filter, buckets](const QSqlDatabase& connection, std::optional<TrendFigures>& trend,
                           QSqlError* failure) {
            TrendFigures read{filter, {}, {}, {}, {}};
            std::optional<PlayedChoices> choices;
            if (!SelectChoices(connection, choices, failure) ||
                !SelectBests(connection, filter, read.bests, failure) ||
                !SelectDayFigures(connection, filter, read.days, failure) ||
                !SelectPoints(connection, filter, read.days, buckets, read.games, failure))
                return false;
            read.choices = *choices;
            trend = std::move(read);
            return true;
        });
}
