#pragma once
// A game's words, kana and missed keys packed into one compressed value,
// the way the history keeps them: a game of 45 words takes about 1.3 KB
// instead of some 300 rows. Each kind of value (the words' texts, their
// times, the kana with their spellings, the misses, the kana's times) lies
// together, which compresses best; values packed before, each word with its
// kana in turn, still unpack.

#include "play/gamerecord.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The words of a game (WordRecord and all it holds), packed; empty when
// zlib fails, which only a want of memory makes it do.
QByteArray PackWords(const QList<WordRecord>& words);

// The words packed by PackWords; nothing when packed is damaged or was not
// made so.
std::optional<QList<WordRecord>> UnpackWords(const QByteArray& packed);
