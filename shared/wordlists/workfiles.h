#pragma once
// The working files "type1" and "type2" in the program folder: their paths,
// the words they hold, and the stamp that ties them to the word list they
// were made from.

#include "wordlists/wordlimits.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>
#include <utility>

extern QString gType1Path; // working file "type1"
extern QString gType2Path; // working file "type2"

void SetWorkFilePaths();

// The words of a list as the working files hold them: the count of each level
// and the contents of "type1" (text fields and level) and "type2" (reading
// codes), one line per word, each line ended by CR LF.
struct WordRecords {
    std::array<int, kLevels> counts{};
    QByteArray type1;
    QByteArray type2;

    int total() const;
    // The counts as the counts line and MessageClass write them ("2,0,1,0,0").
    QByteArray countsText() const;
    // Takes line n (from 1) out of both files; the "type1" line comes back.
    QByteArray takeRecord(int n);
    // Line n (from 1) of both files, without their ends; nothing past the end.
    std::optional<std::pair<QByteArray, QByteArray>> record(int n) const;
    // The lines (from 1) that hold exactly this record, at most the first two.
    QList<int> findRecord(QByteArrayView type1Line, QByteArrayView type2Line) const;
    // A fingerprint of the words: the same words give the same, and any change
    // of them another.
    QByteArray version() const;
    // The word list file that holds these words.
    QByteArray listBytes() const;
};

// Reads both working files; false when either cannot be read.
bool ReadWorkFiles(WordRecords& records);

// What FileInfo "STAMP" keeps: a fingerprint of the word list's bytes, of the
// counts as MessageClass holds them and of both working files. Working files
// whose stamp matches were made from exactly that list and hold all its words.
QByteArray WorkFilesStamp(const QByteArray& listBytes, const QByteArray& countsText,
                          const QByteArray& type1, const QByteArray& type2);

// True when the working files hold list name, whose file is listPath, as it
// is now: FileInfo NAME names it and FileInfo STAMP matches the list's bytes,
// the MessageClass counts and both working files; counts then gets the
// counts. While none of those files has changed since it last said so, it
// answers without reading them.
bool WorkFilesHold(const QString& name, const QString& listPath, std::array<int, kLevels>& counts);
// Remembers that the working files hold list name with these counts, as the
// files are now (just written with their stamp); saved tells that the list's
// file is exactly what the working files make. An empty name forgets.
void VouchForWorkFiles(const QString& name, const QString& listPath,
                       const std::array<int, kLevels>& counts, bool saved);
// True when nothing changed since VouchForWorkFiles said the list's file is
// what the working files make: a save would write the same bytes.
bool ListIsSaved(const QString& name, const QString& listPath);
