#pragma once
// The editor's changes to the loaded word list, one operation per action:
// adding, deleting and changing a word. Each is one unit, as the operations of
// wordfile.h are.

#include "workfiles.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>

// A word as the registration screen showed it: its "type1" and "type2"
// lines, and the version (WordRecords::version) of the words it was shown
// among.
struct SeenWord {
    QByteArray type1;
    QByteArray type2;
    QByteArray listVersion;
};
// The word at line n (from 1) of records as a screen shows it; nothing past
// the end.
std::optional<SeenWord> SeeWord(const WordRecords& records, int n);

// The editor's changes to the loaded list, one call per action. Each is
// saved into the list at once and the working files and counts follow;
// gClassCountText then holds the new counts. False, with a "警告" message,
// when the word cannot be stored or any write fails; then nothing has
// changed. A change saved in the list whose working files could not follow
// is made (true), with a message saying so.
// after, when given, gets the words of the list as the change left them; or,
// when the word the user chose is no longer there, the words as they are now,
// for the screen to show; nothing otherwise.
// Adds word with the reading readingCodes (three-digit kana codes) at level
// at the end of the list; gHexText is then its "type1" line.
bool AddWord(const QString& word, const QString& readingCodes, int level,
             std::optional<WordRecords>* after = nullptr);
// Removes the word the user saw at line n (from 1): that line while the list
// is as it was shown; when the other program has changed it since, the one
// line that holds the same word. When that word is gone or stands there more
// than once, nothing is removed and the message says the list was changed.
bool DeleteWordRecord(std::int16_t recordNumber, const SeenWord& seen,
                      std::optional<WordRecords>* after = nullptr);
// The word the user saw at line n, found as DeleteWordRecord finds it,
// replaced by a new word at the end of the list, as one change.
bool ReplaceWord(std::int16_t recordNumber, const SeenWord& seen, const QString& word,
                 const QString& readingCodes, int level,
                 std::optional<WordRecords>* after = nullptr);
