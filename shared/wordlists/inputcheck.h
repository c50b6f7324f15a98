#pragma once
// What the user types or imports, checked before anything is done with it: a
// word, a typed reading and the name of a list to make. Each check is quick,
// so it comes before a reading is asked of MeCab, which takes seconds over a
// long text.

#include <QString>

#include <optional>

// Why text cannot be a word of a list: longer than kMaxWordLength, a control
// character (NUL, ESC, a tab, a line break...), or a character code page 932
// has no code for. Nothing when it can.
std::optional<QString> WordTextProblem(const QString& text);
// Why a typed reading cannot be one: a control character in it.
std::optional<QString> ReadingTextProblem(const QString& reading);
// The suggested reading (SuggestReading) of a word WordTextProblem passes, of
// kMaxSuggestedWordLength characters at most; empty for any other word,
// without asking MeCab.
QString SuggestWordReading(const QString& word);

// Why fileName (".dat" included) cannot name a list in the Data folder that
// the programs list and the configuration file can name: empty, a leading dot
// (a hidden file, ".." among them), a separator or a control character, a
// character code page 932 lacks, or longer than the folder takes.
std::optional<QString> ListNameProblem(const QString& fileName);
