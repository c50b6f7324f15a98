#include "wordfile.h"

#include "atomicfile.h"
#include "config.h"
#include "cp932.h"
#include "platform.h"
#include "profile.h"

#include <QByteArrayView>
#include <QDir>

#include <algorithm>
#include <array>
#include <atomic>
#include <bit>
#include <cmath>
#include <cstring>
#include <optional>

QStringList gDatFiles{QString()};
std::int16_t gDatFileCount = 0;
QString gWordFile;
QString gType1Path;
QString gType2Path;
std::array<std::int16_t, 6> gClassCount{};
std::array<QString, 119> gKana;
std::array<QString, 5> gClassCountText;
QString gHexText;
QString gKanaCodes;

namespace {

ProgramKind gProgramKind = ProgramKind::Game;

constexpr int kMaxCount = 32767; // files, records and counts are 16-bit
constexpr int kLastKanaCode = 118;
constexpr int kLevels = 5;
const char* const kLevelKeys[kLevels] = {"A", "B", "C", "D", "E"};

// The kana of codes 1..118, in code order.
constexpr const char16_t* kKanaTable[kLastKanaCode] = {
    u"あ",   u"い",   u"う",   u"え",   u"お",   u"か",   u"き",   u"く",   u"け",   u"こ",
    u"さ",   u"し",   u"す",   u"せ",   u"そ",   u"た",   u"ち",   u"つ",   u"て",   u"と",
    u"な",   u"に",   u"ぬ",   u"ね",   u"の",   u"は",   u"ひ",   u"ふ",   u"へ",   u"ほ",
    u"ま",   u"み",   u"む",   u"め",   u"も",   u"や",   u"ゆ",   u"よ",   u"ら",   u"り",
    u"る",   u"れ",   u"ろ",   u"わ",   u"を",   u"ん",   u"が",   u"ぎ",   u"ぐ",   u"げ",
    u"ご",   u"ざ",   u"じ",   u"ず",   u"ぜ",   u"ぞ",   u"だ",   u"ぢ",   u"づ",   u"で",
    u"ど",   u"ば",   u"び",   u"ぶ",   u"べ",   u"ぼ",   u"ぱ",   u"ぴ",   u"ぷ",   u"ぺ",
    u"ぽ",   u"きゃ", u"きゅ", u"きょ", u"しゃ", u"しゅ", u"しょ", u"ちゃ", u"ちゅ", u"ちょ",
    u"にゃ", u"にゅ", u"にょ", u"ひゃ", u"ひゅ", u"ひょ", u"みゃ", u"みゅ", u"みょ", u"りゃ",
    u"りゅ", u"りょ", u"ぎゃ", u"ぎゅ", u"ぎょ", u"じゃ", u"じゅ", u"じょ", u"ぢゃ", u"ぢゅ",
    u"ぢょ", u"びゃ", u"びゅ", u"びょ", u"ぴゃ", u"ぴゅ", u"ぴょ", u"っ",   u"ふぁ", u"ふぃ",
    u"ふぇ", u"ふぉ", u"ー",   u"ぁ",   u"ぃ",   u"ぅ",   u"ぇ",   u"ぉ",
};

QString Key(int level) {
    return QString::fromLatin1(kLevelKeys[level]);
}

// ---- Lines and fields -------------------------------------------------------

// The offset of the first CR or LF in bytes at or after from; the size when
// there is none. Eight bytes are looked at a time.
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

// Walks the lines of file content. CR LF, LF and a lone CR each end a line; a
// last line without an end still counts. Neither CR nor LF can be the second
// byte of a double-byte character, so splitting the raw bytes is safe.
class LineReader {
public:
    explicit LineReader(QByteArrayView bytes) : m_bytes(bytes) {}

    // The next line, without its end; false when there is none.
    bool next(QByteArrayView& line) {
        const qsizetype size = m_bytes.size();
        if (m_pos == size)
            return false;
        const qsizetype end = FindLineEnd(m_bytes, m_pos);
        line = m_bytes.sliced(m_pos, end - m_pos);
        m_crLf = end + 1 < size && m_bytes[end] == '\r' && m_bytes[end + 1] == '\n';
        m_pos = std::min(end + (m_crLf ? 2 : 1), size);
        ++m_count;
        return true;
    }

    // Whether the line last read ended in CR LF.
    bool endedInCrLf() const { return m_crLf; }
    // Where the next line starts: the offset just after the end of the last.
    qsizetype position() const { return m_pos; }

    // Reads the remaining lines; the number of lines in all.
    qsizetype countAll() {
        QByteArrayView unused;
        while (next(unused)) {
        }
        return m_count;
    }

private:
    QByteArrayView m_bytes;
    qsizetype m_pos = 0;
    qsizetype m_count = 0;
    bool m_crLf = false;
};

// Builds file content line by line, each line ended by CR LF, in storage
// given to it: sized once for the expected length, it grows only past that.
class LineWriter {
public:
    LineWriter(QByteArray& storage, qsizetype expected) : m_bytes(storage) {
        m_bytes.resize(std::max<qsizetype>(expected, 16));
    }
    LineWriter(const LineWriter&) = delete;
    LineWriter& operator=(const LineWriter&) = delete;
    // The storage holds exactly what was written.
    ~LineWriter() { m_bytes.resize(m_size); }

    void line(QByteArrayView text) {
        char* p = reserve(text.size() + 2);
        p = Put(p, text);
        Put(p, "\r\n");
    }
    // first, the separator and second, as one line.
    void line(QByteArrayView first, char separator, QByteArrayView second) {
        char* p = reserve(first.size() + second.size() + 3);
        p = Put(p, first);
        *p++ = separator;
        p = Put(p, second);
        Put(p, "\r\n");
    }

    // Bytes as they stand, with no line end added.
    void raw(QByteArrayView bytes) { Put(reserve(bytes.size()), bytes); }

private:
    // Room for n more bytes; where they go. The size counts them already.
    char* reserve(qsizetype n) {
        if (m_size + n > m_bytes.size())
            m_bytes.resize(std::max(m_bytes.size() * 2, m_size + n));
        char* p = m_bytes.data() + m_size;
        m_size += n;
        return p;
    }
    static char* Put(char* p, QByteArrayView text) {
        if (!text.isEmpty())
            std::memcpy(p, text.data(), std::size_t(text.size()));
        return p + text.size();
    }

    QByteArray& m_bytes;
    qsizetype m_size = 0;
};

// A word count: a whole number from 0 to 32767, read leniently.
std::optional<int> ParseCount(const QString& text) {
    const double value = ParseNumber(text);
    if (!(value >= 0 && value <= kMaxCount) || value != std::floor(value))
        return std::nullopt;
    return static_cast<int>(value);
}

bool IsTrailByte(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

// The value of each byte as a hexadecimal digit; -1 for any other byte.
constexpr std::array<signed char, 256> kHexDigits = [] {
    std::array<signed char, 256> digits{};
    for (int b = 0; b < 256; ++b)
        digits[std::size_t(b)] = static_cast<signed char>(b >= '0' && b <= '9'   ? b - '0'
                                                          : b >= 'A' && b <= 'F' ? b - 'A' + 10
                                                          : b >= 'a' && b <= 'f' ? b - 'a' + 10
                                                                                 : -1);
    return digits;
}();

// A code of 16 bits, or the 32-bit sign extension of a negative 16-bit value.
bool IsCodeValue(quint32 value) {
    return value <= 0xFFFF || value >= 0xFFFF8000u;
}

// The code of one text field: hexadecimal, at most 16 bits, or the 32-bit
// sign extension of a negative 16-bit value (FFFF82A0 is 82A0).
std::optional<int> ParseCharCode(QByteArrayView field) {
    if (field.isEmpty() || field.size() > 8)
        return std::nullopt;
    quint32 value = 0;
    for (const char c : field) {
        const int digit = kHexDigits[static_cast<unsigned char>(c)];
        if (digit < 0)
            return std::nullopt;
        value = value << 4 | quint32(digit);
    }
    return IsCodeValue(value) ? std::optional<int>(value & 0xFFFF) : std::nullopt;
}

// True when a code can stand as one character on its own: a byte that is no
// lead byte, or a lead byte and a trail byte. Codes that pass keep a run of
// bytes split exactly at them.
bool IsWholeCode(int code) {
    if (code > 0xFF)
        return IsCp932LeadByte(static_cast<unsigned char>(code >> 8)) &&
               IsTrailByte(static_cast<unsigned char>(code & 0xFF));
    return !IsCp932LeadByte(static_cast<unsigned char>(code));
}

// Appends the bytes of a whole code (high byte first).
void AppendCodeBytes(int code, QByteArray& bytes) {
    if (code > 0xFF)
        bytes.append(static_cast<char>(code >> 8));
    bytes.append(static_cast<char>(code & 0xFF));
}

// Whether code page 932 has a character for each whole code: 0 while not yet
// looked up, then 1 or -1. Each code is looked up once, as a list uses few
// distinct codes.
std::array<std::atomic<signed char>, 0x10000> gMappedCodes{};

signed char LookUpMappedCode(int code) {
    QByteArray bytes;
    AppendCodeBytes(code, bytes);
    const signed char answer = IsValidCp932(bytes) ? 1 : -1;
    gMappedCodes[static_cast<std::size_t>(code)].store(answer, std::memory_order_relaxed);
    return answer;
}

// True when code page 932 has a character for a whole code.
bool IsMappedCode(int code) {
    signed char answer =
        gMappedCodes[static_cast<std::size_t>(code)].load(std::memory_order_relaxed);
    if (answer == 0) [[unlikely]]
        answer = LookUpMappedCode(code);
    return answer > 0;
}

bool IsValid(QByteArrayView bytes) {
    return IsValidCp932(QByteArray::fromRawData(bytes.data(), bytes.size()));
}

// ---- Checking records --------------------------------------------------------

const QString kBadBytes = QStringLiteral("シフトJISとして読めないバイトがあります。");

QString NotACharacter(QByteArrayView field) {
    return QStringLiteral("文字コード「%1」はシフトJISの文字ではありません。")
        .arg(QString::fromLatin1(field));
}

// Why a reading field cannot be used, or an empty text.
QString CheckReading(QByteArrayView reading) {
    for (const char c : reading) {
        if (c < '0' || c > '9')
            return QStringLiteral("読みの欄に数字でない文字があります。");
    }
    for (qsizetype i = 0; i + 3 <= reading.size(); i += 3) {
        const int code =
            (reading[i] - '0') * 100 + (reading[i + 1] - '0') * 10 + reading[i + 2] - '0';
        if (code > kLastKanaCode)
            return QStringLiteral("読みのかなコード「%1」が118を超えています。")
                .arg(QString::fromLatin1(reading.sliced(i, 3)));
    }
    return QString();
}

// Calls f(field) for the text fields of a "type1" line: all fields but the
// last, the level. Stops at, and returns, the first non-empty answer.
template <typename F> QString ForEachTextField(QByteArrayView type1, F f) {
    qsizetype start = 0;
    for (qsizetype i = 0; i < type1.size(); ++i) {
        if (type1[i] != ',')
            continue;
        QString why = f(type1.sliced(start, i - start));
        if (!why.isEmpty())
            return why;
        start = i + 1;
    }
    return QString();
}

// True when every ASCII byte is a character of code page 932 on its own, as
// the quick record check takes for granted.
bool AsciiIsCp932() {
    static const bool ascii = [] {
        QByteArray bytes(0x80, '\0');
        for (int b = 0; b < 0x80; ++b)
            bytes[b] = static_cast<char>(b);
        return IsValidCp932(bytes);
    }();
    return ascii;
}

// The check of a record that is ASCII and well-formed, as nearly every record
// is, in one pass over its bytes: true when nothing is wrong with it but
// perhaps a code the code page has no character for; unmapped is then the
// first field with such a code, if any. False leaves the record to the full
// check, which tells what is wrong.
bool QuickCheck(QByteArrayView reading, QByteArrayView type1, QByteArrayView& unmapped) {
    const auto* r = reinterpret_cast<const unsigned char*>(reading.data());
    const qsizetype n = reading.size();
    qsizetype i = 0;
    for (; i + 3 <= n; i += 3) {
        const unsigned d0 = r[i] - unsigned('0');
        const unsigned d1 = r[i + 1] - unsigned('0');
        const unsigned d2 = r[i + 2] - unsigned('0');
        if ((d0 > 9) | (d1 > 9) | (d2 > 9) || d0 * 100 + d1 * 10 + d2 > kLastKanaCode)
            return false;
    }
    for (; i < n; ++i) {
        if (r[i] - unsigned('0') > 9)
            return false;
    }

    const auto* p = reinterpret_cast<const unsigned char*>(type1.data());
    const auto* const end = p + type1.size();
    for (;;) {
        const auto* const start = p;
        quint32 value = 0;
        int digits = 0; // a byte that is no hexadecimal digit makes this negative
        if (end - p > 4 && p[4] == ',') {
            // Four digits, as most characters of a word are written.
            for (int k = 0; k < 4; ++k) {
                const int digit = kHexDigits[p[k]];
                digits |= digit;
                value = value << 4 | quint32(digit);
            }
            p += 4;
        } else {
            for (; p < end && *p != ','; ++p) {
                const int digit = kHexDigits[*p];
                digits |= digit;
                value = value << 4 | quint32(digit);
            }
            if (p == end) // the level, after the last comma, may be any ASCII
                return std::all_of(start, end, [](unsigned char b) { return b < 0x80; });
        }
        const auto length = p - start;
        const int code = int(value & 0xFFFF);
        if (digits < 0 || length < 1 || length > 8 || !IsCodeValue(value) || !IsWholeCode(code))
            return false;
        if (unmapped.isEmpty() && !IsMappedCode(code))
            unmapped = QByteArrayView(reinterpret_cast<const char*>(start), length);
        ++p;
    }
}

struct Problem {
    qsizetype line = 0;
    QString why;
};

// Checks records one at a time and tells the problem a list is refused for:
// the first record whose bytes are not code page 932; failing that, the first
// malformed field; failing that, the first code the code page has no
// character for.
class RecordCheck {
public:
    // reading: the reading field; type1: the text fields and the level.
    void add(qsizetype line, QByteArrayView reading, QByteArrayView type1) {
        if (m_badBytes)
            return; // nothing found later can count for more
        QByteArrayView unmapped;
        if (m_badField || !AsciiIsCp932() || !QuickCheck(reading, type1, unmapped)) {
            if (!fullCheck(line, reading, type1, unmapped))
                return;
        }
        if (!m_unmapped && !unmapped.isEmpty())
            m_unmapped = Problem{line, NotACharacter(unmapped)};
    }

    std::optional<Problem> problem() const {
        return m_badBytes ? m_badBytes : m_badField ? m_badField : m_unmapped;
    }

private:
    // Finds what is wrong with the bytes and the fields of a record; true when
    // nothing is but perhaps a code without a character (see QuickCheck).
    bool fullCheck(qsizetype line, QByteArrayView reading, QByteArrayView type1,
                   QByteArrayView& unmapped) {
        if (!IsValid(reading) || !IsValid(type1)) {
            m_badBytes = Problem{line, kBadBytes};
            return false;
        }
        if (m_badField)
            return false;
        QString why = CheckReading(reading);
        if (why.isEmpty())
            why = ForEachTextField(
                type1, [&unmapped](QByteArrayView field) { return CheckField(field, unmapped); });
        if (!why.isEmpty()) {
            m_badField = Problem{line, why};
            return false;
        }
        return true;
    }

    static QString CheckField(QByteArrayView field, QByteArrayView& unmapped) {
        if (field.isEmpty())
            return QStringLiteral("文字の欄が空です。");
        const std::optional<int> code = ParseCharCode(field);
        if (!code)
            return QStringLiteral("文字の欄「%1」が16進数の文字コードではありません。")
                .arg(QString::fromLatin1(field));
        if (!IsWholeCode(*code))
            return NotACharacter(field);
        if (unmapped.isEmpty() && !IsMappedCode(*code))
            unmapped = field;
        return QString();
    }

    std::optional<Problem> m_badBytes;
    std::optional<Problem> m_badField;
    std::optional<Problem> m_unmapped;
};

// Checks a whole word list and splits its records into the contents of the
// two working files; counts gets every field of the counts line.
std::optional<Problem> ParseWordList(const QByteArray& bytes, QList<int>& counts,
                                     QByteArray& type1Bytes, QByteArray& type2Bytes) {
    // Each working file is shorter than the list, unless its lines end in a
    // lone CR or LF.
    LineWriter type1(type1Bytes, bytes.size());
    LineWriter type2(type2Bytes, bytes.size());
    if (bytes.isEmpty()) { // a new, empty file is an empty list
        counts = QList<int>(kLevels, 0);
        return std::nullopt;
    }
    LineReader lines(bytes);
    QByteArrayView first;
    lines.next(first); // content that is not empty has a first line
    const QByteArray countsLine = first.toByteArray();
    if (!IsValidCp932(countsLine))
        return Problem{1, kBadBytes};
    const QStringList fields = DecodeCp932(countsLine).split(QLatin1Char(','));
    if (fields.size() < kLevels)
        return Problem{1, QStringLiteral("件数の行の欄が5つより少なくなっています。")};
    qint64 total = 0;
    for (const QString& field : fields) {
        const std::optional<int> count = ParseCount(field);
        if (!count)
            return Problem{1, QStringLiteral("件数「%1」が0から32767までの整数ではありません。")
                                  .arg(field.trimmed())};
        counts.append(*count);
        total += *count;
    }
    if (total > kMaxCount)
        return Problem{1, QStringLiteral("単語の数が32767を超えています。")};

    RecordCheck check;
    std::optional<Problem> noComma;
    for (qsizetype i = 1; i <= total; ++i) {
        QByteArrayView record;
        if (!lines.next(record))
            return Problem{
                i + 1,
                QStringLiteral("単語の行が件数の合計 %1 より少なくなっています。").arg(total)};
        const auto* const found =
            static_cast<const char*>(std::memchr(record.data(), ',', std::size_t(record.size())));
        const qsizetype comma = found ? found - record.data() : -1;
        if (comma < 0 && !noComma)
            noComma = Problem{i + 1, QStringLiteral("単語の行に「,」がありません。")};
        if (noComma)
            continue; // only a missing line could still count for more
        check.add(i + 1, record.first(comma), record.sliced(comma + 1));
        type2.line(record.first(comma));
        type1.line(record.sliced(comma + 1));
    }
    if (noComma)
        return noComma;
    return check.problem();
}

// A file name that stays inside the Data folder and can be recorded in the
// configuration file.
bool IsPlainFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..") ||
        QDir::isAbsolutePath(name))
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 0x20)
            return false;
    }
    return EncodeCp932(name).has_value();
}

// ---- Storage -----------------------------------------------------------------

// The contents one file operation builds for the (at most two) files it
// writes.
struct Buffers {
    QByteArray out1;
    QByteArray out2;
};

// Buffers kept from one operation to the next. A list of 32767 words takes a
// megabyte or two, and memory handed out afresh by the system for every
// operation costs more than building the contents in it.
thread_local Buffers gKeptBuffers;
thread_local bool gKeptBuffersInUse = false;

// The kept buffers for the time of one operation, or buffers of its own for an
// operation started while another still runs (from a message box's event loop).
class BufferLease {
public:
    BufferLease() : m_kept(!gKeptBuffersInUse) { gKeptBuffersInUse = true; }
    ~BufferLease() {
        if (m_kept)
            gKeptBuffersInUse = false;
    }
    BufferLease(const BufferLease&) = delete;
    BufferLease& operator=(const BufferLease&) = delete;

    Buffers& get() { return m_kept ? gKeptBuffers : m_own; }

private:
    bool m_kept;
    Buffers m_own;
};

// ---- Working files -----------------------------------------------------------

// Replaces both working files together, so they never belong to different
// lists.
bool WriteWorkFiles(const QByteArray& type1, const QByteArray& type2) {
    QString error;
    if (WriteFilesAtomic({{gType1Path, type1}, {gType2Path, type2}}, &error))
        return true;
    ShowWarning(QStringLiteral("作業ファイルに書き込めませんでした。\n%1").arg(error));
    return false;
}

// The first total lines of a working file, each ended by CR LF, leaving out
// line skip (from 1; 0 leaves out none), which goes to skipped. False when the
// file holds fewer lines. Lines that end in CR LF already are copied in runs,
// as they stand.
bool KeepLines(const QByteArray& bytes, int total, int skip, QByteArray& kept,
               QByteArray& skipped) {
    LineReader lines(bytes);
    LineWriter out(kept, bytes.size() + 2);
    const QByteArrayView all(bytes);
    qsizetype run = 0; // where the lines not yet written start
    for (int b = 1; b <= total; ++b) {
        QByteArrayView line;
        if (!lines.next(line))
            return false;
        if (b != skip && lines.endedInCrLf())
            continue;
        out.raw(all.sliced(run, line.data() - all.data() - run));
        if (b == skip)
            skipped = line.toByteArray();
        else
            out.line(line);
        run = lines.position();
    }
    out.raw(all.sliced(run, lines.position() - run));
    return true;
}

// Reads both working files (a missing file is empty) and puts their first
// total lines, the ones that belong to words, as KeepLines gives them, into
// buffers.out1 and out2. False, with a warning, when either file holds fewer
// lines than the counts announce.
bool ReadWorkRecords(int total, int skip, Buffers& buffers, QByteArray& skipped1) {
    SetWorkFilePaths();
    const QByteArray old1 = ReadWholeFile(gType1Path).value_or(QByteArray());
    const QByteArray old2 = ReadWholeFile(gType2Path).value_or(QByteArray());
    QByteArray skipped2;
    if (total < 0 || !KeepLines(old1, total, skip, buffers.out1, skipped1) ||
        !KeepLines(old2, total, skip, buffers.out2, skipped2)) {
        ShowWarning(QStringLiteral("作業ファイルの単語が件数と合わないため、変更しませんでした。"));
        return false;
    }
    return true;
}

QString LastField(const QByteArray& line) {
    return DecodeCp932(line.mid(line.lastIndexOf(',') + 1));
}

} // namespace

QString WordListTitle(const QString& fileName) {
    return fileName.left(std::max<qsizetype>(0, fileName.size() - 4));
}

void SetProgramKind(ProgramKind kind) {
    gProgramKind = kind;
}

QString DataFolder() {
    return JoinPath(ProgramFolder(), QStringLiteral("Data")) + QLatin1Char('/');
}

void ListWordFiles() {
    QStringList names;
    const QStringList entries = QDir(DataFolder()).entryList(QDir::Files, QDir::NoSort);
    for (const QString& name : entries) {
        if (name.size() > 4 && name.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive) &&
            IsPlainFileName(name))
            names.append(name);
    }
    // Letter case ignored first, so the order is the same on every machine.
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int byFold = a.compare(b, Qt::CaseInsensitive);
        return byFold != 0 ? byFold < 0 : a < b;
    });
    if (names.size() > kMaxCount)
        names.resize(kMaxCount);

    gDatFileCount = static_cast<std::int16_t>(names.size());
    const QString standard = QStringLiteral("Nomal.dat");
    gWordFile = names.contains(standard) ? standard : names.value(0);
    gDatFiles = names;
    gDatFiles.append(QString());
}

void SetWorkFilePaths() {
    gType1Path = JoinPath(ProgramFolder(), QStringLiteral("type1"));
    gType2Path = JoinPath(ProgramFolder(), QStringLiteral("type2"));
}

bool ConvertWordFile(const QString& fileName) {
    if (!IsPlainFileName(fileName))
        return false;
    const std::optional<QByteArray> bytes = ReadWholeFile(DataFolder() + fileName);
    if (!bytes)
        return false;
    BufferLease lease;
    Buffers& buffers = lease.get();
    QList<int> counts;
    if (const std::optional<Problem> problem =
            ParseWordList(*bytes, counts, buffers.out1, buffers.out2)) {
        ShowWarning(
            QStringLiteral("単語ファイル「%1」の%2行目が正しくないため、読み込みませんでした。\n%3")
                .arg(fileName)
                .arg(problem->line)
                .arg(problem->why));
        return false;
    }
    SetWorkFilePaths();
    if (!WriteWorkFiles(buffers.out1, buffers.out2))
        return false;

    const QString fallback =
        gProgramKind == ProgramKind::Game ? QStringLiteral("NOMAL") : QStringLiteral("NOMAL.dat");
    WriteProfile(QStringLiteral("FileInfo"), QStringLiteral("NAME"), fallback, fileName);
    for (int i = 0; i < kLevels; ++i)
        WriteProfile(QStringLiteral("MessageClass"), Key(i), QStringLiteral("1"),
                     QString::number(counts[i]));
    ReadMessageClass();
    // An empty list is now the current one, but there is nothing to play.
    return std::any_of(counts.begin(), counts.end(), [](int c) { return c > 0; });
}

void ReadMessageClass() {
    for (int i = 0; i < kLevels; ++i) {
        QString text;
        ReadProfile(QStringLiteral("MessageClass"), Key(i), QStringLiteral("0"), text);
        gClassCount[i + 1] = RoundToInt16(ParseNumber(text));
    }
}

QString SplitWordRecord(const QString& type1Line, QString& text) {
    const QStringList fields = type1Line.split(QLatin1Char(','));
    text.clear();
    // Runs of well-formed codes are decoded together; a field that is no
    // character shows as a replacement character.
    QByteArray run;
    for (qsizetype i = 0; i + 1 < fields.size(); ++i) {
        const std::optional<int> code = ParseCharCode(fields[i].toLatin1());
        if (code && IsWholeCode(*code)) {
            AppendCodeBytes(*code, run);
            continue;
        }
        text += DecodeCp932(run) + QChar(QChar::ReplacementCharacter);
        run.clear();
    }
    text += DecodeCp932(run);
    return fields.last();
}

void BuildKanaTable() {
    gKana[0].clear();
    for (int code = 1; code <= kLastKanaCode; ++code)
        gKana[code] = QString::fromUtf16(kKanaTable[code - 1]);
}

QString KanaToCodes(const QString& hiragana) {
    if (gKana[1].isEmpty())
        BuildKanaTable();
    const QString trimmed = hiragana.trimmed();
    if (trimmed.isEmpty())
        return QString();
    QString joined;
    for (qsizetype i = 0; i < trimmed.size(); ++i) {
        if (i > 0)
            joined += QLatin1Char(',');
        joined += trimmed[i];
    }
    // Small kana belong to the kana before them.
    joined.replace(QStringLiteral(",ゃ"), QStringLiteral("ゃ"))
        .replace(QStringLiteral(",ゅ"), QStringLiteral("ゅ"))
        .replace(QStringLiteral(",ょ"), QStringLiteral("ょ"))
        .replace(QStringLiteral("ふ,ぁ"), QStringLiteral("ふぁ"))
        .replace(QStringLiteral("ふ,ぃ"), QStringLiteral("ふぃ"))
        .replace(QStringLiteral("ふ,ぇ"), QStringLiteral("ふぇ"))
        .replace(QStringLiteral("ふ,ぉ"), QStringLiteral("ふぉ"));
    QString codes;
    for (const QString& piece : joined.split(QLatin1Char(','))) {
        for (int code = 1; code <= kLastKanaCode; ++code) {
            if (gKana[code] == piece) {
                codes += QStringLiteral("%1").arg(code, 3, 10, QLatin1Char('0'));
                break;
            }
        }
    }
    return codes;
}

QString CodesToKana(const QString& codes) {
    if (gKana[1].isEmpty())
        BuildKanaTable();
    QString kana;
    for (qsizetype i = 0; i + 3 <= codes.size(); i += 3) {
        const int code = RoundToInt16(ParseNumber(codes.mid(i, 3)));
        if (code >= 1 && code <= kLastKanaCode)
            kana += gKana[code];
    }
    return kana;
}

bool EncodeWordText(const QString& text, QString* unencodable) {
    gHexText.clear();
    const std::optional<QByteArray> bytes = EncodeCp932(text);
    if (!bytes) {
        if (unencodable) {
            for (qsizetype i = 0; i < text.size(); ++i) {
                const qsizetype width = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
                const QString character = text.mid(i, width);
                if (!EncodeCp932(character)) {
                    *unencodable = character;
                    break;
                }
                i += width - 1;
            }
        }
        return false;
    }
    // Encoded text splits into characters at its lead bytes.
    for (qsizetype i = 0; i < bytes->size(); ++i) {
        int code = static_cast<unsigned char>(bytes->at(i));
        if (IsCp932LeadByte(static_cast<unsigned char>(code)) && i + 1 < bytes->size())
            code = (code << 8) | static_cast<unsigned char>(bytes->at(++i));
        gHexText += QString::number(code, 16).toUpper() + QLatin1Char(',');
    }
    return true;
}

void ReadClassCountText(const QString& key, std::int16_t index) {
    if (index < 0 || index >= kLevels)
        return;
    QByteArray value;
    if (GetProfileValue("MessageClass", key.toLatin1(), value, 80, gIniPath) > 0)
        gClassCountText[index] =
            QString::number(RoundToInt16(ParseNumber(DecodeCp932(value).trimmed())));
    else
        gClassCountText[index] = QStringLiteral("0");
}

int ReadAllClassCounts() {
    int total = 0;
    bool negative = false;
    for (int i = 0; i < kLevels; ++i) {
        ReadClassCountText(Key(i), static_cast<std::int16_t>(i));
        total += gClassCountText[i].toInt();
        negative = negative || gClassCountText[i].toInt() < 0;
    }
    return negative ? -1 : total;
}

bool WriteClassCountText(const QString& key, std::int16_t index) {
    if (index < 0 || index >= kLevels)
        return false;
    const QByteArray value = EncodeCp932(gClassCountText[index]).value_or(QByteArray());
    return WriteProfileValue("MessageClass", key.toLatin1(), value, gIniPath) ||
           WriteProfileValue("MessageClass", key.toLatin1(), value, gIniPath);
}

bool WriteAllClassCounts() {
    bool ok = true;
    for (int i = 0; i < kLevels; ++i)
        ok = WriteClassCountText(Key(i), static_cast<std::int16_t>(i)) && ok;
    return ok;
}

bool DeleteWordRecord(std::int16_t recordNumber) {
    BuildKanaTable();
    ConfigFileExists();
    const int total = ReadAllClassCounts();
    BufferLease lease;
    Buffers& buffers = lease.get();
    QByteArray deleted;
    if (!ReadWorkRecords(total, recordNumber, buffers, deleted))
        return false;
    if (recordNumber >= 1 && recordNumber <= total) {
        const int level = LastField(deleted).toInt();
        if (level < 1 || level > kLevels) {
            ShowWarning(
                QStringLiteral("%1件目の単語のレベルが1から5ではないため、削除しませんでした。")
                    .arg(recordNumber));
            return false;
        }
        gClassCountText[level - 1] = QString::number(gClassCountText[level - 1].toInt() - 1);
    }
    if (!WriteWorkFiles(buffers.out1, buffers.out2))
        return false;
    WriteAllClassCounts();
    return true;
}

bool AppendWordRecord(const QString& type1Line, const QString& type2Line, int level) {
    const std::optional<QByteArray> type1 = EncodeCp932(type1Line);
    const std::optional<QByteArray> type2 = EncodeCp932(type2Line);
    QString why;
    if (level < 1 || level > kLevels || !type1 || !type2 ||
        LastField(*type1) != QString::number(level))
        why = QStringLiteral("単語のレベルが正しくありません。");
    if (why.isEmpty()) {
        RecordCheck check;
        check.add(1, *type2, *type1);
        if (const std::optional<Problem> problem = check.problem())
            why = problem->why;
    }
    if (!why.isEmpty()) {
        ShowWarning(QStringLiteral("単語を追加できませんでした。\n%1").arg(why));
        return false;
    }

    ConfigFileExists();
    const int total = ReadAllClassCounts();
    if (total >= kMaxCount) {
        ShowWarning(QStringLiteral("単語は32767件までしか登録できません。"));
        return false;
    }
    BufferLease lease;
    Buffers& buffers = lease.get();
    QByteArray unused;
    if (!ReadWorkRecords(total, 0, buffers, unused))
        return false;
    // The files as they were (their word lines) stay at the start of the new.
    const qsizetype size1 = buffers.out1.size();
    const qsizetype size2 = buffers.out2.size();
    buffers.out1 += *type1 + "\r\n";
    buffers.out2 += *type2 + "\r\n";
    if (!WriteWorkFiles(buffers.out1, buffers.out2))
        return false;
    const QString before = gClassCountText[level - 1];
    gClassCountText[level - 1] = QString::number(before.toInt() + 1);
    if (!WriteAllClassCounts()) {
        // Without its count the new line would not belong to the list.
        gClassCountText[level - 1] = before;
        WriteWorkFiles(buffers.out1.first(size1), buffers.out2.first(size2));
        ShowWarning(QStringLiteral("iniファイルに単語の件数を書き込めませんでした。"));
        return false;
    }
    return true;
}

bool SaveWordFile() {
    QStringList counts;
    int total = 0;
    bool countsOk = true;
    for (int i = 0; i < kLevels; ++i) {
        QString text;
        ReadProfile(QStringLiteral("MessageClass"), Key(i), QStringLiteral("1"), text);
        const std::optional<int> count = ParseCount(text);
        countsOk = countsOk && count.has_value();
        total += count.value_or(0);
        counts.append(QString::number(count.value_or(0)));
    }
    QString name;
    ReadProfile(QStringLiteral("FileInfo"), QStringLiteral("NAME"), QStringLiteral("NOMAL.dat"),
                name);
    if (!IsPlainFileName(name)) {
        ShowWarning(
            QStringLiteral("単語ファイル名「%1」はDataフォルダーの中のファイルを指していないため、"
                           "保存しませんでした。")
                .arg(name));
        return false;
    }
    SetWorkFilePaths();
    const QByteArray bytes1 = ReadWholeFile(gType1Path).value_or(QByteArray());
    const QByteArray bytes2 = ReadWholeFile(gType2Path).value_or(QByteArray());
    LineReader lines1(bytes1);
    LineReader lines2(bytes2);
    BufferLease lease;
    Buffers& buffers = lease.get();
    RecordCheck check;
    {
        // The list is built while the records are checked; it is written only
        // when the files hold exactly the records counted and all of them pass.
        LineWriter out(buffers.out1, bytes1.size() + bytes2.size() + 64);
        out.line(counts.join(QLatin1Char(',')).toLatin1());
        for (int i = 1; i <= total; ++i) {
            QByteArrayView line1;
            QByteArrayView line2;
            if (!lines1.next(line1) || !lines2.next(line2))
                break;
            check.add(i, line2, line1);
            out.line(line2, ',', line1);
        }
    }
    const qsizetype held1 = lines1.countAll();
    const qsizetype held2 = lines2.countAll();
    if (!countsOk || total > kMaxCount || held1 != total || held2 != total) {
        ShowWarning(QStringLiteral(
                        "作業ファイルの単語（type1 %1行、type2 %2行）が件数（%3）と合わないため、"
                        "単語ファイル「%4」に保存しませんでした。")
                        .arg(held1)
                        .arg(held2)
                        .arg(counts.join(QLatin1Char(',')))
                        .arg(name));
        return false;
    }

    // Only what can be read back is written.
    if (const std::optional<Problem> problem = check.problem()) {
        ShowWarning(QStringLiteral("作業ファイルの%1行目が正しくないため、単語ファイル「%2」に"
                                   "保存しませんでした。\n%3")
                        .arg(problem->line)
                        .arg(name, problem->why));
        return false;
    }

    QDir().mkpath(DataFolder());
    QString error;
    if (!WriteFileAtomic(DataFolder() + name, buffers.out1, &error)) {
        ShowWarning(
            QStringLiteral("単語ファイル「%1」に書き込めませんでした。\n%2").arg(name, error));
        return false;
    }
    return true;
}

void SaveAndReloadWordFile() {
    SaveWordFile();
    ConvertWordFile(gWordFile);
}
