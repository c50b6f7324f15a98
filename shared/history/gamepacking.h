#pragma once
// A game's words, kana and missed keys packed into one compressed value,
// the way the history keeps them: a game of 45 words takes about a kilobyte
// instead of some 300 rows.

#include "play/gamerecord.h"

#include <QByteArray>
#include <QList>

#include <optional>

// The words of a game (WordRecord and all it holds), packed.
QByteArray PackWords(const QList<WordRecord>& words);

// The words packed by PackWords; nothing when packed is damaged or was not
// made so.
std::optional<QList<WordRecord>> UnpackWords(const QByteArray& packed);
