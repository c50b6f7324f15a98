#pragma once
// The keyboard page: a QWERTY keyboard coloured by misses per expected key,
// with the figures of the hovered or marked key in a line under it, and the
// ten most frequent confusions (expected → typed).

#include "history/historyfigures.h"

#include <QWidget>

class CellChart;
class QLabel;
class QTableWidget;

class KeysPage : public QWidget {
    Q_OBJECT

public:
    explicit KeysPage(QWidget* parent = nullptr);
    void showOverview(const HistoryOverview& overview);

private:
    CellChart* m_chart;
    QLabel* m_detail;
    QTableWidget* m_confusions;
};
