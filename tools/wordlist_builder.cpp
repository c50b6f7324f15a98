// Builds a word-list file (.dat) from its readable UTF-8 source.
//
// Source: one word per line, "level<TAB>word<TAB>reading in hiragana"; blank
// lines and lines starting with "#" are skipped. The readings are coded and the
// words encoded by the library itself, so a shipped list holds exactly what the
// programs would have written. Any reading that loses a kana on the way, any
// word without a code page 932 code, a duplicate or a level with too few words
// to fill a game stops the build.

#include "kana/kanacode.h"
#include "platform/atomicfile.h"
#include "wordlists/recordcode.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QStringDecoder>

#include <array>
#include <cstdio>
#include <optional>

namespace {

// A game draws up to ten distinct words per level from positions 1 to
// count - 1, so every level needs at least eleven.
constexpr int kMinWordsPerLevel = 11;

void Fail(const QString& where, const QString& why) {
    std::fprintf(stderr, "%s: %s\n", qPrintable(where), qPrintable(why));
}

std::optional<QString> ReadSource(const QString& path) {
    const std::optional<QByteArray> bytes = ReadWholeFile(path);
    if (!bytes) {
        Fail(path, QStringLiteral("cannot read the file"));
        return std::nullopt;
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(*bytes);
    if (utf8.hasError()) {
        Fail(path, QStringLiteral("not valid UTF-8"));
        return std::nullopt;
    }
    return text;
}

// The record line of one source line, or nothing after reporting why not.
std::optional<QString> BuildRecord(const QString& where, const QString& line, int& level) {
    const QStringList fields = line.split(QLatin1Char('\t'));
    if (fields.size() != 3) {
        Fail(where, QStringLiteral("expected level, word and reading separated by tabs"));
        return std::nullopt;
    }
    bool ok = false;
    level = fields[0].trimmed().toInt(&ok);
    const QString word = fields[1].trimmed();
    const QString reading = fields[2].trimmed();
    if (!ok || level < 1 || level > 5) {
        Fail(where, QStringLiteral("the level must be 1 to 5"));
        return std::nullopt;
    }
    if (word.isEmpty() || reading.isEmpty()) {
        Fail(where, QStringLiteral("empty word or reading"));
        return std::nullopt;
    }
    const QString codes = KanaToCodes(reading);
    if (CodesToKana(codes) != reading) {
        Fail(where,
             QStringLiteral("the reading %1 codes back as %2").arg(reading, CodesToKana(codes)));
        return std::nullopt;
    }
    QString bad;
    if (!EncodeWordText(word, &bad)) {
        Fail(where, QStringLiteral("%1 has no code page 932 code").arg(bad));
        return std::nullopt;
    }
    return codes + QLatin1Char(',') + gHexText + QString::number(level);
}

bool Build(const QString& sourcePath, const QString& outputPath) {
    const std::optional<QString> source = ReadSource(sourcePath);
    if (!source)
        return false;
    BuildKanaTable();

    std::array<int, 5> counts{};
    QStringList records;
    QSet<QString> seen;
    bool ok = true;
    const QStringList lines = source->split(QLatin1Char('\n'));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty() || line.startsWith(QLatin1Char('#')))
            continue;
        const QString where = QStringLiteral("%1:%2").arg(sourcePath).arg(i + 1);
        int level = 0;
        const std::optional<QString> record = BuildRecord(where, line, level);
        if (!record) {
            ok = false;
            continue;
        }
        const QString word = line.section(QLatin1Char('\t'), 1, 1).trimmed();
        if (seen.contains(word)) {
            Fail(where, QStringLiteral("%1 is listed twice").arg(word));
            ok = false;
            continue;
        }
        seen.insert(word);
        ++counts[level - 1];
        records.append(*record);
    }
    for (int level = 1; level <= 5; ++level) {
        if (counts[level - 1] < kMinWordsPerLevel) {
            Fail(sourcePath, QStringLiteral("level %1 has %2 words, at least %3 are needed")
                                 .arg(level)
                                 .arg(counts[level - 1])
                                 .arg(kMinWordsPerLevel));
            ok = false;
        }
    }
    if (!ok)
        return false;

    QByteArray out = QStringLiteral("%1,%2,%3,%4,%5\r\n")
                         .arg(counts[0])
                         .arg(counts[1])
                         .arg(counts[2])
                         .arg(counts[3])
                         .arg(counts[4])
                         .toLatin1();
    for (const QString& record : records)
        out += record.toLatin1() + "\r\n";
    QDir().mkpath(QFileInfo(outputPath).absolutePath());
    QString error;
    if (!WriteFileAtomic(outputPath, out, &error)) {
        Fail(outputPath, error);
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s SOURCE.txt OUTPUT.dat\n", argv[0]);
        return 2;
    }
    return Build(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2])) ? 0 : 1;
}
