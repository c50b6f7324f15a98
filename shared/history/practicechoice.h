#pragma once
// The choice of words for the practice list: words whose readings hold the
// kana the player is weakest at.

#include <QList>
#include <QString>
#include <QStringList>

// A word from a word list.
struct CandidateWord {
    QString text;    // as shown
    QString reading; // in hiragana (katakana is read as hiragana)
};

struct PracticeWord {
    QString text;
    QString reading;
    int level = 1; // LevelOfKeys(KeyCount(reading)), as the shipped lists
};

// How many words of each level the practice list aims at.
constexpr int kPracticeWordsPerLevel = 40;

// Chooses, for each level 1 to 5, up to perLevel words whose readings hold at
// least one of weakKana (kana units as KanaUnits gives them: "しゃ" matches
// the unit しゃ, not the し of another word's しゅ). The kana take turns,
// weakest (first) first, each taking the word not yet chosen that holds it
// and the most weak kana in all (the first such word given, on a tie), until
// the level has perLevel words or no kana finds another. A word given twice
// (same text and reading) counts once; readings that hold no kana are
// skipped. Returns the words by level, in the order chosen; a level for which
// the candidates hold too few such words has fewer.
QList<PracticeWord> ChoosePracticeWords(const QStringList& weakKana,
                                        const QList<CandidateWord>& candidates,
                                        int perLevel = kPracticeWordsPerLevel);
