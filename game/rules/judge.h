#pragma once
// The romaji judge: decides for each key whether it continues the target
// romaji of the current word, and rewrites the target when the player types
// another common spelling of a syllable (SI for SHI, TU for TSU, JA for ZYA,
// ...), so that the typed text always stays the beginning of the target.

#include <QChar>
#include <QString>

#include <cstdint>

// Characters of the current word typed so far; 0 at the start of each word.
extern std::int16_t gCharPos;

// text with the count characters from the 1-based position replaced by
// replacement; characters past the end of text are simply not there.
QString ReplaceAt(const QString& text, int position, int count, const QString& replacement);

// The key as the judge sees it: one character, upper case.
QChar UpperKey(char16_t key);

// Judges key against target, of which the first charPos characters are typed.
// True when the key continues the target; target may then have been rewritten
// into the spelling being typed, always with the key at index charPos. A miss
// leaves target unchanged. Reads the small-kana spellings from gRomaji.
bool JudgeKey(char16_t key, QString& target, int charPos);

// Appends letter to typed and sets gCharPos to the new length of typed.
void AppendTyped(QString& typed, QChar letter);

// True when typed is as long as target; gCharPos then returns to 0.
bool IsWordTyped(const QString& typed, const QString& target);

// The keys JudgeKey accepts at charPos of target: first the character the
// target shows there, then every other letter it would take, in alphabetical
// order ("HI" at the H of SHI). Changes nothing.
QString AcceptedKeys(const QString& target, int charPos);
