#pragma once
// The first page: the last game against the games before it, the personal
// bests of each word list, and charts of kpm, kana per minute and accuracy
// per game and per day. A row of choices above narrows the bests and the
// charts to one word list, one start level and a span of time. The page
// reads nothing itself: it asks for the figures of its choices
// (trendAsked) and shows those it is given.

#include "history/filteredqueries.h"
#include "history/historyfigures.h"

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
    void showTrend(const TrendFigures& trend);

    // The choices as the player left them.
    TrendFilter filter() const;
    // How many buckets of games the charts draw: about a column each, in
    // steps of powers of two so that a small change of size reads nothing.
    int buckets() const;

signals:
    // The figures of filter, the games in buckets buckets, are wanted.
    void trendAsked(const TrendFilter& filter, int buckets);

private:
    // The lists played, keeping the one chosen when it is still there.
    void fillLists(const QStringList& lists);
    void askTrend();
    void showBests(const QList<ListBests>& bests);
    void showCharts(const TrendFigures& trend);

    int m_asked = 0; // the buckets last asked for
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
