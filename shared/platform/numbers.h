#pragma once
// Numbers as ymconfig.ini and the labels keep them: decimal text read
// leniently and rounded into the 16- and 32-bit integers the programs count in.

#include <QString>

#include <cstdint>

// Lenient number parse: blanks are skipped, the longest leading numeric part is
// taken ("&H" reads hexadecimal), text without a number reads 0.
double ParseNumber(const QString& text);

// Nearest integer, halves to the even neighbour, clamped to the type's range.
std::int16_t RoundToInt16(double value);
std::int32_t RoundToInt32(double value);
