#include "wordfile.h"

#include "config.h"
#include "platform.h"
#include "profile.h"

#include <QDir>

#include <algorithm>
#include <cctype>
#include <cmath>
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

void Warn(const QString& text) {
    ShowMessage(text, QStringLiteral("警告"), MessageIcon::Critical);
}

QString Key(int level) {
    return QString::fromLatin1(kLevelKeys[level]);
}

// ---- Lines and fields -------------------------------------------------------

// Splits file content into lines. CR LF, LF and a lone CR each end a line; a
// last line without an end still counts. Neither CR nor LF can be the second
// byte of a double-byte character, so splitting the raw bytes is safe.
QList<QByteArray> SplitLines(const QByteArray& bytes) {
    QList<QByteArray> lines;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < n && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(bytes.mid(start));
    return lines;
}

// The first count lines, each ended by CR LF.
QByteArray JoinLines(const QList<QByteArray>& lines, qsizetype count) {
    QByteArray out;
    for (qsizetype i = 0; i < count; ++i)
        out += lines[i] + "\r\n";
    return out;
}

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

// The code of one text field: hexadecimal, at most 16 bits, or the 32-bit
// sign extension of a negative 16-bit value (FFFF82A0 is 82A0).
std::optional<int> ParseCharCode(const QByteArray& field) {
    if (field.isEmpty() || field.size() > 8)
        return std::nullopt;
    for (const char c : field) {
        if (!std::isxdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    }
    const quint32 value = field.toUInt(nullptr, 16);
    if (value > 0xFFFF && value < 0xFFFF8000u)
        return std::nullopt;
    return static_cast<int>(value & 0xFFFF);
}

// Appends the bytes of one character code. False when they cannot stand as one
// character on their own: a lone lead byte, or a pair that does not start with
// a lead byte. Codes that pass keep a run of bytes split exactly at them.
bool AppendCodeBytes(int code, QByteArray& bytes) {
    if (code > 0xFF) {
        const auto high = static_cast<unsigned char>(code >> 8);
        const auto low = static_cast<unsigned char>(code & 0xFF);
        if (!IsCp932LeadByte(high) || !IsTrailByte(low))
            return false;
        bytes.append(static_cast<char>(high));
        bytes.append(static_cast<char>(low));
        return true;
    }
    if (IsCp932LeadByte(static_cast<unsigned char>(code)))
        return false;
    bytes.append(static_cast<char>(code));
    return true;
}

// ---- Checking records --------------------------------------------------------

// Why a reading field cannot be used, or an empty text.
QString CheckReading(const QByteArray& reading) {
    for (const char c : reading) {
        if (c < '0' || c > '9')
            return QStringLiteral("読みの欄に数字でない文字があります。");
    }
    for (qsizetype i = 0; i + 3 <= reading.size(); i += 3) {
        if (reading.mid(i, 3).toInt() > kLastKanaCode)
            return QStringLiteral("読みのかなコード「%1」が118を超えています。")
                .arg(QString::fromLatin1(reading.mid(i, 3)));
    }
    return QString();
}

// Why the text fields of a "type1" line (all fields but the last, the level)
// cannot be used, or an empty text. Appends their bytes to codeBytes, so the
// caller can check a whole file's characters in one go; checkEach checks every
// character on its own instead, to find the one at fault.
QString CheckTextFields(const QByteArray& type1, QByteArray& codeBytes, bool checkEach) {
    const QList<QByteArray> fields = type1.split(',');
    for (qsizetype i = 0; i + 1 < fields.size(); ++i) {
        const QByteArray& field = fields[i];
        if (field.isEmpty())
            return QStringLiteral("文字の欄が空です。");
        const std::optional<int> code = ParseCharCode(field);
        const QString shown = QString::fromLatin1(field);
        if (!code)
            return QStringLiteral("文字の欄「%1」が16進数の文字コードではありません。").arg(shown);
        QByteArray own;
        if (!AppendCodeBytes(*code, own) || (checkEach && !IsValidCp932(own)))
            return QStringLiteral("文字コード「%1」はシフトJISの文字ではありません。").arg(shown);
        codeBytes += own;
    }
    return QString();
}

const QString kBadBytes = QStringLiteral("シフトJISとして読めないバイトがあります。");

struct Problem {
    qsizetype index = 0; // a line number, or a record index until the caller maps it
    QString why;
};

// Checks records given as their reading fields and "type1" parts. Bytes and
// character codes are checked for the whole lot at once; only when that fails
// is the record at fault looked for, so a large list costs no more than a
// small one per record.
std::optional<Problem> CheckRecords(const QList<QByteArray>& readings,
                                    const QList<QByteArray>& type1s) {
    if (!IsValidCp932(readings.join('\n') + '\n' + type1s.join('\n'))) {
        for (qsizetype i = 0; i < readings.size(); ++i) {
            if (!IsValidCp932(readings[i]) || !IsValidCp932(type1s[i]))
                return Problem{i, kBadBytes};
        }
    }
    QByteArray codeBytes;
    for (qsizetype i = 0; i < readings.size(); ++i) {
        QString why = CheckReading(readings[i]);
        if (why.isEmpty())
            why = CheckTextFields(type1s[i], codeBytes, false);
        if (!why.isEmpty())
            return Problem{i, why};
    }
    if (!IsValidCp932(codeBytes)) {
        for (qsizetype i = 0; i < type1s.size(); ++i) {
            QByteArray unused;
            const QString why = CheckTextFields(type1s[i], unused, true);
            if (!why.isEmpty())
                return Problem{i, why};
        }
    }
    return std::nullopt;
}

// A word list read and checked in memory.
struct WordList {
    QList<int> counts; // every field of the counts line
    QList<QByteArray> readings;
    QList<QByteArray> type1s;
};

// Checks a whole word list and splits its records into the two working files.
std::optional<Problem> ParseWordList(const QByteArray& bytes, WordList& list) {
    if (bytes.isEmpty()) { // a new, empty file is an empty list
        list.counts = QList<int>(kLevels, 0);
        return std::nullopt;
    }
    const QList<QByteArray> lines = SplitLines(bytes);
    if (!IsValidCp932(lines[0]))
        return Problem{1, kBadBytes};
    const QStringList fields = DecodeCp932(lines[0]).split(QLatin1Char(','));
    if (fields.size() < kLevels)
        return Problem{1, QStringLiteral("件数の行の欄が5つより少なくなっています。")};
    qint64 total = 0;
    for (const QString& field : fields) {
        const std::optional<int> count = ParseCount(field);
        if (!count)
            return Problem{1, QStringLiteral("件数「%1」が0から32767までの整数ではありません。")
                                  .arg(field.trimmed())};
        list.counts.append(*count);
        total += *count;
    }
    if (total > kMaxCount)
        return Problem{1, QStringLiteral("単語の数が32767を超えています。")};
    if (lines.size() - 1 < total)
        return Problem{
            lines.size() + 1,
            QStringLiteral("単語の行が件数の合計 %1 より少なくなっています。").arg(total)};

    for (qsizetype i = 1; i <= total; ++i) {
        const QByteArray& record = lines[i];
        const qsizetype comma = record.indexOf(',');
        if (comma < 0)
            return Problem{i + 1, QStringLiteral("単語の行に「,」がありません。")};
        list.readings.append(record.left(comma));
        list.type1s.append(record.mid(comma + 1));
    }
    if (std::optional<Problem> problem = CheckRecords(list.readings, list.type1s)) {
        problem->index += 2; // records start on line 2
        return problem;
    }
    return std::nullopt;
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

// ---- Working files -----------------------------------------------------------

// The lines of a working file; a missing file has none.
QList<QByteArray> ReadWorkFile(const QString& path) {
    return SplitLines(ReadWholeFile(path).value_or(QByteArray()));
}

// Replaces both working files. When the second write fails the first is put
// back, so the two files never belong to different lists.
bool WriteWorkFiles(const QByteArray& type1, const QByteArray& type2) {
    const QByteArray old1 = ReadWholeFile(gType1Path).value_or(QByteArray());
    QString error;
    bool ok = WriteFileAtomic(gType1Path, type1, &error);
    if (ok && !WriteFileAtomic(gType2Path, type2, &error)) {
        WriteFileAtomic(gType1Path, old1);
        ok = false;
    }
    if (!ok)
        Warn(QStringLiteral("作業ファイルに書き込めませんでした。\n%1").arg(error));
    return ok;
}

// gClassCountText from MessageClass; the sum of the five counts, or -1 when
// one of them is negative.
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

// Both working files, or a warning when either holds fewer lines than the
// counts announce. Lines past the counted ones belong to no word.
bool ReadWorkRecords(int total, QList<QByteArray>& type1, QList<QByteArray>& type2) {
    SetWorkFilePaths();
    type1 = ReadWorkFile(gType1Path);
    type2 = ReadWorkFile(gType2Path);
    if (total >= 0 && type1.size() >= total && type2.size() >= total)
        return true;
    Warn(QStringLiteral("作業ファイルの単語が件数と合わないため、変更しませんでした。"));
    return false;
}

QString LastField(const QByteArray& line) {
    return DecodeCp932(line.mid(line.lastIndexOf(',') + 1));
}

} // namespace

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
    WordList list;
    if (const std::optional<Problem> problem = ParseWordList(*bytes, list)) {
        Warn(
            QStringLiteral("単語ファイル「%1」の%2行目が正しくないため、読み込みませんでした。\n%3")
                .arg(fileName)
                .arg(problem->index)
                .arg(problem->why));
        return false;
    }
    SetWorkFilePaths();
    if (!WriteWorkFiles(JoinLines(list.type1s, list.type1s.size()),
                        JoinLines(list.readings, list.readings.size())))
        return false;

    const QString fallback =
        gProgramKind == ProgramKind::Game ? QStringLiteral("NOMAL") : QStringLiteral("NOMAL.dat");
    WriteProfile(QStringLiteral("FileInfo"), QStringLiteral("NAME"), fallback, fileName);
    for (int i = 0; i < kLevels; ++i)
        WriteProfile(QStringLiteral("MessageClass"), Key(i), QStringLiteral("1"),
                     QString::number(list.counts[i]));
    ReadMessageClass();
    // An empty list is now the current one, but there is nothing to play.
    return std::any_of(list.counts.begin(), list.counts.end(), [](int c) { return c > 0; });
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
        if (code && AppendCodeBytes(*code, run))
            continue;
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
    QList<QByteArray> type1;
    QList<QByteArray> type2;
    if (!ReadWorkRecords(total, type1, type2))
        return false;
    if (recordNumber >= 1 && recordNumber <= total) {
        const int index = recordNumber - 1;
        const int level = LastField(type1[index]).toInt();
        if (level < 1 || level > kLevels) {
            Warn(QStringLiteral("%1件目の単語のレベルが1から5ではないため、削除しませんでした。")
                     .arg(recordNumber));
            return false;
        }
        type1.removeAt(index);
        type2.removeAt(index);
        gClassCountText[level - 1] = QString::number(gClassCountText[level - 1].toInt() - 1);
    }
    const qsizetype kept = recordNumber >= 1 && recordNumber <= total ? total - 1 : total;
    if (!WriteWorkFiles(JoinLines(type1, kept), JoinLines(type2, kept)))
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
        if (const std::optional<Problem> problem = CheckRecords({*type2}, {*type1}))
            why = problem->why;
    }
    if (!why.isEmpty()) {
        Warn(QStringLiteral("単語を追加できませんでした。\n%1").arg(why));
        return false;
    }

    ConfigFileExists();
    const int total = ReadAllClassCounts();
    if (total >= kMaxCount) {
        Warn(QStringLiteral("単語は32767件までしか登録できません。"));
        return false;
    }
    QList<QByteArray> lines1;
    QList<QByteArray> lines2;
    if (!ReadWorkRecords(total, lines1, lines2))
        return false;
    const QByteArray old1 = JoinLines(lines1, total);
    const QByteArray old2 = JoinLines(lines2, total);
    if (!WriteWorkFiles(old1 + *type1 + "\r\n", old2 + *type2 + "\r\n"))
        return false;
    const QString before = gClassCountText[level - 1];
    gClassCountText[level - 1] = QString::number(before.toInt() + 1);
    if (!WriteAllClassCounts()) {
        // Without its count the new line would not belong to the list.
        gClassCountText[level - 1] = before;
        WriteWorkFiles(old1, old2);
        Warn(QStringLiteral("iniファイルに単語の件数を書き込めませんでした。"));
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
        Warn(QStringLiteral("単語ファイル名「%1」はDataフォルダーの中のファイルを指していないため、"
                            "保存しませんでした。")
                 .arg(name));
        return false;
    }
    SetWorkFilePaths();
    const QList<QByteArray> type1 = ReadWorkFile(gType1Path);
    const QList<QByteArray> type2 = ReadWorkFile(gType2Path);
    if (!countsOk || total > kMaxCount || type1.size() != total || type2.size() != total) {
        Warn(QStringLiteral(
                 "作業ファイルの単語（type1 %1行、type2 %2行）が件数（%3）と合わないため、"
                 "単語ファイル「%4」に保存しませんでした。")
                 .arg(type1.size())
                 .arg(type2.size())
                 .arg(counts.join(QLatin1Char(',')))
                 .arg(name));
        return false;
    }

    // Only what can be read back is written.
    if (const std::optional<Problem> problem = CheckRecords(type2, type1)) {
        Warn(QStringLiteral("作業ファイルの%1行目が正しくないため、単語ファイル「%2」に"
                            "保存しませんでした。\n%3")
                 .arg(problem->index + 1)
                 .arg(name, problem->why));
        return false;
    }
    QByteArray out = counts.join(QLatin1Char(',')).toLatin1() + "\r\n";
    for (int i = 0; i < total; ++i)
        out += type2[i] + ',' + type1[i] + "\r\n";

    QDir().mkpath(DataFolder());
    QString error;
    if (!WriteFileAtomic(DataFolder() + name, out, &error)) {
        Warn(QStringLiteral("単語ファイル「%1」に書き込めませんでした。\n%2").arg(name, error));
        return false;
    }
    return true;
}

void SaveAndReloadWordFile() {
    SaveWordFile();
    ConvertWordFile(gWordFile);
}
