#pragma once
// The text fields of a record: each character of a word as its code page 932
// code in hexadecimal, and the checks and look-ups on those codes.

#include "platform/cp932.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <array>
#include <atomic>
#include <optional>

extern QString gHexText; // the last result of EncodeWordText

// The level digit of a "type1" line (its last field); text gets the word.
QString SplitWordRecord(const QString& type1Line, QString& text);
// The first character of text that code page 932 has no code for; empty when
// there is none.
QString UnencodableCharacter(const QString& text);
// False (and gHexText left empty) when a character has no code page 932 code;
// unencodable then names the first such character.
bool EncodeWordText(const QString& text, QString* unencodable = nullptr);

// The value of each byte as a hexadecimal digit; -1 for any other byte.
constexpr std::array<short, 256> kHexDigits = [] {
    std::array<short, 256> digits{};
    for (int b = 0; b < 256; ++b)
        digits[std::size_t(b)] = static_cast<short>(b >= '0' && b <= '9'   ? b - '0'
                                                    : b >= 'A' && b <= 'F' ? b - 'A' + 10
                                                    : b >= 'a' && b <= 'f' ? b - 'a' + 10
                                                                           : -1);
    return digits;
}();

// A code of 16 bits, or the 32-bit sign extension of a negative 16-bit value.
inline bool IsCodeValue(quint32 value) {
    return value <= 0xFFFF || value >= 0xFFFF8000u;
}

// The code of one text field: hexadecimal, at most 16 bits, or the 32-bit
// sign extension of a negative 16-bit value (FFFF82A0 is 82A0).
std::optional<int> ParseCharCode(QByteArrayView field);

// True when a code can stand as one character on its own: a byte that is no
// lead byte, or a lead byte and a trail byte. Codes that pass keep a run of
// bytes split exactly at them.
inline bool IsWholeCode(int code) {
    if (code > 0xFF)
        return IsCp932LeadByte(static_cast<unsigned char>(code >> 8)) &&
               IsTrailByte(static_cast<unsigned char>(code & 0xFF));
    return !IsCp932LeadByte(static_cast<unsigned char>(code));
}

// Appends the bytes of a whole code (high byte first).
void AppendCodeBytes(int code, QByteArray& bytes);

// Whether code page 932 has a character for each whole code: 0 while not yet
// looked up, then 1 or -1. Each code is looked up once, as a list uses few
// distinct codes.
inline std::array<std::atomic<signed char>, 0x10000> gMappedCodes{};

signed char LookUpMappedCode(int code);

// True when code page 932 has a character for a whole code.
inline bool IsMappedCode(int code) {
    signed char answer =
        gMappedCodes[static_cast<std::size_t>(code)].load(std::memory_order_relaxed);
    if (answer == 0) [[unlikely]]
        answer = LookUpMappedCode(code);
    return answer > 0;
}
