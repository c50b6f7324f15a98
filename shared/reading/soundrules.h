#pragma once
// The spelling a typist expects where the dictionary's reading of each part
// differs from how the whole word is written or said: today's kana for
// historical ones, a number closing before its counter, and the end of a
// compound read as it is said there.

#include "reading/analysis.h"

#include <QString>

#include <vector>

// A sounding part of an analysis with its reading in katakana.
struct Sound {
    const Morpheme* part;
    QString reading;
};

// Respells the readings of a word's parts, in order, as the word is typed:
// 一回 イッカイ (not イチカイ), 牛丼 ギュウドン, 預ける アズケル (not アヅケル).
void RespellSounds(std::vector<Sound>& sounds, const ReadingLookup& lookup);
