#pragma once
// The player's best game on each word list: the fastest, the most accurate
// and the highest scoring, each with when it was played.

#include "play/gamerecord.h"

#include <QDateTime>
#include <QList>
#include <QString>

#include <optional>

// One best and the start of the game that set it.
struct Best {
    double value = 0;
    QDateTime when;
};

struct PersonalBests {
    QString list;                 // the word list's file name
    std::optional<Best> kpm;      // over the games with a correct key
    std::optional<Best> accuracy; // over the games won: a whole game typed
    std::optional<Best> score;    // over every game
};

// The bests of each list the games were played on, in order of the lists'
// names. A best is held by the first game to reach it.
QList<PersonalBests> BestsPerList(const QList<GameSummary>& games);
