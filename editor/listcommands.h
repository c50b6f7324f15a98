#pragma once
// Tangobako's command line, run without a window: words imported from text
// into a word list (--import FILE --list NAME) and a list exported as text
// (--export NAME FILE), in the text of listtext.h.

#include "platform/commandline.h"

#include <QStringList>

class QIODevice;

// Runs the command line (the program's name first) in the program folder:
// FILE "-" is in or out, what was done goes to out, each problem to err, in
// Japanese. Done when everything was done (every line imported), Failed when
// a line or a word was refused or nothing could be done.
ExitStatus RunCommandLine(const QStringList& arguments, QIODevice& in, QIODevice& out,
                          QIODevice& err);
