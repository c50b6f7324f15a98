#include "practicelist.h"

#include "config/config.h"
#include "history/historyqueries.h"
#include "history/practicechoice.h"
#include "history/weakkana.h"
#include "kana/kanacode.h"
#include "platform/atomicfile.h"
#include "platform/folderlock.h"
#include "platform/lines.h"
#include "platform/platform.h"
#include "play/drawing.h"
#include "play/settings.h"
#include "practicerecord.h"
#include "wordlists/liststore.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordedit.h"
#include "wordlists/wordfile.h"

#include <QFileInfo>

#include <numeric>

namespace {

// The words of every list in Data/ but the practice list, in the order the
// settings screen lists them; unreadable names those that were left out.
QList<CandidateWord> ReadCandidates(QStringList& unreadable) {
    QStringList names = WordListNames();
    names.removeAll(kPracticeListName);
    QList<CandidateWord> words;
    for (const QString& name : names) {
        QByteArray bytes;
        WordRecords records;
        QString why;
        if (ReadList(name, bytes, records, why) != ListState::Read) {
            unreadable.append(name);
            continue;
        }
        LineReader texts(records.type1);
        LineReader readings(records.type2);
        QByteArrayView text;
        QByteArrayView reading;
        while (texts.next(text) && readings.next(reading)) {
            CandidateWord word;
            SplitWordRecord(QString::fromLatin1(text), word.text);
            word.reading = CodesToKana(QString::fromLatin1(reading));
            // A word the list could not store would leave its level short.
            if (!NewWordProblem({word.text, KanaToCodes(word.reading), 1}))
                words.append(word);
        }
    }
    return words;
}

QString Joined(const QStringList& kana) {
    return kana.join(QStringLiteral("、"));
}

// Replaces the practice list with words and adds the list to the record of
// those made, both under one hold of the lock between the programs. False,
// with why, when the list could not be written; a record that could not be
// written is said in why on success.
bool StoreList(const QList<NewWord>& words, const QStringList& targets, int& stored, QString& why) {
    const FolderLock lock(gIniPath);
    if (lock.timedOut()) {
        why = lock.error();
        return false;
    }
    if (!StoreWords(kPracticeListName, words, ListWrite::Replace, stored, why))
        return false;
    QList<PracticeRecord> records = ReadPracticeRecords();
    records.append({QDateTime::currentDateTimeUtc(), targets});
    QString recordWhy;
    if (!WriteFileAtomic(JoinPath(ProgramFolder(), kPracticeRecordName),
                         PracticeRecordText(records), &recordWhy))
        why += (why.isEmpty() ? QString() : QStringLiteral("\n")) +
               QStringLiteral("練習の記録を書けなかったため、この練習の効果は表示されません。\n") +
               recordWhy;
    return true;
}

// The lines of the message about each level's words.
QString LevelLines(const PracticeChoice& choice) {
    QStringList levels;
    for (int level = 1; level <= kLevels; ++level) {
        const auto i = std::size_t(level - 1);
        levels.append(QStringLiteral("レベル%1: %2語（苦手なかなを含む単語 %3語）")
                          .arg(level)
                          .arg(choice.perLevel[i])
                          .arg(choice.targeted[i]));
    }
    return levels.join(QLatin1Char('\n'));
}

} // namespace

PracticeListOutcome MakePracticeList(HistoryDb& db) {
    PracticeListOutcome outcome;
    const QString noGames = QStringLiteral("まだゲームの記録がないため、苦手練習リストを作れません"
                                           "。ゆびまるで遊んでから作ってください。");
    if (!db.isOpen()) {
        QString message;
        if (!QFileInfo::exists(db.path()))
            message = noGames;
        else if (db.open(&message))
            message.clear();
        if (!message.isEmpty()) {
            outcome.text = message;
            return outcome;
        }
    }
    QString error;
    const QList<KanaFigures> kana = ReadKanaFigures(db, &error);
    if (kana.isEmpty()) {
        outcome.text = error.isEmpty() ? noGames : error;
        return outcome;
    }
    const double playerRate = PlayerMissRate(kana);
    QList<PracticeTarget> targets;
    for (const RankedKana& weak : WeakestByMisses(kana)) {
        outcome.weakKana.append(weak.figures.kana);
        targets.append({weak.figures.kana, weak.score - playerRate});
    }
    if (targets.isEmpty()) {
        outcome.text = QStringLiteral("まだミスが少ないため、苦手なかながありません。"
                                      "苦手練習リストは作りませんでした。");
        return outcome;
    }
    QStringList next;
    for (const RankedKana& missed : MissedNotWeak(kana))
        next.append(missed.figures.kana);

    QStringList unreadable;
    const int least = LeastLevelCount(kMaxWordCount);
    const PracticeChoice choice =
        ChoosePracticeWords(targets, next, ReadCandidates(unreadable), least);
    const QString leftOut = unreadable.isEmpty()
                                ? QString()
                                : QStringLiteral("\n読めない単語ファイル（%1）は使いませんでした。")
                                      .arg(Joined(unreadable));
    if (std::accumulate(choice.targeted.begin(), choice.targeted.end(), 0) == 0) {
        outcome.text = QStringLiteral("苦手なかな（%1）を含む単語が Data フォルダーの単語ファイルに"
                                      "見つからないため、苦手練習リストを作りませんでした。")
                           .arg(Joined(outcome.weakKana)) +
                       leftOut;
        return outcome;
    }
    if (choice.shortLevel != 0) {
        outcome.text =
            QStringLiteral("Data フォルダーの単語ファイルにレベル%1の単語が足りないため、"
                           "苦手練習リストを作りませんでした（各レベル%2語以上が必要です）。")
                .arg(choice.shortLevel)
                .arg(least) +
            leftOut;
        return outcome;
    }
    QList<NewWord> words;
    for (const PracticeWord& word : choice.words)
        words.append({word.text, KanaToCodes(word.reading), word.level});
    int stored = 0;
    QString why;
    if (!StoreList(words, outcome.weakKana, stored, why)) {
        outcome.text = QStringLiteral("苦手練習リスト「%1」を書けませんでした。\n%2")
                           .arg(kPracticeListName, why);
        return outcome;
    }
    outcome.written = true;
    outcome.perLevel = choice.perLevel;
    outcome.targeted = choice.targeted;
    outcome.text =
        QStringLiteral("苦手練習リスト「%1」に %2 語を書きました。\n%3\n苦手なかな: %4\n"
                       "ゆびまるの設定画面で単語ファイル「%5」を選ぶと練習できます。")
            .arg(kPracticeListName)
            .arg(stored)
            .arg(LevelLines(choice), Joined(outcome.weakKana), WordListTitle(kPracticeListName)) +
        leftOut;
    if (!why.isEmpty())
        outcome.text += QLatin1Char('\n') + why;
    return outcome;
}
