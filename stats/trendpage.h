#pragma once
// The first page: the last game against the games before it, and charts of
// kpm, kana per minute and accuracy per game and per day.

#include "history/historyfigures.h"

#include <QWidget>

class LastGamePanel;
class TrendChart;

class TrendPage : public QWidget {
    Q_OBJECT

public:
    explicit TrendPage(QWidget* parent = nullptr);
    void showOverview(const HistoryOverview& overview);

private:
    LastGamePanel* m_last;
    TrendChart* m_kpmGames;
    TrendChart* m_kanaGames;
    TrendChart* m_accuracyGames;
    TrendChart* m_kpmDays;
    TrendChart* m_kanaDays;
    TrendChart* m_accuracyDays;
};
