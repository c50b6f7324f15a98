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
            tally.missedAttempts += unit.misses.isEmpty() ? 0 : 1;
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
        QStringLiteral(
            "INSERT INTO spelling_totals (kana, spelling, attempts, misses, timed,"
            " timed_ms, timed_square_ms, missed_attempts) VALUES (?, ?, ?, ?, ?, ?, ?, ?)"
            " ON CONFLICT (kana, spelling) DO UPDATE SET"
            " attempts = attempts + excluded.attempts,"
            " misses = misses + excluded.misses,"
            " missed_attempts = missed_attempts + excluded.missed_attempts,"
            " timed = timed + excluded.timed,"
            " timed_ms = timed_ms + excluded.timed_ms,"
            " timed_square_ms = timed_square_ms + excluded.timed_square_ms"),
        failure);
    for (const auto& [key, tally] : m_spellings) {
        if (!spellings.run({key.first, key.second, tally.attempts, tally.misses, tally.timed,
                            tally.timedMs, tally.timedSquareMs, tally.missedAttempts}))
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

bool MakeSpellingTotals(const QSqlDatabase& db, QSqlError* failure, const GameWordsVisitor& also) {
    if (!Exec(db, QStringLiteral("DELETE FROM main.spelling_totals"), failure) ||
        !Exec(db, QStringLiteral("DELETE FROM main.habit_totals"), failure))
        return false;
    SpellingTallies tallies;
    GameRecord game;
    return ForEachGameWords(
               db, QStringLiteral("main"),
               [&](qint64 id, const QList<WordRecord>& words) {
                   game.wordList = words;
                   tallies.add(game);
                   return !also || also(id, words);
               },
               failure, DamagedWords::Skip) &&
           tallies.store(db, failure);
}
