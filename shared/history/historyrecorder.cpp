#include "history/historyrecorder.h"

#include "history/historydb.h"
#include "history/historywriter.h"
#include "history/pendinggames.h"

#include <QUuid>

namespace {

// Why a game waits, as Seiseki shows it after the count.
QString WaitReason(WriteProblem problem, const QString& message) {
    switch (problem) {
    case WriteProblem::Busy:
        return QStringLiteral("ほかのプログラムが成績の記録を使い続けていたため");
    case WriteProblem::DiskFull:
        return QStringLiteral("ディスクの空きが足りないため");
    case WriteProblem::None:
    case WriteProblem::Other:
        break;
    }
    return message;
}

// The same for every failure of one cause: a held lock and a full disk say
// the file's name in several ways, the rest in their one message.
QString CauseKey(WriteProblem problem, const QString& message) {
    switch (problem) {
    case WriteProblem::Busy:
        return QStringLiteral("history-busy");
    case WriteProblem::DiskFull:
        return QStringLiteral("history-full");
    case WriteProblem::None:
    case WriteProblem::Other:
        break;
    }
    return message;
}

} // namespace

HistoryRecorder::HistoryRecorder(const QString& historyPath, Report report)
    : m_path(historyPath), m_report(std::move(report)) {
    m_thread = std::thread(&HistoryRecorder::writerThread, this);
}

HistoryRecorder::~HistoryRecorder() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_wake.notify_one();
    m_thread.join();
}

void HistoryRecorder::record(GameRecord game) {
    if (game.uuid.isEmpty())
        game.uuid = QUuid::createUuid().toString();
    // Kept before anything else, so that from here on a crash of the program
    // loses nothing: the next start writes the file.
    QString error;
    const bool kept = KeepPendingGame(m_path, game, false, QString(), &error);
    post([&](Work& work) {
        if (kept) {
            work.keptLightly.append(PendingFile(m_path, game));
        } else {
            work.unkept.append(game);
            work.storeErrors.append(error);
        }
    });
}

void HistoryRecorder::writePending() {
    post([](Work&) {});
}

void HistoryRecorder::post(const std::function<void(Work&)>& add) {
    {
        const std::lock_guard lock(m_mutex);
        if (!m_work)
            m_work.emplace();
        add(*m_work);
    }
    m_wake.notify_one();
}

void HistoryRecorder::writerThread() {
    // The connection is made, used and closed in this thread alone.
    HistoryDb db(m_path);
    bool first = true;
    for (;;) {
        Work work;
        {
            std::unique_lock lock(m_mutex);
            m_wake.wait(lock, [this] { return m_work || m_stopping; });
            if (!m_work)
                return;
            work = std::move(*m_work);
            m_work.reset();
        }
        if (first)
            RemoveStalePendingFiles(m_path);
        first = false;
        writeAll(db, work);
    }
}

void HistoryRecorder::writeAll(HistoryDb& db, const Work& work) {
    WriteProblem problem = WriteProblem::None;
    QString failure;
    const auto write = [&](const GameRecord& game) {
        QString message;
        if (!WriteGame(db, game, &message, nullptr, &problem)) {
            failure = message;
            return false;
        }
        if (!message.isEmpty())
            tell(message, message); // a broken history moved aside
        return true;
    };
    // In the order played; the first failure leaves the rest for next time.
    for (const QString& file : PendingFiles(m_path)) {
        const std::optional<PendingGame> pending = ReadPendingGame(file);
        if (!pending) {
            const QString aside = SetPendingFileAside(file);
            tell(file,
                 aside.isEmpty()
                     ? QStringLiteral("記録待ちのファイル「%1」はゲームの記録として読めません。")
                           .arg(file)
                     : QStringLiteral("記録待ちのファイル「%1」はゲームの記録として読めないため、"
                                      "「%2」に移しました。")
                           .arg(file, aside));
            continue;
        }
        if (!write(pending->game))
            break;
        ForgetPendingGame(file);
    }
    bool lost = false;
    for (qsizetype i = 0; i < work.unkept.size(); ++i) {
        const GameRecord& game = work.unkept[i];
        const QString& storeError = work.storeErrors[i];
        if (failure.isEmpty() && write(game)) {
            tell(storeError, storeError); // the store is out of use: say so once
            continue;
        }
        QString error;
        if (KeepPendingGame(m_path, game, true, WaitReason(problem, failure), &error))
            continue;
        lost = true;
        tell(QStringLiteral("lost-") + CauseKey(problem, failure),
             failure + QLatin1Char('\n') +
                 QStringLiteral(
                     "このゲームは「%1」にも残せなかったため、記録されませんでした（%2）。")
                     .arg(PendingFolder(m_path), error));
    }
    if (failure.isEmpty())
        return;
    // The games of this turn that wait now reach the disk, with why they wait.
    const QString reason = WaitReason(problem, failure);
    for (const QString& file : work.keptLightly) {
        if (const std::optional<PendingGame> pending = ReadPendingGame(file))
            KeepPendingGame(m_path, pending->game, true, reason);
    }
    if (lost)
        return; // told with the failure
    tell(CauseKey(problem, failure),
         failure + QLatin1Char('\n') +
             QStringLiteral("書き込めなかったゲームは「%1」に残し、次のゲームの終わりか次の起動の"
                            "ときに書き込みます。")
                 .arg(PendingFolder(m_path)));
}

void HistoryRecorder::tell(const QString& key, const QString& text) {
    if (!m_report)
        return;
    QMetaObject::invokeMethod(
        &m_context, [report = m_report, key, text] { report(key, text); }, Qt::QueuedConnection);
}
