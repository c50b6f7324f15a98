#include "historyloader.h"

#include "history/historydb.h"
#include "history/historyqueries.h"
#include "history/pendinggames.h"
#include "history/weakkana.h"
#include "practicerecord.h"

#include <QFileInfo>
#include <QStringList>
#include <QTimer>

#include <memory>
#include <utility>

namespace {

// How often the thread asks whether another program recorded a game: a game
// shows within a second, reading it included.
constexpr int kPollMs = 800;

const QString kNoGames = QStringLiteral(
    "まだゲームの記録がありません。\nゆびまるでゲームを遊ぶと、ここに成績が表示されます。");

} // namespace

// The part that lives in the thread: the connection, the poll and the reads.
// It keeps what the practice figures counted, so that a reading after a new
// game counts only that game.
class HistoryLoader::Worker : public QObject {
public:
    Worker(QString path, TrendFilter filter, int buckets, HistoryLoader* loader)
        : m_path(std::move(path)), m_loader(loader), m_filter(std::move(filter)),
          m_buckets(buckets) {}

    // The first reading, then the poll; run in the thread, where the
    // connection and the timer must be made.
    void begin() {
        m_db = std::make_unique<HistoryDb>(m_path, HistoryDb::Mode::Read);
        m_poll = new QTimer(this);
        m_poll->setInterval(kPollMs);
        QObject::connect(m_poll, &QTimer::timeout, this, &Worker::poll);
        watchPending();
        read();
        m_poll->start();
    }

    void makePracticeList() {
        const PracticeListOutcome outcome = MakePracticeList(*m_db);
        if (outcome.written)
            read();
        tell([outcome](HistoryLoader* loader) { emit loader->practiceListMade(outcome); });
    }

    void readTrend(const TrendFilter& filter, int buckets) {
        m_filter = filter;
        m_buckets = buckets;
        if (!m_db->isOpen())
            return; // the next reading reads it, when there is a history
        std::optional<TrendFigures> trend = ReadTrend(*m_db, m_filter, m_buckets);
        if (trend)
            tell([trend = std::move(*trend)](HistoryLoader* loader) {
                emit loader->trendRead(trend);
            });
    }

private:
    // Hands what was read to the loader, in the window's thread.
    template <typename Tell> void tell(Tell told) {
        HistoryLoader* loader = m_loader;
        QMetaObject::invokeMethod(
            loader, [loader, told = std::move(told)] { told(loader); }, Qt::QueuedConnection);
    }

    void poll() {
        watchPending();
        if (m_db->isOpen() ? m_db->hasChanged() : QFileInfo::exists(m_path))
            read();
    }

    void watchPending() {
        const QStringList files = PendingFiles(m_path);
        if (files == m_pendingFiles)
            return;
        m_pendingFiles = files;
        tell([summary = PendingSummary(m_path)](HistoryLoader* loader) {
            emit loader->pendingChanged(summary);
        });
    }

    void read() {
        tell([reading = readHistory()](HistoryLoader* loader) {
            emit loader->historyRead(reading);
        });
    }

    HistoryReading readHistory() {
        HistoryReading reading;
        if (!m_db->isOpen()) {
            // A history not made yet stays so until the game records a game.
            if (!QFileInfo::exists(m_path)) {
                reading.state = kNoGames;
                return reading;
            }
            QString message;
            if (!m_db->open(&message)) {
                reading.state = message;
                return reading;
            }
            reading.notice = message;
        }
        QString error;
        std::optional<HistoryOverview> overview = ReadOverview(*m_db, &error);
        if (!overview) {
            reading.state = error;
            return reading;
        }
        if (!error.isEmpty())
            reading.notice = error;
        if (!overview->last) {
            reading.state = kNoGames;
            return reading;
        }
        reading.overview = std::move(overview);
        reading.trend = ReadTrend(*m_db, m_filter, m_buckets);
        const QList<PracticedKana> practiced =
            LatestPracticed(ReadPracticeRecords(), kWeakKanaCount);
        reading.practiceEffects =
            practiced.isEmpty() ? QList<PracticeEffect>() : m_practice.read(*m_db, practiced);
        return reading;
    }

    QString m_path;
    HistoryLoader* m_loader;
    std::unique_ptr<HistoryDb> m_db;
    QTimer* m_poll = nullptr;
    QStringList m_pendingFiles;
    TrendFilter m_filter; // the trend page's, as last asked for
    int m_buckets;
    PracticeEffectReader m_practice;
};

HistoryLoader::HistoryLoader(const QString& historyPath, const TrendFilter& filter, int buckets,
                             QObject* parent)
    : QObject(parent), m_worker(new Worker(historyPath, filter, buckets, this)) {
    m_thread.setObjectName(QStringLiteral("HistoryLoader"));
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->begin(); });
}

HistoryLoader::~HistoryLoader() {
    m_thread.quit();
    m_thread.wait();
}

void HistoryLoader::makePracticeList() {
    QMetaObject::invokeMethod(m_worker, [worker = m_worker] { worker->makePracticeList(); });
}

void HistoryLoader::readTrend(const TrendFilter& filter, int buckets) {
    QMetaObject::invokeMethod(
        m_worker, [worker = m_worker, filter, buckets] { worker->readTrend(filter, buckets); });
}
