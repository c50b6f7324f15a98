#pragma once
// Seiseki's command line: the options that export the history as CSV or
// write the practice list, for scripts and spreadsheets, without a window.

#include "platform/commandline.h"

#include <QStringList>

class QIODevice;

// Reads the arguments (the program's name first) and runs the one option
// given on the history in the program folder: an export writes its CSV to
// its file (replaced in one step) or, for "-", to out; the practice list
// tells on out what it wrote; --help prints the usage on out. Errors and
// notices (a broken history moved aside) go to err, in Japanese, naming the
// file.
ExitStatus RunCommand(const QStringList& arguments, QIODevice& out, QIODevice& err);
