#include "wordfile.h"

#include "atomicfile.h"
#include "classcount.h"
#include "config.h"
#include "cp932.h"
#include "kanacode.h"
#include "lines.h"
#include "platform.h"
#include "profile.h"
#include "recordcheck.h"
#include "wordlimits.h"
#include "workfiles.h"

#include <QDir>

#include <algorithm>
#include <optional>

QStringList gDatFiles{QString()};
std::int16_t gDatFileCount = 0;
QString gWordFile;

namespace {

ProgramKind gProgramKind = ProgramKind::Game;

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
