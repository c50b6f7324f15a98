#include "frmSeiseki.h"

#include "history/historyqueries.h"
#include "history/pendinggames.h"
#include "kanapage.h"
#include "keyspage.h"
#include "platform/platform.h"
#include "practicelist.h"
#include "trendpage.h"
#include "ui/uicommon.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// How often the window asks whether another program recorded a game: a game
// shows within a second, reading it included.
constexpr int kPollMs = 800;

const QString kNoGames = QStringLiteral(
    "まだゲームの記録がありません。\nゆびまるでゲームを遊ぶと、ここに成績が表示されます。");

} // namespace

frmSeiseki::frmSeiseki(const QString& historyPath, QWidget* parent)
    : QWidget(parent), m_db(historyPath, HistoryDb::Mode::Read) {
    setObjectName(QStringLiteral("frmSeiseki"));
    setWindowTitle(QStringLiteral("成績"));
    setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 10));
    setMinimumSize(820, 600);
    resize(1040, 720);

    lblState = new QLabel(this);
    lblState->setObjectName(QStringLiteral("lblState"));
    lblState->setAlignment(Qt::AlignCenter);
    lblState->setWordWrap(true);
    lblState->setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 13));
    lblState->setTextInteractionFlags(Qt::TextSelectableByMouse);
    tabPages = new QTabWidget(this);
    tabPages->setObjectName(QStringLiteral("tabPages"));
    m_trend = new TrendPage(tabPages);
    m_kana = new KanaPage(tabPages);
    m_keys = new KeysPage(tabPages);
    tabPages->addTab(m_trend, QStringLiteral("成績の推移(&1)"));
    tabPages->addTab(m_kana, QStringLiteral("かな(&2)"));
    tabPages->addTab(m_keys, QStringLiteral("キーボード(&3)"));
    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("stkPages"));
    m_stack->addWidget(lblState);
    m_stack->addWidget(tabPages);

    lblPending = new QLabel(this);
    lblPending->setObjectName(QStringLiteral("lblPending"));
    lblPending->setWordWrap(true);
    lblPending->hide();
    lblNotice = new QLabel(this);
    lblNotice->setObjectName(QStringLiteral("lblNotice"));
    lblNotice->setWordWrap(true);
    cmdPractice = AddButton(this, QStringLiteral("cmdPractice"),
                            QStringLiteral("苦手練習リストを作る(&P)"), 0, 0, 3000, 420);
    cmdExit =
        AddButton(this, QStringLiteral("cmdExit"), QStringLiteral("終了(&X)"), 0, 0, 1500, 420);
    for (QPushButton* button : {cmdPractice, cmdExit})
        button->setMinimumSize(button->size());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(lblNotice, 1);
    buttons->addWidget(cmdPractice);
    buttons->addWidget(cmdExit);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_stack, 1);
    layout->addWidget(lblPending);
    layout->addLayout(buttons);

    TimerPoll = new QTimer(this);
    TimerPoll->setObjectName(QStringLiteral("TimerPoll"));
    TimerPoll->setInterval(kPollMs);
    connect(TimerPoll, &QTimer::timeout, this, &frmSeiseki::TimerPoll_Timer);
    connect(cmdPractice, &QPushButton::clicked, this, &frmSeiseki::cmdPractice_Click);
    connect(cmdExit, &QPushButton::clicked, this, &QWidget::close);
    Form_Load();
}

void frmSeiseki::Form_Load() {
    showPending();
    reload();
    TimerPoll->start();
}

void frmSeiseki::showState(const QString& text) {
    lblState->setText(text);
    m_stack->setCurrentWidget(lblState);
}

void frmSeiseki::reload() {
    lblNotice->clear();
    if (!m_db.isOpen()) {
        // A history not made yet stays so until the game records a game.
        if (!QFileInfo::exists(m_db.path())) {
            showState(kNoGames);
            return;
        }
        QString message;
        const bool opened = m_db.open(&message);
        if (!opened) {
            showState(message);
            return;
        }
        lblNotice->setText(message);
    }
    QString error;
    const std::optional<HistoryOverview> overview = ReadOverview(m_db, &error);
    if (!overview) {
        showState(error);
        return;
    }
    if (!error.isEmpty())
        lblNotice->setText(error);
    if (overview->games.isEmpty()) {
        showState(kNoGames);
        return;
    }
    m_trend->showOverview(*overview);
    m_kana->showOverview(*overview);
    m_keys->showOverview(*overview);
    m_stack->setCurrentWidget(tabPages);
}

void frmSeiseki::showPending() {
    const QStringList files = PendingFiles(m_db.path());
    if (files == m_pendingFiles)
        return;
    m_pendingFiles = files;
    lblPending->setText(PendingSummary(m_db.path()));
    lblPending->setVisible(!files.isEmpty());
}

void frmSeiseki::TimerPoll_Timer() {
    showPending();
    if (m_db.isOpen() ? m_db.hasChanged() : QFileInfo::exists(m_db.path()))
        reload();
}

void frmSeiseki::cmdPractice_Click() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const PracticeListOutcome outcome = MakePracticeList(m_db);
    QGuiApplication::restoreOverrideCursor();
    if (outcome.written)
        ShowMessage(outcome.text, QStringLiteral("成績"), MessageIcon::Information);
    else
        ShowWarning(outcome.text);
}
