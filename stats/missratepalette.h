#pragma once
// The colour scale of miss rates on the kana table and the keyboard: a few
// steps from dark blue through grey to yellow, ordered by lightness so that
// every kind of colour vision reads them in order. Each cell also writes its
// rate, so that the colour is never the only carrier.

#include <QColor>
#include <QString>

// Each step holds five whole percent of miss rate; the last takes the rest.
constexpr int kMissRateSteps = 6;
constexpr int kMissRateStepPercent = 5;

// The step (0 to kMissRateSteps - 1) of a miss rate (misses per attempt),
// taken from the rate in whole percent as the cell writes it.
int MissRateStep(double rate);
// The colour of a step, dark blue for the lowest rates to yellow for the highest.
QColor MissRateStepColor(int step);
// The colour of a miss rate; a near white without attempts.
QColor MissRateColor(double rate, bool attempted);
// What a cell writes under its label: the rate in whole percent, or a dash
// without attempts.
QString MissRateMark(double rate, bool attempted);
// Text that reads on a fill: white on the dark steps, black on the light.
QColor TextColorOn(const QColor& fill);
// The legend, as rich text: each step's colour with the rates it holds, and
// the colour of what has no attempts yet.
QString MissRateLegend();
