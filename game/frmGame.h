#pragma once
// The play screen: shows the falling word, its romaji, the typed letters, the
// score and the stage, and forwards clicks, timer ticks and keys to the game
// course, which holds the rules.

#include "course.h"
#include "fallingword.h"
#include "playscreenhost.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>

class FilesWait;
class ResultCard;
class QCloseEvent;
class QLabel;
class QPushButton;

class frmGame : public QWidget {
    Q_OBJECT

public:
    explicit frmGame(QWidget* parent = nullptr);

    // The two timer handlers; the timers call them, and so can tests.
    void TimerCount_Timer();
    void TimerGame_Timer();

protected:
    // Form-level key preview: during the countdown and play every key,
    // whichever control has the focus, goes to Form_KeyPress and no further;
    // otherwise keys reach the focused button as usual. Esc is END while
    // END is shown.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The close box acts like EXIT.
    void closeEvent(QCloseEvent* event) override;

private:
    void BuildControls();

    void Form_Load();
    void Form_KeyPress(char16_t key);
    void cmdStartEND_Click();
    void cmdEXIT_Click();

    // Brings the controls and the timers in line with the course's screen,
    // touching only what changed.
    void ShowScreen();
    // The falling word: lblTarget holds its text and whole-pixel place;
    // m_fallingWord draws it where its position really is.
    void ShowFallingWord(const QString& text, float top);
    // Shows text in a label that has another, fitted as it was laid out.
    void SetCaption(QLabel* label, const QString& text);
    // Keys go to the window during a game, so no button shows the focus.
    // When the game stops (lost, won, ended) the start/end button takes it:
    // Return ends a lost game there, and Return again starts the next.
    void ShowFocus();
    // How low the result card may reach: after a loss, above the word that
    // fell, which tells what was missed.
    int CardLowest() const;
    void SetCountStyle(CountStyle style);
    void SetMissMark(bool on);
    void ApplyTimer(QTimer& timer, const TimerState& state);
    // TimerGame's tick; while both timers run at one period it stands for
    // both, counting down first, so that the program wakes once per tick.
    void TimerGame_Tick();

    PlayScreenHost m_host; // before the course, which keeps it
    GameCourse m_course{m_host};
    QTimer TimerCount;
    QTimer TimerGame;
    QPixmap m_picture;
    bool m_timersTogether = false;
    bool m_judging = false; // the course judged keys when last shown
    CountStyle m_countStyle = CountStyle::Dead;
    float m_shownTop = -1; // the falling word's top as last shown, twips
    FallingWord m_fallingWord;

    QPushButton* cmdStartEND = nullptr;
    QPushButton* cmdEXIT = nullptr;
    QLabel* lbl_color = nullptr;
    QLabel* lbl_DispArpha = nullptr;
    QLabel* lblHighScore = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QLabel* lblScore = nullptr;
    QLabel* Label6 = nullptr;
    QLabel* lblNextTarget = nullptr;
    QLabel* lblTarget = nullptr;
    QLabel* lbl_Count = nullptr;
    QLabel* lblTargetRMoji = nullptr;
    QLabel* lblTargetNyuryoku = nullptr;
    QLabel* lbl_Bar = nullptr;
    QLabel* Label9 = nullptr;
    QLabel* lbl_Speed = nullptr;
    QLabel* lbl_Level = nullptr;
    QLabel* lbl_Maniax = nullptr;
    QLabel* lblFileName = nullptr;
    // Over the play area while START waits for the other program's files.
    QLabel* lblWait = nullptr;
    FilesWait* m_wait = nullptr;
    ResultCard* m_card = nullptr;
};
