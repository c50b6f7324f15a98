#pragma once
// The main menu: the hub of the game. It lives for the whole run, hidden
// while another screen is in front.

#include <QPixmap>
#include <QWidget>

class QCloseEvent;
class QLabel;
class QPaintEvent;
class QPushButton;

class frmMenu : public QWidget {
    Q_OBJECT

public:
    explicit frmMenu(QWidget* parent = nullptr);
    ~frmMenu() override;

protected:
    void paintEvent(QPaintEvent* event) override;
    // The close box ends the program like EXIT.
    void closeEvent(QCloseEvent* event) override;

private:
    void Form_Load();
    void cmdSTART_Click();
    void cmdCONFIG_Click();
    void cmdRANKING_Click();
    void cmdEXIT_Click();

    QPushButton* cmdSTART = nullptr;
    QPushButton* cmdCONFIG = nullptr;
    QPushButton* cmdRANKING = nullptr;
    QPushButton* cmdEXIT = nullptr;
    QLabel* Version = nullptr;
    QPixmap mPicture;
};

// The one menu of the run, or nullptr before start-up and after EXIT.
frmMenu* MenuWindow();

// One of the game's background pictures ("menu.png", "game.png"), compiled
// into the program.
QPixmap GamePicture(const QString& name);
