#pragma once
// The last game's figures (score, kpm, kana per minute, accuracy, misses,
// mean reaction time), each beside the player's average of the games before
// it and the change, green where the last game was better and red where it
// was worse. A game without a correct key shows its score and misses only,
// and is not compared.

#include "history/historyfigures.h"

#include <QWidget>

#include <array>

class QLabel;

class LastGamePanel : public QWidget {
    Q_OBJECT

public:
    explicit LastGamePanel(QWidget* parent = nullptr);
    void showComparison(const LastGameComparison& comparison);

private:
    struct Row {
        QLabel* last;
        QLabel* average;
        QLabel* change;
    };
    QLabel* m_heading;
    QLabel* m_averageHeading;
    QLabel* m_note; // why the last game is not compared, when it is not
    std::array<Row, 6> m_rows{};
};
