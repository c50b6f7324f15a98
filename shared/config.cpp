#include "config.h"

#include "cp932.h"
#include "platform.h"
#include "profile.h"

#include <QDir>
#include <QFileInfo>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <optional>

#include <locale.h>

QString gIniPath;

std::int16_t gGameLevel = 0;
QString gUserName;
std::int16_t gManiax = 0;
std::int16_t gWordCount = 0;

namespace {

constexpr int kMaxValueLength = 79; // what the 80-character read buffer holds
const char* const kIniName = "ymconfig.ini";

ProfileTransaction* gTransaction = nullptr;

// True when written; otherwise fileError tells whether the file was at fault
// (empty when the names or the value cannot be stored).
bool WriteEncoded(const QString& section, const QString& key, const QString& value,
                  QString& fileError) {
    const std::optional<QByteArray> s = EncodeCp932(section);
    const std::optional<QByteArray> k = EncodeCp932(key);
    const std::optional<QByteArray> v = EncodeCp932(value);
    if (!s || !k || !v)
        return false; // a character the file cannot hold
    return SetIniValue(*s, *k, *v, &fileError);
}

bool IsNumberBlank(QChar c) {
    return c == u' ' || c == u'\t' || c == u'\n' || c == u'\r';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return 99;
}

// "&H" and "&O" numbers: up to four hexadecimal digits' worth is a 16-bit
// integer and up to eight a 32-bit one, so "&HFFFF" reads -1 and "&H8000"
// reads -32768, as the classic BASIC parse does.
double ParseRadix(const QByteArray& digits, int radix) {
    double value = 0;
    for (const char c : digits) {
        const int d = DigitValue(c);
        if (d >= radix)
            break;
        value = value * radix + d;
    }
    if (value <= 0xFFFF)
        return value >= 0x8000 ? value - 0x10000 : value;
    if (value <= 0xFFFFFFFFu)
        return value >= 0x80000000u ? value - 4294967296.0 : value;
    return value;
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// The longest prefix of text that is a decimal number: sign, digits, one
// decimal point, and an exponent "E" or "D" with its own sign and digits.
QByteArray DecimalPrefix(const QByteArray& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text[i] == '+' || text[i] == '-'))
        ++i;
    bool digits = false;
    while (i < n && IsDigit(text[i])) {
        ++i;
        digits = true;
    }
    if (i < n && text[i] == '.') {
        ++i;
        while (i < n && IsDigit(text[i])) {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return QByteArray();
    QByteArray number = text.left(i);
    if (i < n && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        qsizetype j = i + 1;
        if (j < n && (text[j] == '+' || text[j] == '-'))
            ++j;
        const qsizetype expDigits = j;
        while (j < n && IsDigit(text[j]))
            ++j;
        if (j > expDigits)
            number += 'e' + text.mid(i + 1, j - i - 1);
    }
    return number;
}

// Nearest integer with halves going to the even neighbour, kept within
// [low, high].
double RoundHalfEven(double value, double low, double high) {
    if (std::isnan(value))
        return 0;
    if (value <= low)
        return low;
    if (value >= high)
        return high;
    const double floor = std::floor(value);
    const double fraction = value - floor;
    double result = floor;
    if (fraction > 0.5 || (fraction == 0.5 && std::fmod(floor, 2.0) != 0))
        result += 1;
    return result > high ? high : result;
}

} // namespace

bool ConfigFileExists() {
    const QString folder = ProgramFolder();
    gIniPath = JoinPath(folder, QString::fromLatin1(kIniName));
    // Listed rather than opened, so a file whose name differs only in letter
    // case does not count on a file system that ignores case.
    const QStringList names = QDir(folder).entryList(QStringList{QString::fromLatin1(kIniName)},
                                                     QDir::Files | QDir::CaseSensitive);
    return names.contains(QString::fromLatin1(kIniName), Qt::CaseSensitive);
}

void ReadProfile(const QString& section, const QString& key, const QString& def, QString& result) {
    const std::optional<QByteArray> s = EncodeCp932(section);
    const std::optional<QByteArray> k = EncodeCp932(key);
    QByteArray bytes;
    if (!s || !k || GetIniValue(*s, *k, bytes, std::numeric_limits<int>::max()) == 0) {
        result = def;
        return;
    }
    // Every code page 932 character is one UTF-16 unit, so this never splits one.
    result = DecodeCp932(bytes).left(kMaxValueLength);
}

bool WriteProfile(const QString& section, const QString& key, const QString& fallback,
                  const QString& value) {
    QString fileError;
    if (WriteEncoded(section, key, value, fileError))
        return true;
    // A file that cannot be written takes no fallback either.
    if (!fileError.isEmpty()) {
        ReportIniFailure(fileError);
        return false;
    }
    if (WriteEncoded(section, key, fallback, fileError))
        ShowWarning(QStringLiteral("iniファイルへのPATHが不正です"));
    else if (!fileError.isEmpty())
        ReportIniFailure(fileError);
    else
        ShowWarning(QStringLiteral("iniファイルに書き込む値が不正です"));
    return false;
}

void ReportIniFailure(const QString& error) {
    ShowWarningOnce(gIniPath, QStringLiteral("設定を保存できませんでした。\n%1").arg(error));
}

int GetIniValue(const QByteArray& section, const QByteArray& key, QByteArray& value,
                int bufferSize) {
    if (gTransaction) {
        value.clear();
        return gTransaction->m_content
                   ? GetProfileValueIn(*gTransaction->m_content, section, key, value, bufferSize)
                   : 0;
    }
    return GetProfileValue(section, key, value, bufferSize, gIniPath);
}

bool SetIniValue(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                 QString* error) {
    if (!gTransaction)
        return WriteProfileValue(section, key, value, gIniPath, error);
    if (!gTransaction->m_content) {
        if (error)
            *error = gTransaction->m_error;
        return false;
    }
    return SetProfileValueIn(*gTransaction->m_content, section, key, value);
}

ProfileTransaction::ProfileTransaction()
    : m_lock(gIniPath), m_root(gTransaction ? gTransaction : this) {
    if (m_root != this)
        return;
    m_error = m_lock.error();
    if (m_error.isEmpty())
        m_content = ReadProfileFile(gIniPath, &m_error);
    m_original = m_content.value_or(QByteArray());
    m_existed = QFileInfo::exists(gIniPath);
    gTransaction = this;
}

ProfileTransaction::~ProfileTransaction() {
    if (m_root == this)
        gTransaction = nullptr;
}

QString ProfileTransaction::error() const {
    return m_root->m_error;
}

std::optional<FileContent> ProfileTransaction::changedFile() const {
    const ProfileTransaction& root = *m_root;
    if (!root.m_content || (*root.m_content == root.m_original && root.m_existed))
        return std::nullopt;
    return FileContent{gIniPath, *root.m_content};
}

void ProfileTransaction::written() {
    m_root->m_original = m_root->m_content.value_or(QByteArray());
    m_root->m_existed = true;
}

void ProfileTransaction::discard() {
    if (m_root->m_content)
        m_root->m_content = m_root->m_original;
}

bool ProfileTransaction::commit() {
    QString error = this->error();
    const auto file = changedFile();
    if (error.isEmpty() && (!file || WriteFileAtomic(file->path, file->data, &error))) {
        written();
        return true;
    }
    ReportIniFailure(error);
    return false;
}

double ParseNumber(const QString& text) {
    QByteArray compact;
    for (const QChar c : text) {
        if (IsNumberBlank(c))
            continue;
        if (c.unicode() > 0x7F)
            break; // no number continues past a non-ASCII character
        compact.append(static_cast<char>(c.unicode()));
    }
    if (compact.size() >= 2 && compact[0] == '&') {
        const char radix = compact[1];
        if (radix == 'H' || radix == 'h')
            return ParseRadix(compact.mid(2), 16);
        if (radix == 'O' || radix == 'o')
            return ParseRadix(compact.mid(2), 8);
        return 0;
    }
    const QByteArray number = DecimalPrefix(compact);
    if (number.isEmpty())
        return 0;
    // Parsed in the C locale whatever the user's locale, so "." is always the
    // decimal point; an exponent out of range gives infinity or zero.
    static const locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", locale_t(nullptr));
    return strtod_l(number.constData(), nullptr, cLocale);
}

std::int16_t RoundToInt16(double value) {
    return static_cast<std::int16_t>(RoundHalfEven(value, std::numeric_limits<std::int16_t>::min(),
                                                   std::numeric_limits<std::int16_t>::max()));
}

std::int32_t RoundToInt32(double value) {
    return static_cast<std::int32_t>(RoundHalfEven(value, std::numeric_limits<std::int32_t>::min(),
                                                   std::numeric_limits<std::int32_t>::max()));
}
