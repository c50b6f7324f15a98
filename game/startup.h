#pragma once
// The game's start-up: fills the shared data from ymconfig.ini and shows the
// main menu.

#include <QString>

#include <cstdint>

// Runs the start-up steps in their fixed order. Returns false when the
// program cannot run because ymconfig.ini is missing; the user has then been
// told and no window is open.
bool StartUp();

// Reads the spelling preferences, builds the romaji table, reads the ranking
// and the four GameConfig settings, as start-up does and as the settings
// screen does again after it saves. numberDefault stands in for a missing
// NUMBER (which callers differ on).
void ReadSettings(const QString& numberDefault);

// GameConfig NUMBER (numberDefault when missing), brought into the 6 to 10
// words a game can use.
std::int16_t ReadWordCount(const QString& numberDefault);
