#include "wordlists/wordedit.h"

#include "platform/cp932.h"
#include "platform/platform.h"
#include "wordlists/inputcheck.h"
#include "wordlists/liststore.h"
#include "wordlists/recordcheck.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordfile.h"
#include "wordlists/wordlimits.h"

#include <QDir>

#include <functional>
#include <utility>

namespace {

// What a change does to the words of the list.
enum class Outcome {
    Changed,
    Refused,     // nothing changed, why says why
    ListChanged, // nothing changed: the word the user chose is no longer there
};
using Change = std::function<Outcome(WordRecords&, QString&)>;

// Applies change to the words of the loaded list and stores the list, the
// working files and the counts as one unit; records holds the words as the
// change left them. Unless the change is stored whole, why says what went
// wrong.
Outcome ChangeLoadedList(ProfileTransaction& ini, const Change& change, WordRecords& records,
                         Stored& stored, QString& why) {
    stored = Stored::Nothing;
    if (!ini.locked()) {
        why = ini.error();
        return Outcome::Refused;
    }
    if (gLoadedWordFile.isEmpty()) {
        why = QStringLiteral("単語ファイルが読み込まれていません。");
        return Outcome::Refused;
    }
    // Working files that hold the list are its words; else the list is read
    // and checked again.
    if (!ReadHeldWords(gLoadedWordFile, records)) {
        QByteArray bytes;
        switch (ReadList(gLoadedWordFile, bytes, records, why)) {
        case ListState::Missing:
            why = QStringLiteral("単語ファイル「%1」が見つかりません。").arg(gLoadedWordFile);
            return Outcome::Refused;
        case ListState::Refused:
            return Outcome::Refused;
        case ListState::Read:
            break;
        }
    }
    const Outcome outcome = change(records, why);
    if (outcome != Outcome::Changed)
        return outcome;
    const QByteArray list = records.listBytes();
    stored = StoreList(ini, gLoadedWordFile, &list, list, records, why);
    return stored == Stored::Nothing ? Outcome::Refused : Outcome::Changed;
}

// ChangeLoadedList with what went wrong shown; failure opens the message of
// a change not made. after, when given, gets the words of the list as the
// change left them, or, when the word the user chose was gone, as they are.
bool ChangeList(const QString& failure, std::optional<WordRecords>* after, const Change& change) {
    WordListUnit op;
    QString why;
    Stored stored = Stored::Nothing;
    WordRecords records;
    const Outcome outcome = ChangeLoadedList(op.ini(), change, records, stored, why);
    if (after)
        *after = outcome == Outcome::Refused ? std::nullopt
                                             : std::optional<WordRecords>(std::move(records));
    QString shown;
    if (outcome != Outcome::Changed)
        shown = failure + QLatin1Char('\n') + why;
    else if (stored == Stored::ListOnly)
        shown = ListOnlyText(gLoadedWordFile, why);
    ShowProblems(op.ini(), {shown});
    return outcome == Outcome::Changed;
}

// The line of the word the user saw among records: its own line while the
// words are those it was shown among; else the one line that holds the same
// word, and 0, with why, when it is gone or stands there more than once.
int FindSeenWord(const WordRecords& records, int line, const SeenWord& seen, QString& why) {
    if (records.version() == seen.listVersion && line >= 1 && line <= records.total())
        return line;
    const QList<int> lines = records.findRecord(seen.type1, seen.type2);
    if (lines.size() == 1)
        return lines.front();
    why =
        QStringLiteral("単語ファイル「%1」がもう一方のプログラムで変更されたため、"
                       "選んだ単語がどれか分かりません。今の一覧を表示します。選び直してください。")
            .arg(gLoadedWordFile);
    return 0;
}

// The type1 and type2 lines of a new word: gHexText, the word's coded
// characters, followed by the level digit, and the reading's codes; checked
// as a list's records are. Nothing, with why, when they cannot be stored.
std::optional<std::pair<QByteArray, QByteArray>>
EncodeNewRecord(const QString& word, const QString& readingCodes, int level, QString& why) {
    if (std::optional<QString> problem = WordTextProblem(word)) {
        why = std::move(*problem);
        return std::nullopt;
    }
    if (readingCodes.size() > qsizetype(kMaxReadingCodes) * 3) {
        why = QStringLiteral("読みが長すぎます。かなは%1個までにしてください。")
                  .arg(kMaxReadingCodes);
        return std::nullopt;
    }
    EncodeWordText(word); // every character has a code: WordTextProblem saw to it
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

// EncodeNewRecord for a change, which otherwise fails with failure and the
// reason shown.
std::optional<std::pair<QByteArray, QByteArray>>
CheckedRecord(const QString& failure, const QString& word, const QString& readingCodes, int level) {
    QString why;
    auto record = EncodeNewRecord(word, readingCodes, level, why);
    if (!record)
        ShowWarning(failure + QLatin1Char('\n') + why);
    return record;
}

} // namespace

bool AddWord(const QString& word, const QString& readingCodes, int level,
             std::optional<WordRecords>* after) {
    const QString failure = QStringLiteral("単語を追加できませんでした。");
    const auto record = CheckedRecord(failure, word, readingCodes, level);
    if (!record)
        return false;
    return ChangeList(failure, after, [&](WordRecords& records, QString& reason) {
        return AddRecord(records, *record, level, reason) ? Outcome::Changed : Outcome::Refused;
    });
}

bool DeleteWordRecord(std::int16_t recordNumber, const SeenWord& seen,
                      std::optional<WordRecords>* after) {
    return ChangeList(QStringLiteral("単語を削除できませんでした。"), after,
                      [&](WordRecords& records, QString& reason) {
                          const int line = FindSeenWord(records, recordNumber, seen, reason);
                          if (line == 0)
                              return Outcome::ListChanged;
                          RemoveRecord(records, line);
                          return Outcome::Changed;
                      });
}

bool ReplaceWord(std::int16_t recordNumber, const SeenWord& seen, const QString& word,
                 const QString& readingCodes, int level, std::optional<WordRecords>* after) {
    const QString failure = QStringLiteral("単語を変更できませんでした。");
    const auto record = CheckedRecord(failure, word, readingCodes, level);
    if (!record)
        return false;
    return ChangeList(failure, after, [&](WordRecords& records, QString& reason) {
        const int line = FindSeenWord(records, recordNumber, seen, reason);
        if (line == 0)
            return Outcome::ListChanged;
        RemoveRecord(records, line);
        return AddRecord(records, *record, level, reason) ? Outcome::Changed : Outcome::Refused;
    });
}

std::optional<SeenWord> SeeWord(const WordRecords& records, int line) {
    const auto record = records.record(line);
    if (!record)
        return std::nullopt;
    return SeenWord{record->first, record->second, records.version()};
}

std::optional<QString> NewWordProblem(const NewWord& word) {
    QString why;
    if (EncodeNewRecord(word.text, word.readingCodes, word.level, why))
        return std::nullopt;
    return why;
}

bool StoreWords(const QString& name, const QList<NewWord>& words, ListWrite mode, int& stored,
                QString& why) {
    stored = 0;
    WordListUnit op;
    if (!op.ini().locked()) {
        why = op.ini().error();
        return false;
    }
    if (std::optional<QString> problem = ListNameProblem(name)) {
        why = std::move(*problem);
        return false;
    }
    // The import and the practice list may run while neither program starts
    // for a long time: the leftovers of crashed writes go here too.
    CleanUpProgramFolder();
    WordRecords records;
    if (mode == ListWrite::Append && !ReadHeldWords(name, records)) {
        QByteArray bytes;
        switch (ReadList(name, bytes, records, why)) {
        case ListState::Missing:
            records = WordRecords();
            break;
        case ListState::Refused:
            return false;
        case ListState::Read:
            break;
        }
    }
    for (const NewWord& word : words) {
        const auto record = EncodeNewRecord(word.text, word.readingCodes, word.level, why);
        if (!record)
            return false;
        QString full; // the list is full: the words after are not stored
        if (!AddRecord(records, *record, word.level, full))
            break;
        ++stored;
    }
    const QByteArray list = records.listBytes();
    if (name == gLoadedWordFile) {
        switch (StoreList(op.ini(), name, &list, list, records, why)) {
        case Stored::All:
            return true;
        case Stored::ListOnly:
            why = ListOnlyText(name, why);
            return true;
        case Stored::Nothing:
            stored = 0;
            return false;
        }
    }
    QDir().mkpath(DataFolder());
    if (!WriteFileAtomic(DataFolder() + name, list, &why)) {
        stored = 0;
        return false;
    }
    return true;
}
