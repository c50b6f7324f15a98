#pragma once
// The main menu: the hub of the game. It lives for the whole run, hidden
// while another screen is in front.

#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <functional>

class FilesWait;
class QCloseEvent;
class QLabel;
class QPaintEvent;
class QPushButton;

class frmMenu : public QWidget {
    Q_OBJECT

public:
    explicit frmMenu(QWidget* parent = nullptr);
    ~frmMenu() override;

    // Shows screen over the menu and keeps track of it. While that screen is
    // shown or active the menu is hidden; once it is hidden (closed) or
    // destroyed the menu shows itself again. A screen the menu does not track,
    // or no longer does, never hides it, however late its events arrive.
    void OpenScreen(QWidget* screen);
    // Runs action once the other program leaves the files; meanwhile the menu
    // is drawn but takes no input, with a note saying what it waits for.
    // giveUp runs instead, with the reason, after LockWait().
    void RunWithFiles(std::function<void()> action, std::function<void(const QString& why)> giveUp);

protected:
    void paintEvent(QPaintEvent* event) override;
    // The close box ends the program like EXIT.
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void Form_Load();
    // The tracked screen has gone: the menu is the one window again.
    void ScreenLeft();
    void cmdSTART_Click();
    void cmdCONFIG_Click();
    void cmdRANKING_Click();
    void cmdEXIT_Click();

    QPushButton* cmdSTART = nullptr;
    QPushButton* cmdCONFIG = nullptr;
    QPushButton* cmdRANKING = nullptr;
    QPushButton* cmdEXIT = nullptr;
    QLabel* Version = nullptr;
    // Below the buttons while the files are the other program's.
    QLabel* lblWait = nullptr;
    FilesWait* m_wait = nullptr;
    QPixmap m_picture;
    QPointer<QWidget> m_screen; // the screen opened over the menu, while it is open
    bool m_closing = false;
};

// The one menu of the run, or nullptr before start-up and after EXIT.
frmMenu* MenuWindow();
