#include "platform/commandline.h"

#include "platform/commandoutput.h"

#include <QByteArrayView>
#include <QIODevice>

#include <algorithm>
#include <cstdio>
#include <utility>

namespace {

// Qt's own options of a window program, which QGuiApplication and
// QApplication take out of the arguments (spelled with "-" or "--"): those
// followed by their value, those that may carry it after "=", and those
// without one.
constexpr QByteArrayView kQtValueOptions[] = {"platform",
                                              "platformpluginpath",
                                              "platformtheme",
                                              "plugin",
                                              "qwindowgeometry",
                                              "qwindowicon",
                                              "qwindowtitle",
                                              "session",
                                              "display",
                                              "geometry",
                                              "title",
                                              "icon",
                                              "name",
                                              "visual",
                                              "style",
                                              "stylesheet"};
constexpr QByteArrayView kQtEqualsOptions[] = {"style", "stylesheet", "qmljsdebugger"};
constexpr QByteArrayView kQtFlags[] = {"reverse", "widgetcount", "testability",
                                       "sync",    "nograb",      "dograb"};

template <std::size_t N> bool Holds(const QByteArrayView (&names)[N], QByteArrayView name) {
    return std::find(std::begin(names), std::end(names), name) != std::end(names);
}

// How an option is typed: "-h" for a name of one letter, else "--name".
QString Typed(const QString& name) {
    return (name.size() == 1 ? QStringLiteral("-") : QStringLiteral("--")) + name;
}

} // namespace

bool WantsWindow(int argc, const char* const* argv) {
    for (int i = 1; i < argc; ++i) {
        QByteArrayView argument(argv[i]);
        if (argument.startsWith("--"))
            argument = argument.sliced(1);
        if (!argument.startsWith('-'))
            return false;
        const QByteArrayView option = argument.sliced(1);
        const qsizetype equals = option.indexOf('=');
        if (equals > 0 && Holds(kQtEqualsOptions, option.first(equals)))
            continue;
        if (Holds(kQtFlags, option))
            continue;
        if (!Holds(kQtValueOptions, option) || i + 1 == argc)
            return false;
        ++i;
    }
    return true;
}

StandardStreams::StandardStreams() {
    in.open(stdin, QIODevice::ReadOnly);
    out.open(stdout, QIODevice::WriteOnly | QIODevice::Unbuffered);
    err.open(stderr, QIODevice::WriteOnly | QIODevice::Unbuffered);
}

ProgramOptions::ProgramOptions(ProgramHelp help, const QList<QCommandLineOption>& options,
                               qsizetype positionals)
    : help_(std::move(help)), options_(options), positionals_(positionals) {
    options_.append({{QStringLiteral("h"), QStringLiteral("help")},
                     QStringLiteral("この説明を表示して終わります。")});
    options_.append({{QStringLiteral("v"), QStringLiteral("version")},
                     QStringLiteral("プログラムの名前と版を表示して終わります。")});
    // "-export" is read as "--export", not as the letters e, x, p ...
    parser_.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser_.addOptions(options_);
}

std::optional<ExitStatus> ProgramOptions::parse(const QStringList& arguments, QIODevice& out,
                                                QIODevice& err) {
    if (!parser_.parse(arguments))
        return refuse(problem(arguments), err);
    if (parser_.isSet(QStringLiteral("help"))) {
        Say(out, helpText());
        return ExitStatus::Done;
    }
    if (parser_.isSet(QStringLiteral("version"))) {
        Say(out, help_.program + QStringLiteral(" " YM_VERSION));
        return ExitStatus::Done;
    }
    const QStringList positional = parser_.positionalArguments();
    if (positional.size() > positionals_)
        return refuse(QStringLiteral("余分な引数「%1」があります。")
                          .arg(positional.mid(positionals_).join(QLatin1Char(' '))),
                      err);
    if (positional.isEmpty() && parser_.optionNames().isEmpty())
        return refuse(QStringLiteral("オプションがありません。"), err);
    return std::nullopt;
}

ExitStatus ProgramOptions::refuse(const QString& why, QIODevice& err) const {
    Say(err, why);
    Say(err, QStringLiteral("使い方は %1 --help で表示します。").arg(help_.program));
    return ExitStatus::Usage;
}

// Why the parser did not take arguments: an option it does not know, an
// option without the value it takes at the end, or a value after "=" given
// to an option that takes none.
QString ProgramOptions::problem(const QStringList& arguments) const {
    const QStringList unknown = parser_.unknownOptionNames();
    for (qsizetype i = 1; i < arguments.size() && arguments[i] != QLatin1String("--"); ++i) {
        const QString& argument = arguments[i];
        if (!argument.startsWith(QLatin1Char('-')) || argument.size() == 1)
            continue;
        const QString typed = argument.section(QLatin1Char('='), 0, 0);
        const QString name = typed.mid(typed.startsWith(QLatin1String("--")) ? 2 : 1);
        if (unknown.contains(name))
            return QStringLiteral("「%1」というオプションはありません。").arg(typed);
        const auto option = std::find_if(options_.begin(), options_.end(),
                                         [&](const auto& o) { return o.names().contains(name); });
        if (option == options_.end())
            continue;
        const bool takesValue = !option->valueName().isEmpty();
        if (!takesValue && typed != argument)
            return QStringLiteral("「%1」は値を取りません。").arg(typed);
        if (!takesValue || typed != argument)
            continue;
        if (i + 1 == arguments.size())
            return QStringLiteral("「%1」の後に %2 が要ります。").arg(typed, option->valueName());
        ++i; // the value, whatever it looks like
    }
    return parser_.errorText();
}

QString ProgramOptions::helpText() const {
    // One way to run the program a line, under each other: "使い方: " is
    // eight columns wide on a terminal.
    const QStringList usages =
        help_.usages + QStringList{QStringLiteral("--help"), QStringLiteral("--version")};
    QString text;
    for (qsizetype i = 0; i < usages.size(); ++i) {
        text += i == 0 ? QStringLiteral("使い方: ") : QString(8, QLatin1Char(' '));
        text += usages[i].isEmpty() ? help_.program : help_.program + QLatin1Char(' ') + usages[i];
        text += QLatin1Char('\n');
    }
    text += QLatin1Char('\n') + help_.about + QStringLiteral("\n\nオプション:\n");
    QList<std::pair<QString, QStringList>> rows;
    qsizetype width = 0;
    for (const QCommandLineOption& option : options_) {
        QStringList names;
        for (const QString& name : option.names())
            names.append(Typed(name));
        QString column = names.join(QStringLiteral(", "));
        if (!option.valueName().isEmpty())
            column += QLatin1Char(' ') + option.valueName();
        width = std::max(width, column.size());
        rows.append({column, option.description().split(QLatin1Char('\n'))});
    }
    for (const auto& [column, lines] : rows) {
        text += QStringLiteral("  ") + column.leftJustified(width + 2) + lines.front() +
                QLatin1Char('\n');
        for (const QString& line : lines.mid(1))
            text += QString(width + 4, QLatin1Char(' ')) + line + QLatin1Char('\n');
    }
    if (!help_.notes.isEmpty())
        text += QLatin1Char('\n') + help_.notes;
    return text;
}
