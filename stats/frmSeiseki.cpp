#include "frmSeiseki.h"

#include "cellchartaccess.h"
#include "historyloader.h"
#include "kanapage.h"
#include "keyspage.h"
#include "platform/platform.h"
#include "practicelist.h"
#include "trendpage.h"
#include "ui/uicommon.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTabWidget>
#include <QVBoxLayout>

frmSeiseki::frmSeiseki(const QString& historyPath, QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("frmSeiseki"));
    setWindowTitle(QStringLiteral("成績"));
    setFont(WindowsFont(QStringLiteral("MS UI Gothic"), 10));
    InstallCellChartAccess(); // the kana and key charts read cell by cell
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
    m_state->setText(QStringLiteral("成績を読み込んでいます…"));
    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("tabPages"));
    m_pages->setAccessibleName(QStringLiteral("成績のページ"));
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
    m_practice->setEnabled(false); // until a reading shows games
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_notice, 1);
    buttons->addWidget(m_practice);
    buttons->addWidget(m_exit);
    // Below its usual size (a small screen at a large scale factor) the pages
    // scroll rather than squeeze their figures.
    m_stack->setMinimumSize(800, 520);
    auto* scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("scrPages"));
    scroll->setAccessibleName(QStringLiteral("ページの表示域"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(m_stack);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scroll, 1);
    layout->addWidget(m_pending);
    layout->addLayout(buttons);

    connect(m_practice, &QPushButton::clicked, this, &frmSeiseki::writePracticeList);
    connect(m_exit, &QPushButton::clicked, this, &QWidget::close);
    m_loader = new HistoryLoader(historyPath, m_trend->filter(), m_trend->buckets(), this);
    connect(m_loader, &HistoryLoader::historyRead, this, &frmSeiseki::showReading);
    connect(m_loader, &HistoryLoader::trendRead, m_trend, &TrendPage::showTrend);
    connect(m_trend, &TrendPage::trendAsked, m_loader, &HistoryLoader::readTrend);
    connect(m_loader, &HistoryLoader::pendingChanged, this, &frmSeiseki::showPending);
    connect(m_loader, &HistoryLoader::practiceListMade, this, &frmSeiseki::showPracticeList);
}

void frmSeiseki::showState(const QString& text) {
    m_state->setText(text);
    m_stack->setCurrentWidget(m_state);
    setHasGames(false);
}

// A practice list needs games to find weak kana in: without them the button
// is off, and the focus it held goes to the next button.
void frmSeiseki::setHasGames(bool hasGames) {
    m_hasGames = hasGames;
    m_practice->setEnabled(m_hasGames && !m_making);
}

void frmSeiseki::showReading(const HistoryReading& reading) {
    m_notice->setText(reading.notice);
    if (!reading.overview) {
        showState(reading.state);
        return;
    }
    m_trend->showOverview(*reading.overview);
    if (reading.trend)
        m_trend->showTrend(*reading.trend);
    m_kana->showOverview(*reading.overview);
    if (reading.practiceEffects)
        m_kana->showPracticeEffects(*reading.practiceEffects);
    m_keys->showOverview(*reading.overview);
    m_stack->setCurrentWidget(m_pages);
    setHasGames(true);
}

void frmSeiseki::showPending(const QString& summary) {
    m_pending->setText(summary);
    m_pending->setVisible(!summary.isEmpty());
}

void frmSeiseki::writePracticeList() {
    // The list is made on the loader's thread; the window stays responsive
    // meanwhile, but takes no second request.
    m_making = true;
    m_practice->setEnabled(false);
    QGuiApplication::setOverrideCursor(Qt::BusyCursor);
    m_loader->makePracticeList();
}

void frmSeiseki::showPracticeList(const PracticeListOutcome& outcome) {
    QGuiApplication::restoreOverrideCursor();
    m_making = false;
    setHasGames(m_hasGames);
    if (outcome.written)
        ShowMessage(outcome.text, QStringLiteral("成績"), MessageIcon::Information);
    else
        ShowWarning(outcome.text);
}
