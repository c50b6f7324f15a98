#include "frmSeiseki.h"

#include "history/historyqueries.h"
#include "history/pendinggames.h"
#include "history/weakkana.h"
#include "kanapage.h"
#include "keyspage.h"
#include "platform/platform.h"
#include "practicelist.h"
#include "practicerecord.h"
#include "trendpage.h"
#include "ui/uicommon.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QThread>
#include <QTimer>
#include <QVBoxLayout>

#include <memory>

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
    // The first size fits the screen's free area at any scale factor.
    const QScreen* display = screen() ? screen() : QGuiApplication::primaryScreen();
    const QSize room = display ? display->availableGeometry().size() * 0.9 : QSize(1040, 720);
    setMinimumSize(QSize(820, 600).boundedTo(room));
    resize(QSize(1040, 720).boundedTo(room));

    m_state = new QLabel(this);
    m_state->setObjectName(QStringLiteral("lblState"));
    m_state->setAlignment(Qt::AlignCenter);
    m_state->setWordWrap(true);
    m_state->setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 13));
    m_state->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("tabPages"));
    m_trend = new TrendPage(m_pages);
    m_kana = new KanaPage(m_pages);
    m_keys = new KeysPage(m_pages);
    m_pages->addTab(m_trend, QStringLiteral("成績の推移(&1)"));
    m_pages->addTab(m_kana, QStringLiteral("かな(&2)"));
    m_pages->addTab(m_keys, QStringLiteral("キーボード(&3)"));
    m_stack = new QStackedWidget(this);
    m_stack->setObjectName(QStringLiteral("stkPages"));
    m_stack->addWidget(m_state);
    m_stack->addWidget(m_pages);

    m_pending = new QLabel(this);
    m_pending->setObjectName(QStringLiteral("lblPending"));
    m_pending->setWordWrap(true);
    m_pending->hide();
    m_notice = new QLabel(this);
    m_notice->setObjectName(QStringLiteral("lblNotice"));
    m_notice->setWordWrap(true);
    m_practice = AddButton(this, QStringLiteral("cmdPractice"),
                           QStringLiteral("苦手練習リストを作る(&P)"), 0, 0, 3000, 420);
    m_exit =
        AddButton(this, QStringLiteral("cmdExit"), QStringLiteral("終了(&X)"), 0, 0, 1500, 420);
    for (QPushButton* button : {m_practice, m_exit})
        button->setMinimumSize(button->size());
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_notice, 1);
    buttons->addWidget(m_practice);
    buttons->addWidget(m_exit);
    // Below its usual size (a small screen at a large scale factor) the pages
    // scroll rather than squeeze their figures.
    m_stack->setMinimumSize(800, 520);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrPages"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_stack);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(m_pending);
    layout->addLayout(buttons);

    m_poll = new QTimer(this);
    m_poll->setObjectName(QStringLiteral("TimerPoll"));
    m_poll->setInterval(kPollMs);
    connect(m_poll, &QTimer::timeout, this, &frmSeiseki::poll);
    connect(m_practice, &QPushButton::clicked, this, &frmSeiseki::writePracticeList);
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);
    load();
}

void frmSeiseki::load() {
    showPending();
    reload();
    m_poll->start();
}

void frmSeiseki::showState(const QString& text) {
    m_state->setText(text);
    m_stack->setCurrentWidget(m_state);
}

void frmSeiseki::reload() {
    m_notice->clear();
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
        m_notice->setText(message);
    }
    QString error;
    const std::optional<HistoryOverview> overview = ReadOverview(m_db, &error);
    if (!overview) {
        showState(error);
        return;
    }
    if (!error.isEmpty())
        m_notice->setText(error);
    if (overview->games.isEmpty()) {
        showState(kNoGames);
        return;
    }
    m_trend->showOverview(*overview);
    m_kana->showOverview(*overview);
    readPracticeEffects();
    m_keys->showOverview(*overview);
    m_stack->setCurrentWidget(m_pages);
}

void frmSeiseki::readPracticeEffects() {
    // The games since a list was made may be many, so they are read on a
    // thread of its own, through a connection of its own, and shown when
    // read; a read begun before the last is not shown.
    const QList<PracticedKana> practiced = LatestPracticed(ReadPracticeRecords(), kWeakKanaCount);
    const int run = ++m_effectsRun;
    if (practiced.isEmpty()) {
        m_kana->showPracticeEffects({});
        return;
    }
    const QString path = m_db.path();
    auto effects = std::make_shared<std::optional<QList<PracticeEffect>>>();
    QThread* reader = QThread::create([path, practiced, effects] {
        HistoryDb db(path, HistoryDb::Mode::Read);
        *effects = ReadPracticeEffects(db, practiced);
    });
    connect(reader, &QThread::finished, this, [this, run, effects] {
        if (run == m_effectsRun && *effects)
            m_kana->showPracticeEffects(**effects);
    });
    connect(reader, &QThread::finished, reader, &QObject::deleteLater);
    reader->start();
}

void frmSeiseki::showPending() {
    const QStringList files = PendingFiles(m_db.path());
    if (files == m_pendingFiles)
        return;
    m_pendingFiles = files;
    m_pending->setText(PendingSummary(m_db.path()));
    m_pending->setVisible(!files.isEmpty());
}

void frmSeiseki::poll() {
    showPending();
    if (m_db.isOpen() ? m_db.hasChanged() : QFileInfo::exists(m_db.path()))
        reload();
}

void frmSeiseki::writePracticeList() {
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const PracticeListOutcome outcome = MakePracticeList(m_db);
    QGuiApplication::restoreOverrideCursor();
    if (outcome.written) {
        reload(); // the kana page lists the kana just targeted
        ShowMessage(outcome.text, QStringLiteral("成績"), MessageIcon::Information);
    } else {
        ShowWarning(outcome.text);
    }
}
