#pragma once
// The record of one game, built while it is played. The course tells it when
// play begins, which word is shown, every key judged and how the game ended;
// it keeps the times, the spellings and the misses of every word and of every
// kana unit as the judge treats it (しゃ one unit, っ with the kana it
// doubles, ん alone). Per key it only counts and moves a few offsets in
// memory; the words' kana are put together when each word is left, and the
// keys that were right at each miss once the game is over.

#include "play/gamerecord.h"

#include <QChar>
#include <QList>
#include <QString>

#include <optional>

class GameRecorder {
public:
    // Play begins ("ＧＯ"): a new record with the figures of game that are
    // known at the start (started, list, level, wordsPerStage).
    void begin(const GameSummary& game);
    // True from begin until the game ended.
    bool playing() const { return m_state == State::Playing; }

    // The word the player is to type from now on: its text before masking,
    // its reading as kana codes and its romaji target. ms, here and below,
    // is the course's monotonic clock in milliseconds.
    void showWord(const QString& text, const QString& codes, const QString& target, qint64 ms);
    // The key at charPos of the word was accepted; target is the word's
    // target after the judge, in the spelling being typed.
    void keyAccepted(const QString& target, int charPos, qint64 ms);
    // key (upper case) missed at charPos of target.
    void keyMissed(QChar key, const QString& target, int charPos, qint64 ms);

    // The game ended; stage and score as they stand.
    void finish(GameResult result, int stage, qint32 score, qint64 ms);
    // The record of the game that ended, until take(): its figures and words
    // as played, the right keys of its misses not yet filled in. Null while
    // none waits.
    const GameRecord* finished() const;
    // The record of the game that ended, once; nothing while none waits.
    std::optional<GameRecord> take();

private:
    enum class State { Idle, Playing, Finished };
    // A miss whose right keys are still to be found: where it is kept in the
    // record, and the target and place it was typed at.
    struct MissAt {
        qsizetype word;
        qsizetype unit;
        qsizetype miss;
        QString target;
        int charPos;
    };

    // Closes the word being typed at ms: its kana, spellings, and times.
    void leaveWord(qint64 ms);

    State m_state = State::Idle;
    GameRecord m_record;
    QList<MissAt> m_missesAt;
    qint64 m_typingMs = 0; // over the words left so far

    // The word being typed: none before the first is shown.
    bool m_hasWord = false;
    WordRecord m_word; // every unit of its reading, spellings filled on leaving
    QString m_target;  // its target as the judge last left it
    QList<int> m_ends; // where each unit ends in m_target
    int m_unit = 0;    // the unit being typed; all are done when m_ends.size()
    int m_typed = 0;   // keys accepted for it
    qint64 m_shownAt = 0;
    qint64 m_unitFrom = 0; // when the unit being typed began
};
