#pragma once
// The romaji of every kana code and the player's twenty spelling choices.

#include <QString>

#include <array>

extern std::array<QString, 119> gRomaji;   // index = kana code, 0 unused
extern std::array<QString, 20> gKeyConfig; // KeyConfig "A".."T"

void ReadKeyConfig();
bool WriteKeyConfig();
void BuildRomajiTable();
void ApplyKeyConfig();
QString CodesToRomaji(const QString& codes);
