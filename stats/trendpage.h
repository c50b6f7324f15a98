#pragma once
// The first page: the last game against the games before it, the personal
// bests of each word list, and charts of kpm, kana per minute and accuracy
// per game and per day. A row of choices above narrows the bests and the
// charts to one word list, one start level and a span of time.

#include "history/historyfigures.h"
#include "trendfilter.h"

#include <QWidget>

class LastGamePanel;
class QComboBox;
class QTableWidget;
class TrendChart;

class TrendPage : public QWidget {
    Q_OBJECT

public:
    explicit TrendPage(QWidget* parent = nullptr);
    void showOverview(const HistoryOverview& overview);

private:
    // The choices as the player left them.
    TrendFilter filter() const;
    // The lists played, keeping the one chosen when it is still there.
    void fillLists();
    // The bests and charts of the games the choices admit.
    void showChosen();
    void showBests(const QList<GameSummary>& games);
    void showCharts(const QList<GameSummary>& games);

    QList<GameSummary> m_games; // every game, oldest first
    LastGamePanel* m_last;
    QComboBox* m_list;
    QComboBox* m_level;
    QComboBox* m_span;
    QTableWidget* m_bests;
    TrendChart* m_kpmGames;
    TrendChart* m_kanaGames;
    TrendChart* m_accuracyGames;
    TrendChart* m_kpmDays;
    TrendChart* m_kanaDays;
    TrendChart* m_accuracyDays;
};
