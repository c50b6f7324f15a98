#include "frmGame.h"

#include "DlgUseName.h"
#include "background.h"
#include "gamehistory.h"
#include "platform/platform.h"
#include "play/settings.h"
#include "resultcard.h"
#include "ui/fileswait.h"
#include "ui/twips.h"
#include "ui/uicommon.h"
#include "wordlists/wordfile.h"

#include <QCloseEvent>
#include <QFontInfo>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QPaintEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>

#include <algorithm>
#include <cmath>

namespace {

const QColor kMissRed(255, 0, 0);

QRect TwipRect(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

// Layout of the falling word; its top follows the word position.
constexpr int kTargetLeft = 3330;
constexpr int kTargetWidth = 4530;
constexpr int kTargetHeight = 285;
constexpr double kTwipsPerPixel = 15;

// The background picture laid on the window colour once, so that repainting
// a part of it is a plain copy rather than a blend.
QPixmap OpaquePicture(const QPixmap& picture, const QSize& size) {
    QPixmap opaque(size);
    opaque.fill(kWindowColor);
    QPainter painter(&opaque);
    painter.drawPixmap(0, 0, picture);
    return opaque;
}

} // namespace

frmGame::frmGame(QWidget* parent) : QWidget(parent) {
    setObjectName("frmGame");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Yubimaru");
    SetClientSizeTwips(this, 11880, 8595);
    SetBackgroundColor(this, kWindowColor);
    m_picture = OpaquePicture(GamePicture("game.png"), size());
    // Every pixel is painted from the picture; Qt need not fill it first.
    setAutoFillBackground(false);
    setAttribute(Qt::WA_OpaquePaintEvent);
    // The window itself can hold the focus, so the buttons need not.
    setFocusPolicy(Qt::ClickFocus);

    BuildControls();
    m_card = new ResultCard(this);
    lblWait = AddLabel(this, "lblWait", QString(), 3000, 2400, 5400, 1200,
                       WindowsFont("MS UI Gothic", 12));
    m_wait = new FilesWait(this, lblWait, cmdStartEND);

    TimerCount.setTimerType(Qt::PreciseTimer);
    TimerGame.setTimerType(Qt::PreciseTimer);
    connect(&TimerCount, &QTimer::timeout, this, &frmGame::TimerCount_Timer);
    connect(&TimerGame, &QTimer::timeout, this, &frmGame::TimerGame_Tick);
    connect(cmdStartEND, &QPushButton::clicked, this, &frmGame::cmdStartEND_Click);
    connect(cmdEXIT, &QPushButton::clicked, this, &frmGame::cmdEXIT_Click);

    // Every game that reached "ＧＯ" is written into the history once it is
    // over: on END, after a won game's name dialog, or as the screen closes.
    m_course.setRecorder(RecordGame);

    installEventFilter(this);
    cmdStartEND->installEventFilter(this);
    cmdEXIT->installEventFilter(this);

    Form_Load();
    FitCaptions(this);
}

void frmGame::BuildControls() {
    const auto uiGothic = [](double points, bool bold = false, bool italic = false) {
        return WindowsFont("MS UI Gothic", points, bold, italic);
    };
    const QFont pGothic = WindowsFont("ＭＳ Ｐゴシック", 24);
    const QFont romaji = WindowsFont("Arial", 20.25, true, true);

    // Created in tab order; only the two buttons take the focus.
    const auto makeButton = [this](const QString& caption, const char* name, int top) {
        QPushButton* button =
            AddButton(this, QString::fromLatin1(name), caption, 480, top, 2175, 735);
        button->setFont(WindowsFont("MS UI Gothic", 18));
        SetButtonFace(button, kWindowColor);
        return button;
    };
    cmdStartEND = makeButton(kStartCaption.toString(), "cmdStartEND", 840);
    cmdEXIT = makeButton("EXIT", "cmdEXIT", 1680);

    lbl_DispArpha = AddLabel(this, "lbl_DispArpha", "A", 720, 4680, 1575, 1455, uiGothic(72, true));
    lblHighScore = AddLabel(this, "lblHighScore", "1000", 9180, 2280, 855, 405, uiGothic(20.25));
    Label1 = AddLabel(this, "Label1", "点", 10740, 2220, 495, 495, pGothic);
    Label2 = AddLabel(this, "Label2", "HIGH SCORE", 9120, 1800, 1815, 285, uiGothic(14.25, true));
    Label3 = AddLabel(this, "Label3", "SCORE", 9525, 3120, 1005, 285, uiGothic(14.25, true));
    Label4 = AddLabel(this, "Label4", "点", 10740, 3480, 495, 495, pGothic);
    lblScore = AddLabel(this, "lblScore", "1000", 9180, 3540, 855, 405, uiGothic(20.25));
    Label6 = AddLabel(this, "Label6", "NEXT MESSAGE", 8910, 4440, 2235, 285, uiGothic(14.25, true));
    lblNextTarget =
        AddLabel(this, "lblNextTarget", QString(), 8595, 4920, 2865, 315, uiGothic(15.75, true));
    lblTarget = AddLabel(this, "lblTarget", QString(), kTargetLeft, kWordStartTop, kTargetWidth,
                         kTargetHeight, WindowsFont("ＭＳ Ｐゴシック", 14.25, true));
    // The window draws the word itself, between whole pixels (see ShowFallingWord).
    lblTarget->setVisible(false);
    lbl_Count = AddLabel(this, "lbl_Count", kDeadText.toString(), 3615, 2520, 4350, 960,
                         uiGothic(48, true, true));
    SetCountStyle(CountStyle::Dead);
    lblTargetRMoji = AddLabel(this, "lblTargetRMoji", QString(), 4770, 7440, 6195, 480, romaji);
    lblTargetNyuryoku =
        AddLabel(this, "lblTargetNyuryoku", QString(), 4575, 8040, 6615, 405, romaji);
    lbl_Bar = AddLabel(this, "lbl_Bar", "－", 9840, 960, 375, 360, uiGothic(18));
    Label9 = AddLabel(this, "Label9", "現在のＬＥＶＥＬ", 9360, 720, 1335, 195,
                      uiGothic(9.75, true), Qt::AlignLeft | Qt::AlignVCenter);
    lbl_Speed = AddLabel(this, "lbl_Speed", "1", 9570, 960, 195, 360, uiGothic(18));
    lbl_Level = AddLabel(this, "lbl_Level", "1", 10260, 960, 255, 360, uiGothic(18));

    // The miss mark lies behind every other label.
    lbl_color = new QLabel(this);
    lbl_color->setObjectName("lbl_color");
    PlaceTwips(lbl_color, 4080, 7320, 7815, 1335);
    QPalette red = lbl_color->palette();
    red.setColor(QPalette::Window, kMissRed);
    lbl_color->setPalette(red);
    lbl_color->lower();

    lbl_Maniax =
        AddLabel(this, "lbl_Maniax", "Maniax", 9500, 440, 975, 255, uiGothic(9.75, true, true));
    lbl_Maniax->setFrameShape(QFrame::Box);
    SetBackgroundColor(lbl_Maniax, QColor(255, 255, 0));
    lblFileName =
        AddLabel(this, "lblFileName", QString(), 600, 120, 2055, 375, uiGothic(15.75, true, true));
    SetBackgroundColor(lblFileName, QColor(255, 192, 128));
    FitNamesAlike(lblFileName);

    // A screen reader says what each changing figure is beside its text.
    lblHighScore->setAccessibleDescription(QStringLiteral("ハイスコア"));
    lblScore->setAccessibleDescription(QStringLiteral("スコア"));
    lblNextTarget->setAccessibleDescription(QStringLiteral("次の言葉"));
    lblTargetRMoji->setAccessibleDescription(QStringLiteral("打つローマ字"));
    lblTargetNyuryoku->setAccessibleDescription(QStringLiteral("打ったローマ字"));
}

void frmGame::Form_Load() {
    CenterOnScreen(this);
    gWordCount = ReadWordCount(QStringLiteral("10"));
    lbl_Maniax->setVisible(gManiax >= 5 && gManiax <= 7);
    SetCaption(lblFileName, WordListTitle(gWordFile));
    // The course starts out with the cleared screen and the layout timers.
    ShowScreen();
}

void frmGame::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    for (const QRect& r : event->region())
        painter.drawPixmap(r, m_picture, r);
    m_fallingWord.paint(painter, event->rect());
}

void frmGame::TimerCount_Timer() {
    m_course.countdownTick();
    ShowScreen();
}

void frmGame::TimerGame_Tick() {
    if (m_timersTogether) {
        m_course.countdownTick();
        m_course.gameTick();
        ShowScreen();
    } else {
        TimerGame_Timer();
    }
}

void frmGame::TimerGame_Timer() {
    m_course.gameTick();
    ShowScreen();
}

bool frmGame::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    const auto* key = static_cast<QKeyEvent*>(event);
    // Esc does what END does whenever END is shown: the keyboard's way out
    // of a game, its countdown or its loss.
    if (key->key() == Qt::Key_Escape && key->modifiers() == Qt::NoModifier &&
        cmdStartEND->text() == kEndCaption) {
        cmdStartEND_Click();
        return true;
    }
    // While keys are judged they only type: no key presses a button or moves
    // the focus, and the course judges only those that print; held with Ctrl,
    // Alt or Meta a key is a command, not typing. Idle, lost or after a
    // failed start, Tab, Space and Return work the buttons.
    if (!m_course.judgesKeys())
        return QWidget::eventFilter(watched, event);
    constexpr auto kCommand = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    const QString typed = key->modifiers() & kCommand ? QString() : key->text();
    const QPointer<frmGame> alive(this);
    for (const QChar c : typed) {
        Form_KeyPress(c.unicode());
        if (!alive || !m_course.judgesKeys())
            break;
    }
    return true;
}

void frmGame::Form_KeyPress(char16_t key) {
    const KeyResult result = m_course.keyPress(key);
    if (result == KeyResult::Won || result == KeyResult::WonRanked) {
        ShowScreen();
        if (result == KeyResult::WonRanked) {
            DlgUseName dialog(this);
            dialog.exec();
        }
        m_course.finishWonGame();
    }
    ShowScreen();
}

void frmGame::cmdStartEND_Click() {
    const auto click = [this] {
        m_course.clickStartEnd();
        ShowScreen();
    };
    // END needs no files; START loads the words, so it waits while the other
    // program holds them, and after the wait the screen stays idle.
    if (m_course.screen().caption != kStartCaption) {
        click();
        return;
    }
    m_wait->run(click, [](const QString& why) {
        ShowWarning(QStringLiteral("ゲームを始められませんでした。\n%1").arg(why));
    });
}

void frmGame::cmdEXIT_Click() {
    close();
}

void frmGame::closeEvent(QCloseEvent* event) {
    // Whatever the state, the game is abandoned and its score not ranked; a
    // game past "ＧＯ" goes to the history as it stands. The menu comes back
    // as this screen closes.
    m_wait->cancel();
    m_course.end();
    ShowScreen();
    event->accept();
}

void frmGame::ShowScreen() {
    const PlayScreen& s = m_course.screen();
    if (cmdStartEND->text() != s.caption)
        cmdStartEND->setText(s.caption);
    ShowFallingWord(s.target, s.wordTop);
    SetCaption(lblNextTarget, s.nextTarget);
    SetCaption(lblTargetRMoji, s.targetRomaji);
    SetCaption(lblTargetNyuryoku, s.typed);
    SetCaption(lbl_DispArpha, s.nextLetter);
    if (s.countStyle != m_countStyle)
        SetCountStyle(s.countStyle);
    SetCaption(lbl_Count, s.countText);
    lbl_Count->setVisible(s.countVisible);
    SetMissMark(s.missMark);
    SetCaption(lblScore, QString::number(s.score));
    SetCaption(lblHighScore, QString::number(s.highScore));
    SetCaption(lbl_Level, QString::number(s.stage));
    SetCaption(lbl_Speed, QString::number(s.scoreLevel));
    m_timersTogether =
        s.countTimer.running && s.gameTimer.running && s.countTimer.period == s.gameTimer.period;
    ApplyTimer(TimerCount, m_timersTogether ? TimerState{false, 0} : s.countTimer);
    ApplyTimer(TimerGame, s.gameTimer);
    if (s.resultCard != m_card->isVisibleTo(this)) {
        if (s.resultCard)
            m_card->showGame(m_course.lastGame(), CardLowest());
        else
            m_card->hide();
    }
    ShowFocus();
}

void frmGame::ShowFocus() {
    const bool judging = m_course.judgesKeys();
    if (judging == m_judging)
        return;
    m_judging = judging;
    if (judging)
        setFocus();
    else
        cmdStartEND->setFocus();
}

int frmGame::CardLowest() const {
    constexpr int kGap = 4;
    if (m_course.lastGame().result != GameResult::Lost)
        return height();
    return lblTarget->geometry().top() - kGap;
}

void frmGame::ShowFallingWord(const QString& text, float top) {
    const bool newText = lblTarget->text() != text;
    if (!newText && top == m_shownTop)
        return;
    m_shownTop = top;
    // The hidden label keeps the word's box at its whole-pixel place.
    const QRect place = TwipRect(kTargetLeft, qRound(top), kTargetWidth, kTargetHeight);
    if (newText) {
        MoveLabelPlace(lblTarget, place);
        ShowCaption(lblTarget, text);
    } else if (place != LabelPlace(lblTarget)) {
        MoveLabelPlace(lblTarget, place); // only the top changes: the box keeps its size
    }
    // The box at the word's real top rather than a whole pixel.
    const QRect box = lblTarget->geometry();
    const double realTop =
        top / kTwipsPerPixel - (box.height() - TwipsToPixels(kTargetHeight)) / 2.0;
    update(m_fallingWord.show(text, lblTarget->font(),
                              lblTarget->palette().color(QPalette::WindowText), box, realTop,
                              devicePixelRatioF(), gPlaying, lblTarget));
}

void frmGame::SetCaption(QLabel* label, const QString& text) {
    if (label->text() != text)
        ShowCaption(label, text);
}

void frmGame::SetCountStyle(CountStyle style) {
    m_countStyle = style;
    if (style == CountStyle::Countdown) {
        lbl_Count->setFont(WindowsFont("MS UI Gothic", 72, true, false));
        SetTextColor(lbl_Count, Qt::black);
    } else {
        lbl_Count->setFont(WindowsFont("MS UI Gothic", 48, true, true));
        SetTextColor(lbl_Count, kMissRed);
    }
    FitCaption(lbl_Count);
}

void frmGame::SetMissMark(bool on) {
    // Opaque shows the red block; transparent lets the picture through.
    if (lbl_color->autoFillBackground() != on) {
        lbl_color->setAutoFillBackground(on);
        lbl_color->update();
    }
}

void frmGame::ApplyTimer(QTimer& timer, const TimerState& state) {
    if (!state.running) {
        timer.stop();
    } else if (!timer.isActive() || timer.interval() != state.period) {
        timer.start(state.period);
    }
}
