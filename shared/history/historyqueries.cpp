#include "historyqueries.h"

#include "sqlsupport.h"
#include "weakkana.h"

#include <QSqlQuery>

#include <algorithm>
#include <utility>

namespace {

// Up to this many games before the last one make its average.
constexpr int kPreviousGames = 10;

const char kSummaryColumns[] = "id, started, list, level, words_per_stage, result, stage, score,"
                               " words, keys, misses, seconds";

// A query run in one call: false with the failure.
class Select {
public:
    explicit Select(const QSqlDatabase& db) : m_query(db) { m_query.setForwardOnly(true); }
    bool exec(const QString& sql, std::initializer_list<QVariant> values, QSqlError* failure) {
        if (!m_query.prepare(sql))
            return fail(failure);
        int index = 0;
        for (const QVariant& value : values)
            m_query.bindValue(index++, value);
        return m_query.exec() || fail(failure);
    }
    bool next() { return m_query.next(); }
    // After the last next(): false when stepping failed rather than ended.
    bool finished(QSqlError* failure) { return !m_query.lastError().isValid() || fail(failure); }
    QVariant value(int column) const { return m_query.value(column); }
    qint64 number(int column) const { return m_query.value(column).toLongLong(); }
    int integer(int column) const { return m_query.value(column).toInt(); }
    QString text(int column) const { return m_query.value(column).toString(); }
    std::optional<int> optional(int column) const {
        const QVariant value = m_query.value(column);
        return value.isNull() ? std::nullopt : std::optional<int>(value.toInt());
    }

private:
    bool fail(QSqlError* failure) {
        *failure = m_query.lastError();
        return false;
    }
    QSqlQuery m_query;
};

// The columns of kSummaryColumns from the current row.
GameSummary Summary(const Select& row) {
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
    return game;
}

bool SelectGames(const QSqlDatabase& db, QList<GameSummary>& games, QSqlError* failure) {
    Select row(db);
    if (!row.exec(QStringLiteral("SELECT %1 FROM games ORDER BY started_ms, id")
                      .arg(QLatin1String(kSummaryColumns)),
                  {}, failure))
        return false;
    while (row.next())
        games.append(Summary(row));
    return row.finished(failure);
}

bool SelectDays(const QSqlDatabase& db, QList<DayFigures>& days, QSqlError* failure) {
    // The date part of the start text is the local date it was played on.
    Select row(db);
    if (!row.exec(QStringLiteral("SELECT substr(started, 1, 10), count(*), sum(keys), sum(misses),"
                                 " sum(seconds), max(score) FROM games GROUP BY 1 ORDER BY 1"),
                  {}, failure))
        return false;
    while (row.next()) {
        days.append({QDate::fromString(row.text(0), Qt::ISODate), row.integer(1), row.number(2),
                     row.number(3), row.value(4).toDouble(), row.integer(5)});
    }
    return row.finished(failure);
}

// The mean reaction time over the words of one game that got a key.
bool SelectReaction(const QSqlDatabase& db, qint64 game, std::optional<double>& reaction,
                    QSqlError* failure) {
    Select row(db);
    if (!row.exec(QStringLiteral("SELECT avg(reaction_ms) FROM words WHERE game = ?"), {game},
                  failure))
        return false;
    if (row.next() && !row.value(0).isNull())
        reaction = row.value(0).toDouble();
    return row.finished(failure);
}

HeadlineFigures Headline(const GameSummary& game, std::optional<double> reaction) {
    return {double(game.score), game.kpm(), game.accuracy(), double(game.misses), reaction};
}

bool SelectLastGame(const QSqlDatabase& db, std::optional<LastGameComparison>& last,
                    QSqlError* failure) {
    Select row(db);
    if (!row.exec(QStringLiteral("SELECT %1 FROM games ORDER BY started_ms DESC, id DESC LIMIT ?")
                      .arg(QLatin1String(kSummaryColumns)),
                  {kPreviousGames + 1}, failure))
        return false;
    QList<GameSummary> games; // newest first
    while (row.next())
        games.append(Summary(row));
    if (!row.finished(failure))
        return false;
    if (games.isEmpty())
        return true;

    LastGameComparison comparison;
    comparison.game = games.first();
    std::optional<double> reaction;
    if (!SelectReaction(db, comparison.game.id, reaction, failure))
        return false;
    comparison.last = Headline(comparison.game, reaction);

    HeadlineFigures& mean = comparison.previous;
    int reactions = 0;
    double reactionSum = 0;
    for (qsizetype i = 1; i < games.size(); ++i) {
        std::optional<double> earlier;
        if (!SelectReaction(db, games[i].id, earlier, failure))
            return false;
        const HeadlineFigures figures = Headline(games[i], earlier);
        mean.score += figures.score;
        mean.kpm += figures.kpm;
        mean.accuracy += figures.accuracy;
        mean.misses += figures.misses;
        if (earlier) {
            ++reactions;
            reactionSum += *earlier;
        }
    }
    comparison.previousGames = int(games.size() - 1);
    if (comparison.previousGames > 0) {
        const double n = comparison.previousGames;
        mean.score /= n;
        mean.kpm /= n;
        mean.accuracy /= n;
        mean.misses /= n;
    }
    if (reactions > 0)
        mean.reactionMs = reactionSum / reactions;
    last = comparison;
    return true;
}

bool SelectKana(const QSqlDatabase& db, QList<KanaFigures>& kana, QSqlError* failure) {
    Select row(db);
    if (!row.exec(QStringLiteral("SELECT kana, attempts, misses, timed, total_ms FROM kana_totals"),
                  {}, failure))
        return false;
    while (row.next())
        kana.append({row.text(0), row.number(1), row.number(2), row.number(3), row.number(4)});
    if (!row.finished(failure))
        return false;
    std::sort(kana.begin(), kana.end(), [](const KanaFigures& a, const KanaFigures& b) {
        return KanaBefore(a.kana, b.kana);
    });
    return true;
}

bool SelectKeys(const QSqlDatabase& db, QList<KeyFigures>& keys, QSqlError* failure) {
    Select row(db);
    if (!row.exec(QStringLiteral("SELECT key, expected, missed FROM key_totals ORDER BY key"), {},
                  failure))
        return false;
    while (row.next())
        keys.append({row.text(0), row.number(1), row.number(2)});
    return row.finished(failure);
}

bool SelectConfusions(const QSqlDatabase& db, int count, QList<Confusion>& confusions,
                      QSqlError* failure) {
    // Every confusion as frequent as the count-th, so ties are ordered here
    // rather than by the table's key.
    Select row(db);
    if (!row.exec(QStringLiteral("SELECT kana, expected, typed, count FROM confusions"
                                 " WHERE count >= coalesce((SELECT count FROM confusions"
                                 " ORDER BY count DESC LIMIT 1 OFFSET ?), 0)"),
                  {std::max(count, 1) - 1}, failure))
        return false;
    while (row.next())
        confusions.append({row.text(0), row.text(1), row.text(2), row.number(3)});
    if (!row.finished(failure))
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
    Select row(db);
    if (!row.exec(
            QStringLiteral("SELECT %1 FROM games WHERE id = ?").arg(QLatin1String(kSummaryColumns)),
            {id}, failure))
        return false;
    if (!row.next())
        return row.finished(failure);
    GameRecord record;
    static_cast<GameSummary&>(record) = Summary(row);

    if (!row.exec(QStringLiteral("SELECT text, reaction_ms, completion_ms FROM words"
                                 " WHERE game = ? ORDER BY pos"),
                  {id}, failure))
        return false;
    while (row.next())
        record.wordList.append({row.text(0), row.optional(1), row.optional(2), {}});
    if (!row.finished(failure))
        return false;

    // Rows of a game whose places do not fit its words are skipped.
    const auto kanaAt = [&record](int word, int kana) -> KanaRecord* {
        if (word < 0 || word >= record.wordList.size())
            return nullptr;
        QList<KanaRecord>& list = record.wordList[word].kana;
        return kana >= 0 && kana < list.size() ? &list[kana] : nullptr;
    };
    if (!row.exec(QStringLiteral("SELECT word, kana, spelling, ms FROM kana"
                                 " WHERE game = ? ORDER BY word, pos"),
                  {id}, failure))
        return false;
    while (row.next()) {
        const int word = row.integer(0);
        if (word >= 0 && word < record.wordList.size())
            record.wordList[word].kana.append({row.text(1), row.text(2), row.optional(3), {}});
    }
    if (!row.finished(failure))
        return false;

    if (!row.exec(QStringLiteral("SELECT word, kana, expected, typed FROM miss_keys"
                                 " WHERE game = ? ORDER BY word, kana, seq"),
                  {id}, failure))
        return false;
    while (row.next()) {
        if (KanaRecord* kana = kanaAt(row.integer(0), row.integer(1)))
            kana->misses.append({row.text(2), row.text(3)});
    }
    if (!row.finished(failure))
        return false;
    game = std::move(record);
    return true;
}

// Runs select in a read transaction of its own, so the statements of one
// call see one moment.
template <typename Reader> bool ReadInTransaction(HistoryDb& db, QString* error, Reader select) {
    return db.run(
        HistoryDb::Access::Read,
        [&select](const QSqlDatabase& connection, QSqlError* failure) {
            SqlTransaction transaction(connection, SqlTransaction::Kind::Read, failure);
            return transaction.begun() && select(connection, failure) &&
                   transaction.commit(failure);
        },
        error);
}

} // namespace

QList<GameSummary> ReadGames(HistoryDb& db, QString* error) {
    QList<GameSummary> games;
    ReadInTransaction(db, error, [&](const QSqlDatabase& connection, QSqlError* failure) {
        games.clear();
        return SelectGames(connection, games, failure);
    });
    return games;
}

QList<DayFigures> ReadDays(HistoryDb& db, QString* error) {
    QList<DayFigures> days;
    ReadInTransaction(db, error, [&](const QSqlDatabase& connection, QSqlError* failure) {
        days.clear();
        return SelectDays(connection, days, failure);
    });
    return days;
}

std::optional<LastGameComparison> ReadLastGame(HistoryDb& db, QString* error) {
    std::optional<LastGameComparison> last;
    ReadInTransaction(db, error, [&](const QSqlDatabase& connection, QSqlError* failure) {
        last.reset();
        return SelectLastGame(connection, last, failure);
    });
    return last;
}

QList<KanaFigures> ReadKanaFigures(HistoryDb& db, QString* error) {
    QList<KanaFigures> kana;
    ReadInTransaction(db, error, [&](const QSqlDatabase& connection, QSqlError* failure) {
        kana.clear();
        return SelectKana(connection, kana, failure);
    });
    return kana;
}

QList<KeyFigures> ReadKeyFigures(HistoryDb& db, QString* error) {
    QList<KeyFigures> keys;
    ReadInTransaction(db, error, [&](const QSqlDatabase& connection, QSqlError* failure) {
        keys.clear();
        return SelectKeys(connection, keys, failure);
    });
    return keys;
}

QList<Confusion> ReadConfusions(HistoryDb& db, int count, QString* error) {
    QList<Confusion> confusions;
    ReadInTransaction(db, error, [&](const QSqlDatabase& connection, QSqlError* failure) {
        confusions.clear();
        return SelectConfusions(connection, count, confusions, failure);
    });
    return confusions;
}

std::optional<GameRecord> ReadGame(HistoryDb& db, qint64 id, QString* error) {
    std::optional<GameRecord> game;
    ReadInTransaction(db, error, [&](const QSqlDatabase& connection, QSqlError* failure) {
        game.reset();
        return SelectGame(connection, id, game, failure);
    });
    return game;
}

std::optional<HistoryOverview> ReadOverview(HistoryDb& db, QString* error) {
    HistoryOverview overview;
    const bool read =
        ReadInTransaction(db, error, [&](const QSqlDatabase& connection, QSqlError* failure) {
            overview = HistoryOverview();
            return SelectGames(connection, overview.games, failure) &&
                   SelectDays(connection, overview.days, failure) &&
                   SelectLastGame(connection, overview.last, failure) &&
                   SelectKana(connection, overview.kana, failure) &&
                   SelectKeys(connection, overview.keys, failure) &&
                   SelectConfusions(connection, kConfusionCount, overview.confusions, failure);
        });
    if (!read)
        return std::nullopt;
    overview.weakestByMisses = WeakestByMisses(overview.kana);
    overview.slowest = SlowestKana(overview.kana);
    return overview;
}
