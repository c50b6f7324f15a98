#pragma once
// The spelling a typist expects where the dictionary's reading of each part
// differs from how the whole word is written or said: today's kana for
// historical ones, numbers said with their counters, a compound's parts read
// as they are said there, 付ける voiced after a noun and ツ closing before
// する.

#include "reading/analysis.h"

#include <QString>

#include <vector>

// Respells the readings of a word's parts, in order, as the word is typed:
// 一回 イッカイ (not イチカイ), 二日 フツカ, 牛丼 ギュウドン, 印象付ける
// インショウヅケル, 熱する ネッスル, 預ける アズケル (not アヅケル).
void RespellSounds(std::vector<Sound>& sounds, const ReadingLookup& lookup);
