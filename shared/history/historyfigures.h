#pragma once
// What the statistics read from the history: plain figures, each with the
// derived values computed in one place.

#include "play/gamerecord.h"

#include <QDate>
#include <QList>
#include <QString>

#include <optional>

// The games started on one day (the local date of their start).
struct DayFigures {
    QDate day;
    int games = 0;
    qint64 keys = 0;
    qint64 misses = 0;
    double seconds = 0;
    qint32 bestScore = 0;

    double kpm() const { return Kpm(keys, seconds); }
    double accuracy() const { return Accuracy(keys, misses); }
};

// The five figures shown for the last game and, as averages, for the games
// before it.
struct HeadlineFigures {
    double score = 0;
    double kpm = 0;
    double accuracy = 0;
    double misses = 0;
    // Mean time from a word's appearance to its first key; nothing when no
    // word got a key.
    std::optional<double> reactionMs;
};

// The last game against the player's average of the games before it.
struct LastGameComparison {
    GameSummary game;      // the game started last
    HeadlineFigures last;  // its figures
    int previousGames = 0; // how many games the averages cover, 0 to 10
    // The mean of each figure over those games (reactionMs over those that
    // have one); all 0 when there are none.
    HeadlineFigures previous;
};

// Everything recorded about one kana, whatever spellings typed it.
struct KanaFigures {
    QString kana;
    qint64 attempts = 0; // times it was begun
    qint64 misses = 0;   // keys missed while it was being typed
    qint64 timed = 0;    // attempts completed, whose time is known
    qint64 totalMs = 0;  // their time together

    // Misses per attempt (a kana may be missed more than once, so this may
    // pass 1); 0 without attempts.
    double missRate() const { return attempts > 0 ? double(misses) / double(attempts) : 0.0; }
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

// What the statistics program shows on opening, read at one moment.
struct HistoryOverview {
    QList<GameSummary> games;               // oldest first
    QList<DayFigures> days;                 // oldest first
    std::optional<LastGameComparison> last; // nothing before the first game
    QList<KanaFigures> kana;                // in kana table order
    QList<KeyFigures> keys;                 // in key order
    QList<Confusion> confusions;            // the ten most frequent, most first
    QList<RankedKana> weakestByMisses;      // the ten weakest, weakest first
    QList<RankedKana> slowest;              // the ten slowest, slowest first
};
