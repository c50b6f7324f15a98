#include "history/spellingtotals.h"

#include "history/sqlsupport.h"

namespace {

// Text for a NOT NULL column: a habit no setting takes has none.
QString Text(const QString& text) {
    return text.isNull() ? QStringLiteral("") : text;
}

} // namespace

void SpellingTallies::add(const GameRecord& game) {
    QList<KanaRecord> typed;
    for (const WordRecord& word : game.wordList) {
        for (qsizetype k = 0; k < word.kana.size(); ++k) {
            const KanaRecord& unit = word.kana[k];
            typed.append(unit);
            // The keys typed so far of a kana the game ended on are no
            // spelling.
            if (!unit.ms)
                continue;
            Spelling& tally = m_spellings[{unit.kana, unit.spelling}];
            ++tally.attempts;
            tally.misses += unit.misses.size();
            // A word's first kana holds the reaction to the word.
            if (k > 0) {
                const qint64 ms = *unit.ms;
                ++tally.timed;
                tally.timedMs += ms;
                tally.timedSquareMs += ms * ms;
            }
        }
    }
    for (const HabitSeen& seen : FindHabits(typed)) {
        Habit& tally = m_habits[{seen.habit.kana, seen.habit.typed, seen.missed}];
        tally.setting = seen.habit.setting;
        tally.option = seen.habit.option;
        ++tally.seen;
        tally.absorbed += seen.absorbed;
    }
}

bool SpellingTallies::store(const QSqlDatabase& db, QSqlError* failure) const {
    SqlStatement spellings(
        db,
        QStringLiteral("INSERT INTO spelling_totals (kana, spelling, attempts, misses, timed,"
                       " timed_ms, timed_square_ms) VALUES (?, ?, ?, ?, ?, ?, ?)"
                       " ON CONFLICT (kana, spelling) DO UPDATE SET"
                       " attempts = attempts + excluded.attempts,"
                       " misses = misses + excluded.misses,"
                       " timed = timed + excluded.timed,"
                       " timed_ms = timed_ms + excluded.timed_ms,"
                       " timed_square_ms = timed_square_ms + excluded.timed_square_ms"),
        failure);
    for (const auto& [key, tally] : m_spellings) {
        if (!spellings.run({key.first, key.second, tally.attempts, tally.misses, tally.timed,
                            tally.timedMs, tally.timedSquareMs}))
            return false;
    }
    SqlStatement habits(db,
                        QStringLiteral("INSERT INTO habit_totals (kana, typed, missed, setting,"
                                       " option, seen, absorbed) VALUES (?, ?, ?, ?, ?, ?, ?)"
                                       " ON CONFLICT (kana, typed, missed) DO UPDATE SET"
                                       " seen = seen + excluded.seen,"
                                       " absorbed = absorbed + excluded.absorbed"),
                        failure);
    for (const auto& [key, tally] : m_habits) {
        const auto& [kana, typed, missed] = key;
        if (!habits.run({kana, typed, missed, Text(tally.setting), Text(tally.option), tally.seen,
                         tally.absorbed}))
            return false;
    }
    return true;
}

bool MakeSpellingTotals(const QSqlDatabase& db, QSqlError* failure) {
    if (!Exec(db, QStringLiteral("DELETE FROM main.spelling_totals"), failure) ||
        !Exec(db, QStringLiteral("DELETE FROM main.habit_totals"), failure))
        return false;
    // Both in the order of their keys, so one pass over each joins them and
    // only one game is held at a time.
    SqlStatement kana(db,
                      QStringLiteral("SELECT game, word, pos, kana, spelling, ms FROM main.kana"
                                     " ORDER BY game, word, pos"),
                      failure);
    SqlStatement misses(db,
                        QStringLiteral("SELECT game, word, kana, expected, typed"
                                       " FROM main.miss_keys ORDER BY game, word, kana, seq"),
                        failure);
    if (!kana.run() || !misses.run())
        return false;
    SpellingTallies tallies;
    GameRecord game;
    qint64 current = -1;
    bool missWaits = misses.next();
    while (kana.next()) {
        const qint64 id = kana.number(0);
        const int word = kana.integer(1);
        const int pos = kana.integer(2);
        if (id != current) {
            tallies.add(game);
            game.wordList.clear();
            current = id;
        }
        while (game.wordList.size() <= word)
            game.wordList.append(WordRecord{});
        KanaRecord unit{kana.text(3), kana.text(4), kana.optionalInteger(5), {}};
        const auto key = std::tuple(id, word, pos);
        // Missed keys of rows that no kana row holds are passed over.
        while (missWaits &&
               std::tuple(misses.number(0), misses.integer(1), misses.integer(2)) <= key) {
            if (std::tuple(misses.number(0), misses.integer(1), misses.integer(2)) == key)
                unit.misses.append({misses.text(3), misses.text(4)});
            missWaits = misses.next();
        }
        game.wordList[word].kana.append(std::move(unit));
    }
    if (!kana.ok() || !misses.ok())
        return false;
    tallies.add(game);
    return tallies.store(db, failure);
}
