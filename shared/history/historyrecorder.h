#pragma once
// Recording games without making a window wait: each game ended goes into
// the pending store at once (a small file, not waited on to reach the disk),
// and a thread of the recorder's own writes the store's games into the
// history through a connection of its own, removing each one the history
// holds. A game the history cannot take stays in the store, synced, with the
// reason, until the next game's end or the next start writes it.

#include "play/gamerecord.h"

#include <QObject>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

class HistoryDb;

class HistoryRecorder {
public:
    // What the recorder has to tell: key is the same for the same cause (a
    // held lock, a full disk, the file named in a message), so a caller can
    // say each cause once; text says it in Japanese, naming the file. Called
    // in the thread that made the recorder, from its event loop. Empty: say
    // nothing.
    using Report = std::function<void(const QString& key, const QString& text)>;

    HistoryRecorder(const QString& historyPath, Report report);
    // Waits until the games handed over are written or kept in the store.
    ~HistoryRecorder();
    HistoryRecorder(const HistoryRecorder&) = delete;
    HistoryRecorder& operator=(const HistoryRecorder&) = delete;

    // Keeps game (given a uuid when it has none) and has it written. Costs the
    // calling thread one small file write, never a wait for the history.
    void record(GameRecord game);
    // Has the games of the store written.
    void writePending();
    const QString& path() const { return m_path; }

private:
    // A turn of the writer thread: the store's games, and those the store
    // could not take, with why.
    struct Work {
        QStringList keptLightly; // files written without waiting for the disk
        QList<GameRecord> unkept;
        QStringList storeErrors;
    };
    void post(const std::function<void(Work&)>& add);
    void writerThread();
    void writeAll(HistoryDb& db, const Work& work);
    void tell(const QString& key, const QString& text);

    QString m_path;
    Report m_report;
    QObject m_context; // reports go through its thread's event loop
    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::optional<Work> m_work; // waiting for the writer thread
    bool m_stopping = false;
    std::thread m_thread;
};
