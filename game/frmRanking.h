#pragma once
// The ranking screen: the nine best results of the ranking table, one
// coloured row per place.

#include <QWidget>

#include <array>

class QCloseEvent;
class QLabel;
class QPushButton;
class QShowEvent;

class frmRanking : public QWidget {
    Q_OBJECT

public:
    explicit frmRanking(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildRow(int index);
    void Form_Load();
    void Form_Activate();
    void cmdEXIT_Click();

    QLabel* label2 = nullptr;
    QLabel* Label18 = nullptr;
    std::array<QLabel*, 9> lblRankName{};
    std::array<QLabel*, 9> lblRankPoint{};
    QPushButton* cmdEXIT = nullptr;
};
