#pragma once
// What the statistics read from the history: plain figures, each with the
// derived values computed in one place.

#include "play/gamerecord.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The games started on one day (the local date of their start). The sums
// leave out the games without a correct key.
struct DayFigures {
    QDate day;
    int games = 0;         // every game
    int gamesWithKeys = 0; // those with a correct key, which the sums cover
    qint64 keys = 0;
    qint64 misses = 0;
    double seconds = 0;
    qint32 bestScore = 0;
    std::optional<qint64> kana; // completed; nothing as for GameSummary::kana
    // The best of a game with a correct key; nothing when there is none.
    std::optional<double> bestKpm;
    std::optional<double> bestAccuracy;

    double kpm() const { return Kpm(keys, seconds); }
    double accuracy() const { return Accuracy(keys, misses); }
    std::optional<double> kanaPerMinute() const {
        return kana ? std::optional<double>(Kpm(*kana, seconds)) : std::nullopt;
    }
};

// The figures shown for the last game and, as averages, for the games before
// it.
struct HeadlineFigures {
    double score = 0;
    double kpm = 0;
    double accuracy = 0;
    double misses = 0;
    std::optional<double> kanaPerMinute; // nothing as for GameSummary::kana
    // Mean time from a word's appearance to its first key, over the words
    // after the first (which waits out the countdown); nothing when none of
    // them got a key.
    std::optional<double> reactionMs;
};

// The last game against the player's average of the games before it.
struct LastGameComparison {
    GameSummary game;     // the game started last
    HeadlineFigures last; // its figures
    // How many games the averages cover, 0 to 10: the last ones before it
    // that had a correct key.
    int previousGames = 0;
    // The mean of each figure over those games (the optional ones over those
    // that have one); all 0 when there are none.
    HeadlineFigures previous;
};

// Everything recorded about one kana, whatever spellings typed it.
struct KanaFigures {
    QString kana;
    qint64 attempts = 0;       // times it was begun
    qint64 misses = 0;         // keys missed while it was being typed
    qint64 missedAttempts = 0; // attempts with at least one miss
    qint64 timed = 0;          // attempts completed, whose time is known
    qint64 totalMs = 0;        // their time together
    qint64 habitMisses = 0;    // misses that a setting would absorb (part of misses)
    qint64 habitAttempts = 0;  // missed attempts whose misses it would absorb

    qint64 evidenceMisses() const { return misses - habitMisses; }
    qint64 evidenceMissedAttempts() const { return missedAttempts - habitAttempts; }

    // The share of attempts with a miss, 0 to 1, however many keys each
    // missed: how often the player stumbles on it; 0 without attempts.
    double missRate() const {
        return attempts > 0 ? double(missedAttempts) / double(attempts) : 0.0;
    }
    // Mean milliseconds to type it; nothing when no attempt was completed.
    std::optional<double> meanMs() const {
        return timed > 0 ? std::optional<double>(double(totalMs) / double(timed)) : std::nullopt;
    }
};

// One key of the keyboard: how often it was due and how often the player
// missed where it was due. A key is due at each key pressed where it was the
// letter the target showed: the correct keys that were this letter and the
// misses made there.
struct KeyFigures {
    QString key; // one character, upper case ("A" to "Z", "-")
    qint64 expected = 0;
    qint64 missed = 0;

    // Misses per time it was due, 0 to 1; 0 when it never was.
    double missRate() const { return expected > 0 ? double(missed) / double(expected) : 0.0; }
};

// A kana at which the player typed one key where others were expected.
struct Confusion {
    QString kana;
    QString expected; // as KeyMiss::expected: the key shown first
    QString typed;
    qint64 count = 0;
};

// A kana in a ranking, with the figure it was ranked by.
struct RankedKana {
    KanaFigures figures;
    double score = 0;
};

// One spelling of a kana, over the attempts completed in it. The time of a
// word's first kana holds the reaction to the word, so only the attempts after
// another key of the word are timed.
struct SpellingFigures {
    QString kana;
    QString spelling;          // the romaji typed, e.g. "SHI"
    qint64 attempts = 0;       // completed in this spelling
    qint64 misses = 0;         // keys missed in them
    qint64 missedAttempts = 0; // those of them with at least one miss
    qint64 timed = 0;          // those of them after another key of the word
    qint64 timedMs = 0;        // their time together
    qint64 timedSquareMs = 0;  // the squares of their times together

    // The share of its attempts with a miss, 0 to 1; 0 without attempts.
    double missRate() const {
        return attempts > 0 ? double(missedAttempts) / double(attempts) : 0.0;
    }
    // Mean milliseconds per key of the spelling; nothing when none was timed.
    std::optional<double> msPerKey() const {
        return timed > 0 && !spelling.isEmpty()
                   ? std::optional<double>(double(timedMs) / double(timed * spelling.size()))
                   : std::nullopt;
    }
};

// A habit of spelling seen in the games: the kana typed another way than the
// game's target, and the spelling option that would take it.
struct HabitFigures {
    QString kana;    // the kana typed so, e.g. "ん", "っち"
    QString typed;   // how, e.g. "NN", "CCHI"
    QString setting; // the spelling group's kana on the settings screen; empty when none
    QString option;  // the option of that group that takes it, e.g. "NN"
    qint64 seen = 0; // kana attempts that went wrong so
};

// A kana ranked by its time per key against the player's median.
struct SlowKana {
    QString kana;
    qint64 keys = 0;     // the keys of its timed attempts
    double msPerKey = 0; // their mean time
    double score = 0;    // the shrunk time per key over the median; 1 is the median
};

// What the statistics program shows on opening, read at one moment (the
// trends are read apart, for the filter chosen).
struct HistoryOverview {
    std::optional<LastGameComparison> last; // nothing before the first game
    QList<KanaFigures> kana;                // in kana table order
    QList<KeyFigures> keys;                 // in key order
    QList<Confusion> confusions;            // the ten most frequent, most first
    QList<RankedKana> weakestByMisses;      // the ten weakest, weakest first
    QList<SlowKana> slowest;                // the ten slowest, slowest first
    QList<SpellingFigures> spellings;       // by kana table order, then spelling
    QList<HabitFigures> habits;             // most seen first
    // The file is of the version before spellings and habits were kept: the
    // game adds them when it next records a game.
    bool spellingsLater = false;
};

// Which games a figure covers; a part not given passes every game.
struct TrendFilter {
    std::optional<QString> list = std::nullopt; // the word list's file name, e.g. "Nomal.dat"
    std::optional<int> level = std::nullopt;    // the start level
    std::optional<QDate> from = std::nullopt;   // the first day, as DayFigures::day
    std::optional<QDate> to = std::nullopt;     // the last day
};

// The spread of one figure over a run of games: its mean over the whole run,
// and the middle half of its games (from the lower to the upper quartile,
// with the median).
struct FigureSpread {
    double mean = 0;
    double lower = 0;
    double median = 0;
    double upper = 0;
};

// A run of consecutive games with a correct key, as one column of a chart.
// Its means are pooled over its games, as a day's figures are: keys (or
// kana) per minute of their typing time together, and their keys over their
// keys and misses; for a single game, that game's figures.
struct GameBucket {
    int games = 0;   // how many
    QDateTime first; // the start of its first game read
    QDateTime last;  // and of its last
    FigureSpread kpm;
    FigureSpread accuracy;
    // Nothing in a file the game has not brought up to date.
    std::optional<FigureSpread> kanaPerMinute;
};
