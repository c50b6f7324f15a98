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
// It keeps the last overview it read, so that a reading after a new game
// reads only what changed.
class HistoryLoader::Worker : public QObject {
public:
    Worker(QString path, HistoryLoader* loader) : m_path(std::move(path)), m_loader(loader) {}

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
        // After the first reading, only what changed since.
        QString error;
        std::optional<HistoryOverview> overview =
            m_seen ? ReadOverviewSince(*m_db, *m_seen, &error) : ReadOverview(*m_db, &error);
        m_seen.reset();
        if (!overview) {
            reading.state = error;
            return reading;
        }
        if (!error.isEmpty())
            reading.notice = error;
        if (overview->games.isEmpty()) {
            reading.state = kNoGames;
            return reading;
        }
        m_seen = overview;
        reading.overview = std::move(overview);
        const QList<PracticedKana> practiced =
            LatestPracticed(ReadPracticeRecords(), kWeakKanaCount);
        reading.practiceEffects =
            practiced.isEmpty() ? QList<PracticeEffect>() : ReadPracticeEffects(*m_db, practiced);
        return reading;
    }

    QString m_path;
    HistoryLoader* m_loader;
    std::unique_ptr<HistoryDb> m_db;
    QTimer* m_poll = nullptr;
    QStringList m_pendingFiles;
    std::optional<HistoryOverview> m_seen; // the last overview read
};

HistoryLoader::HistoryLoader(const QString& historyPath, QObject* parent)
    : QObject(parent), m_worker(new Worker(historyPath, this)) {
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
