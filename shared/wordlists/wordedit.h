#pragma once
// Changes to word lists: the editor's adding, deleting and changing a word
// of the loaded list, one operation per action, and storing many words into
// a list by its name (an import, a practice list). Each is one unit, as the
// operations of wordfile.h are.

#include "wordlists/workfiles.h"

#include <QByteArray>
#include <QList>
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

// A word to store: its text as shown, its reading as three-digit kana codes
// and its level 1..5.
struct NewWord {
    QString text;
    QString readingCodes;
    int level = 1;
};
// Why word cannot go into a list as the editor stores it (a character the
// list cannot hold, a reading that does not code, a level outside 1..5, a
// word or a reading longer than the editor's fields and the game take:
// kMaxWordLength, kMaxReadingCodes); nothing when it can.
std::optional<QString> NewWordProblem(const NewWord& word);

enum class ListWrite {
    Append,  // after the list's own words; a list not there is made
    Replace, // in place of the list's words, made when missing
};
// Stores words, each of which passes NewWordProblem, in Data/name as one
// operation under the lock between the programs. A list holds 32767 words:
// those past that are not stored, and stored gets how many were (the first
// ones). When name is the list loaded into the working files, they and the
// counts follow; working files that held it otherwise are made anew at their
// next use. False, with why, when the list there cannot be read or is refused,
// a word does not pass, or the list cannot be written: then nothing changed.
// A note for the user may come in why on success too. Temporary files that
// crashed writes left are removed first, as at a program's start.
bool StoreWords(const QString& name, const QList<NewWord>& words, ListWrite mode, int& stored,
                QString& why);
