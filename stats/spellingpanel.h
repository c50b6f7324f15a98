#pragma once
// The kana page's part on spellings: the habits of spelling seen and the
// setting that would take each, and per kana with alternative spellings the
// figures of each spelling used, with the spelling that serves the player
// credibly better.

#include "history/historyfigures.h"

#include <QString>
#include <QWidget>

class QLabel;
class QTableWidget;

// One line on a habit: what was seen and which setting would take it.
QString HabitText(const HabitFigures& habit);

class SpellingPanel : public QWidget {
    Q_OBJECT

public:
    explicit SpellingPanel(QWidget* parent = nullptr);
    void showOverview(const HistoryOverview& overview);

private:
    QLabel* m_habits;
    QTableWidget* m_spellings;
    QLabel* m_verdicts;
};
