#include "gamehistory.h"

#include "history/historydb.h"
#include "history/historyrecorder.h"
#include "platform/platform.h"

#include <QCoreApplication>

#include <memory>

namespace {

std::unique_ptr<HistoryRecorder>& Recorder() {
    static std::unique_ptr<HistoryRecorder> recorder;
    return recorder;
}

// Ended with the application, while Qt's database drivers are still there:
// the games handed over are written or kept by then.
void EndRecorder() {
    Recorder().reset();
}

// The recorder of the history in the program folder. Should the folder have
// changed, its own file is the one to write.
HistoryRecorder& CurrentRecorder() {
    std::unique_ptr<HistoryRecorder>& recorder = Recorder();
    const QString path = HistoryPath();
    if (!recorder || recorder->path() != path) {
        if (!recorder)
            qAddPostRoutine(EndRecorder);
        recorder.reset(); // the old one finishes its games first
        recorder = std::make_unique<HistoryRecorder>(
            path, [path](const QString& key, const QString& text) {
                ShowWarningOnce(path + QLatin1Char('\n') + key, text);
            });
    }
    return *recorder;
}

} // namespace

void RecordGame(const GameRecord& game) {
    CurrentRecorder().record(game);
}

void WritePendingGames() {
    CurrentRecorder().writePending();
}
