#include "history/gamepacking.h"

#include <zlib.h>

#include <array>
#include <limits>
#include <map>
#include <tuple>
#include <utility>

namespace {

// The first byte of the unpacked value: how the rest is laid out. Nested:
// each word with its kana and their misses in turn. Columns: each kind of
// value of every word or kana together, which compresses better.
constexpr char kNested = 1;
constexpr char kColumns = 2;

// The first character of the kana block packed a byte each.
constexpr char16_t kKanaBase = 0x3040;

// Nothing as 0; a value as its zigzag form plus one, so that a negative one
// stays small too.
quint64 OptionalForm(const std::optional<qint64>& value) {
    if (!value)
        return 0;
    const qint64 number = *value;
    return (number < 0 ? (quint64(-(number + 1)) << 1) | 1 : quint64(number) << 1) + 1;
}

// Packs numbers in seven-bit groups, the lowest first, so small ones take a
// byte.
class Packer {
public:
    void number(quint64 value) {
        while (value >= 0x80) {
            m_bytes.append(char(0x80 | (value & 0x7f)));
            value >>= 7;
        }
        m_bytes.append(char(value));
    }
    void byte(quint8 value) { m_bytes.append(char(value)); }
    void optional(const std::optional<qint64>& value) { number(OptionalForm(value)); }
    // A byte a character for ASCII and the kana block (U+3040 to U+30BF),
    // three for any other: most texts are kana or romaji.
    void text(const QString& value) {
        QByteArray packed;
        for (const QChar c : value) {
            const char16_t code = c.unicode();
            if (code >= 0x01 && code < 0x80) {
                packed.append(char(code));
            } else if (code >= kKanaBase && code < kKanaBase + 0x80) {
                packed.append(char(0x80 + (code - kKanaBase)));
            } else {
                packed.append('\0');
                packed.append(char(code >> 8));
                packed.append(char(code & 0xff));
            }
        }
        number(quint64(packed.size()));
        m_bytes.append(packed);
    }
    void append(const Packer& other) { m_bytes.append(other.m_bytes); }
    const QByteArray& bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// Reads what Packer wrote from a place in the bytes; once a read goes past
// the end or makes no sense, ok() is false and every later read gives 0.
class Unpacker {
public:
    Unpacker(const QByteArray& bytes, qsizetype at) : m_bytes(bytes), m_at(at) {}

    quint64 number() {
        quint64 value = 0;
        for (int shift = 0; shift < 64 && m_ok; shift += 7) {
            if (m_at >= m_bytes.size())
                break;
            const auto byte = quint8(m_bytes[m_at++]);
            value |= quint64(byte & 0x7f) << shift;
            if ((byte & 0x80) == 0)
                return value;
        }
        m_ok = false;
        return 0;
    }
    quint8 byte() {
        if (!m_ok || m_at >= m_bytes.size()) {
            m_ok = false;
            return 0;
        }
        return quint8(m_bytes[m_at++]);
    }
    // A count of things that each take at least a byte: no more than remain.
    qsizetype count() {
        const quint64 value = number();
        if (value > quint64(m_bytes.size() - m_at))
            m_ok = false;
        return m_ok ? qsizetype(value) : 0;
    }
    std::optional<int> optional() { return narrow(fromForm(number())); }
    // What Packer::optional wrote of a difference of times: far beyond an
    // int, yet within what adding some ints can give.
    std::optional<qint64> wide() {
        const std::optional<qint64> value = fromForm(number());
        constexpr qint64 kWidest = qint64(1) << 48;
        if (value && (*value < -kWidest || *value > kWidest))
            m_ok = false;
        return m_ok ? value : std::nullopt;
    }
    // A value read as an int; one beyond an int makes no sense.
    std::optional<int> narrow(std::optional<qint64> value) {
        if (value &&
            (*value < std::numeric_limits<int>::min() || *value > std::numeric_limits<int>::max()))
            m_ok = false;
        return value && m_ok ? std::optional<int>(int(*value)) : std::nullopt;
    }
    // The form of Packer::optional read as its low byte here and the rest
    // from high.
    std::optional<int> splitOptional(Unpacker& high) {
        const quint64 low = byte();
        const quint64 rest = high.number();
        if (!high.ok() || rest >> 56 != 0)
            m_ok = false;
        return narrow(fromForm(rest << 8 | low));
    }
    QString text() {
        const qsizetype size = count();
        const qsizetype end = m_at + size;
        QString value;
        while (m_ok && m_at < end) {
            const auto byte = quint8(m_bytes[m_at++]);
            if (byte == 0 && m_at + 2 <= end) {
                value.append(
                    QChar(char16_t((quint8(m_bytes[m_at]) << 8) | quint8(m_bytes[m_at + 1]))));
                m_at += 2;
            } else if (byte == 0) {
                m_ok = false;
            } else {
                value.append(QChar(char16_t(byte < 0x80 ? byte : kKanaBase + (byte - 0x80))));
            }
        }
        return value;
    }
    void fail() { m_ok = false; }
    bool ok() const { return m_ok; }
    qsizetype at() const { return m_at; }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    std::optional<qint64> fromForm(quint64 value) const {
        if (value == 0 || !m_ok)
            return std::nullopt;
        const quint64 zigzag = value - 1;
        return (zigzag & 1) != 0 ? -qint64(zigzag >> 1) - 1 : qint64(zigzag >> 1);
    }

    const QByteArray& m_bytes;
    qsizetype m_at;
    bool m_ok = true;
};

// The kana times of a word added up: a word's first kana counts from the
// word's appearance, so a completed word took exactly this long.
qint64 KanaTime(const WordRecord& word) {
    qint64 sum = 0;
    for (const KanaRecord& kana : word.kana)
        sum += kana.ms.value_or(0);
    return sum;
}

// A word's completion as its difference from its kana times: 0 when it
// agrees with them, as it does in every game played.
std::optional<qint64> CompletionForm(const WordRecord& word) {
    if (!word.completionMs)
        return std::nullopt;
    return qint64(*word.completionMs) - KanaTime(word);
}

std::optional<QList<WordRecord>> UnpackNested(const QByteArray& bytes) {
    Unpacker unpacker(bytes, 1);
    QList<WordRecord> words(unpacker.count());
    for (WordRecord& word : words) {
        word.text = unpacker.text();
        word.reactionMs = unpacker.optional();
        word.completionMs = unpacker.optional();
        word.kana.resize(unpacker.count());
        for (KanaRecord& kana : word.kana) {
            kana.kana = unpacker.text();
            kana.spelling = unpacker.text();
            kana.ms = unpacker.optional();
            kana.misses.resize(unpacker.count());
            for (KeyMiss& miss : kana.misses) {
                miss.expected = unpacker.text();
                miss.typed = unpacker.text();
            }
        }
    }
    if (!unpacker.ok() || !unpacker.atEnd())
        return std::nullopt;
    return words;
}

// Deflates columns into one zlib stream, each column in a block of its own
// so that each gets the codes that fit it; nothing when zlib fails.
std::optional<QByteArray> Deflate(const QList<QByteArray>& columns) {
    z_stream stream{};
    if (deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, MAX_WBITS, MAX_MEM_LEVEL,
                     Z_DEFAULT_STRATEGY) != Z_OK)
        return std::nullopt;
    QByteArray deflated;
    bool ok = true;
    for (qsizetype c = 0; ok && c < columns.size(); ++c) {
        QByteArray column = columns[c];
        stream.next_in = reinterpret_cast<Bytef*>(column.data());
        stream.avail_in = uInt(column.size());
        const int flush = c + 1 < columns.size() ? Z_BLOCK : Z_FINISH;
        int result = Z_OK;
        do {
            std::array<char, 4096> out{};
            stream.next_out = reinterpret_cast<Bytef*>(out.data());
            stream.avail_out = uInt(out.size());
            result = deflate(&stream, flush);
            deflated.append(out.data(), qsizetype(out.size() - stream.avail_out));
        } while (result == Z_OK && (stream.avail_out == 0 || stream.avail_in > 0));
        ok = flush == Z_FINISH ? result == Z_STREAM_END : result == Z_OK || result == Z_BUF_ERROR;
    }
    deflateEnd(&stream);
    return ok ? std::optional<QByteArray>(deflated) : std::nullopt;
}

// What Deflate made, of size bytes; nothing when it does not inflate to
// exactly that.
std::optional<QByteArray> Inflate(QByteArray deflated, qsizetype size) {
    z_stream stream{};
    if (inflateInit(&stream) != Z_OK)
        return std::nullopt;
    QByteArray bytes(size, Qt::Uninitialized);
    stream.next_in = reinterpret_cast<Bytef*>(deflated.data());
    stream.avail_in = uInt(deflated.size());
    stream.next_out = reinterpret_cast<Bytef*>(bytes.data());
    stream.avail_out = uInt(bytes.size());
    const int result = inflate(&stream, Z_FINISH);
    const bool whole = result == Z_STREAM_END && stream.avail_out == 0 && stream.avail_in == 0;
    inflateEnd(&stream);
    return whole ? std::optional<QByteArray>(bytes) : std::nullopt;
}

// The most a game's words unpack to: far beyond any game played.
constexpr quint64 kLargestColumns = 64 << 20;

// The columns in order: the words and their numbers of kana; each word's
// text; each word's reaction and completion (see CompletionForm); the pairs
// of kana and spelling of the game, in order, their kana then their
// spellings; each kana's pair; each kana's number of misses; the misses; the
// low byte of each kana's time; the rest of each.
QList<QByteArray> PackColumns(const QList<WordRecord>& words) {
    std::map<std::pair<QString, QString>, quint64> pairNumbers;
    for (const WordRecord& word : words) {
        for (const KanaRecord& kana : word.kana)
            pairNumbers.emplace(std::pair(kana.kana, kana.spelling), 0);
    }
    Packer pairKana;
    Packer pairSpellings;
    pairKana.number(quint64(pairNumbers.size()));
    quint64 next = 0;
    for (auto& [pair, number] : pairNumbers) {
        number = next++;
        pairKana.text(pair.first);
        pairSpellings.text(pair.second);
    }
    Packer counts;
    Packer texts;
    Packer times;
    Packer kanaPairs;
    Packer missCounts;
    Packer misses;
    Packer lowMs;
    Packer highMs;
    counts.number(quint64(words.size()));
    for (const WordRecord& word : words) {
        counts.number(quint64(word.kana.size()));
        texts.text(word.text);
        times.optional(word.reactionMs ? std::optional<qint64>(*word.reactionMs) : std::nullopt);
        times.optional(CompletionForm(word));
        for (const KanaRecord& kana : word.kana) {
            kanaPairs.number(pairNumbers.at({kana.kana, kana.spelling}));
            missCounts.number(quint64(kana.misses.size()));
            for (const KeyMiss& miss : kana.misses) {
                misses.text(miss.expected);
                misses.text(miss.typed);
            }
            const quint64 form =
                OptionalForm(kana.ms ? std::optional<qint64>(*kana.ms) : std::nullopt);
            lowMs.byte(quint8(form & 0xff));
            highMs.number(form >> 8);
        }
    }
    QList<QByteArray> columns;
    for (const Packer* column : {&counts, &texts, &times, &pairKana, &pairSpellings, &kanaPairs,
                                 &missCounts, &misses, &lowMs, &highMs})
        columns.append(column->bytes());
    return columns;
}

std::optional<QList<WordRecord>> UnpackColumns(const QByteArray& bytes) {
    Unpacker unpacker(bytes, 0);
    QList<WordRecord> words(unpacker.count());
    qsizetype kanaCount = 0;
    for (WordRecord& word : words) {
        const qsizetype count = unpacker.count();
        // Each kana takes at least three bytes further on.
        kanaCount += count;
        if (kanaCount > bytes.size())
            return std::nullopt;
        word.kana.resize(count);
    }
    for (WordRecord& word : words)
        word.text = unpacker.text();
    QList<std::optional<qint64>> completions;
    for (WordRecord& word : words) {
        word.reactionMs = unpacker.optional();
        completions.append(unpacker.wide());
    }
    QList<std::pair<QString, QString>> pairs(unpacker.count());
    for (auto& pair : pairs)
        pair.first = unpacker.text();
    for (auto& pair : pairs)
        pair.second = unpacker.text();
    for (WordRecord& word : words) {
        for (KanaRecord& kana : word.kana) {
            const quint64 pair = unpacker.number();
            if (pair >= quint64(pairs.size()))
                return std::nullopt;
            std::tie(kana.kana, kana.spelling) = pairs[qsizetype(pair)];
        }
    }
    for (WordRecord& word : words) {
        for (KanaRecord& kana : word.kana)
            kana.misses.resize(unpacker.count());
    }
    for (WordRecord& word : words) {
        for (KanaRecord& kana : word.kana) {
            for (KeyMiss& miss : kana.misses) {
                miss.expected = unpacker.text();
                miss.typed = unpacker.text();
            }
        }
    }
    Unpacker high(bytes, unpacker.at() + kanaCount);
    for (WordRecord& word : words) {
        for (KanaRecord& kana : word.kana)
            kana.ms = unpacker.splitOptional(high);
    }
    for (qsizetype w = 0; w < words.size(); ++w) {
        if (completions[w])
            words[w].completionMs = unpacker.narrow(*completions[w] + KanaTime(words[w]));
    }
    if (!unpacker.ok() || !high.ok() || !high.atEnd())
        return std::nullopt;
    return words;
}

} // namespace

// A value packed in columns: the layout, the size of the columns, then the
// columns deflated. A value packed nested is as qCompress makes it: its
// first byte, the highest of its size, is 0.
QByteArray PackWords(const QList<WordRecord>& words) {
    const QList<QByteArray> columns = PackColumns(words);
    Packer header;
    header.byte(kColumns);
    quint64 size = 0;
    for (const QByteArray& column : columns)
        size += quint64(column.size());
    header.number(size);
    const std::optional<QByteArray> deflated = Deflate(columns);
    return deflated ? header.bytes() + *deflated : QByteArray();
}

std::optional<QList<WordRecord>> UnpackWords(const QByteArray& packed) {
    if (packed.startsWith(kColumns)) {
        Unpacker header(packed, 1);
        const quint64 size = header.number();
        if (!header.ok() || size > kLargestColumns)
            return std::nullopt;
        const std::optional<QByteArray> bytes = Inflate(packed.mid(header.at()), qsizetype(size));
        return bytes ? UnpackColumns(*bytes) : std::nullopt;
    }
    const QByteArray bytes = qUncompress(packed);
    if (bytes.isEmpty() || bytes[0] != kNested)
        return std::nullopt;
    return UnpackNested(bytes);
}
