#pragma once
// The kana page: the kana table coloured by miss rate with the figures of the
// hovered or marked kana in a line under it, the weakest kana ranked by
// misses and by slowness, the spellings and habits of spelling, and the
// miss rates of the kana practised.

#include "history/historyfigures.h"
#include "history/practiceeffect.h"

#include <QWidget>

class CellChart;
class QLabel;
class QTableWidget;
class SpellingPanel;

class KanaPage : public QWidget {
    Q_OBJECT

public:
    explicit KanaPage(QWidget* parent = nullptr);
    void showOverview(const HistoryOverview& overview);
    // The miss rates of the kana practised, before and since each list.
    void showPracticeEffects(const QList<PracticeEffect>& effects);

private:
    CellChart* m_chart;
    QLabel* m_detail;
    QTableWidget* m_byMisses;
    QLabel* m_weakRule;
    QTableWidget* m_slowest;
    SpellingPanel* m_spellings;
    QTableWidget* m_practice;
};
