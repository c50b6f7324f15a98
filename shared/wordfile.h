#pragma once
// Word-list files in Data/ and the operations on them: listing, conversion
// into the working files, and the editor's changes and saves.

#include <QString>
#include <QStringList>

#include <cstdint>

extern QStringList gDatFiles;      // names found, then one empty entry
extern std::int16_t gDatFileCount; // number of names found
extern QString gWordFile;          // current word list (name with extension)

// Which program is running: the fallbacks of a few writes differ.
enum class ProgramKind { Game, Editor };
void SetProgramKind(ProgramKind kind);

// The Data folder beside the programs, ending in a separator.
QString DataFolder();
// A word list's name as the screens show it: without its last four characters
// (the ".dat" extension).
QString WordListTitle(const QString& fileName);

void ListWordFiles();
// Word list into working files, MessageClass and FileInfo. A list whose counts
// add up to 0 becomes the current, empty list but still gives false. A list
// that cannot be read whole is refused with a "警告" message naming the line,
// and nothing is changed.
bool ConvertWordFile(const QString& fileName);
// Removes record n (from 1) from the working files and lowers its level's
// count. False, with a "警告" message, when nothing could be changed.
bool DeleteWordRecord(std::int16_t recordNumber);
// Appends one record (type1 line = gHexText-style text fields + level digit,
// type2 line = kana codes) to the working files and raises that level's count
// in gClassCountText and MessageClass. False, with a "警告" message and
// nothing changed, when the record is malformed or cannot be written.
bool AppendWordRecord(const QString& type1Line, const QString& type2Line, int level);
// Writes the working files into the word list FileInfo "NAME" names. Refuses,
// with a "警告" message, a name that leads outside Data and working files that
// do not hold exactly the records the counts announce.
bool SaveWordFile();
void SaveAndReloadWordFile();
