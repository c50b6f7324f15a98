// The sectioned configuration file: reading arbitrary bytes never fails, and a
// write followed by a read gives the value back while every other line of the
// file stays byte for byte.

#include "config/profile.h"
#include "fuzzsupport.h"

#include <QList>

namespace {

QList<QByteArray> Lines(const QByteArray& content) {
    QList<QByteArray> lines = content.split('\n');
    for (QByteArray& line : lines)
        if (line.endsWith('\r'))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

// Lines of before that are missing from after (counted as a multiset).
qsizetype LinesLost(const QList<QByteArray>& before, QList<QByteArray> after) {
    qsizetype lost = 0;
    for (const QByteArray& line : before) {
        const qsizetype at = after.indexOf(line);
        if (at < 0)
            ++lost;
        else
            after.removeAt(at);
    }
    return lost;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray input = FuzzBytes(data, size);

    // The first line of the input names the section, key and value to write;
    // the rest is the file.
    const qsizetype nl = input.indexOf('\n');
    const QByteArray head = nl < 0 ? input : input.left(nl);
    const QByteArray file = nl < 0 ? QByteArray() : input.mid(nl + 1);
    const QList<QByteArray> names = head.split('\t');
    const QByteArray section = names.value(0, "GameConfig");
    const QByteArray key = names.value(1, "LEVEL");
    const QByteArray value = names.value(2, "3");

    QByteArray read;
    const int n = GetProfileValueIn(file, section, key, read, 80);
    FUZZ_CHECK(n >= 0 && n <= 79 && n == read.size());

    QByteArray written = file;
    if (!SetProfileValueIn(written, section, key, value))
        return 0;

    // Blanks around a value and one pair of matching quotes are not part of it.
    QByteArray expected = value;
    while (!expected.isEmpty() && (expected.front() == ' ' || expected.front() == '\t'))
        expected.remove(0, 1);
    while (!expected.isEmpty() && (expected.back() == ' ' || expected.back() == '\t'))
        expected.chop(1);
    if (expected.size() >= 2 && (expected.front() == '"' || expected.front() == '\'') &&
        expected.back() == expected.front())
        expected = expected.mid(1, expected.size() - 2);
    QByteArray back;
    GetProfileValueIn(written, section, key, back, 1 << 20);
    FUZZ_CHECK(back == expected);

    // Every line of the old file survives except at most the one that held
    // the key.
    FUZZ_CHECK(LinesLost(Lines(file), Lines(written)) <= 1);
    return 0;
}
