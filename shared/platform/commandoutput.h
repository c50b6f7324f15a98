#pragma once
// What the programs' command lines write: lines on their standard streams,
// and text written where the user named it.

#include "platform/atomicfile.h"

#include <QString>

class QByteArray;
class QIODevice;

// Kept as the file path that stands for standard input or output.
inline const QString kStandardStream = QStringLiteral("-");

// text as a line of UTF-8 (a line end added unless it has one).
void Say(QIODevice& device, const QString& text);

// Writes bytes to out when target is "-", else into the file target,
// replaced in one step. False, with why in Japanese naming the place, when
// it could not be written.
bool WriteToTarget(const QString& target, const QByteArray& bytes, QIODevice& out, QString& why);

// The same for content handed over piece by piece (see ByteSource), never
// held whole: to out as it comes, or into the file target, replaced in one
// step once all of it is written.
bool WriteToTargetStreamed(const QString& target, const ByteSource& produce, QIODevice& out,
                           QString& why);
