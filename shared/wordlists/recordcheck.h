#pragma once
// Why a word list or a record is refused: the checks of the counts line, the
// reading codes and the text fields.

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <optional>

struct Problem {
    qsizetype line = 0;
    QString why;
};

// A word count: a whole number from 0 to 32767, read leniently.
std::optional<int> ParseCount(const QString& text);

// Checks records one at a time (reading codes, text fields, a level of 1 to 5
// after at least one text field) and tells the problem a list is refused for:
// the first record whose bytes are not code page 932; failing that, the first
// malformed field; failing that, the first code the code page has no
// character for.
class RecordCheck {
public:
    // reading: the reading field; type1: the text fields and the level.
    void add(qsizetype line, QByteArrayView reading, QByteArrayView type1);
    std::optional<Problem> problem() const;

private:
    // Finds what is wrong with the bytes and the fields of a record; true when
    // nothing is but perhaps a code without a character (see QuickCheck).
    bool fullCheck(qsizetype line, QByteArrayView reading, QByteArrayView type1,
                   QByteArrayView& unmapped);
    static QString CheckField(QByteArrayView field, QByteArrayView& unmapped);

    std::optional<Problem> m_badBytes;
    std::optional<Problem> m_badField;
    std::optional<Problem> m_unmapped;
};

// Checks a whole word list and splits its records into the contents of the
// two working files; counts gets the five fields of the counts line. A list is
// refused for bad bytes, a counts line without exactly five counts, fewer or
// more record lines than they announce, and any record the checks refuse.
std::optional<Problem> ParseWordList(const QByteArray& bytes, QList<int>& counts,
                                     QByteArray& type1Bytes, QByteArray& type2Bytes);
