#include "platform/cp932.h"

#include <array>
#include <cerrno>
#include <vector>

#include <iconv.h>

namespace {

// One iconv conversion descriptor, closed when it goes out of scope.
class Converter {
public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // iconv_open says it failed with (iconv_t) -1.
    bool valid() const {
        return m_cd != reinterpret_cast<iconv_t>(-1); // NOLINT(performance-no-int-to-ptr)
    }
    iconv_t get() const { return m_cd; }

private:
    iconv_t m_cd;
};

enum class ConvertResult { Ok, Invalid, Incomplete };

// Converts as much of in as possible, appending to out. Stops at the first
// byte sequence that has no conversion and leaves in pointing at it.
ConvertResult ConvertChunk(iconv_t cd, char*& in, size_t& inLeft, QByteArray& out) {
    char buffer[1024];
    while (inLeft > 0) {
        char* outPtr = buffer;
        size_t outLeft = sizeof buffer;
        const size_t rc = iconv(cd, &in, &inLeft, &outPtr, &outLeft);
        out.append(buffer, static_cast<qsizetype>(outPtr - buffer));
        if (rc != static_cast<size_t>(-1))
            continue;
        if (errno == E2BIG)
            continue;
        return errno == EINVAL ? ConvertResult::Incomplete : ConvertResult::Invalid;
    }
    return ConvertResult::Ok;
}

bool IsAscii(const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() >= 0x80)
            return false;
    }
    return true;
}

bool IsAscii(const QByteArray& bytes) {
    for (const char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

// The converter from UTF-8 to code page 932, opened once per thread and reset
// before each use: opening one costs far more than converting a short text.
const Converter& EncodeConverter() {
    thread_local const Converter cd("CP932", "UTF-8");
    if (cd.valid())
        iconv(cd.get(), nullptr, nullptr, nullptr, nullptr);
    return cd;
}

// Code page 932 as the C library's converter decodes it, tabulated once per
// run: what each byte is on its own and the character of every two-byte code.
// Decoding and checking then cost a look-up per byte, and give exactly what
// the converter gives, unmapped codes included.
class Cp932Table {
public:
    enum class Kind : unsigned char { Invalid, Single, Lead };

    static const Cp932Table& Get() {
        static const Cp932Table table;
        return table;
    }

    // False when the converter is missing: then no bytes are valid.
    bool usable() const { return m_usable; }
    Kind kind(unsigned char b) const { return m_kind[b]; }
    // The character of a byte of kind Single.
    QChar single(unsigned char b) const { return QChar(m_single[b]); }
    // The character of a lead byte and the byte after it; 0 when they have none.
    char16_t pair(unsigned char lead, unsigned char trail) const {
        return m_pairs[static_cast<std::size_t>(lead) << 8 | trail];
    }

private:
    Cp932Table() {
        const Converter cd("UTF-16LE", "CP932");
        m_usable = cd.valid();
        if (!m_usable)
            return;
        for (int b = 0; b < 256; ++b) {
            char one[] = {static_cast<char>(b)};
            char16_t c = 0;
            const ConvertResult result = Probe(cd.get(), one, 1, c);
            m_kind[b] = result == ConvertResult::Ok           ? Kind::Single
                        : result == ConvertResult::Incomplete ? Kind::Lead
                                                              : Kind::Invalid;
            m_single[b] = c;
        }
        for (int lead = 0; lead < 256; ++lead) {
            if (m_kind[lead] != Kind::Lead)
                continue;
            for (int trail = 0; trail < 256; ++trail) {
                char two[] = {static_cast<char>(lead), static_cast<char>(trail)};
                char16_t c = 0;
                if (Probe(cd.get(), two, 2, c) == ConvertResult::Ok)
                    m_pairs[static_cast<std::size_t>(lead) << 8 | trail] = c;
            }
        }
    }

    // Decodes the bytes of one character; c is the character when the answer
    // is Ok, which it is only when they make exactly one character of the
    // basic plane (and, for a pair, not U+0000, which marks no character).
    static ConvertResult Probe(iconv_t cd, char* bytes, size_t size, char16_t& c) {
        char* inPtr = bytes;
        size_t inLeft = size;
        unsigned char out[8];
        char* outPtr = reinterpret_cast<char*>(out);
        size_t outLeft = sizeof out;
        if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1)) {
            const ConvertResult result =
                errno == EINVAL ? ConvertResult::Incomplete : ConvertResult::Invalid;
            iconv(cd, nullptr, nullptr, nullptr, nullptr); // the next probe starts afresh
            return result;
        }
        c = static_cast<char16_t>(out[0] | out[1] << 8);
        const bool one = inLeft == 0 && sizeof out - outLeft == 2;
        return one && !QChar::isSurrogate(c) && (size == 1 || c != 0) ? ConvertResult::Ok
                                                                      : ConvertResult::Invalid;
    }

    bool m_usable = false;
    std::array<Kind, 256> m_kind{};
    std::array<char16_t, 256> m_single{};
    std::vector<char16_t> m_pairs = std::vector<char16_t>(65536);
};
} // namespace

std::optional<QByteArray> EncodeCp932(const QString& text) {
    // Code page 932 holds no character outside the basic plane; checking here
    // also keeps a lone surrogate from turning into "?" on the way to UTF-8.
    for (const QChar c : text) {
        if (c.isSurrogate())
            return std::nullopt;
    }
    if (IsAscii(text))
        return text.toLatin1(); // ASCII is the same here, backslash and tilde included
    QByteArray utf8 = text.toUtf8();
    const Converter& cd = EncodeConverter();
    if (!cd.valid())
        return std::nullopt;
    char* in = utf8.data();
    size_t inLeft = static_cast<size_t>(utf8.size());
    QByteArray out;
    out.reserve(utf8.size());
    if (ConvertChunk(cd.get(), in, inLeft, out) != ConvertResult::Ok)
        return std::nullopt;
    return out;
}

QString DecodeCp932(const QByteArray& bytes) {
    if (IsAscii(bytes))
        return QString::fromLatin1(bytes);
    const Cp932Table& table = Cp932Table::Get();
    QString text;
    text.reserve(bytes.size());
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p++;
        switch (table.kind(b)) {
        case Cp932Table::Kind::Single:
            text += table.single(b);
            break;
        case Cp932Table::Kind::Lead:
            // A pair without a character costs only its first byte: the byte
            // after it is read again on its own.
            if (p < end && table.pair(b, *p) != 0)
                text += QChar(table.pair(b, *p++));
            else
                text += QChar(QChar::ReplacementCharacter);
            break;
        case Cp932Table::Kind::Invalid:
            text += QChar(QChar::ReplacementCharacter);
            break;
        }
    }
    return text;
}

bool IsValidCp932(QByteArrayView bytes) {
    const Cp932Table& table = Cp932Table::Get();
    if (!table.usable())
        return false;
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const auto* const end = p + bytes.size();
    while (p < end) {
        const unsigned char b = *p++;
        const Cp932Table::Kind kind = table.kind(b);
        if (kind == Cp932Table::Kind::Single)
            continue;
        if (kind == Cp932Table::Kind::Invalid || p == end || table.pair(b, *p++) == 0)
            return false;
    }
    return true;
}

int Cp932Code(const QString& character) {
    if (character.size() != 1)
        return -1;
    const std::optional<QByteArray> bytes = EncodeCp932(character);
    if (!bytes)
        return -1;
    if (bytes->size() == 1)
        return static_cast<unsigned char>(bytes->at(0));
    if (bytes->size() == 2)
        return (static_cast<unsigned char>(bytes->at(0)) << 8) |
               static_cast<unsigned char>(bytes->at(1));
    return -1;
}
