#pragma once
// The limits of the word-list format.

constexpr int kMaxCount = 32767; // files, records and counts are 16-bit
constexpr int kLastKanaCode = 118;
constexpr int kLevels = 5;
