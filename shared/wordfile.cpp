#include "wordfile.h"

#include "atomicfile.h"
#include "classcount.h"
#include "config.h"
#include "cp932.h"
#include "inikeys.h"
#include "platform.h"
#include "recordcheck.h"
#include "recordcode.h"

#include <QDir>

#include <algorithm>
#include <functional>
#include <optional>

QStringList gDatFiles{QString()};
std::int16_t gDatFileCount = 0;
QString gWordFile;
QString gLoadedWordFile;

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

// The words of one operation, kept from one to the next: a list of 32767
// words takes a megabyte or two, and memory handed out afresh by the system
// for every operation costs more than the work done in it.
WordRecords& KeptRecords() {
    static WordRecords records;
    return records;
}

enum class ListState { Read, Missing, Refused };

// Reads and checks Data/name; why names the file and the line of a refused
// list.
ListState ReadList(const QString& name, QByteArray& bytes, WordRecords& records, QString& why) {
    std::optional<QByteArray> read = ReadWholeFile(DataFolder() + name);
    if (!read)
        return ListState::Missing;
    bytes = std::move(*read);
    QList<int> counts;
    if (const std::optional<Problem> problem =
            ParseWordList(bytes, counts, records.type1, records.type2)) {
        why =
            QStringLiteral("単語ファイル「%1」の%2行目が正しくないため、読み込みませんでした。\n%3")
                .arg(name)
                .arg(problem->line)
                .arg(problem->why);
        return ListState::Refused;
    }
    std::copy(counts.begin(), counts.end(), records.counts.begin());
    return ListState::Read;
}

// True when the working files hold list name as it is now; the counts in
// memory then follow them.
bool WorkFilesHold(const QString& name) {
    std::array<int, kLevels> counts{};
    if (!WorkFilesHold(name, DataFolder() + name, counts))
        return false;
    SetClassCounts(counts);
    return true;
}

// The words of list name from the working files when they hold it: checked
// when the list was loaded, so they need not be checked again.
bool ReadHeldWords(const QString& name, WordRecords& records) {
    return WorkFilesHold(name, DataFolder() + name, records.counts) && ReadWorkFiles(records);
}

// Replaces, as one unit, the files that hold list name: the list itself when
// newList is given, both working files, and FileInfo NAME, the counts and the
// stamp in ymconfig.ini, renamed in this order. A crash after the list leaves
// working files whose stamp no longer matches, and the next use makes them
// anew. When ymconfig.ini cannot be changed (ini.error() says why) the rest is
// written all the same: no stamp then vouches for the working files. False,
// with why, when the files could not be written; none of them changed.
bool StoreList(ProfileTransaction& ini, const QString& name, const QByteArray* newList,
               const QByteArray& listBytes, const WordRecords& records, QString& why) {
    // The working files are made anew whenever they do not match, so they
    // need not wait for the disk; the list and ymconfig.ini do.
    QList<FileContent> files;
    if (newList)
        files.append({DataFolder() + name, *newList});
    files.append({gType1Path, records.type1, false});
    files.append({gType2Path, records.type2, false});
    if (ini.error().isEmpty()) {
        const QString fallback = gProgramKind == ProgramKind::Game ? QStringLiteral("NOMAL")
                                                                   : QStringLiteral("NOMAL.dat");
        WriteProfile(IniKey::FileInfo, IniKey::ListName, fallback, name);
        for (int i = 0; i < kLevels; ++i)
            WriteProfile(IniKey::MessageClass, ClassCountKey(i), QStringLiteral("1"),
                         QString::number(records.counts[i]));
        WriteProfile(IniKey::FileInfo, IniKey::Stamp, QString(),
                     QString::fromLatin1(WorkFilesStamp(listBytes, records.countsText(),
                                                        records.type1, records.type2)));
        if (const auto file = ini.changedFile())
            files.append(*file);
    }
    VouchForWorkFiles(QString(), QString(), {}, false);
    if (!WriteFilesAtomic(files, &why)) {
        ini.discard();
        return false;
    }
    if (ini.error().isEmpty()) {
        ini.written();
        VouchForWorkFiles(name, DataFolder() + name, records.counts, newList != nullptr);
    }
    SetClassCounts(records.counts);
    gLoadedWordFile = name;
    return true;
}

// Why a list could not be loaded: refused (why names the file and the line)
// or not written (why says which file and why; said once in a run, as a list
// is loaded again and again in the background). A missing list says nothing.
struct LoadProblem {
    QString why;
    bool once = false;
};

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
    WordRecords& records = KeptRecords();
    if (ReadList(name, bytes, records, problem.why) != ListState::Read)
        return false;
    QString why;
    if (!StoreList(ini, name, nullptr, bytes, records, why)) {
        problem = {QStringLiteral("単語ファイル「%1」を作業ファイルに読み込めませんでした。\n%2")
                       .arg(name, why),
                   true};
        return false;
    }
    holdsWords = records.total() > 0;
    return true;
}

// Shows what an operation ends with: the problem, and ymconfig.ini that could
// not be changed, which is said once in a run.
void ShowProblems(ProfileTransaction& ini, const LoadProblem& problem) {
    if (!ini.error().isEmpty())
        ReportIniFailure(ini.error());
    if (problem.why.isEmpty())
        return;
    if (problem.once)
        ShowWarningOnce(problem.why, problem.why);
    else
        ShowWarning(problem.why);
}

// Loads list name as an operation of its own and shows what went wrong.
bool LoadShown(const QString& name, bool& holdsWords) {
    WordListUnit op;
    if (!op.ready())
        return false;
    LoadProblem problem;
    const bool loaded = !name.isEmpty() && Load(op.ini(), name, holdsWords, problem);
    ShowProblems(op.ini(), problem);
    return loaded;
}

using Change = std::function<bool(WordRecords&, QString&)>;

// Applies change to the words of the loaded list and stores the list, the
// working files and the counts as one unit; false, with why, when any of it
// fails.
bool ChangeLoadedList(ProfileTransaction& ini, const Change& change, QString& why) {
    if (!ini.locked()) {
        why = ini.error();
        return false;
    }
    if (gLoadedWordFile.isEmpty()) {
        why = QStringLiteral("単語ファイルが読み込まれていません。");
        return false;
    }
    // Working files that hold the list are its words; else the list is read
    // and checked again.
    WordRecords& records = KeptRecords();
    if (!ReadHeldWords(gLoadedWordFile, records)) {
        QByteArray bytes;
        switch (ReadList(gLoadedWordFile, bytes, records, why)) {
        case ListState::Missing:
            why = QStringLiteral("単語ファイル「%1」が見つかりません。").arg(gLoadedWordFile);
            return false;
        case ListState::Refused:
            return false;
        case ListState::Read:
            break;
        }
    }
    if (!change(records, why))
        return false;
    const QByteArray list = records.listBytes();
    return StoreList(ini, gLoadedWordFile, &list, list, records, why);
}

// ChangeLoadedList with its failure shown; failure opens the message. after,
// when given, gets the words of the list as the change left it.
bool ChangeList(const QString& failure, WordRecords* after, const Change& change) {
    WordListUnit op;
    QString why;
    const bool changed = ChangeLoadedList(op.ini(), change, why);
    if (changed && after)
        *after = KeptRecords();
    ShowProblems(op.ini(), {changed ? QString() : failure + QLatin1Char('\n') + why});
    return changed;
}

// The type1 and type2 lines of a new word: gHexText, the word's coded
// characters, followed by the level digit, and the reading's codes; checked
// as a list's records are. Nothing, with why, when they cannot be stored.
std::optional<std::pair<QByteArray, QByteArray>>
EncodeNewRecord(const QString& word, const QString& readingCodes, int level, QString& why) {
    QString unencodable;
    if (!EncodeWordText(word, &unencodable)) {
        why = QStringLiteral("「%1」は単語ファイルに保存できない文字です。\n"
                             "この文字を使わずに入力してください。")
                  .arg(unencodable);
        return std::nullopt;
    }
    gHexText += QString::number(level);
    const std::optional<QByteArray> type1 = EncodeCp932(gHexText);
    const std::optional<QByteArray> type2 = EncodeCp932(readingCodes);
    if (level < 1 || level > kLevels || !type1 || !type2) {
        why = QStringLiteral("単語のレベルが正しくありません。");
        return std::nullopt;
    }
    RecordCheck check;
    check.add(1, *type2, *type1);
    if (const std::optional<Problem> problem = check.problem()) {
        why = problem->why;
        return std::nullopt;
    }
    return std::pair{*type1, *type2};
}

// Appends a checked record to records; false, with why, at the size limit.
bool AddRecord(WordRecords& records, const std::pair<QByteArray, QByteArray>& record, int level,
               QString& why) {
    if (records.total() >= kMaxCount) {
        why = QStringLiteral("単語は32767件までしか登録できません。");
        return false;
    }
    records.type1 += record.first + "\r\n";
    records.type2 += record.second + "\r\n";
    ++records.counts[level - 1];
    return true;
}

// Takes record n out of records, lowering its level's count.
void RemoveRecord(WordRecords& records, int n) {
    const QByteArray type1 = records.takeRecord(n);
    --records.counts[type1.back() - '1'];
}

// Sets gIniPath and the working-file paths, first, as the lock lives beside
// ymconfig.ini.
bool SetPaths() {
    ConfigFileExists();
    SetWorkFilePaths();
    return true;
}

} // namespace

WordListUnit::WordListUnit() : m_ini((SetPaths(), ProfileTransaction())) {}

bool WordListUnit::ready() {
    if (!m_ini.locked())
        ShowWarning(m_ini.error());
    return m_ini.locked();
}

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
    // The words last read, kept while the working files stay as they were.
    static std::array<std::optional<FileState>, 2> shownStates;
    static WordRecords shown;
    if (RepairWorkFiles()) {
        const std::array states{StateOf(gType1Path), StateOf(gType2Path)};
        if (states != shownStates || !states[0]) {
            if (!ReadWorkFiles(shown))
                return false;
            shownStates = states;
        }
        records = shown;
        std::copy(gClassCount.begin() + 1, gClassCount.end(), records.counts.begin());
        return true;
    }
    // Working files that cannot be written: the list itself shows the words.
    QByteArray bytes;
    QString why;
    return !gLoadedWordFile.isEmpty() &&
           ReadList(gLoadedWordFile, bytes, records, why) == ListState::Read;
}

bool AddWord(const QString& word, const QString& readingCodes, int level, WordRecords* after) {
    const QString failure = QStringLiteral("単語を追加できませんでした。");
    QString why;
    const auto record = EncodeNewRecord(word, readingCodes, level, why);
    if (!record) {
        ShowWarning(failure + QLatin1Char('\n') + why);
        return false;
    }
    return ChangeList(failure, after, [&](WordRecords& records, QString& reason) {
        return AddRecord(records, *record, level, reason);
    });
}

bool DeleteWordRecord(std::int16_t recordNumber, WordRecords* after) {
    return ChangeList(QStringLiteral("単語を削除できませんでした。"), after,
                      [&](WordRecords& records, QString&) {
                          if (recordNumber >= 1 && recordNumber <= records.total())
                              RemoveRecord(records, recordNumber);
                          return true;
                      });
}

bool ReplaceWord(std::int16_t recordNumber, const QString& word, const QString& readingCodes,
                 int level, WordRecords* after) {
    const QString failure = QStringLiteral("単語を変更できませんでした。");
    QString why;
    const auto record = EncodeNewRecord(word, readingCodes, level, why);
    if (!record) {
        ShowWarning(failure + QLatin1Char('\n') + why);
        return false;
    }
    return ChangeList(failure, after, [&](WordRecords& records, QString& reason) {
        if (recordNumber < 1 || recordNumber > records.total()) {
            reason = QStringLiteral("%1件目の単語がありません。").arg(recordNumber);
            return false;
        }
        RemoveRecord(records, recordNumber);
        return AddRecord(records, *record, level, reason);
    });
}

bool SaveWordFile() {
    WordListUnit op;
    if (!op.ready())
        return false;
    const QString name = gLoadedWordFile;
    if (name.isEmpty())
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
    const bool saved = StoreList(op.ini(), name, &list, list, records, why);
    ShowProblems(
        op.ini(),
        {saved ? QString()
               : QStringLiteral("単語ファイル「%1」に保存できませんでした。\n%2").arg(name, why)});
    return saved;
}

void SaveAndReloadWordFile() {
    const WordListUnit op;
    SaveWordFile();
    // Loading a list the working files hold already writes nothing.
    ConvertWordFile(gWordFile);
}
