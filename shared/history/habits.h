#pragma once
// Misses that come from a habit of spelling rather than from not knowing the
// kana: ん typed NN before a consonant where the game wants N (or N where it
// wants NN), a doubled kana typed in the other spelling (CCHI where the game
// wants TTI), and っ typed alone (XTU) before the kana it doubles. They are
// told from the misses the judge recorded, as the game's kana follow each
// other.

#include "history/historyfigures.h"
#include "play/gamerecord.h"

#include <QList>

// One kana attempt that went wrong out of a habit.
struct HabitSeen {
    HabitFigures habit; // seen = 1
    QString missed;     // the kana whose misses it made
    // Its misses a setting would absorb: all of the attempt's misses, the
    // keys after the habit's being the way back from it; 0 when no setting
    // takes the habit.
    qint64 absorbed = 0;
};

// The habits in kana, every kana of one game in the order typed (the words
// one after another).
QList<HabitSeen> FindHabits(const QList<KanaRecord>& kana);
