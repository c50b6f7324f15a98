#include "frmMenu.h"

#include "background.h"
#include "frmConfig.h"
#include "frmGame.h"
#include "frmRanking.h"
#include "platform/platform.h"
#include "ui/fileswait.h"
#include "ui/uicommon.h"
#include "wordlists/wordfile.h"
#include "wordlists/workfiles.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <utility>

namespace {

frmMenu* gMenu = nullptr;

const QColor kButtonFace(255, 255, 192);

} // namespace

frmMenu* MenuWindow() {
    return gMenu;
}

frmMenu::frmMenu(QWidget* parent) : QWidget(parent), m_picture(GamePicture("menu.png")) {
    gMenu = this;
    setObjectName("frmMenu");
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle("Yubimaru");
    SetClientSizeTwips(this, 11880, 8595);
    SetBackgroundColor(this, kWindowColor);

    const auto makeButton = [this](const char* name, int top) {
        QPushButton* button =
            AddButton(this, QString::fromLatin1("cmd") + QString::fromLatin1(name),
                      QString::fromLatin1(name), 4493, top, 2895, 855);
        button->setFont(WindowsFont("MS UI Gothic", 26.25));
        SetButtonFace(button, kButtonFace);
        return button;
    };
    cmdSTART = makeButton("START", 3120);
    cmdCONFIG = makeButton("CONFIG", 4120);
    cmdRANKING = makeButton("RANKING", 5120);
    cmdEXIT = makeButton("EXIT", 6120);

    Version = AddLabel(this, "Version", "Ver 9.9.9", 9720, 0, 1455, 375);
    Version->setFont(WindowsFont("MS Sans Serif", 13.5, true));
    SetTextColor(Version, Qt::red);

    lblWait = AddLabel(this, "lblWait", QString(), 1200, 7080, 9480, 1080,
                       WindowsFont("MS UI Gothic", 12));
    m_wait = new FilesWait(this, lblWait, cmdSTART);

    connect(cmdSTART, &QPushButton::clicked, this, &frmMenu::cmdSTART_Click);
    connect(cmdCONFIG, &QPushButton::clicked, this, &frmMenu::cmdCONFIG_Click);
    connect(cmdRANKING, &QPushButton::clicked, this, &frmMenu::cmdRANKING_Click);
    connect(cmdEXIT, &QPushButton::clicked, this, &frmMenu::cmdEXIT_Click);

    Form_Load();
    FitCaptions(this);
}

frmMenu::~frmMenu() {
    if (gMenu == this)
        gMenu = nullptr;
}

void frmMenu::Form_Load() {
    Version->setText("Ver 1.3.7");
    CenterOnScreen(this);
}

void frmMenu::paintEvent(QPaintEvent* /*event*/) {
    // Unscaled from the top-left; whatever lies beyond the window is cut off.
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_picture);
}

void frmMenu::cmdSTART_Click() {
    m_wait->run(
        [this] {
            ConvertWordFile(gWordFile);
            OpenScreen(new frmGame);
        },
        [](const QString& why) {
            ShowWarning(QStringLiteral("ゲームを始められませんでした。\n%1").arg(why));
        });
}

void frmMenu::cmdCONFIG_Click() {
    OpenScreen(new frmConfig);
}

void frmMenu::cmdRANKING_Click() {
    OpenScreen(new frmRanking);
}

void frmMenu::cmdEXIT_Click() {
    close();
}

void frmMenu::RunWithFiles(std::function<void()> action,
                           std::function<void(const QString&)> giveUp) {
    m_wait->run(std::move(action), std::move(giveUp));
}

void frmMenu::OpenScreen(QWidget* screen) {
    m_screen = screen;
    screen->installEventFilter(this);
    connect(screen, &QObject::destroyed, this, [this, screen] {
        // A screen left earlier may be destroyed after the next one opened.
        if (!m_screen || m_screen == screen)
            ScreenLeft();
    });
    screen->show();
}

bool frmMenu::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_screen) {
        switch (event->type()) {
        case QEvent::Show:
        case QEvent::WindowActivate:
            // The screen's activation hides the menu, but only while that
            // screen is the open one and can be seen.
            if (m_screen->isVisible())
                hide();
            break;
        case QEvent::Hide:
            // A window system's hide (minimising) leaves the screen open.
            if (!event->spontaneous())
                ScreenLeft();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmMenu::ScreenLeft() {
    if (m_screen)
        m_screen->removeEventFilter(this);
    m_screen = nullptr;
    if (!m_closing)
        show();
}

void frmMenu::closeEvent(QCloseEvent* event) {
    // What is open goes first: the screen, then any dialog over it. What
    // waits for the files is not done: the program ends.
    m_closing = true;
    m_wait->cancel();
    if (m_screen)
        m_screen->close();
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window != this && window->isVisible())
            window->close();
    }
    event->accept();
}
