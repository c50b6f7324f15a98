#include "history/historyqueries.h"

#include "history/filteredqueries.h"
#include "history/gamewords.h"
#include "history/historyread.h"
#include "history/historyschema.h"
#include "history/spellingqueries.h"
#include "history/sqlsupport.h"
#include "history/weakkana.h"

#include <algorithm>
#include <utility>

namespace {

// Up to this many games before the last one make its average.
constexpr int kPreviousGames = 10;

// Whether the file holds the games' completed kana: a file the game has not
// yet brought up to date does not, and is read without them.
std::optional<bool> HoldsKana(const QSqlDatabase& db, QSqlError* failure) {
    const std::optional<int> version = HistoryVersion(db, failure);
    return version ? std::optional<bool>(*version >= kKanaVersion) : std::nullopt;
}

// The columns Summary reads; nothing when the version could not be read.
std::optional<QString> SummaryColumns(const QSqlDatabase& db, QSqlError* failure) {
    const std::optional<bool> kana = HoldsKana(db, failure);
    if (!kana)
        return std::nullopt;
    return QStringLiteral("id, started, list, level, words_per_stage, result, stage, score,"
                          " words, keys, misses, seconds, ") +
           (*kana ? QStringLiteral("kana") : QStringLiteral("NULL"));
}

// The columns of SummaryColumns from the current row.
GameSummary Summary(const SqlStatement& row) {
    GameSummary game;
    game.id = row.number(0);
    game.started = QDateTime::fromString(row.text(1), Qt::ISODate);
    game.list = row.text(2);
    game.level = row.integer(3);
    game.wordsPerStage = row.integer(4);
    game.result = ResultFromName(row.text(5)).value_or(GameResult::Ended);
    game.stage = row.integer(6);
    game.score = row.integer(7);
    game.words = row.integer(8);
    game.keys = row.integer(9);
    game.misses = row.integer(10);
    game.seconds = row.value(11).toDouble();
    game.kana = row.optionalInteger(12);
    return game;
}

// Every game, oldest first, to visit until it returns false.
bool EachGame(const QSqlDatabase& db, const std::function<bool(const GameSummary&)>& visit,
              QSqlError* failure) {
    const std::optional<QString> columns = SummaryColumns(db, failure);
    if (!columns)
        return false;
    SqlStatement row(
        db, QStringLiteral("SELECT %1 FROM games ORDER BY started_ms, id").arg(*columns), failure);
    if (!row.run())
        return false;
    while (row.next()) {
        if (!visit(Summary(row)))
            return true;
    }
    return row.ok();
}

bool SelectGames(const QSqlDatabase& db, QList<GameSummary>& games, QSqlError* failure) {
    return EachGame(
        db,
        [&games](const GameSummary& game) {
            games.append(game);
            return true;
        },
        failure);
}

bool SelectDays(const QSqlDatabase& db, QList<DayFigures>& days, QSqlError* failure) {
    return SelectDayFigures(db, TrendFilter{}, days, failure);
}

// The mean reaction time over the words of one game that got a key, leaving
// out its first word, which waits out the countdown's "ＧＯ", not the player.
bool SelectReaction(const QSqlDatabase& db, qint64 game, std::optional<double>& reaction,
                    QSqlError* failure) {
    QList<WordRecord> words;
    if (!SelectWords(db, QStringLiteral("main"), game, words, failure))
        return false;
    double sum = 0;
    int count = 0;
    for (qsizetype w = 1; w < words.size(); ++w) {
        if (words[w].reactionMs) {
            sum += *words[w].reactionMs;
            ++count;
        }
    }
    if (count > 0)
        reaction = sum / count;
    return true;
}

HeadlineFigures Headline(const GameSummary& game, std::optional<double> reaction) {
    return {double(game.score),  game.kpm(),           game.accuracy(),
            double(game.misses), game.kanaPerMinute(), reaction};
}

// The mean of the values given, nothing when none is.
class OptionalMean {
public:
    void add(std::optional<double> value) {
        if (value) {
            m_sum += *value;
            ++m_count;
        }
    }
    std::optional<double> mean() const {
        return m_count > 0 ? std::optional<double>(m_sum / m_count) : std::nullopt;
    }

private:
    double m_sum = 0;
    int m_count = 0;
};

bool SelectLastGame(const QSqlDatabase& db, std::optional<LastGameComparison>& last,
                    QSqlError* failure) {
    const std::optional<QString> columns = SummaryColumns(db, failure);
    if (!columns)
        return false;
    SqlStatement newest(
        db,
        QStringLiteral("SELECT %1 FROM games ORDER BY started_ms DESC, id DESC LIMIT 1")
            .arg(*columns),
        failure);
    if (!newest.run())
        return false;
    if (!newest.next())
        return newest.ok();
    LastGameComparison comparison;
    comparison.game = Summary(newest);
    // The games before it that had a correct key: one without has no speed
    // or accuracy to average.
    SqlStatement row(db,
                     QStringLiteral("SELECT %1 FROM games WHERE keys > 0 AND"
                                    " (started_ms, id) < (?, ?)"
                                    " ORDER BY started_ms DESC, id DESC LIMIT ?")
                         .arg(*columns),
                     failure);
    if (!row.run({comparison.game.started.toMSecsSinceEpoch(), comparison.game.id, kPreviousGames}))
        return false;
    QList<GameSummary> previous; // newest first
    while (row.next())
        previous.append(Summary(row));
    if (!row.ok())
        return false;

    std::optional<double> reaction;
    if (!SelectReaction(db, comparison.game.id, reaction, failure))
        return false;
    comparison.last = Headline(comparison.game, reaction);

    HeadlineFigures& mean = comparison.previous;
    OptionalMean reactions;
    OptionalMean kanaPerMinute;
    for (const GameSummary& game : previous) {
        std::optional<double> earlier;
        if (!SelectReaction(db, game.id, earlier, failure))
            return false;
        const HeadlineFigures figures = Headline(game, earlier);
        mean.score += figures.score;
        mean.kpm += figures.kpm;
        mean.accuracy += figures.accuracy;
        mean.misses += figures.misses;
        kanaPerMinute.add(figures.kanaPerMinute);
        reactions.add(earlier);
    }
    comparison.previousGames = int(previous.size());
    if (comparison.previousGames > 0) {
        const double n = comparison.previousGames;
        mean.score /= n;
        mean.kpm /= n;
        mean.accuracy /= n;
        mean.misses /= n;
    }
    mean.kanaPerMinute = kanaPerMinute.mean();
    mean.reactionMs = reactions.mean();
    last = comparison;
    return true;
}

bool SelectKana(const QSqlDatabase& db, QList<KanaFigures>& kana, QSqlError* failure) {
    const std::optional<QString> missed = MissedAttemptsColumn(db, failure);
    if (!missed)
        return false;
    SqlStatement row(
        db,
        QStringLiteral("SELECT kana, attempts, misses, %1, timed, total_ms FROM kana_totals")
            .arg(*missed),
        failure);
    if (!row.run())
        return false;
    while (row.next())
        kana.append({row.text(0), row.number(1), row.number(2), row.number(3), row.number(4),
                     row.number(5)});
    if (!row.ok())
        return false;
    std::sort(kana.begin(), kana.end(), [](const KanaFigures& a, const KanaFigures& b) {
        return KanaBefore(a.kana, b.kana);
    });
    return AddHabitMisses(db, kana, failure);
}

bool SelectKeys(const QSqlDatabase& db, QList<KeyFigures>& keys, QSqlError* failure) {
    SqlStatement row(
        db, QStringLiteral("SELECT key, expected, missed FROM key_totals ORDER BY key"), failure);
    if (!row.run())
        return false;
    while (row.next())
        keys.append({row.text(0), row.number(1), row.number(2)});
    return row.ok();
}

bool SelectConfusions(const QSqlDatabase& db, int count, QList<Confusion>& confusions,
                      QSqlError* failure) {
    // Every confusion as frequent as the count-th, so ties are ordered here
    // rather than by the table's key.
    SqlStatement row(db,
                     QStringLiteral("SELECT kana, expected, typed, count FROM confusions"
                                    " WHERE count >= coalesce((SELECT count FROM confusions"
                                    " ORDER BY count DESC LIMIT 1 OFFSET ?), 0)"),
                     failure);
    if (!row.run({std::max(count, 1) - 1}))
        return false;
    while (row.next())
        confusions.append({row.text(0), row.text(1), row.text(2), row.number(3)});
    if (!row.ok())
        return false;
    std::sort(confusions.begin(), confusions.end(), [](const Confusion& a, const Confusion& b) {
        if (a.count != b.count)
            return a.count > b.count;
        if (a.kana != b.kana)
            return KanaBefore(a.kana, b.kana);
        return std::pair(a.expected, a.typed) < std::pair(b.expected, b.typed);
    });
    confusions.resize(std::clamp<qsizetype>(count, 0, confusions.size()));
    return true;
}

bool SelectGame(const QSqlDatabase& db, qint64 id, std::optional<GameRecord>& game,
                QSqlError* failure) {
    const std::optional<QString> columns = SummaryColumns(db, failure);
    if (!columns)
        return false;
    SqlStatement summary(db, QStringLiteral("SELECT %1 FROM games WHERE id = ?").arg(*columns),
                         failure);
    if (!summary.run({id}))
        return false;
    if (!summary.next())
        return summary.ok();
    GameRecord record;
    static_cast<GameSummary&>(record) = Summary(summary);

    if (!SelectWords(db, QStringLiteral("main"), id, record.wordList, failure))
        return false;
    game = std::move(record);
    return true;
}

} // namespace

QList<GameSummary> ReadGames(HistoryDb& db, QString* error) {
    return ReadHistory<QList<GameSummary>>(db, error, SelectGames);
}

bool VisitGames(HistoryDb& db, const std::function<bool(const GameSummary& game)>& visit,
                QString* error) {
    return db.run(
        HistoryDb::Access::Read,
        [&visit](const QSqlDatabase& connection, QSqlError* failure) {
            SqlTransaction transaction(connection, SqlTransaction::Kind::Read, failure);
            return transaction.begun() && EachGame(connection, visit, failure) &&
                   transaction.commit(failure);
        },
        error);
}

QList<DayFigures> ReadDays(HistoryDb& db, QString* error) {
    return ReadHistory<QList<DayFigures>>(db, error, SelectDays);
}

std::optional<LastGameComparison> ReadLastGame(HistoryDb& db, QString* error) {
    return ReadHistory<std::optional<LastGameComparison>>(db, error, SelectLastGame);
}

QList<KanaFigures> ReadKanaFigures(HistoryDb& db, QString* error) {
    return ReadHistory<QList<KanaFigures>>(db, error, SelectKana);
}

QList<KeyFigures> ReadKeyFigures(HistoryDb& db, QString* error) {
    return ReadHistory<QList<KeyFigures>>(db, error, SelectKeys);
}

QList<Confusion> ReadConfusions(HistoryDb& db, int count, QString* error) {
    return ReadHistory<QList<Confusion>>(
        db, error,
        [count](const QSqlDatabase& connection, QList<Confusion>& confusions, QSqlError* failure) {
            return SelectConfusions(connection, count, confusions, failure);
        });
}

std::optional<GameRecord> ReadGame(HistoryDb& db, qint64 id, QString* error) {
    return ReadHistory<std::optional<GameRecord>>(
        db, error,
        [id](const QSqlDatabase& connection, std::optional<GameRecord>& game, QSqlError* failure) {
            return SelectGame(connection, id, game, failure);
        });
}

namespace {

bool SelectOverview(const QSqlDatabase& db, std::optional<HistoryOverview>& read,
                    QSqlError* failure) {
    HistoryOverview all;
    if (!SelectLastGame(db, all.last, failure) || !SelectKana(db, all.kana, failure) ||
        !SelectKeys(db, all.keys, failure) ||
        !SelectConfusions(db, kConfusionCount, all.confusions, failure) ||
        !SelectSpellingFigures(db, all, failure))
        return false;
    all.weakestByMisses = WeakestByMisses(all.kana);
    read = std::move(all);
    return true;
}

} // namespace

std::optional<HistoryOverview> ReadOverview(HistoryDb& db, QString* error) {
    return ReadHistory<std::optional<HistoryOverview>>(db, error, SelectOverview);
}
