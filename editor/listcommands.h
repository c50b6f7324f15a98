#pragma once
// Tangobako's command line, run without a window: words imported from text
// into a word list (--import FILE --list NAME) and a list exported as text
// (--export NAME FILE), in the text of listtext.h.

#include <QStringList>

class QIODevice;

// True when the arguments (the program's name first) hold an option of the
// command line; the program then runs it instead of opening its window.
bool IsCommandLineRun(int argc, const char* const* argv);

// Runs the command line in the program folder: FILE "-" is in or out, what
// was done goes to out, each problem to err, in Japanese. The exit status:
// 0 when everything was done (every line imported), 1 when a line or a word
// was refused or nothing could be done, 2 for arguments it does not take.
int RunCommandLine(const QStringList& arguments, QIODevice& in, QIODevice& out, QIODevice& err);
