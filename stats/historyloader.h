#pragma once
// Reading the history for the statistics window on a thread of its own, with
// a connection of its own, so the window never waits on the file however
// many games it holds. The thread reads when it starts and again within a
// second of another program recording a game (it asks the history every
// 0.8 s whether it changed, which costs a query), reads the trend page's
// figures for the filter the page asks for, watches the games waiting to be
// written, and makes the practice list when asked. What it reads reaches the
// window through the signals below, in the window's thread.

#include "history/filteredqueries.h"
#include "history/historyfigures.h"
#include "history/practiceeffect.h"
#include "practicelist.h"

#include <QObject>
#include <QString>
#include <QThread>

#include <optional>

// What one reading of the history gives the window.
struct HistoryReading {
    // The figures, of at least one game; nothing when there are none to show.
    std::optional<HistoryOverview> overview;
    // With the figures: those of the kana the practice lists targeted, before
    // and since each list; nothing when they could not be read.
    std::optional<QList<PracticeEffect>> practiceEffects;
    // With the figures: the trend page's, for the filter last asked for;
    // nothing when they could not be read.
    std::optional<TrendFigures> trend;
    // Without figures: why, in words for the place of the pages (no game
    // yet, the file cannot be opened or read).
    QString state;
    // A notice worth showing once (a broken file moved aside, a figure that
    // could not be read); empty when there is nothing to say.
    QString notice;
};

class HistoryLoader : public QObject {
    Q_OBJECT

public:
    // Starts the thread on the history at historyPath; the first reading
    // follows at once, its trend figures read for filter in buckets buckets.
    HistoryLoader(const QString& historyPath, const TrendFilter& filter, int buckets,
                  QObject* parent = nullptr);
    // Stops the thread, after the read under way if any.
    ~HistoryLoader() override;
    HistoryLoader(const HistoryLoader&) = delete;
    HistoryLoader& operator=(const HistoryLoader&) = delete;

    // Makes the practice list from the history on the thread;
    // practiceListMade tells how it went, and a list written is followed by
    // a reading (the kana page lists the kana just targeted).
    void makePracticeList();
    // Reads the trend page's figures for filter, its games in at most
    // buckets buckets, now (trendRead tells them) and with each reading
    // after.
    void readTrend(const TrendFilter& filter, int buckets);

signals:
    void historyRead(const HistoryReading& reading);
    void trendRead(const TrendFigures& trend);
    // The line telling the games waiting to be written, whenever the files
    // waiting change; empty when none waits.
    void pendingChanged(const QString& summary);
    void practiceListMade(const PracticeListOutcome& outcome);

private:
    class Worker;

    QThread m_thread;
    Worker* m_worker; // lives in m_thread, which deletes it when it ends
};
