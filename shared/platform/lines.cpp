#include "platform/lines.h"

#include <QtGlobal>

#include <bit>

qsizetype FindLineEnd(QByteArrayView bytes, qsizetype from) {
    constexpr quint64 kOnes = 0x0101010101010101u;
    constexpr quint64 kHighs = 0x8080808080808080u;
    const char* const data = bytes.data();
    const qsizetype size = bytes.size();
    qsizetype i = from;
    for (; i + 8 <= size; i += 8) {
        quint64 word;
        std::memcpy(&word, data + i, 8);
        // A byte of cr or lf is zero where the word has a CR or LF; the lowest
        // high bit of hits marks the first of them.
        const quint64 cr = word ^ (kOnes * '\r');
        const quint64 lf = word ^ (kOnes * '\n');
        const quint64 hits = (((cr - kOnes) & ~cr) | ((lf - kOnes) & ~lf)) & kHighs;
        if (hits == 0)
            continue;
        if constexpr (std::endian::native == std::endian::little)
            return i + std::countr_zero(hits) / 8;
        break;
    }
    for (; i < size; ++i) {
        if (data[i] == '\r' || data[i] == '\n')
            return i;
    }
    return size;
}
