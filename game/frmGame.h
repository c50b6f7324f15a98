#pragma once
// The play screen: shows the falling word, its romaji, the typed letters, the
// score and the stage, and forwards clicks, timer ticks and keys to the game
// course, which holds the rules.

#include "course.h"

#include <QImage>
#include <QPainterPath>
#include <QPixmap>
#include <QRect>
#include <QRectF>
#include <QTimer>
#include <QWidget>

#include <array>

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
    // Form-level key preview: during the countdown and play every character
    // key, whichever control has the focus, goes to Form_KeyPress and no
    // further; otherwise keys reach the focused button as usual.
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    // The close box acts like EXIT.
    void closeEvent(QCloseEvent* event) override;

private:
    // A label that grows around its place in the layout when its caption
    // needs more room than the layout gives.
    struct FittedLabel {
        QLabel* label = nullptr;
        QRect place; // pixels, from the twip layout
    };

    void BuildControls();
    QLabel* MakeLabel(const char* name, const QString& caption, const QRect& twips,
                      const QFont& font, Qt::Alignment alignment = Qt::AlignCenter);

    void Form_Load();
    void Form_KeyPress(char16_t key);
    void cmdStartEND_Click();
    void cmdEXIT_Click();

    // Brings the controls and the timers in line with the course's screen,
    // touching only what changed.
    void ShowScreen();
    // The falling word: lblTarget holds its text and whole-pixel place; the
    // window draws it where its position really is and repaints only the band
    // it moves through.
    void ShowFallingWord(const QString& text, float top);
    // The word drawn a quarter of a device pixel lower per phase 0..3, made
    // once per word and phase; the same image serves every whole-pixel place.
    const QImage& FallingWordImage(int phase);
    void SetCaption(QLabel* label, const QString& text);
    FittedLabel* Fitted(QLabel* label);
    void FitLabel(QLabel* label);
    void SetCountStyle(CountStyle style);
    void SetMissMark(bool on);
    void ApplyTimer(QTimer& timer, const TimerState& state);
    // TimerGame's tick; while both timers run at one period it stands for
    // both, counting down first, so that the program wakes once per tick.
    void TimerGame_Tick();

    GameCourse mCourse;
    QTimer TimerCount;
    QTimer TimerGame;
    QPixmap mPicture;
    QList<FittedLabel> mFitted;
    bool mTimersTogether = false;
    CountStyle mCountStyle = CountStyle::Dead;
    float mShownTop = -1; // the falling word's top as last shown, twips
    // The falling word as drawn: its outline with the box's top-left at 0, 0
    // (pixels), the images of its phases, and where they go in device pixels.
    QPainterPath mWordPath;
    std::array<QImage, 4> mWordPhases;
    qreal mWordRatio = 0;   // the device pixel ratio the images are made for
    QSize mWordImageSize;   // device pixels
    int mWordImageLeft = 0; // device pixels, in the window
    double mWordShiftX = 0; // the box's left inside the image, device pixels
    int mWordInkTop = 0;    // the image's top below the box's top, device pixels
    int mWordImageTop = 0;  // device pixels, in the window
    int mWordPhase = 0;
    double mWordTop = 0; // the box's real top as last drawn, pixels
    QRect mWordDrawn;    // the pixels the word last covered

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
};
