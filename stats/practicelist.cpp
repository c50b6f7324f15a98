#include "practicelist.h"

#include "history/historyqueries.h"
#include "history/practicechoice.h"
#include "history/weakkana.h"
#include "kana/kanacode.h"
#include "platform/lines.h"
#include "wordlists/liststore.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordedit.h"
#include "wordlists/wordfile.h"

#include <QFileInfo>

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
            words.append(word);
        }
    }
    return words;
}

QString Joined(const QStringList& kana) {
    return kana.join(QStringLiteral("、"));
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
    for (const RankedKana& weak : WeakestByMisses(kana))
        outcome.weakKana.append(weak.figures.kana);
    if (outcome.weakKana.isEmpty()) {
        outcome.text = QStringLiteral("まだミスが少ないため、苦手なかながありません。"
                                      "苦手練習リストは作りませんでした。");
        return outcome;
    }

    QStringList unreadable;
    const QList<PracticeWord> chosen =
        ChoosePracticeWords(outcome.weakKana, ReadCandidates(unreadable));
    QList<NewWord> words;
    for (const PracticeWord& word : chosen) {
        const NewWord entry{word.text, KanaToCodes(word.reading), word.level};
        if (!NewWordProblem(entry))
            words.append(entry);
    }
    const QString leftOut = unreadable.isEmpty()
                                ? QString()
                                : QStringLiteral("\n読めない単語ファイル（%1）は使いませんでした。")
                                      .arg(Joined(unreadable));
    if (words.isEmpty()) {
        outcome.text = QStringLiteral("苦手なかな（%1）を含む単語が Data フォルダーの単語ファイルに"
                                      "見つからないため、苦手練習リストを作りませんでした。")
                           .arg(Joined(outcome.weakKana)) +
                       leftOut;
        return outcome;
    }
    int stored = 0;
    QString why;
    if (!StoreWords(kPracticeListName, words, ListWrite::Replace, stored, why)) {
        outcome.text = QStringLiteral("苦手練習リスト「%1」を書けませんでした。\n%2")
                           .arg(kPracticeListName, why);
        return outcome;
    }
    outcome.written = true;
    for (qsizetype i = 0; i < stored; ++i)
        ++outcome.perLevel[std::size_t(words[i].level - 1)];
    QStringList levels;
    for (int level = 1; level <= 5; ++level)
        levels.append(QStringLiteral("レベル%1: %2語")
                          .arg(level)
                          .arg(outcome.perLevel[std::size_t(level - 1)]));
    outcome.text = QStringLiteral("苦手練習リスト「%1」に %2 語を書きました。\n%3\n苦手なかな: %4\n"
                                  "ゆびまるの設定画面で単語ファイル「%5」を選ぶと練習できます。")
                       .arg(kPracticeListName)
                       .arg(stored)
                       .arg(levels.join(QStringLiteral("、")), Joined(outcome.weakKana),
                            WordListTitle(kPracticeListName)) +
                   leftOut;
    if (!why.isEmpty())
        outcome.text += QLatin1Char('\n') + why;
    return outcome;
}
