#pragma once
// The practice list: Data/Nigate.dat, the words of the lists in Data/ whose
// readings hold the kana the player misses most, written as any list is.

#include "history/historydb.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>

// The list's file name in Data/ (苦手: weak points).
inline const QString kPracticeListName = QStringLiteral("Nigate.dat");

struct PracticeListOutcome {
    bool written = false;
    std::array<int, 5> perLevel{}; // words written of levels 1 to 5
    std::array<int, 5> targeted{}; // of those, the words holding a weak kana
    QStringList weakKana;          // the kana the words were chosen for
    // For the user, in Japanese: what was written, or why nothing was.
    QString text;
};

// Takes the weak kana (WeakestByMisses) from db, chooses words holding them
// from every list in Data/ but the practice list itself (ChoosePracticeWords:
// up to 40 per level, and in every level at least what the game needs at the
// most words per stage), and replaces Data/Nigate.dat with them under the
// lock between the programs, adding the list to the record of those made
// (practicerecord.h). A list that cannot be read is left out and named in
// the text. Nothing is written when db holds no game (a missing file is not
// made) or cannot be read, no kana is weak, no word holds a weak kana, or
// the lists cannot fill a level.
PracticeListOutcome MakePracticeList(HistoryDb& db);
