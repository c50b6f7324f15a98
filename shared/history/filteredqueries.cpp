#include "history/filteredqueries.h"

#include "history/daytotals.h"
#include "history/historyread.h"
#include "history/historyschema.h"
#include "history/sqlsupport.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <utility>
#include <vector>

namespace {

// The first versions whose games hold their completed kana, and that keep
// the totals per day.
constexpr int kKanaVersion = 2;
constexpr int kDayTotalsVersion = 3;

// How far a local date lies from the same date in UTC, at most: a bound on
// the start instants of a day's games.
constexpr qint64 kMostOffsetMs = qint64(14) * 3600 * 1000;

const QString kFirstDay = QStringLiteral("0000-00-00");
const QString kLastDay = QStringLiteral("9999-99-99");

QString DayText(const std::optional<QDate>& day, const QString& open) {
    return day ? day->toString(Qt::ISODate) : open;
}

QVariant Given(const std::optional<QString>& text) {
    return text ? QVariant(*text) : QVariant();
}

QVariant Given(const std::optional<int>& number) {
    return number ? QVariant(*number) : QVariant();
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

bool SelectBests(const QSqlDatabase& db, const TrendFilter& filter, QList<ListBests>& bests,
                 QSqlError* failure) {
    const std::optional<QString> source = DayTotalsSource(db, failure);
    if (!source)
        return false;
    SqlStatement row(db,
                     *source +
                         QStringLiteral("SELECT list, day, best_score, best_kpm, best_accuracy"
                                        " FROM day_totals") +
                         kDayFilter + QStringLiteral(" ORDER BY list, day"),
                     failure);
    if (!RunDayFilter(row, filter))
        return false;
    // A best holds its first day: a later one only when it passes it.
    const auto better = [](std::optional<PersonalBest>& best, std::optional<double> value,
                           const QDate& day) {
        if (value && (!best || *value > best->value))
            best = PersonalBest{*value, day};
    };
    while (row.next()) {
        if (bests.isEmpty() || bests.last().list != row.text(0))
            bests.append({row.text(0), {-1, {}}, std::nullopt, std::nullopt});
        ListBests& list = bests.last();
        const QDate day = QDate::fromString(row.text(1), Qt::ISODate);
        if (row.number(2) > list.score.value)
            list.score = {double(row.number(2)), day};
        better(list.kpm, OptionalReal(row.value(3)), day);
        better(list.accuracy, OptionalReal(row.value(4)), day);
    }
    return row.ok();
}

bool SelectChoices(const QSqlDatabase& db, std::optional<PlayedChoices>& choices,
                   QSqlError* failure) {
    const std::optional<QString> source = DayTotalsSource(db, failure);
    if (!source)
        return false;
    PlayedChoices played;
    SqlStatement lists(db, *source + QStringLiteral("SELECT DISTINCT list FROM day_totals"),
                       failure);
    if (!lists.run())
        return false;
    while (lists.next())
        played.lists.append(lists.text(0));
    SqlStatement levels(db, *source + QStringLiteral("SELECT DISTINCT level FROM day_totals"),
                        failure);
    if (!lists.ok() || !levels.run())
        return false;
    while (levels.next())
        played.levels.append(levels.integer(0));
    if (!levels.ok())
        return false;
    played.lists.sort();
    std::sort(played.levels.begin(), played.levels.end());
    choices = played;
    return true;
}

// Each game with a correct key the filter passes, in start order, with its
// figures; the filter's values bound as GameFilterValues gives them.
QString ChosenGames(bool holdsKana) {
    return QStringLiteral(
               "SELECT started_ms, CASE WHEN seconds > 0 THEN keys * 60.0 / seconds ELSE 0.0 END,"
               " CAST(keys AS REAL) / (keys + misses),"
               " CASE WHEN seconds > 0 THEN %1 * 60.0 / seconds ELSE 0.0 END"
               " FROM games WHERE keys > 0 AND (? IS NULL OR list = ?) AND (? IS NULL OR level = ?)"
               " AND started_ms >= ? AND started_ms < ?"
               " AND substr(started, 1, 10) >= ? AND substr(started, 1, 10) <= ?"
               " ORDER BY started_ms, id")
        .arg(holdsKana ? QStringLiteral("kana") : QStringLiteral("NULL"));
}

// The filter's values for ChosenGames.
QVariantList GameFilterValues(const TrendFilter& filter) {
    const auto utcMs = [](const QDate& day) {
        return QDateTime(day, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch();
    };
    const qint64 from =
        filter.from ? utcMs(*filter.from) - kMostOffsetMs : std::numeric_limits<qint64>::min();
    const qint64 to = filter.to ? utcMs(filter.to->addDays(1)) + kMostOffsetMs
                                : std::numeric_limits<qint64>::max();
    return {Given(filter.list),
            Given(filter.list),
            Given(filter.level),
            Given(filter.level),
            from,
            to,
            DayText(filter.from, kFirstDay),
            DayText(filter.to, kLastDay)};
}

// The value at fraction p of sorted values, between neighbours.
double Quantile(const std::vector<double>& sorted, double p) {
    const double at = p * double(sorted.size() - 1);
    const auto below = std::size_t(std::floor(at));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - double(below));
}

void SetQuartiles(FigureSpread& spread, std::vector<double>& values) {
    if (values.empty())
        return;
    std::sort(values.begin(), values.end());
    spread.lower = Quantile(values, 0.25);
    spread.median = Quantile(values, 0.5);
    spread.upper = Quantile(values, 0.75);
}

void SetSpread(FigureSpread& spread, std::vector<double>& values) {
    spread.mean = std::accumulate(values.begin(), values.end(), 0.0) / double(values.size());
    SetQuartiles(spread, values);
    values.clear();
}

bool SelectPoints(const QSqlDatabase& db, const TrendFilter& filter, int buckets,
                  QList<GameBucket>& points, QSqlError* failure) {
    const std::optional<int> version = HistoryVersion(db, failure);
    const std::optional<QString> source = DayTotalsSource(db, failure);
    if (!version || !source)
        return false;
    const bool holdsKana = *version >= kKanaVersion;
    // How many games there are, from the totals per day, so that each game
    // finds its bucket as it is read.
    SqlStatement count(
        db, *source + QStringLiteral("SELECT coalesce(sum(rated), 0) FROM day_totals") + kDayFilter,
        failure);
    if (!RunDayFilter(count, filter) || !count.next())
        return false;
    const qint64 total = count.number(0);
    if (total == 0 || buckets < 1)
        return count.ok();
    const qint64 runs = std::min<qint64>(buckets, total);
    // One pass over the games in start order, holding the figures of one
    // bucket at a time.
    SqlStatement row(db, ChosenGames(holdsKana), failure);
    if (!row.run(GameFilterValues(filter)))
        return false;
    std::vector<double> kpm;
    std::vector<double> accuracy;
    std::vector<double> kanaPerMinute;
    const auto close = [&] {
        if (kpm.empty())
            return;
        GameBucket& bucket = points.last();
        bucket.games = int(kpm.size());
        SetSpread(bucket.kpm, kpm);
        SetSpread(bucket.accuracy, accuracy);
        if (holdsKana)
            SetSpread(bucket.kanaPerMinute.emplace(), kanaPerMinute);
    };
    // The start of the last game read: a date is made only at a bucket's
    // ends, as making one costs more than reading the row.
    qint64 lastMs = 0;
    for (qint64 n = 0; row.next(); ++n) {
        if (points.isEmpty() || std::min(n * runs / total, runs - 1) >= points.size()) {
            if (!points.isEmpty())
                points.last().last = QDateTime::fromMSecsSinceEpoch(lastMs);
            close();
            points.append(GameBucket());
            points.last().first = QDateTime::fromMSecsSinceEpoch(row.number(0));
        }
        lastMs = row.number(0);
        kpm.push_back(row.value(1).toDouble());
        accuracy.push_back(row.value(2).toDouble());
        kanaPerMinute.push_back(row.value(3).toDouble());
    }
    if (!row.ok())
        return false;
    if (!points.isEmpty())
        points.last().last = QDateTime::fromMSecsSinceEpoch(lastMs);
    close();
    return true;
}

} // namespace

bool SelectDayFigures(const QSqlDatabase& db, const TrendFilter& filter, QList<DayFigures>& days,
                      QSqlError* failure) {
    const std::optional<int> version = HistoryVersion(db, failure);
    const std::optional<QString> source = DayTotalsSource(db, failure);
    if (!version || !source)
        return false;
    SqlStatement row(db,
                     *source +
                         QStringLiteral("SELECT day, sum(games), sum(rated), sum(keys),"
                                        " sum(misses), sum(ms), sum(kana), max(best_score),"
                                        " max(best_kpm), max(best_accuracy) FROM day_totals") +
                         kDayFilter + QStringLiteral(" GROUP BY day ORDER BY day"),
                     failure);
    if (!RunDayFilter(row, filter))
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
            return SelectPoints(connection, filter, buckets, points, failure);
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
                !SelectPoints(connection, filter, buckets, read.games, failure))
                return false;
            read.choices = *choices;
            trend = std::move(read);
            return true;
        });
}
