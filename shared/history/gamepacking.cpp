#include "history/gamepacking.h"

#include <limits>

namespace {

// The first byte of the unpacked value: how the rest is laid out.
constexpr char kLayout = 1;

// The first character of the kana block packed a byte each.
constexpr char16_t kKanaBase = 0x3040;

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
    // Nothing as 0; a value as its zigzag form plus one, so that a negative
    // one stays small too.
    void optional(const std::optional<int>& value) { number(value ? Zigzag(*value) + 1 : 0); }
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
    QByteArray bytes() const { return m_bytes; }

private:
    static quint64 Zigzag(qint64 value) {
        return value < 0 ? (quint64(-(value + 1)) << 1) | 1 : quint64(value) << 1;
    }
    QByteArray m_bytes;
};

// Reads what Packer wrote; once a read goes past the end or makes no sense,
// ok() is false and every later read gives 0.
class Unpacker {
public:
    explicit Unpacker(QByteArray bytes) : m_bytes(std::move(bytes)) {}

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
    // A count of things that each take at least a byte: no more than remain.
    qsizetype count() {
        const quint64 value = number();
        if (value > quint64(m_bytes.size() - m_at))
            m_ok = false;
        return m_ok ? qsizetype(value) : 0;
    }
    std::optional<int> optional() {
        const quint64 value = number();
        if (value == 0 || !m_ok)
            return std::nullopt;
        const quint64 zigzag = value - 1;
        const qint64 number = (zigzag & 1) != 0 ? -qint64(zigzag >> 1) - 1 : qint64(zigzag >> 1);
        if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max()) {
            m_ok = false;
            return std::nullopt;
        }
        return int(number);
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
    bool ok() const { return m_ok; }
    bool atEnd() const { return m_at == m_bytes.size(); }

private:
    QByteArray m_bytes;
    qsizetype m_at = 1; // past the layout
    bool m_ok = true;
};

} // namespace

QByteArray PackWords(const QList<WordRecord>& words) {
    Packer packer;
    packer.number(quint64(words.size()));
    for (const WordRecord& word : words) {
        packer.text(word.text);
        packer.optional(word.reactionMs);
        packer.optional(word.completionMs);
        packer.number(quint64(word.kana.size()));
        for (const KanaRecord& kana : word.kana) {
            packer.text(kana.kana);
            packer.text(kana.spelling);
            packer.optional(kana.ms);
            packer.number(quint64(kana.misses.size()));
            for (const KeyMiss& miss : kana.misses) {
                packer.text(miss.expected);
                packer.text(miss.typed);
            }
        }
    }
    return qCompress(kLayout + packer.bytes(), 9);
}

std::optional<QList<WordRecord>> UnpackWords(const QByteArray& packed) {
    const QByteArray bytes = qUncompress(packed);
    if (bytes.isEmpty() || bytes[0] != kLayout)
        return std::nullopt;
    Unpacker unpacker(bytes);
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
