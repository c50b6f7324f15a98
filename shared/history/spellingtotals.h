#pragma once
// The running totals per kana and spelling and per habit of spelling
// (spelling_totals, habit_totals): what one game adds to them, and making
// them again from every game's rows.

#include "history/gamewords.h"
#include "history/habits.h"
#include "play/gamerecord.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>

#include <map>
#include <tuple>
#include <utility>

class SpellingTallies {
public:
    // Adds every kana of one game.
    void add(const GameRecord& game);
    // Adds the tallies to the tables of the main schema.
    bool store(const QSqlDatabase& db, QSqlError* failure) const;

private:
    struct Spelling {
        qint64 attempts = 0;
        qint64 misses = 0;
        qint64 missedAttempts = 0;
        qint64 timed = 0;
        qint64 timedMs = 0;
        qint64 timedSquareMs = 0;
    };
    struct Habit {
        QString setting;
        QString option;
        qint64 seen = 0;
        qint64 absorbed = 0;
    };
    std::map<std::pair<QString, QString>, Spelling> m_spellings; // kana, spelling
    // kana, typed, kana missed
    std::map<std::tuple<QString, QString, QString>, Habit> m_habits;
};

// Empties both tables and makes them from every game's kana and missed keys,
// as the writer adds each game; a game whose packed words are damaged is
// passed over. Each game's words also go to also when given, so that
// another count needs no pass of its own over the games.
bool MakeSpellingTotals(const QSqlDatabase& db, QSqlError* failure,
                        const GameWordsVisitor& also = {});
