#include "wordlists/wordfile.h"

#include "config/config.h"
#include "platform/atomicfile.h"
#include "platform/platform.h"
#include "wordlists/classcount.h"

#include <QDir>

#include <algorithm>
#include <optional>

QStringList gDatFiles{QString()};
std::int16_t gDatFileCount = 0;
QString gWordFile;

namespace {

// Loads list name into the working files; false, with the problem, when it
// is missing, refused or cannot be written.
bool Load(ProfileTransaction& ini, const QString& name, bool& holdsWords, LoadProblem& problem) {
    // Working files that hold the list already are what a conversion writes.
    if (WorkFilesHold(name)) {
        holdsWords = std::any_of(gClassCount.begin() + 1, gClassCount.end(),
                                 [](std::int16_t count) { return count > 0; });
        gLoadedWordFile = name;
        return true;
    }
    QByteArray bytes;
    WordRecords records;
    if (ReadList(name, bytes, records, problem.why) != ListState::Read)
        return false;
    QString why;
    if (StoreList(ini, name, nullptr, bytes, records, why) != Stored::All) {
        problem = {QStringLiteral("単語ファイル「%1」を作業ファイルに読み込めませんでした。\n%2")
                       .arg(name, why),
                   true};
        return false;
    }
    holdsWords = records.total() > 0;
    return true;
}

// Loads list name as an operation of its own and shows what went wrong.
bool LoadShown(const QString& name, bool& holdsWords) {
    if (name.isEmpty())
        return false;
    WordListUnit op;
    if (!op.ready(QStringLiteral("単語ファイル「%1」を読み込めませんでした。").arg(name)))
        return false;
    LoadProblem problem;
    const bool loaded = Load(op.ini(), name, holdsWords, problem);
    ShowProblems(op.ini(), problem);
    return loaded;
}

} // namespace

void LocateProgramFiles() {
    LocateConfigFile();
    SetWorkFilePaths();
}

bool WordListUnit::ready(const QString& notDone) {
    if (!m_ini.locked())
        ShowWarning(notDone + QLatin1Char('\n') + m_ini.error());
    return m_ini.locked();
}

QString WordListTitle(const QString& fileName) {
    return fileName.left(std::max<qsizetype>(0, fileName.size() - 4));
}

QStringList WordListNames() {
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
    return names;
}

QString NextWordList(const QStringList& names, const QString& current) {
    const qsizetype position = names.indexOf(current);
    return position < 0 ? current : names[(position + 1) % names.size()];
}

void ListWordFiles() {
    const QStringList names = WordListNames();
    gDatFileCount = static_cast<std::int16_t>(names.size());
    const QString standard = QStringLiteral("Nomal.dat");
    gWordFile = names.contains(standard) ? standard : names.value(0);
    gDatFiles = names;
    gDatFiles.append(QString());
}

void CleanUpProgramFolder() {
    const WordListUnit op;
    RemoveStaleTempFiles(ProgramFolder());
    RemoveStaleTempFiles(DataFolder());
}

bool ConvertWordFile(const QString& fileName) {
    bool holdsWords = false;
    return IsPlainFileName(fileName) && LoadShown(fileName, holdsWords) && holdsWords;
}

bool RepairWorkFiles() {
    bool holdsWords = false;
    return LoadShown(gLoadedWordFile, holdsWords);
}

bool ReadLoadedWords(WordRecords& records) {
    const WordListUnit op;
    if (RepairWorkFiles()) {
        if (!ReadWorkFiles(records))
            return false;
        std::copy(gClassCount.begin() + 1, gClassCount.end(), records.counts.begin());
        return true;
    }
    // Working files that cannot be written: the list itself shows the words.
    QByteArray bytes;
    QString why;
    return !gLoadedWordFile.isEmpty() &&
           ReadList(gLoadedWordFile, bytes, records, why) == ListState::Read;
}

bool SaveWordFile() {
    const QString name = gLoadedWordFile;
    if (name.isEmpty())
        return false;
    WordListUnit op;
    if (!op.ready(QStringLiteral("単語ファイル「%1」に保存できませんでした。").arg(name)))
        return false;
    // The list as the last change wrote it, or working files that hold
    // another list (or none): every change is in the list already.
    WordRecords records;
    if (ListIsSaved(name, DataFolder() + name) || !ReadHeldWords(name, records))
        return true;
    const QByteArray list = records.listBytes();
    if (ReadWholeFile(DataFolder() + name) == list) {
        VouchForWorkFiles(name, DataFolder() + name, records.counts, true);
        return true;
    }
    QString why;
    const Stored stored = StoreList(op.ini(), name, &list, list, records, why);
    ShowProblems(
        op.ini(),
        {stored == Stored::All ? QString()
         : stored == Stored::ListOnly
             ? ListOnlyText(name, why)
             : QStringLiteral("単語ファイル「%1」に保存できませんでした。\n%2").arg(name, why)});
    return stored != Stored::Nothing;
}

void SaveAndReloadWordFile() {
    const WordListUnit op;
    SaveWordFile();
    // Loading a list the working files hold already writes nothing.
    ConvertWordFile(gWordFile);
}
