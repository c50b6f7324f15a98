#pragma once
// Suggested readings: a word's reading in hiragana from the MeCab
// morphological analyser with the IPA dictionary. MeCab is optional: it is
// loaded on first use (PrepareReading or a suggestion) rather than linked,
// and without it (or without a dictionary it can use) every suggestion is
// empty.

#include <QString>
#include <QStringList>

// The longest word MeCab is asked to read: its time grows with the square of
// a run of characters it does not know (32767 letters take seconds). A
// longer word has no suggestion.
constexpr int kMaxSuggestedWordLength = 1000;

// The reading of word in hiragana, or empty when there is none to give: MeCab
// missing, a part of the word it does not know or cannot read (letters, most
// symbols), or a kana the kana table has no code for. A word of kana alone is
// its own reading, katakana made hiragana; ー is kept; sentence punctuation
// and brackets have no sound and are left out. A reading given is exactly what
// KanaToCodes and CodesToKana make of it, in today's kana (ず and じ where
// the dictionary keeps the old づ and ぢ). The first call loads MeCab; calls
// come from one thread, as MeCab's tagger serves one at a time.
QString SuggestReading(const QString& word);
// Every reading MeCab offers for word, most likely first: the first is
// SuggestReading's, the others its next-best analyses, each as SuggestReading
// would give it; empty when there is none.
QStringList SuggestReadings(const QString& word);
// The reading step places after shown among SuggestReadings, going round;
// the first when shown is not among them, empty when there are none. The
// editor's reading field steps through them with a key.
QString OtherReading(const QString& word, const QString& shown, int step);
// Loads MeCab now, unless it was tried already, and starts reading its
// dictionary in the background, so that the first suggestion waits for
// neither: the editor calls it as a word starts to be typed.
void PrepareReading();

// Where MeCab is loaded from: the library file, and the dictionary folders
// tried in order ("" for the one MeCab's own settings name), of which the
// first that reads a UTF-8 word right is used. A change drops the loaded
// analyser, so the next suggestion loads anew. Tests point it at a missing
// library to see the programs without MeCab.
void SetReadingSource(const QString& library, const QStringList& dictionaries);
// The library and dictionaries used unless changed: "libmecab.so.2", the
// configured dictionary, then the UTF-8 IPA dictionary's Debian folder.
void SetDefaultReadingSource();
