#include "listcommands.h"

#include "platform/atomicfile.h"
#include "platform/commandoutput.h"
#include "wordlists/inputcheck.h"
#include "wordlists/liststore.h"
#include "wordlists/listtext.h"
#include "wordlists/wordedit.h"
#include "wordlists/wordlimits.h"

#include <QFileInfo>
#include <QIODevice>

#include <algorithm>

namespace {

// The file of list name in Data/: name itself when it ends in ".dat" (in any
// letter case, as lists are found), else name with ".dat".
QString ListFileName(const QString& name) {
    return name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive) ? name
                                                                     : name + QLatin1String(".dat");
}

// True when file can be a list in Data/ that the programs list; otherwise err
// says why.
bool CheckListName(const QString& file, QIODevice& err) {
    const std::optional<QString> problem = ListNameProblem(file);
    if (problem)
        Say(err, *problem);
    return !problem;
}

// The bytes of FILE, "-" for in; nothing when it cannot be read (said on err).
std::optional<QByteArray> ReadInput(const QString& path, QIODevice& in, QIODevice& err) {
    if (path == kStandardStream)
        return in.readAll();
    if (std::optional<QByteArray> bytes = ReadWholeFile(path))
        return bytes;
    const QFileInfo info(path);
    const QString why = !info.exists() ? QStringLiteral("見つかりません")
                        : info.isDir() ? QStringLiteral("フォルダーです")
                                       : QStringLiteral("読む許可がありません");
    Say(err, QStringLiteral("ファイル「%1」を読めません（%2）。何も追加しませんでした。")
                 .arg(path, why));
    return std::nullopt;
}

ExitStatus Import(const QString& path, const QString& name, QIODevice& in, QIODevice& out,
                  QIODevice& err) {
    const QString file = ListFileName(name);
    if (!CheckListName(file, err))
        return ExitStatus::Failed;
    const std::optional<QByteArray> input = ReadInput(path, in, err);
    if (!input)
        return ExitStatus::Failed;
    TextWords text = ReadWordText(*input);
    // Nothing to add writes nothing, but an import without a refused line
    // makes its list when it is missing: an empty export comes back as an
    // empty list.
    int stored = 0;
    const QString listPath = DataFolder() + file;
    if (!text.words.isEmpty() || (text.refused.isEmpty() && !QFileInfo::exists(listPath))) {
        QString why;
        if (!StoreWords(file, text.words, ListWrite::Append, stored, why)) {
            Say(err, why);
            Say(err,
                QStringLiteral("単語ファイル「%1」には何も追加しませんでした。").arg(listPath));
            return ExitStatus::Failed;
        }
        if (!why.isEmpty())
            Say(err, why);
    }
    for (qsizetype i = stored; i < text.words.size(); ++i)
        text.refused.append(
            {text.lines[i],
             QStringLiteral("単語ファイルが単語の上限の%1語に達しました。").arg(kMaxCount)});
    std::stable_sort(text.refused.begin(), text.refused.end(),
                     [](const Problem& a, const Problem& b) { return a.line < b.line; });
    const QString shown = path == kStandardStream ? QStringLiteral("標準入力") : path;
    for (const Problem& problem : text.refused)
        Say(err, QStringLiteral("「%1」の%2行目を追加しませんでした: %3")
                     .arg(shown)
                     .arg(problem.line)
                     .arg(problem.why));
    Say(out, QStringLiteral("単語ファイル「%1」に%2語を追加しました。").arg(listPath).arg(stored));
    if (!text.refused.isEmpty())
        Say(out, QStringLiteral("%1行は追加しませんでした。").arg(text.refused.size()));
    return text.refused.isEmpty() ? ExitStatus::Done : ExitStatus::Failed;
}

ExitStatus Export(const QString& name, const QString& path, QIODevice& out, QIODevice& err) {
    const QString file = ListFileName(name);
    if (!CheckListName(file, err))
        return ExitStatus::Failed;
    WordRecords records;
    QByteArray bytes;
    QString why;
    switch (ReadList(file, bytes, records, why)) {
    case ListState::Missing:
        Say(err, QStringLiteral("単語ファイル「%1」が見つかりません。").arg(DataFolder() + file));
        return ExitStatus::Failed;
    case ListState::Refused:
        Say(err, why);
        return ExitStatus::Failed;
    case ListState::Read:
        break;
    }
    QList<Problem> refused;
    const std::optional<QByteArray> text = WriteWordText(records, refused);
    if (!text) {
        for (const Problem& problem : refused)
            Say(err, QStringLiteral("単語ファイル「%1」の%2行目を書き出せません。%3")
                         .arg(file)
                         .arg(problem.line)
                         .arg(problem.why));
        Say(err, QStringLiteral("何も書き出しませんでした。"));
        return ExitStatus::Failed;
    }
    if (!WriteToTarget(path, *text, out, why)) {
        Say(err, why);
        return ExitStatus::Failed;
    }
    if (path == kStandardStream)
        return ExitStatus::Done;
    Say(out, QStringLiteral("単語ファイル「%1」の%2語を「%3」に書き出しました。")
                 .arg(file)
                 .arg(records.total())
                 .arg(path));
    return ExitStatus::Done;
}

} // namespace

ExitStatus RunCommandLine(const QStringList& arguments, QIODevice& in, QIODevice& out,
                          QIODevice& err) {
    const QCommandLineOption import(
        QStringLiteral("import"),
        QStringLiteral("FILE の単語を単語ファイル NAME（--list）に追加します。\n"
                       "FILE が - なら標準入力から読みます。"),
        QStringLiteral("FILE"));
    const QCommandLineOption list(
        QStringLiteral("list"),
        QStringLiteral("追加する単語ファイルの名前（Data フォルダーの NAME.dat）。"),
        QStringLiteral("NAME"));
    const QCommandLineOption exportList(
        QStringLiteral("export"),
        QStringLiteral("単語ファイル NAME を FILE に書き出します。\n"
                       "FILE が - なら標準出力に書きます。"),
        QStringLiteral("NAME"));
    ProgramOptions options(
        {QStringLiteral("Tangobako"),
         {QString(), QStringLiteral("--import FILE --list NAME"),
          QStringLiteral("--export NAME FILE")},
         QStringLiteral("Yubimaru の単語ファイルを編集します。オプションを付けなければ登録画面を"
                        "開きます。\n"
                        "オプションを付けると、ウィンドウを開かずにその仕事をして終わります。"),
         QStringLiteral("テキストは UTF-8 で1行に1語、「単語」「単語<タブ>読み」または"
                        "「単語<タブ>読み<タブ>レベル」です。\n"
                        "終了コード: 0 すべて済んだとき、1 行や単語を追加しなかったときや"
                        "ファイルを読み書きできなかったとき、2 使えない引数のとき。\n")},
        {import, list, exportList}, 1);
    if (const std::optional<ExitStatus> ended = options.parse(arguments, out, err))
        return *ended;
    const QCommandLineParser& parser = options.parser();
    const QStringList files = parser.positionalArguments();
    if (parser.isSet(import) && parser.isSet(exportList))
        return options.refuse(QStringLiteral("--import と --export は一緒に使えません。"), err);
    if (parser.isSet(import)) {
        if (!parser.isSet(list))
            return options.refuse(
                QStringLiteral("--import には --list で単語ファイルの名前が要ります。"), err);
        if (!files.isEmpty())
            return options.refuse(
                QStringLiteral("余分な引数「%1」があります。").arg(files.join(' ')), err);
        return Import(parser.value(import), parser.value(list), in, out, err);
    }
    if (parser.isSet(list))
        return options.refuse(QStringLiteral("--list は --import と一緒に使います。"), err);
    if (!parser.isSet(exportList))
        return options.refuse(QStringLiteral("--import か --export を指定してください。"), err);
    if (files.size() != 1)
        return options.refuse(
            QStringLiteral("--export には単語ファイルの名前と書き出し先が要ります。"), err);
    return Export(parser.value(exportList), files.front(), out, err);
}
