#pragma once
// MeCab's analysis of a text: its parts with the dictionary's features.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

// The IPA dictionary's features: part of speech, its subclass, ..., the
// reading in katakana at index 7.
constexpr qsizetype kReadingField = 7;

// One part of an analysis: its text, whether the dictionary knows it, and the
// dictionary's features.
struct Morpheme {
    QString surface;
    bool known = false;
    QList<QByteArray> features;
};
using Analysis = QList<Morpheme>;

// True for a noun of any kind: the features' part of speech is 名詞.
inline bool IsNoun(const Morpheme& part) {
    return !part.features.isEmpty() && part.features[0] == "名詞";
}

// A sounding part of an analysis with its reading in katakana, as the rules
// that respell a word's reading pass it along.
struct Sound {
    const Morpheme* part;
    QString reading;
};

// The katakana readings the dictionary gives a text as it stands, best first;
// the choice of a reading asks it about parts of a word.
using ReadingLookup = std::function<QStringList(const QString& text)>;
