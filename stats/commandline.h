#pragma once
// The command line of Seiseki: without options it opens its window; the
// options export the history as CSV or write the practice list, for scripts
// and spreadsheets, and run without a display.

#include <QString>
#include <QStringList>

enum class StatsAction {
    Window,           // no option: the window
    ExportGames,      // --export FILE: one line per game
    ExportKana,       // --export-kana FILE: one line per kana
    MakePracticeList, // --make-practice-list: Data/Nigate.dat
    Help,             // -h, --help
    Invalid,          // anything else: error says why
};

struct CommandLine {
    StatsAction action = StatsAction::Window;
    QString target; // the file an export writes; "-" for standard output
    QString error;  // for Invalid, in Japanese
};

// Reads the arguments after the program's name. An option takes its file as
// the next argument or after "=" (--export=games.csv). One action per run.
CommandLine ParseCommandLine(const QStringList& arguments);

// True when the arguments ask for no option of this program: the window
// opens, and Qt takes its own options (-platform, -style ...) before the rest
// is read with ParseCommandLine.
bool WantsWindow(const QStringList& arguments);

// What --help prints.
QString HelpText();
