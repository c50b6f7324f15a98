#pragma once
// The figures as the statistics window writes them.

#include <QString>

// A share 0..1 as a percentage, with one decimal unless told otherwise:
// "96.4%".
QString PercentText(double share, int decimals = 1);
// Milliseconds without decimals: "320 ms".
QString MillisecondsText(double ms);
// Keys per minute with one decimal: "182.5".
QString KpmText(double kpm);
