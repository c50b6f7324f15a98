#pragma once
// The record of one game as the history keeps it, and the figures derived from
// it (keys per minute, accuracy), defined here once for every program that
// shows them.

#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

// How a game ended.
enum class GameResult {
    Won,   // the last word of stage 5 was typed
    Lost,  // a word passed the death line ("You Dead "), whatever was done after
    Ended, // ended with "ＥＮＤ", left with EXIT or the window closed while in play
};
// "won", "lost", "ended": the names the history and its exports use.
QString ResultName(GameResult result);
// The result of one of those names; nothing for any other text.
std::optional<GameResult> ResultFromName(const QString& name);

// A key that missed.
struct KeyMiss {
    // The keys that would have been accepted at that point: first the letter
    // the target showed, then the other keys the judge would also have taken,
    // in alphabetical order ("HI" at SH_ of SHI, where H or I was right).
    // Empty for misses recorded before the keys were kept.
    QString expected;
    // The key typed, upper case as the judge sees it; empty as above.
    QString typed;

    bool operator==(const KeyMiss&) const = default;
};

// One kana of a word as the judge treats it: a contracted sound (しゃ) is one
// unit, っ belongs to the kana it doubles (っか), ん is a unit of its own
// whether typed N or NN, ー is a unit. KanaUnits() splits a reading so.
struct KanaRecord {
    QString kana;     // the unit's kana, e.g. "し", "しゃ", "っか"
    QString spelling; // the keys accepted for it, e.g. "SI" or "SHI"; for a
                      // kana the game ended on, the keys typed so far
    // Milliseconds from the key accepted before the kana (for a word's first
    // kana, the word's appearance) to the key that completed it; nothing when
    // the game ended before it was complete.
    std::optional<int> ms;
    QList<KeyMiss> misses; // the misses while it was the kana being typed

    bool operator==(const KanaRecord&) const = default;
};

// One word shown in a game.
struct WordRecord {
    QString text; // as shown, before masking
    // From the word's appearance to the first key pressed for it, right or
    // wrong; nothing when no key was pressed while it was shown.
    std::optional<int> reactionMs;
    // From its appearance to the key that completed it; nothing when the game
    // ended on it.
    std::optional<int> completionMs;
    // The kana begun, in order: every kana of a completed word, up to and
    // including the one being typed for the word the game ended on.
    QList<KanaRecord> kana;

    bool operator==(const WordRecord&) const = default;
};

// count × 60 / seconds (keys or kana per minute); 0 when no time was spent.
double Kpm(qint64 count, double seconds);
// keys / (keys + misses), 0 to 1; 1 when no key was pressed at all (no key
// went wrong). A game without a correct key is left out of the averages
// (GameSummary::hasCorrectKey), so this value is never averaged in.
double Accuracy(qint64 keys, qint64 misses);

// The figures of one game, without its words: what charts, averages and the
// export show.
struct GameSummary {
    qint64 id = 0;          // its number in the history; 0 until written
    QDateTime started;      // when it started, local time, kept to the second
    QString list;           // the word list's file name, e.g. "Nomal.dat"
    int level = 1;          // the start level, 1 to 5
    int wordsPerStage = 10; // the setting (a stage plays one fewer)
    GameResult result = GameResult::Ended;
    int stage = 1;    // the stage reached, 1 to 5
    qint32 score = 0; // the final score
    int words = 0;    // words completed
    int keys = 0;     // keys judged correct: all spellings' letters
    int misses = 0;   // keys judged wrong: all kana's misses
    // Typing time: for each word shown, from its appearance to its
    // completion, or to the game's end for the last one.
    double seconds = 0;

    // Kana completed, each counted once whatever spelling typed it (し as SI
    // or SHI), so that kana per minute compares typists of either spelling;
    // as the history read it, and nothing when it cannot tell (a file the
    // game has not yet brought up to date).
    std::optional<int> kana;

    double kpm() const { return Kpm(keys, seconds); }
    double accuracy() const { return Accuracy(keys, misses); }
    std::optional<double> kanaPerMinute() const {
        return kana ? std::optional<double>(Kpm(*kana, seconds)) : std::nullopt;
    }
    // Without a correct key a game has no speed or accuracy worth the name
    // (a game ended at once, or only wrong keys): it is counted, but left out
    // of averages, differences and charts.
    bool hasCorrectKey() const { return keys > 0; }
};

// A whole game: its figures and every word shown, in order.
struct GameRecord : GameSummary {
    QList<WordRecord> wordList;
    // The identity drawn when the game ended ("{8-4-4-4-12}" hexadecimal
    // digits): a game written into the history twice is stored once. Empty
    // until then.
    QString uuid;
};

// The kana of game's words that were completed (KanaRecord::ms known).
int CompletedKana(const GameRecord& game);

// The start time as the history writes it: ISO 8601 in the time's own offset
// from UTC, to the second ("2026-03-01T21:05:09+09:00").
QString StartedText(const QDateTime& started);

// The kana units of a reading given as kana codes (three digits each, as in
// the word lists): one per code, a run of small っ joined to the kana after
// it; a trailing っ stays alone. Groups that name no kana are skipped.
QStringList KanaUnits(const QString& codes);
