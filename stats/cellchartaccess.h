#pragma once
// What a screen reader finds in a cell chart (the kana table, the keyboard):
// each cell as an item of a list, named by its label and the figure written
// under it, described by its figures in words; the marked cell is the focused
// item while the chart has the focus.

// Gives every cell chart asked about after this call its cells as items.
void InstallCellChartAccess();
