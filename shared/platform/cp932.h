#pragma once
// Code page 932 (Shift-JIS), the encoding of every file the programs keep:
// text to bytes and back, checks, and the code of one character.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

// Encodes text as code page 932; returns nothing when a character has no code
// there (an emoji, a kanji outside the code page).
std::optional<QByteArray> EncodeCp932(const QString& text);
// Decodes code page 932 bytes; bytes that are not valid become U+FFFD.
QString DecodeCp932(const QByteArray& bytes);
// True when the bytes are well-formed code page 932.
bool IsValidCp932(QByteArrayView bytes);
// The code of one character (one or two bytes, high byte first), or -1 when
// the character has no code in code page 932.
int Cp932Code(const QString& character);
// True when the byte starts a double-byte character.
inline bool IsCp932LeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
// True when the byte can follow a lead byte as the second of a character.
inline bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
