#pragma once
// The choice of words for the practice list: words whose readings hold the
// kana the player is weakest at, each level filled to what a game needs.

#include "wordlists/wordlimits.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// A word from a word list.
struct CandidateWord {
    QString text;    // as shown
    QString reading; // in hiragana (katakana is read as hiragana)
};

struct PracticeWord {
    QString text;
    QString reading;
    int level = 1;            // LevelOfKeys(KeyCount(reading)), as the shipped lists
    bool holdsTarget = false; // its reading holds a target kana
};

// A kana to practise, and its share of the places: a target of twice the
// weight takes about twice the words.
struct PracticeTarget {
    QString kana;
    double weight = 1;
};

// How many words of each level the practice list aims at.
constexpr int kPracticeWordsPerLevel = 40;

struct PracticeChoice {
    QList<PracticeWord> words;           // by level, in the order chosen
    std::array<int, kLevels> perLevel{}; // words of levels 1 to 5
    std::array<int, kLevels> targeted{}; // of those, the words holding a target
    // The first level the candidates cannot fill to least words, 0 when
    // every level is filled; the words are then those that were found.
    int shortLevel = 0;
};

// Chooses, for each level 1 to 5, first up to most words whose readings hold
// a target (kana units as KanaUnits gives them: "しゃ" matches the unit しゃ,
// not the し of another word's しゅ, and "こ" not the こ of っこ). Each place
// goes to the target with the fewest words for its weight (the earlier one
// on a tie) that finds another, taking the word not yet chosen that holds it
// and the most target kana in all (the first given, on a tie). A level that
// then has fewer than least words is filled up to least with words holding
// the next kana (taking turns, in the order given), then with the other
// candidates in the order given. A word given twice (same text and reading)
// counts once; readings that hold no kana are skipped.
PracticeChoice ChoosePracticeWords(const QList<PracticeTarget>& targets, const QStringList& next,
                                   const QList<CandidateWord>& candidates, int least,
                                   int most = kPracticeWordsPerLevel);
