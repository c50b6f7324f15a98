#pragma once
// ymconfig.ini: its path, the three routines every access passes through, the
// lenient number parse and the GameConfig settings kept in memory.

#include <QString>

#include <cstdint>

extern QString gIniPath;

extern std::int16_t gGameLevel; // GameConfig LEVEL
extern QString gUserName;       // GameConfig NAME
extern std::int16_t gManiax;    // GameConfig MANIAX
extern std::int16_t gWordCount; // GameConfig NUMBER

// Sets gIniPath and tells whether "ymconfig.ini" (exactly that name, letter
// case significant) is in the program folder.
bool ConfigFileExists();

// One value of section/key, at most 79 characters; default when the key is
// missing or its value is empty.
void ReadProfile(const QString& section, const QString& key, const QString& def, QString& result);

// Writes section/key = value. On failure writes the fallback instead and shows
// a "警告" message. True only when the value itself was written.
bool WriteProfile(const QString& section, const QString& key, const QString& fallback,
                  const QString& value);

// Lenient number parse: blanks are skipped, the longest leading numeric part is
// taken ("&H" reads hexadecimal), text without a number reads 0.
double ParseNumber(const QString& text);

// Nearest integer, halves to the even neighbour, clamped to the type's range.
std::int16_t RoundToInt16(double value);
std::int32_t RoundToInt32(double value);
