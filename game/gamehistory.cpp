#include "gamehistory.h"

#include "history/historydb.h"
#include "history/historywriter.h"
#include "platform/platform.h"

#include <QCoreApplication>

#include <memory>

namespace {

std::unique_ptr<HistoryDb>& History() {
    static std::unique_ptr<HistoryDb> history;
    return history;
}

// Closed with the application, while Qt's database drivers are still there.
void CloseHistory() {
    History().reset();
}

} // namespace

void RecordGame(const GameRecord& game) {
    std::unique_ptr<HistoryDb>& history = History();
    // The folder the program uses holds the history; should it have changed,
    // its own file is the one to write.
    const QString path = HistoryPath();
    if (!history || history->path() != path) {
        if (!history)
            qAddPostRoutine(CloseHistory);
        history = std::make_unique<HistoryDb>(path);
    }
    QString message;
    WriteGame(*history, game, &message);
    if (!message.isEmpty())
        ShowWarningOnce(path, message);
}
