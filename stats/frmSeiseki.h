#pragma once
// The statistics window: what the history says about the player, on three
// pages (the last game and the trends, the kana, the keyboard), read when the
// window opens and again within a second of another program recording a game
// (it asks the history every 0.8 s whether it changed, which costs a query).
// Without games, or when the history cannot be opened, a line of text says so
// in place of the pages; the buttons work all the same.
//
// Laid out with Qt's layouts and resizable, unlike the game's fixed windows:
// charts gain from room.

#include "history/historydb.h"

#include <QStringList>
#include <QWidget>

class KanaPage;
class KeysPage;
class QLabel;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QTimer;
class TrendPage;

class frmSeiseki : public QWidget {
    Q_OBJECT

public:
    explicit frmSeiseki(const QString& historyPath = HistoryPath(), QWidget* parent = nullptr);

private:
    void load();
    void poll();
    void writePracticeList();
    // Reads the history and shows it, or why it cannot be shown.
    void reload();
    void showState(const QString& text);
    // Reads the figures of the kana practised off the window's thread and
    // shows them on the kana page.
    void readPracticeEffects();
    // The line of games waiting to be written into the history, when the
    // files waiting changed.
    void showPending();

    HistoryDb m_db;
    QStackedWidget* m_stack;
    QLabel* m_state;
    QTabWidget* m_pages;
    TrendPage* m_trend;
    KanaPage* m_kana;
    KeysPage* m_keys;
    QLabel* m_pending;
    QStringList m_pendingFiles;
    QLabel* m_notice;
    QPushButton* m_practice;
    QPushButton* m_exit;
    QTimer* m_poll;
    int m_effectsRun = 0; // the last read of the practice figures begun
};
