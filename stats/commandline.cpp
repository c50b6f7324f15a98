#include "commandline.h"

namespace {

struct Option {
    const char* name;
    StatsAction action;
    bool takesFile;
};

constexpr Option kOptions[] = {
    {"--export", StatsAction::ExportGames, true},
    {"--export-kana", StatsAction::ExportKana, true},
    {"--make-practice-list", StatsAction::MakePracticeList, false},
    {"--help", StatsAction::Help, false},
    {"-h", StatsAction::Help, false},
};

CommandLine Invalid(const QString& why) {
    return {StatsAction::Invalid, QString(),
            why + QStringLiteral("\n使い方は Seiseki --help で表示します。")};
}

} // namespace

CommandLine ParseCommandLine(const QStringList& arguments) {
    CommandLine line;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        const qsizetype equals = argument.indexOf(QLatin1Char('='));
        const QString name = argument.startsWith(QLatin1String("--")) && equals > 0
                                 ? argument.left(equals)
                                 : argument;
        const Option* found = nullptr;
        for (const Option& option : kOptions) {
            if (name == QLatin1String(option.name))
                found = &option;
        }
        if (!found) {
            return Invalid(
                argument.startsWith(QLatin1Char('-'))
                    ? QStringLiteral("「%1」というオプションはありません。").arg(argument)
                    : QStringLiteral("余分な引数「%1」があります。").arg(argument));
        }
        if (line.action != StatsAction::Window)
            return Invalid(QStringLiteral("オプションは一度に一つだけ指定できます。"));
        line.action = found->action;
        if (name != argument) {
            if (!found->takesFile)
                return Invalid(QStringLiteral("「%1」はファイル名を取りません。").arg(name));
            line.target = argument.mid(equals + 1);
        } else if (found->takesFile) {
            if (i + 1 == arguments.size())
                return Invalid(
                    QStringLiteral("「%1」の後に書き出すファイルの名前が要ります（- で標準出力）。")
                        .arg(name));
            line.target = arguments[++i];
        }
        if (found->takesFile && line.target.isEmpty())
            return Invalid(QStringLiteral("「%1」のファイル名が空です。").arg(name));
    }
    return line;
}

bool WantsWindow(const QStringList& arguments) {
    for (const QString& argument : arguments) {
        if (argument.startsWith(QLatin1String("--")) || argument == QLatin1String("-h"))
            return false;
    }
    return true;
}

QString HelpText() {
    return QStringLiteral(
        "使い方: Seiseki [オプション]\n"
        "\n"
        "ゆびまるのゲームの成績を表示します。オプションなしで起動するとウィンドウを開きます。\n"
        "オプションを付けると、ウィンドウを開かずに次のことをして終わります。\n"
        "\n"
        "  --export ファイル        ゲームごとの成績を CSV で書き出します（- で標準出力）\n"
        "  --export-kana ファイル   かなごとの成績を CSV で書き出します（- で標準出力）\n"
        "  --make-practice-list     苦手なかなを含む単語で練習リスト Data/Nigate.dat を作ります\n"
        "  -h, --help               この説明を表示します\n"
        "\n"
        "CSV は UTF-8 で、1 行目が見出しです。\n"
        "ゲーム: started,list,level,words_per_stage,result,stage,score,words,keys,misses,"
        "seconds,kpm,accuracy\n"
        "かな: kana,attempts,misses,miss_rate,mean_ms\n"
        "失敗すると理由を標準エラー出力に書き、0 以外の終了コードで終わります。\n");
}
