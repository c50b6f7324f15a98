#include "history/gamebuckets.h"

#include "history/historyschema.h"
#include "history/sqlsupport.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace {

// How far a local date lies from the same date in UTC, at most: a bound on
// the start instants of a day's games.
constexpr qint64 kMostOffsetMs = qint64(14) * 3600 * 1000;

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

} // namespace

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
