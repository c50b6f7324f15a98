#include "config/profile.h"

#include "platform/atomicfile.h"
#include "platform/cp932.h"
#include "platform/folderlock.h"

#include <QFileInfo>
#include <QList>

#include <optional>

namespace {

// One line of the file: its content [begin, end) and the line break after it
// (CR LF, LF or CR) up to next.
struct Line {
    qsizetype begin;
    qsizetype end;
    qsizetype next;
};

QList<Line> SplitLines(const QByteArray& content) {
    QList<Line> lines;
    qsizetype pos = 0;
    const qsizetype size = content.size();
    while (pos < size) {
        qsizetype end = pos;
        while (end < size && content[end] != '\n' && content[end] != '\r')
            ++end;
        qsizetype next = end;
        if (next < size && content[next] == '\r')
            ++next;
        if (next < size && content[next] == '\n')
            ++next;
        lines.append({pos, end, next});
        pos = next;
    }
    return lines;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

QByteArray Trimmed(const QByteArray& bytes) {
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && IsBlank(bytes[begin]))
        ++begin;
    while (end > begin && IsBlank(bytes[end - 1]))
        --end;
    return bytes.mid(begin, end - begin);
}

// Length of the character that starts at pos: two bytes for a lead byte
// followed by another byte, else one.
qsizetype CharLength(const QByteArray& bytes, qsizetype pos) {
    return IsCp932LeadByte(static_cast<unsigned char>(bytes[pos])) && pos + 1 < bytes.size() ? 2
                                                                                             : 1;
}

// Position of the first single-byte c, skipping the trail bytes of double-byte
// characters (which can look like "]" or "\"); -1 when absent.
qsizetype FindSingleByte(const QByteArray& bytes, char c) {
    for (qsizetype i = 0; i < bytes.size(); i += CharLength(bytes, i)) {
        if (bytes[i] == c)
            return i;
    }
    return -1;
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Names compare without regard to the case of ASCII letters; the bytes of
// double-byte characters must match exactly.
bool SameName(const QByteArray& a, const QByteArray& b) {
    if (a.size() != b.size())
        return false;
    for (qsizetype i = 0; i < a.size();) {
        const qsizetype len = CharLength(a, i);
        if (len == 2) {
            if (a[i] != b[i] || a[i + 1] != b[i + 1])
                return false;
        } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
            return false;
        }
        i += len;
    }
    return true;
}

// The name of a "[name]" line, or nothing for any other line.
std::optional<QByteArray> SectionName(const QByteArray& line) {
    const QByteArray text = Trimmed(line);
    if (!text.startsWith('['))
        return std::nullopt;
    const QByteArray inner = text.mid(1);
    const qsizetype close = FindSingleByte(inner, ']');
    if (close < 0)
        return std::nullopt;
    return Trimmed(inner.left(close));
}

struct Entry {
    QByteArray key;   // trimmed, as written in the file
    QByteArray value; // trimmed and unquoted
};

// The key and value of a "key=value" line; nothing for comments and lines
// without "=".
std::optional<Entry> EntryOf(const QByteArray& line) {
    const QByteArray text = Trimmed(line);
    if (text.startsWith(';'))
        return std::nullopt;
    const qsizetype eq = FindSingleByte(text, '=');
    if (eq < 0)
        return std::nullopt;
    QByteArray value = Trimmed(text.mid(eq + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    return Entry{Trimmed(text.left(eq)), value};
}

// Where section/key sits in content.
struct Location {
    qsizetype sectionLine = -1; // index of the "[section]" line, -1 when absent
    qsizetype keyLine = -1;     // index of the key's line, -1 when absent
    qsizetype lastEntry = -1;   // last non-blank line of the section (or its header)
    QByteArray fileKey;         // the key as the file spells it
    QByteArray value;
};

Location Locate(const QByteArray& content, const QList<Line>& lines, const QByteArray& section,
                const QByteArray& key) {
    Location loc;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QByteArray line = content.mid(lines[i].begin, lines[i].end - lines[i].begin);
        const std::optional<QByteArray> name = SectionName(line);
        if (loc.sectionLine < 0) {
            if (name && SameName(*name, section)) {
                loc.sectionLine = i;
                loc.lastEntry = i;
            }
            continue;
        }
        if (name)
            break; // the section ends at the next header; later duplicates are ignored
        if (!Trimmed(line).isEmpty())
            loc.lastEntry = i;
        if (loc.keyLine >= 0)
            continue;
        if (const std::optional<Entry> entry = EntryOf(line); entry && SameName(entry->key, key)) {
            loc.keyLine = i;
            loc.fileKey = entry->key;
            loc.value = entry->value;
        }
    }
    return loc;
}

bool HasLineBreakOrNul(const QByteArray& bytes) {
    return bytes.contains('\r') || bytes.contains('\n') || bytes.contains('\0');
}

// Names and values that could not be read back as written are refused, so a
// write can never damage the file's structure.
bool Storable(const QByteArray& section, const QByteArray& key, const QByteArray& value) {
    if (section.isEmpty() || key.isEmpty())
        return false;
    if (HasLineBreakOrNul(section) || HasLineBreakOrNul(key) || HasLineBreakOrNul(value))
        return false;
    // A broken double-byte character would swallow the "]", "=" or line end
    // that follows it, and the entry could not be read back.
    if (!IsValidCp932(section) || !IsValidCp932(key) || !IsValidCp932(value))
        return false;
    if (FindSingleByte(section, ']') >= 0)
        return false;
    return FindSingleByte(key, '=') < 0 && !key.startsWith(';') && !key.startsWith('[');
}

} // namespace

int GetProfileValueIn(const QByteArray& content, const QByteArray& section, const QByteArray& key,
                      QByteArray& value, int bufferSize) {
    value.clear();
    if (bufferSize <= 1)
        return 0;
    const Location loc = Locate(content, SplitLines(content), Trimmed(section), Trimmed(key));
    if (loc.keyLine < 0)
        return 0;
    // Cut to the buffer, never in the middle of a double-byte character.
    const qsizetype room = bufferSize - 1;
    qsizetype size = 0;
    while (size < loc.value.size()) {
        const qsizetype len = CharLength(loc.value, size);
        if (size + len > room)
            break;
        size += len;
    }
    value = loc.value.left(size);
    return static_cast<int>(size);
}

bool SetProfileValueIn(QByteArray& content, const QByteArray& section, const QByteArray& key,
                       const QByteArray& value) {
    const QByteArray sectionName = Trimmed(section);
    const QByteArray keyName = Trimmed(key);
    if (!Storable(sectionName, keyName, value))
        return false;

    const QList<Line> lines = SplitLines(content);
    const Location loc = Locate(content, lines, sectionName, keyName);

    if (loc.keyLine >= 0) {
        const Line& line = lines[loc.keyLine];
        content.replace(line.begin, line.end - line.begin, loc.fileKey + '=' + value);
        return true;
    }

    const QByteArray entryLine = keyName + '=' + value + "\r\n";
    if (loc.sectionLine >= 0) {
        const Line& anchor = lines[loc.lastEntry];
        if (anchor.next == anchor.end) // the last line of the file has no line break
            content.insert(anchor.end, "\r\n" + entryLine);
        else
            content.insert(anchor.next, entryLine);
        return true;
    }

    if (!content.isEmpty() && !content.endsWith('\n') && !content.endsWith('\r'))
        content.append("\r\n");
    content.append('[' + sectionName + "]\r\n" + entryLine);
    return true;
}

int GetProfileValue(const QByteArray& section, const QByteArray& key, QByteArray& value,
                    int bufferSize, const QString& path) {
    value.clear();
    if (path.isEmpty())
        return 0;
    const std::optional<QByteArray> content = ReadWholeFile(path);
    if (!content)
        return 0;
    return GetProfileValueIn(*content, section, key, value, bufferSize);
}

std::optional<QByteArray> ReadProfileFile(const QString& path, QString* error) {
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return QByteArray();
    std::optional<QByteArray> content = info.isFile() ? ReadWholeFile(path) : std::nullopt;
    if (!content && error)
        *error = info.isDir()
                     ? QStringLiteral("「%1」はフォルダーのため、設定ファイルとして使えません。")
                           .arg(path)
                     : QStringLiteral("設定ファイル「%1」を読めません。").arg(path);
    return content;
}

bool WriteProfileValue(const QByteArray& section, const QByteArray& key, const QByteArray& value,
                       const QString& path, QString* error) {
    if (path.isEmpty() || !Storable(Trimmed(section), Trimmed(key), value))
        return false;

    // Held across read, change and write so a concurrent writer of another key
    // cannot slip in between and have its change overwritten.
    const FolderLock lock(path);
    if (!lock.error().isEmpty()) {
        if (error)
            *error = lock.error();
        return false;
    }
    std::optional<QByteArray> content = ReadProfileFile(path, error);
    if (!content)
        return false;
    const QByteArray before = *content;
    if (!SetProfileValueIn(*content, section, key, value))
        return false;
    if (*content == before && QFileInfo::exists(path))
        return true; // the file already says exactly this
    return WriteFileAtomic(path, *content, error);
}
