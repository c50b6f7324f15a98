#pragma once
// The cells of the kana chart and of the keyboard, each coloured by its miss
// rate and described in words for the tool tip and the line under the chart.

#include "cellchart.h"
#include "history/historyfigures.h"

#include <QList>

// The kana table: the fifty sounds (あ to ん), the voiced sounds (が to ぽ),
// the contracted sounds (きゃ to ぴょ), and ふぁ..ふぉ, the small vowels, ー and
// っ (every unit that begins with っ counted together). Kana never typed are
// near white and marked with a dash.
QList<ChartCell> KanaCells(const QList<KanaFigures>& kana);

// A QWERTY keyboard, the number row with "-" (ー) above the letters, each key
// coloured by how often it was missed where it was due.
QList<ChartCell> KeyboardCells(const QList<KeyFigures>& keys);
