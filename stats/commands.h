#pragma once
// What Seiseki does for an option of its command line, without a window.

#include "commandline.h"

class QIODevice;

// Runs the action of line on the history in the program folder: an export
// writes its CSV to line.target (replaced in one step) or, for "-", to out;
// the practice list tells on out what it wrote; --help prints the usage on
// out. Errors and notices (a broken history moved aside) go to err, in
// Japanese, naming the file. Returns the exit code: 0 when done, 1 when the
// action failed, 2 for an invalid command line.
int RunCommand(const CommandLine& line, QIODevice& out, QIODevice& err);
