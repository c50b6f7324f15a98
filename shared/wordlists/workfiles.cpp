#include "wordlists/workfiles.h"

#include "config/config.h"
#include "config/inikeys.h"
#include "platform/atomicfile.h"
#include "platform/lines.h"
#include "platform/platform.h"
#include "wordlists/classcount.h"

#include <QFile>
#include <QStringList>
#include <QtEndian>

#include <cstring>
#include <numeric>

#include <sys/stat.h>

QString gType1Path;
QString gType2Path;

void SetWorkFilePaths() {
    gType1Path = JoinPath(ProgramFolder(), QStringLiteral("type1"));
    gType2Path = JoinPath(ProgramFolder(), QStringLiteral("type2"));
}

int WordRecords::total() const {
    return std::accumulate(counts.begin(), counts.end(), 0);
}

QByteArray WordRecords::countsText() const {
    QByteArray text;
    for (std::size_t i = 0; i < counts.size(); ++i)
        text += (i > 0 ? "," : "") + QByteArray::number(counts[i]);
    return text;
}

namespace {

// Takes line n (from 1) out of bytes whose lines all end in CR LF.
QByteArray TakeLine(QByteArray& bytes, int n) {
    const char* const data = bytes.constData();
    const auto size = std::size_t(bytes.size());
    std::size_t start = 0;
    for (int i = 1; i < n; ++i)
        start =
            std::size_t(static_cast<const char*>(std::memchr(data + start, '\n', size - start)) -
                        data) +
            1;
    const std::size_t end =
        std::size_t(static_cast<const char*>(std::memchr(data + start, '\n', size - start)) - data);
    QByteArray line(data + start, qsizetype(end - 1 - start));
    bytes.remove(qsizetype(start), qsizetype(end + 1 - start));
    return line;
}

} // namespace

QByteArray WordRecords::takeRecord(int n) {
    TakeLine(type2, n);
    return TakeLine(type1, n);
}

std::optional<std::pair<QByteArray, QByteArray>> WordRecords::record(int n) const {
    LineReader lines1(type1);
    LineReader lines2(type2);
    QByteArrayView line1;
    QByteArrayView line2;
    for (int i = 1; lines1.next(line1) && lines2.next(line2); ++i) {
        if (i == n)
            return std::pair{line1.toByteArray(), line2.toByteArray()};
    }
    return std::nullopt;
}

QList<int> WordRecords::findRecord(QByteArrayView type1Line, QByteArrayView type2Line) const {
    QList<int> found;
    LineReader lines1(type1);
    LineReader lines2(type2);
    QByteArrayView line1;
    QByteArrayView line2;
    for (int i = 1; found.size() < 2 && lines1.next(line1) && lines2.next(line2); ++i) {
        if (line1 == type1Line && line2 == type2Line)
            found.append(i);
    }
    return found;
}

QByteArray WordRecords::version() const {
    return WorkFilesStamp(QByteArray(), countsText(), type1, type2);
}

QByteArray WordRecords::listBytes() const {
    QByteArray bytes;
    LineWriter out(bytes, type1.size() + type2.size() + 32);
    out.line(countsText());
    LineReader lines1(type1);
    LineReader lines2(type2);
    QByteArrayView line1;
    QByteArrayView line2;
    while (lines1.next(line1) && lines2.next(line2))
        out.line(line2, ',', line1);
    return bytes;
}

bool ReadWorkFiles(WordRecords& records) {
    std::optional<QByteArray> type1 = ReadWholeFile(gType1Path);
    std::optional<QByteArray> type2 = ReadWholeFile(gType2Path);
    if (!type1 || !type2)
        return false;
    records.type1 = std::move(*type1);
    records.type2 = std::move(*type2);
    return true;
}

namespace {

// MurmurHash64A (Austin Appleby, public domain): fast, and its value depends
// only on the bytes and the seed, so every process computes the same.
quint64 Murmur64(const QByteArray& bytes, quint64 seed) {
    constexpr quint64 m = 0xc6a4a7935bd1e995ULL;
    constexpr int r = 47;
    const auto size = std::size_t(bytes.size());
    const char* p = bytes.constData();
    quint64 h = seed ^ (size * m);
    for (const char* end = p + (size & ~std::size_t(7)); p != end; p += 8) {
        quint64 k = qFromLittleEndian<quint64>(p);
        k *= m;
        k ^= k >> r;
        k *= m;
        h ^= k;
        h *= m;
    }
    if (const std::size_t rest = size & 7) {
        quint64 tail = 0;
        for (std::size_t i = rest; i-- > 0;)
            tail = tail << 8 | uchar(p[i]);
        h ^= tail;
        h *= m;
    }
    h ^= h >> r;
    h *= m;
    h ^= h >> r;
    return h;
}

} // namespace

QByteArray WorkFilesStamp(const QByteArray& listBytes, const QByteArray& countsText,
                          const QByteArray& type1, const QByteArray& type2) {
    // The other program and the next start compare the stamp, so it must not
    // depend on the process. Each part seeds the next, and each part's size
    // goes in too, so bytes moved from one part to the next change the stamp.
    quint64 hash = 0;
    for (const QByteArray* part : {&listBytes, &countsText, &type1, &type2})
        hash = Murmur64(*part, hash);
    return QByteArray::number(hash, 16).rightJustified(16, '0');
}

namespace {

// What the system keeps of a file: a file replaced or changed has another.
struct FileState {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    std::int64_t modified = 0; // nanoseconds
    bool operator==(const FileState&) const = default;
};

// Nothing for a file that is not there.
std::optional<FileState> StateOf(const QString& path) {
    struct stat st {};
    if (::stat(QFile::encodeName(path).constData(), &st) != 0)
        return std::nullopt;
    return FileState{st.st_dev, st.st_ino, st.st_size,
                     std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec};
}

// The files that vouch for a list in the working files, and their states
// when they last did.
struct Vouched {
    QString name;
    std::array<std::optional<FileState>, 4> states;
    std::array<int, kLevels> counts{};
    bool saved = false; // the list's file is what the working files make
};
Vouched gVouched;

std::array<std::optional<FileState>, 4> StatesFor(const QString& listPath) {
    return {StateOf(gIniPath), StateOf(listPath), StateOf(gType1Path), StateOf(gType2Path)};
}

} // namespace

bool WorkFilesHold(const QString& name, const QString& listPath, std::array<int, kLevels>& counts) {
    const auto states = StatesFor(listPath);
    if (!name.isEmpty() && name == gVouched.name && states == gVouched.states) {
        counts = gVouched.counts;
        return true;
    }
    QString stored;
    ReadProfile(IniKey::FileInfo, IniKey::ListName, QString(), stored);
    if (name.isEmpty() || stored != name)
        return false;
    QString stamp;
    ReadProfile(IniKey::FileInfo, IniKey::Stamp, QString(), stamp);
    QStringList countTexts;
    for (int i = 0; i < kLevels; ++i) {
        ReadProfile(IniKey::MessageClass, ClassCountKey(i), QString(), countTexts.emplace_back());
        counts[i] = countTexts.back().toInt();
    }
    const std::optional<QByteArray> list = ReadWholeFile(listPath);
    WordRecords records;
    if (!list || !ReadWorkFiles(records) ||
        stamp.toLatin1() !=
            WorkFilesStamp(*list, countTexts.join(u',').toLatin1(), records.type1, records.type2))
        return false;
    gVouched = {name, states, counts, false};
    return true;
}

void VouchForWorkFiles(const QString& name, const QString& listPath,
                       const std::array<int, kLevels>& counts, bool saved) {
    gVouched = name.isEmpty() ? Vouched() : Vouched{name, StatesFor(listPath), counts, saved};
}

bool ListIsSaved(const QString& name, const QString& listPath) {
    return !name.isEmpty() && gVouched.saved && name == gVouched.name &&
           StatesFor(listPath) == gVouched.states;
}
