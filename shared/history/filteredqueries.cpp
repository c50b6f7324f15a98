#include "history/filteredqueries.h"

#include "history/daytotals.h"
#include "history/historyread.h"
#include "history/historyschema.h"
#include "history/sqlsupport.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <utility>
#include <vector>

namespace {

// The first versions whose games hold their completed kana, that keep the
// totals per day, and that keep those of every list and level apart.
constexpr int kKanaVersion = 2;
constexpr int kDayTotalsVersion = 3;
constexpr int kWholeTotalsVersion = 7;

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

// The instant a day begins where its games were played offsetSeconds east
// of UTC; with kMostOffsetMs, the bounds of any game's start on that day.
qint64 DayStartMs(const QDate& day, qint64 offsetSeconds) {
    return QDateTime(day, QTime(0, 0), Qt::UTC).toMSecsSinceEpoch() - offsetSeconds * 1000;
}

qint64 EarliestOn(const QDate& day) {
    return DayStartMs(day, 0) - kMostOffsetMs;
}

qint64 LatestOn(const QDate& day) {
    return DayStartMs(day.addDays(1), 0) + kMostOffsetMs;
}

// The figures of one game with a correct key.
struct GamePoint {
    qint64 startedMs = 0;
    qint64 keys = 0;
    qint64 misses = 0;
    double seconds = 0;
    qint64 kana = 0;
};

// The games with a correct key the filter passes, read through the index of
// start times a span of instants at a time, so that a read touches only the
// games of that span.
class GameSpans {
public:
    GameSpans(const QSqlDatabase& db, const TrendFilter& filter, bool holdsKana, QSqlError* failure)
        : m_list(Given(filter.list)), m_level(Given(filter.level)),
          m_earliest(db, Statement(holdsKana, QString()), failure),
          m_latest(db, Statement(holdsKana, QStringLiteral(" DESC")), failure) {}

    // The games started from fromMs to before toMs on the days first to
    // last, the earliest first (the latest when latest), at most most of
    // them (every one when negative), added to games.
    bool read(qint64 fromMs, qint64 toMs, const QDate& first, const QDate& last, qint64 most,
              bool latest, std::vector<GamePoint>& games) {
        SqlStatement& row = latest ? m_latest : m_earliest;
        if (!row.run({fromMs, toMs, m_list, m_list, m_level, m_level, first.toString(Qt::ISODate),
                      last.toString(Qt::ISODate), most}))
            return false;
        while (row.next()) {
            games.push_back({row.number(0), row.number(1), row.number(2), row.value(3).toDouble(),
                             row.number(4)});
        }
        return row.ok();
    }

    // Every game of the days first to last, the earliest first, at most
    // most of them (every one when negative), added to games.
    bool readDays(const QDate& first, const QDate& last, qint64 most,
                  std::vector<GamePoint>& games) {
        return read(EarliestOn(first), LatestOn(last), first, last, most, false, games);
    }

private:
    static QString Statement(bool holdsKana, const QString& order) {
        return QStringLiteral("SELECT started_ms, keys, misses, seconds, %1 FROM games"
                              " WHERE started_ms >= ? AND started_ms < ? AND keys > 0"
                              " AND (? IS NULL OR list = ?) AND (? IS NULL OR level = ?)"
                              " AND substr(started, 1, 10) BETWEEN ? AND ?"
                              " ORDER BY started_ms%2, id%2 LIMIT ?")
            .arg(holdsKana ? QStringLiteral("kana") : QStringLiteral("0"), order);
    }

    QVariant m_list;
    QVariant m_level;
    SqlStatement m_earliest;
    SqlStatement m_latest;
};

// The sums of a run of games with a correct key.
struct RunSums {
    qint64 games = 0;
    qint64 keys = 0;
    qint64 misses = 0;
    double seconds = 0;
    qint64 kana = 0;

    void add(const GamePoint& game) {
        ++games;
        keys += game.keys;
        misses += game.misses;
        seconds += game.seconds;
        kana += game.kana;
    }

    void add(const DayFigures& day) {
        games += day.gamesWithKeys;
        keys += day.keys;
        misses += day.misses;
        seconds += day.seconds;
        kana += day.kana.value_or(0);
    }
};

// The value at fraction p of sorted values, between neighbours.
double Quantile(const std::vector<double>& sorted, double p) {
    const double at = p * double(sorted.size() - 1);
    const auto below = std::size_t(std::floor(at));
    const std::size_t above = std::min(below + 1, sorted.size() - 1);
    return sorted[below] + (sorted[above] - sorted[below]) * (at - double(below));
}

// The run's mean from its sums, its quartiles from the games read of it.
FigureSpread Spread(double mean, const std::vector<GamePoint>& sample,
                    const std::function<double(const GamePoint&)>& figure) {
    std::vector<double> values;
    values.reserve(sample.size());
    for (const GamePoint& game : sample)
        values.push_back(figure(game));
    std::sort(values.begin(), values.end());
    return {mean, Quantile(values, 0.25), Quantile(values, 0.5), Quantile(values, 0.75)};
}

// A column of games: sample holds some of the run's games (at least one),
// in start order.
GameBucket Bucket(const RunSums& sums, const std::vector<GamePoint>& sample, bool holdsKana) {
    GameBucket bucket;
    bucket.games = int(sums.games);
    bucket.first = QDateTime::fromMSecsSinceEpoch(sample.front().startedMs);
    bucket.last = QDateTime::fromMSecsSinceEpoch(sample.back().startedMs);
    bucket.kpm = Spread(Kpm(sums.keys, sums.seconds), sample,
                        [](const GamePoint& game) { return Kpm(game.keys, game.seconds); });
    bucket.accuracy = Spread(Accuracy(sums.keys, sums.misses), sample, [](const GamePoint& game) {
        return Accuracy(game.keys, game.misses);
    });
    if (holdsKana)
        bucket.kanaPerMinute =
            Spread(Kpm(sums.kana, sums.seconds), sample,
                   [](const GamePoint& game) { return Kpm(game.kana, game.seconds); });
    return bucket;
}

// The games of a run read to draw its middle half: every one up to this
// many, beyond that as many spread over the run, in kSeeks reads of a part
// of a day each.
constexpr qint64 kSample = 32;
constexpr qint64 kSeeks = 8;

// Few enough games to read them all: runs of (nearly) equal numbers of
// games, a game each when they are fewer than runs. Read a run of
// consecutive days at a time, so that the days without a game the filter
// passes are not walked through.
bool AllGameRuns(GameSpans& spans, const QList<DayFigures>& days, qint64 runs, bool holdsKana,
                 QList<GameBucket>& points) {
    std::vector<GamePoint> games;
    for (qsizetype first = 0; first < days.size();) {
        qsizetype last = first;
        while (last + 1 < days.size() && days[last].day.addDays(1) == days[last + 1].day)
            ++last;
        if (!spans.readDays(days[first].day, days[last].day, -1, games))
            return false;
        first = last + 1;
    }
    std::stable_sort(games.begin(), games.end(), [](const GamePoint& a, const GamePoint& b) {
        return a.startedMs < b.startedMs;
    });
    const auto total = qint64(games.size());
    runs = std::min(runs, total);
    for (qint64 run = 0; run < runs; ++run) {
        const std::vector<GamePoint> part(games.begin() + run * total / runs,
                                          games.begin() + (run + 1) * total / runs);
        RunSums sums;
        for (const GamePoint& game : part)
            sums.add(game);
        points.append(Bucket(sums, part, holdsKana));
    }
    return true;
}

// The offset from UTC of the latest game's start, where the sample looks
// for a day's games; 0 when there is none.
std::optional<qint64> LatestOffset(const QSqlDatabase& db, QSqlError* failure) {
    SqlStatement row(
        db, QStringLiteral("SELECT started FROM games ORDER BY started_ms DESC LIMIT 1"), failure);
    if (!row.run())
        return std::nullopt;
    const qint64 offset =
        row.next() ? QDateTime::fromString(row.text(0), Qt::ISODate).offsetFromUtc() : 0;
    return row.ok() ? std::optional<qint64>(offset) : std::nullopt;
}

// Games spread over the days of a run (runDays, in order, each with games):
// kSeeks reads at evenly spaced places among its games, each read the
// earliest games of its share of a day (the last read the latest, so that
// the run's end is among them).
bool SampleRun(GameSpans& spans, const QList<DayFigures>& runDays, qint64 games,
               qint64 offsetSeconds, std::vector<GamePoint>& sample) {
    constexpr qint64 dayMs = qint64(24) * 3600 * 1000;
    // The day of each read, by the place of its game among the run's.
    std::vector<qsizetype> dayOf;
    qsizetype day = 0;
    qint64 before = 0; // the games of the days before day
    for (qint64 seek = 0; seek < kSeeks; ++seek) {
        const qint64 place = seek * (games - 1) / (kSeeks - 1);
        while (before + runDays[day].gamesWithKeys <= place)
            before += runDays[day++].gamesWithKeys;
        dayOf.push_back(day);
    }
    for (std::size_t seek = 0; seek < dayOf.size();) {
        std::size_t end = seek;
        while (end < dayOf.size() && dayOf[end] == dayOf[seek])
            ++end;
        const auto parts = qint64(end - seek);
        const QDate& date = runDays[dayOf[seek]].day;
        const qint64 start = DayStartMs(date, offsetSeconds);
        for (qint64 part = 0; part < parts; ++part) {
            const bool last = seek + std::size_t(part) + 1 == dayOf.size();
            if (!spans.read(start + part * dayMs / parts, start + (part + 1) * dayMs / parts, date,
                            date, kSample / kSeeks, last, sample))
                return false;
        }
        seek = end;
    }
    // Games played where the day began far from there: the run's first.
    if (sample.empty() && !spans.readDays(runDays.first().day, runDays.last().day, kSample, sample))
        return false;
    std::sort(sample.begin(), sample.end(),
              [](const GamePoint& a, const GamePoint& b) { return a.startedMs < b.startedMs; });
    return true;
}

// Too many games to read them all: runs of whole days with (nearly) equal
// numbers of games, a day with more than a run's share a run of its own.
// A run's means come from the totals of its days, its middle half from a
// sample of its games.
bool DayRuns(const QSqlDatabase& db, GameSpans& spans, const QList<DayFigures>& days, qint64 total,
             qint64 runs, bool holdsKana, QList<GameBucket>& points, QSqlError* failure) {
    const std::optional<qint64> offset = LatestOffset(db, failure);
    if (!offset)
        return false;
    RunSums sums;
    qint64 counted = 0;
    qsizetype first = 0;
    for (qsizetype day = 0; day < days.size(); ++day) {
        const DayFigures& figures = days[day];
        sums.add(figures);
        counted += figures.gamesWithKeys;
        if (day + 1 < days.size() && counted * runs < (points.size() + 1) * total)
            continue;
        const QList<DayFigures> runDays = days.mid(first, day + 1 - first);
        std::vector<GamePoint> sample;
        const bool read = sums.games <= kSample
                              ? spans.readDays(runDays.first().day, runDays.last().day, -1, sample)
                              : SampleRun(spans, runDays, sums.games, *offset, sample);
        if (!read)
            return false;
        if (!sample.empty())
            points.append(Bucket(sums, sample, holdsKana));
        sums = RunSums();
        first = day + 1;
    }
    return true;
}

// The games of days (as SelectDayFigures gives them) in at most buckets
// columns.
bool SelectPoints(const QSqlDatabase& db, const TrendFilter& filter, const QList<DayFigures>& days,
                  int buckets, QList<GameBucket>& points, QSqlError* failure) {
    const std::optional<int> version = HistoryVersion(db, failure);
    if (!version)
        return false;
    const bool holdsKana = *version >= kKanaVersion;
    QList<DayFigures> rated;
    qint64 total = 0;
    for (const DayFigures& day : days) {
        if (day.gamesWithKeys > 0) {
            rated.append(day);
            total += day.gamesWithKeys;
        }
    }
    if (total == 0 || buckets < 1)
        return true;
    GameSpans spans(db, filter, holdsKana, failure);
    if (total <= kSample * buckets)
        return AllGameRuns(spans, rated, buckets, holdsKana, points);
    return DayRuns(db, spans, rated, total, buckets, holdsKana, points, failure);
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
