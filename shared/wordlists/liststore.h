#pragma once
// Word lists on disk: the Data folder, the list loaded into the working files,
// and reading a list and storing it with its working files as one unit. The
// building blocks of the operations in wordfile.h and wordedit.h, which hold
// the lock between the programs around them.

#include "config/config.h"
#include "wordlists/workfiles.h"

#include <QByteArray>
#include <QString>

// The list this program last loaded into the working files in this run
// (empty before the first): the list the editor shows and saves to, the list
// the game draws from.
extern QString gLoadedWordFile;

// Which program is running: the fallbacks of a few writes differ.
enum class ProgramKind { Game, Editor };
void SetProgramKind(ProgramKind kind);

// The Data folder beside the programs, ending in a separator.
QString DataFolder();

// A file name that stays inside the Data folder, is not hidden and can be
// recorded in the configuration file.
bool IsPlainFileName(const QString& name);

enum class ListState { Read, Missing, Refused };
// Reads and checks Data/name into records; why names the file and the line
// of a refused list.
ListState ReadList(const QString& name, QByteArray& bytes, WordRecords& records, QString& why);

// True when the working files hold list name as it is now; the counts in
// memory then follow them.
bool WorkFilesHold(const QString& name);
// The words of list name from the working files when they hold it: checked
// when the list was loaded, so they need not be checked again.
bool ReadHeldWords(const QString& name, WordRecords& records);

// How far a store got.
enum class Stored {
    All,      // every file replaced
    ListOnly, // the list replaced, a later file not: the change is made, and
              // the working files are made anew at their next use
    Nothing,  // no file replaced
};
// Replaces, as one unit, the files that hold list name: the list itself when
// newList is given, both working files, and FileInfo NAME, the counts and the
// stamp in ymconfig.ini, renamed in this order. A crash after the list leaves
// working files whose stamp no longer matches, and the next use makes them
// anew. When ymconfig.ini cannot be changed (ini.error() says why) the rest is
// written all the same: no stamp then vouches for the working files. Unless
// every file was replaced, why says what failed.
Stored StoreList(ProfileTransaction& ini, const QString& name, const QByteArray* newList,
                 const QByteArray& listBytes, const WordRecords& records, QString& why);
// What a list that was stored only in part tells the user: the change is
// made, as the list holds it, though a working file could not follow.
QString ListOnlyText(const QString& name, const QString& why);

// Why an operation did not do what it should: why is the message, once tells
// that it is said once in a run (a list that cannot be written, as lists are
// loaded again and again in the background). Empty when nothing went wrong.
struct LoadProblem {
    QString why;
    bool once = false;
};
// Shows what an operation ends with: the problem, and ymconfig.ini that could
// not be changed, which is said once in a run.
void ShowProblems(ProfileTransaction& ini, const LoadProblem& problem);
