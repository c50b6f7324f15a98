#pragma once
// Word lists as plain text, what the editor imports and exports: UTF-8, one
// word a line, "word", "word<TAB>reading" or "word<TAB>reading<TAB>level".
// A reading is kana (katakana is read as hiragana), or a reading's kana codes
// as a list stores them (three digits each), which export writes for a
// reading whose kana would code otherwise (ふ and ぁ coded apart, not as ふぁ).

#include "wordlists/recordcheck.h"
#include "wordlists/wordedit.h"
#include "wordlists/workfiles.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <optional>

// The words of a text with the line each came from, and the lines refused.
struct TextWords {
    QList<NewWord> words;
    QList<qsizetype> lines; // the line (from 1) of each word
    QList<Problem> refused; // in line order, each with why
};

// Reads words from UTF-8 text; a byte order mark at the start and CR LF line
// ends are taken. Blank lines and lines beginning with "#" are skipped. A line
// without a reading gets the one SuggestWordReading gives; one without a
// level, the level of its reading's keys. A reading must code into kana codes
// that give back exactly its kana. Each word is checked as the editor checks
// a word it adds, its text and reading before MeCab is asked.
TextWords ReadWordText(QByteArrayView text);

// A list's words as that text, every line with all three columns, read back
// by ReadWordText as exactly the word, reading codes and level it came from.
// Nothing when a word cannot be written so (a tab or a line break in it, "#"
// at its start, a reading without kana); refused then names each such word
// and its line in the list.
std::optional<QByteArray> WriteWordText(const WordRecords& records, QList<Problem>& refused);
