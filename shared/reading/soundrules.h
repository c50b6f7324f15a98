#pragma once
// The spelling a typist expects where the dictionary's reading of each part
// differs from how the whole word is written or said: today's kana for
// historical ones, numbers said with their counters, and a compound's parts
// read as they are said there.

#include "reading/analysis.h"

#include <QString>

#include <vector>

// Respells the readings of a word's parts, in order, as the word is typed:
// 一回 イッカイ (not イチカイ), 二日 フツカ, 牛丼 ギュウドン, 預ける アズケル
// (not アヅケル).
void RespellSounds(std::vector<Sound>& sounds, const ReadingLookup& lookup);
