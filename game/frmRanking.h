#pragma once
// The ranking screen: the nine best results of the ranking table, one
// coloured row per place.

#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

class frmRanking : public QWidget {
    Q_OBJECT

public:
    explicit frmRanking(QWidget* parent = nullptr);

private:
    void BuildRow(int index);
    void Form_Load();
    void cmdEXIT_Click();

    QLabel* label2 = nullptr;
    QLabel* Label18 = nullptr;
    std::array<QLabel*, 9> lblRankName{};
    std::array<QLabel*, 9> lblRankPoint{};
    QPushButton* cmdEXIT = nullptr;
};
