#pragma once
// The statistics window: what the history says about the player, on three
// pages (the last game and the trends, the kana, the keyboard), read on a
// thread of its own (HistoryLoader) when the window opens and again within a
// second of another program recording a game. Until the first reading, without
// games, or when the history cannot be opened, a line of text says so in
// place of the pages; the buttons work all the same.
//
// Laid out with Qt's layouts and resizable, unlike the game's fixed windows:
// charts gain from room.

#include "history/historydb.h"

#include <QWidget>

class HistoryLoader;
class KanaPage;
class KeysPage;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class TrendPage;
struct HistoryReading;
struct PracticeListOutcome;

class frmSeiseki : public QWidget {
    Q_OBJECT

public:
    explicit frmSeiseki(const QString& historyPath = HistoryPath(), QWidget* parent = nullptr);

private:
    void writePracticeList();
    // Shows what the loader read, or why there is nothing to show.
    void showReading(const HistoryReading& reading);
    void showState(const QString& text);
    void setHasGames(bool hasGames);
    void showPending(const QString& summary);
    void showPracticeList(const PracticeListOutcome& outcome);

    QStackedWidget* m_stack;
    QLabel* m_state;
    QTabWidget* m_pages;
    TrendPage* m_trend;
    KanaPage* m_kana;
    KeysPage* m_keys;
    QLabel* m_pending;
    QLabel* m_notice;
    QPushButton* m_practice;
    QPushButton* m_exit;
    HistoryLoader* m_loader;
    bool m_hasGames = false; // the last reading showed games
    bool m_making = false;   // a practice list is being made
};
