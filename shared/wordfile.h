#pragma once
// Word-list files in Data/, the working files "type1" and "type2", the
// MessageClass counts and the kana coding of readings.

#include <QString>
#include <QStringList>

#include <array>
#include <cstdint>

extern QStringList gDatFiles;      // names found, then one empty entry
extern std::int16_t gDatFileCount; // number of names found
extern QString gWordFile;          // current word list (name with extension)
extern QString gType1Path;         // working file "type1"
extern QString gType2Path;         // working file "type2"

// Game: words per level 1..5 (index 0 unused), from MessageClass.
extern std::array<std::int16_t, 6> gClassCount;

// Editor: kana of each code 1..118 (index 0 empty), the working copy of the
// MessageClass counts (index 0..4 = level 1..5), the last encoded word text and
// the codes of the reading last converted.
extern std::array<QString, 119> gKana;
extern std::array<QString, 5> gClassCountText;
extern QString gHexText;
extern QString gKanaCodes;

// Which program is running: the fallbacks of a few writes differ.
enum class ProgramKind { Game, Editor };
void SetProgramKind(ProgramKind kind);

// The Data folder beside the programs, ending in a separator.
QString DataFolder();
// A word list's name as the screens show it: without its last four characters
// (the ".dat" extension).
QString WordListTitle(const QString& fileName);

void ListWordFiles();
void SetWorkFilePaths();
// Word list into working files, MessageClass and FileInfo. A list whose counts
// add up to 0 becomes the current, empty list but still gives false. A list
// that cannot be read whole is refused with a "警告" message naming the line,
// and nothing is changed.
bool ConvertWordFile(const QString& fileName);
void ReadMessageClass();
QString SplitWordRecord(const QString& type1Line, QString& text);

void BuildKanaTable();
QString KanaToCodes(const QString& hiragana);
QString CodesToKana(const QString& codes);
// False (and gHexText left empty) when a character has no code page 932 code;
// unencodable then names the first such character.
bool EncodeWordText(const QString& text, QString* unencodable = nullptr);

void ReadClassCountText(const QString& key, std::int16_t index);
// ReadClassCountText for "A".."E"; the sum of the five counts, or -1 when one
// of them is negative.
int ReadAllClassCounts();
// True when the count was written (a failed write is tried once more).
bool WriteClassCountText(const QString& key, std::int16_t index);
bool WriteAllClassCounts();
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
