#pragma once
// Word-list files in Data/ and the operations on them: listing, conversion
// into the working files, and saving; the editor's changes are in
// wordedit.h.
//
// The word list is the truth; the working files and the MessageClass counts
// are made from it. Each operation below is one unit between the two programs
// (it holds the lock between them from start to end) and across crashes: its
// files are replaced in an order that leaves every word list either as it was
// or changed, and working files that do not match their list are made anew
// before anything relies on them.

#include "config/config.h"
#include "wordlists/liststore.h"
#include "wordlists/workfiles.h"

#include <QString>
#include <QStringList>

#include <cstdint>
#include <optional>

extern QStringList gDatFiles;      // names found, then one empty entry
extern std::int16_t gDatFileCount; // number of names found
extern QString gWordFile;          // current word list (name with extension)

// The frame of an operation, for a caller whose several steps must see the
// same files (the game's draw): while it lives the lock between the programs
// is held and ymconfig.ini is one view. Messages shown
// meanwhile appear when it ends.
class WordListUnit {
public:
    ProfileTransaction& ini() { return m_ini; }
    // False, with notDone and the reason shown, when the lock could not be
    // had (the other program held it too long): the operation must give up.
    bool ready(const QString& notDone);

private:
    ProfileTransaction m_ini;
};

// Locates the files of the program folder: gIniPath and the working files'
// paths. A program calls it once, when it has chosen its folder; a test or a
// tool that changes the folder calls it again.
void LocateProgramFiles();

// A word list's name as the screens show it: without its last four characters
// (the ".dat" extension).
QString WordListTitle(const QString& fileName);

// The "*.dat" files of Data/ that a list may be (letter case ignored, then
// exact order), at most kMaxCount. Changes nothing and needs no lock.
QStringList WordListNames();
// The list after current among names, the first after the last; current
// itself when it is not among them.
QString NextWordList(const QStringList& names, const QString& current);
// Fills gDatFiles and gDatFileCount with WordListNames() and makes gWordFile
// "Nomal.dat" when there is one, else the first.
void ListWordFiles();
// Start of either program: removes the temporary files crashed writes left in
// the program folder and Data/.
void CleanUpProgramFolder();

// Word list into working files, MessageClass counts and FileInfo NAME and
// STAMP. True when the list holds words; a list whose counts add up to 0
// becomes the loaded, empty list but still gives false. A list that is missing
// gives false quietly; one that cannot be read whole is refused with a "警告"
// message naming the file and the line, and nothing is changed.
bool ConvertWordFile(const QString& fileName);
// Makes sure the working files hold the loaded list, making them anew from it
// when they do not (the other program converted another list, a crash). False
// when no list is loaded or it cannot be made; the reason has been shown.
bool RepairWorkFiles();
// The words of the loaded list for the registration screen: from the working
// files after RepairWorkFiles, or from the list itself when the working files
// cannot be written. False when no list is loaded or it cannot be read.
bool ReadLoadedWords(WordRecords& records);

// Writes the working files into the loaded list when they hold it; a list
// that was not loaded in this run is never written, and no list is created.
// False when nothing is loaded or the list cannot be written (with a message).
bool SaveWordFile();
// SaveWordFile, then ConvertWordFile(gWordFile) unless the working files hold
// that list already.
void SaveAndReloadWordFile();
