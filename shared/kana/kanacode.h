#pragma once
// The kana code table: codes 1..118 for the kana and kana pairs of a reading,
// and readings turned into codes and back.

#include <QString>

#include <array>

constexpr int kLastKanaCode = 118; // codes run from 1 to this

// Editor: the kana of each code 1..118 (index 0 empty) and the codes of the
// reading last converted on the registration screen.
extern std::array<QString, 119> gKana;
extern QString gKanaCodes;

void BuildKanaTable();
QString KanaToCodes(const QString& hiragana);
QString CodesToKana(const QString& codes);
