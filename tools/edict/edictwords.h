#pragma once
// Choosing the words of the shipped word lists from the EDICT dictionary: the
// dictionary's lines, the selection rules of each list, the level of a reading
// and the text of a word-list source.

#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <optional>

// One line of EDICT: "headword [reading] /(tags) gloss/gloss/.../(P)/", or
// "headword /.../" when the headword is written in kana.
struct EdictEntry {
    QString headword;
    QString reading;       // as the dictionary writes it (hiragana or katakana)
    QString senses;        // every field after the reading but the common mark
    QStringList firstTags; // the tags of the first sense: part of speech, usage
    QStringList tags;      // the tags of every sense
    QString firstGlosses;  // the glosses of the first sense, joined with "/"
    QString glosses;       // every gloss, joined with "/"
    bool common = false;   // the common-word mark (P)
};

std::optional<EdictEntry> ParseEdictLine(const QString& line);

enum class WordList { Nomal, Tabemono, Doushi, Gairaigo };
inline constexpr WordList kWordLists[] = {WordList::Nomal, WordList::Tabemono, WordList::Doushi,
                                          WordList::Gairaigo};
QString WordListName(WordList list);
// Words every level of a list must hold.
int MinimumPerLevel(WordList list);

struct ListWord {
    int level = 0;
    QString word;    // as shown
    QString reading; // hiragana
    friend bool operator==(const ListWord&, const ListWord&) = default;
};

// True when the reading is hiragana that the kana code table holds exactly and
// that types as a plain romaji spelling (no small tsu at the start, at the end
// or before a vowel, ん, ー or another small kana).
bool IsPlayableReading(const QString& reading);

// The words a list keeps whatever the dictionary says: "word<TAB>reading" lines.
QList<ListWord> ParseKeptWords(const QString& text);
// The words left out of a list: "list<TAB>word" lines, the list "*" for all.
QSet<QString> ParseDeniedWords(const QString& text, WordList list);

// The words of one list, sorted by level, reading and word.
QList<ListWord> ChooseWords(const QList<EdictEntry>& dictionary, WordList list,
                            const QList<ListWord>& kept, const QSet<QString>& denied);
// Why the list cannot ship (a level with too few words), or nothing.
std::optional<QString> CheckWordCounts(const QList<ListWord>& words, WordList list);
// The readable source of a list, as assets/wordlists/<name>.txt holds it.
QString FormatWordList(const QList<ListWord>& words, WordList list);
