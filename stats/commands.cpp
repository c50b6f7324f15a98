#include "commands.h"

#include "history/csvexport.h"
#include "history/historydb.h"
#include "history/historyqueries.h"
#include "platform/commandoutput.h"
#include "practicelist.h"

#include <QFileInfo>
#include <QIODevice>

namespace {

enum class Export { Games, Kana };

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

// The kana are a few hundred lines, read whole; the games may be millions,
// streamed from the history to the target as they are read.
ExitStatus WriteCsv(Export what, const QString& target, QIODevice& out, QIODevice& err) {
    HistoryDb db(HistoryPath(), HistoryDb::Mode::Read);
    if (!OpenHistory(db, err))
        return ExitStatus::Failed;
    QString error; // of reading the history, or a notice
    qint64 rows = 0;
    const ByteSource csv = [&](const ByteSink& write, QString* why) {
        bool written = false;
        if (what == Export::Games) {
            written = WriteGamesCsv(db, write, &rows, &error);
        } else {
            const QList<KanaFigures> kana = ReadKanaFigures(db, &error);
            rows = kana.size();
            written = (rows > 0 || error.isEmpty()) && write(KanaCsv(kana));
        }
        // A history that could not be read gives no file; its reason is
        // told below.
        if (!written && !error.isEmpty())
            *why = error;
        return written;
    };
    QString why;
    const bool written = WriteToTargetStreamed(target, csv, out, why);
    if (!error.isEmpty() && error != why)
        Say(err, error);
    if (!written) {
        Say(err, why);
        return ExitStatus::Failed;
    }
    if (target == kStandardStream)
        return ExitStatus::Done;
    Say(out, what == Export::Games
                 ? QStringLiteral("%1 ゲームの成績を「%2」に書き出しました。").arg(rows).arg(target)
                 : QStringLiteral("%1 種類のかなの成績を「%2」に書き出しました。")
                       .arg(rows)
                       .arg(target));
    return ExitStatus::Done;
}

} // namespace

ExitStatus RunCommand(const QStringList& arguments, QIODevice& out, QIODevice& err) {
    const QCommandLineOption games(
        QStringLiteral("export"),
        QStringLiteral("ゲームごとの成績を CSV で FILE に書き出します（- で標準出力）。"),
        QStringLiteral("FILE"));
    const QCommandLineOption kana(
        QStringLiteral("export-kana"),
        QStringLiteral("かなごとの成績を CSV で FILE に書き出します（- で標準出力）。"),
        QStringLiteral("FILE"));
    const QCommandLineOption practice(
        QStringLiteral("make-practice-list"),
        QStringLiteral("苦手なかなを含む単語で練習リスト Data/Nigate.dat を作ります。"));
    ProgramOptions options(
        {QStringLiteral("Seiseki"),
         {QString(), QStringLiteral("--export FILE"), QStringLiteral("--export-kana FILE"),
          QStringLiteral("--make-practice-list")},
         QStringLiteral("ゆびまるのゲームの成績を表示します。オプションを付けなければウィンドウを"
                        "開きます。\n"
                        "オプションを付けると、ウィンドウを開かずにその仕事をして終わります。"),
         QStringLiteral("CSV は UTF-8 で、1 行目が見出しです。\n"
                        "ゲーム: started,list,level,words_per_stage,result,stage,score,words,keys,"
                        "misses,seconds,kpm,accuracy\n"
                        "かな: kana,attempts,misses,miss_rate,mean_ms,missed_attempts\n"
                        "終了コード: 0 済んだとき、1 記録や単語ファイルを読めないときやファイルを"
                        "書き出せなかったとき、2 使えない引数のとき。\n")},
        {games, kana, practice});
    if (const std::optional<ExitStatus> ended = options.parse(arguments, out, err))
        return *ended;
    const QCommandLineParser& parser = options.parser();
    if (parser.optionNames().size() > 1)
        return options.refuse(QStringLiteral("オプションは一度に一つだけ指定できます。"), err);
    if (parser.isSet(practice)) {
        HistoryDb db(HistoryPath(), HistoryDb::Mode::Read);
        const PracticeListOutcome outcome = MakePracticeList(db);
        Say(outcome.written ? out : err, outcome.text);
        return outcome.written ? ExitStatus::Done : ExitStatus::Failed;
    }
    const bool gamesSet = parser.isSet(games);
    const QString target = parser.value(gamesSet ? games : kana);
    if (target.isEmpty())
        return options.refuse(
            QStringLiteral("「%1」のファイル名が空です。")
                .arg(gamesSet ? QStringLiteral("--export") : QStringLiteral("--export-kana")),
            err);
    return WriteCsv(gamesSet ? Export::Games : Export::Kana, target, out, err);
}
