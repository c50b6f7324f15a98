#include "commands.h"

#include "history/csvexport.h"
#include "history/historydb.h"
#include "history/historyqueries.h"
#include "platform/commandoutput.h"
#include "practicelist.h"

#include <QFileInfo>
#include <QIODevice>

namespace {

// Opens the history for an export, read-only: a missing file is an error,
// not made.
bool OpenHistory(HistoryDb& db, QIODevice& err) {
    if (!QFileInfo::exists(db.path())) {
        Say(err, QStringLiteral("成績の記録「%1」がありません。まだゲームが記録されていません。")
                     .arg(db.path()));
        return false;
    }
    QString message;
    const bool opened = db.open(&message);
    if (!message.isEmpty())
        Say(err, message);
    return opened;
}

int Export(const CommandLine& line, QIODevice& out, QIODevice& err) {
    HistoryDb db(HistoryPath(), HistoryDb::Mode::Read);
    if (!OpenHistory(db, err))
        return 1;
    QString error;
    QByteArray csv;
    qsizetype rows = 0;
    if (line.action == StatsAction::ExportGames) {
        const QList<GameSummary> games = ReadGames(db, &error);
        csv = GamesCsv(games);
        rows = games.size();
    } else {
        const QList<KanaFigures> kana = ReadKanaFigures(db, &error);
        csv = KanaCsv(kana);
        rows = kana.size();
    }
    if (!error.isEmpty()) {
        Say(err, error);
        if (rows == 0)
            return 1;
    }
    QString why;
    if (!WriteToTarget(line.target, csv, out, why)) {
        Say(err, why);
        return 1;
    }
    if (line.target == kStandardStream)
        return 0;
    Say(out,
        line.action == StatsAction::ExportGames
            ? QStringLiteral("%1 ゲームの成績を「%2」に書き出しました。").arg(rows).arg(line.target)
            : QStringLiteral("%1 種類のかなの成績を「%2」に書き出しました。")
                  .arg(rows)
                  .arg(line.target));
    return 0;
}

} // namespace

int RunCommand(const CommandLine& line, QIODevice& out, QIODevice& err) {
    switch (line.action) {
    case StatsAction::Help:
        Say(out, HelpText());
        return 0;
    case StatsAction::ExportGames:
    case StatsAction::ExportKana:
        return Export(line, out, err);
    case StatsAction::MakePracticeList: {
        HistoryDb db(HistoryPath(), HistoryDb::Mode::Read);
        const PracticeListOutcome outcome = MakePracticeList(db);
        Say(outcome.written ? out : err, outcome.text);
        return outcome.written ? 0 : 1;
    }
    case StatsAction::Window:
    case StatsAction::Invalid:
        break;
    }
    Say(err, line.error);
    return 2;
}
