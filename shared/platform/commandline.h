#pragma once
// How every program takes its command line. Given nothing but Qt's own window
// options it opens its window; given anything else it runs without a window
// or a display: its options are read with QCommandLineParser, -h/--help and
// -v/--version among them, the help is Japanese and laid out alike in every
// program, and the run ends with one of the statuses below.

#include <QCommandLineOption>
#include <QCommandLineParser>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

class QIODevice;

// The exit status of a run from the command line, the same in every program.
enum class ExitStatus {
    Done = 0,   // everything asked was done
    Failed = 1, // something was refused or could not be done
    Usage = 2,  // arguments the program does not take
};

// True when argv (the program's name first) holds nothing, or only Qt's own
// window options (-platform NAME, -style=NAME, -qwindowgeometry GEOMETRY ...):
// the program opens its window. Read before any application object exists,
// so that a run from the command line, an unknown option included, never
// touches a display.
bool WantsWindow(int argc, const char* const* argv);

// Standard input, output and error as devices, open while this lives; output
// and error unbuffered, so that their lines come in the order written.
struct StandardStreams {
    StandardStreams();
    QFile in;
    QFile out;
    QFile err;
};

// What the help says around the options.
struct ProgramHelp {
    QString program;    // the name the program is run by
    QStringList usages; // what may follow the name, one way a line
    QString about;      // what the program does
    QString notes;      // after the options: formats, exit statuses
};

// The options of one program, -h/--help and -v/--version added.
class ProgramOptions {
public:
    // positionals: how many arguments that are no option the program takes.
    ProgramOptions(ProgramHelp help, const QList<QCommandLineOption>& options,
                   qsizetype positionals = 0);

    // Reads arguments (the program's name first). Nothing when the program
    // goes on with what was asked; otherwise the run ends here with the status
    // returned: the help or the version written to out, or why the arguments
    // are not taken to err.
    std::optional<ExitStatus> parse(const QStringList& arguments, QIODevice& out, QIODevice& err);

    // Says why on err, with where the help is, and returns ExitStatus::Usage.
    ExitStatus refuse(const QString& why, QIODevice& err) const;

    const QCommandLineParser& parser() const { return parser_; }
    QString helpText() const;

private:
    QString problem(const QStringList& arguments) const;

    ProgramHelp help_;
    QList<QCommandLineOption> options_; // the program's own, then help and version
    qsizetype positionals_;
    QCommandLineParser parser_;
};
