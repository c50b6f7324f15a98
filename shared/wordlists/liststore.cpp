#include "wordlists/liststore.h"

#include "config/inikeys.h"
#include "platform/atomicfile.h"
#include "platform/cp932.h"
#include "platform/platform.h"
#include "wordlists/classcount.h"
#include "wordlists/recordcheck.h"

#include <QDir>

#include <algorithm>
#include <utility>

QString gLoadedWordFile;

namespace {

ProgramKind gProgramKind = ProgramKind::Game;

} // namespace

void SetProgramKind(ProgramKind kind) {
    gProgramKind = kind;
}

QString DataFolder() {
    return JoinPath(ProgramFolder(), QStringLiteral("Data")) + QLatin1Char('/');
}

bool IsPlainFileName(const QString& name) {
    // A leading dot (".." among them) makes a hidden file no program lists.
    if (name.isEmpty() || name.startsWith(QLatin1Char('.')) || QDir::isAbsolutePath(name))
        return false;
    for (const QChar c : name) {
        if (c == u'/' || c == u'\\' || c == u':' || c.unicode() < 0x20)
            return false;
    }
    return EncodeCp932(name).has_value();
}

ListState ReadList(const QString& name, QByteArray& bytes, WordRecords& records, QString& why) {
    // A list reached through a Data folder linked into another user's files
    // is not read, as it would not be written.
    if (const QString problem = FolderLinkProblem(DataFolder() + name); !problem.isEmpty()) {
        why = problem;
        return ListState::Refused;
    }
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

bool WorkFilesHold(const QString& name) {
    std::array<int, kLevels> counts{};
    if (!WorkFilesHold(name, DataFolder() + name, counts))
        return false;
    SetClassCounts(counts);
    return true;
}

bool ReadHeldWords(const QString& name, WordRecords& records) {
    return WorkFilesHold(name, DataFolder() + name, records.counts) && ReadWorkFiles(records);
}

Stored StoreList(ProfileTransaction& ini, const QString& name, const QByteArray* newList,
                 const QByteArray& listBytes, const WordRecords& records, QString& why) {
    // The working files are made anew whenever they do not match, so they
    // need not wait for the disk; the list and ymconfig.ini do. They are the
    // programs' own: a link at their place is replaced, never followed.
    QList<FileContent> files;
    if (newList)
        files.append({DataFolder() + name, *newList});
    files.append({gType1Path, records.type1, false, LinkPolicy::ReplaceLink});
    files.append({gType2Path, records.type2, false, LinkPolicy::ReplaceLink});
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
    qsizetype replaced = 0;
    if (!WriteFilesAtomic(files, &why, &replaced)) {
        // ymconfig.ini comes last, so it is never among the files replaced.
        ini.discard();
        if (replaced == 0 || !newList)
            return Stored::Nothing;
        SetClassCounts(records.counts);
        gLoadedWordFile = name;
        return Stored::ListOnly;
    }
    ReportWriteNote(std::exchange(why, QString()));
    if (ini.error().isEmpty()) {
        ini.written();
        VouchForWorkFiles(name, DataFolder() + name, records.counts, newList != nullptr);
    }
    SetClassCounts(records.counts);
    gLoadedWordFile = name;
    return Stored::All;
}

QString ListOnlyText(const QString& name, const QString& why) {
    return QStringLiteral(
               "単語ファイル「%1」への変更は保存しました。ただし作業ファイルを"
               "置き換えられませんでした。作業ファイルは次に使うときに作り直します。\n%2")
        .arg(name, why);
}

void ShowProblems(ProfileTransaction& ini, const LoadProblem& problem) {
    // Without the lock nothing was done, and the problem says so.
    if (ini.locked() && !ini.error().isEmpty())
        ReportIniFailure(ini.error());
    if (problem.why.isEmpty())
        return;
    if (problem.once)
        ShowWarningOnce(problem.why, problem.why);
    else
        ShowWarning(problem.why);
}
