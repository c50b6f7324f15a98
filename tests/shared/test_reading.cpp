// Suggested readings from MeCab and the IPA dictionary, and the programs'
// behaviour without them.

#include "reading/reading.h"
#include "testsupport.h"

#include <QtTest>

using namespace Qt::StringLiterals;

class TestReading : public QObject {
    Q_OBJECT

private slots:
    void suggestions_data() {
        QTest::addColumn<QString>("word");
        QTest::addColumn<QString>("reading");
        QTest::newRow("kanji") << u"学校"_s << u"がっこう"_s;
        QTest::newRow("kanji, long vowel spelt out") << u"東京"_s << u"とうきょう"_s;
        QTest::newRow("kanji and kana") << u"食べる"_s << u"たべる"_s;
        QTest::newRow("katakana with ー") << u"ラーメン"_s << u"らーめん"_s;
        QTest::newRow("hiragana") << u"ひらがな"_s << u"ひらがな"_s;
        // Kana alone is taken as it is: MeCab would split it as ふ + ぁいと.
        QTest::newRow("kana MeCab misreads") << u"ふぁいと"_s << u"ふぁいと"_s;
        QTest::newRow("half-width katakana") << u"ｶﾞｯｺｳ"_s << u"がっこう"_s;
        QTest::newRow("punctuation has no sound") << u"「本」。"_s << u"ほん"_s;
        // The dictionary's first analysis is pieces, a name or a literary form.
        QTest::newRow("whole entry, not number and counter") << u"一晩"_s << u"ひとばん"_s;
        QTest::newRow("number and counter, not a place") << u"一日"_s << u"いちにち"_s;
        QTest::newRow("not read as 割れる") << u"割る"_s << u"わる"_s;
        QTest::newRow("verb as its polite form reads") << u"帰す"_s << u"かえす"_s;
        QTest::newRow("how many, not the literary reading") << u"何人"_s << u"なんにん"_s;
        QTest::newRow("everyday 日本") << u"日本料理"_s << u"にほんりょうり"_s;
        QTest::newRow("compound parts") << u"牛丼"_s << u"ぎゅうどん"_s;
        QTest::newRow("付ける voiced after a noun") << u"印象付ける"_s << u"いんしょうづける"_s;
        QTest::newRow("つ closing before する") << u"熱する"_s << u"ねっする"_s;
        // Numbers with their counters, as they are said.
        QTest::newRow("number before a counter") << u"一回"_s << u"いっかい"_s;
        QTest::newRow("native count") << u"一人"_s << u"ひとり"_s;
        QTest::newRow("native count of a long number") << u"二十歳"_s << u"はたち"_s;
        QTest::newRow("digit said short") << u"四時"_s << u"よじ"_s;
        // Today's kana where the dictionary keeps the old づ and ぢ, but not for a
        // voiced つ or ち starting a compound's part or repeating a sound.
        QTest::newRow("old づ in a word") << u"預ける"_s << u"あずける"_s;
        QTest::newRow("old づ at the start") << u"図形"_s << u"ずけい"_s;
        QTest::newRow("old づ after つ of another kanji") << u"骨髄"_s << u"こつずい"_s;
        QTest::newRow("voiced つ in a compound") << u"三日月"_s << u"みかづき"_s;
        QTest::newRow("voiced ち in a compound") << u"鼻血"_s << u"はなぢ"_s;
        QTest::newRow("repeated つ") << u"続く"_s << u"つづく"_s;
        QTest::newRow("repeated ち") << u"縮む"_s << u"ちぢむ"_s;
        QTest::newRow("づ written in the word") << u"気づく"_s << u"きづく"_s;
        QTest::newRow("letters") << u"xyz"_s << QString();
        QTest::newRow("symbol") << u"★"_s << QString();
        QTest::newRow("unknown kanji") << u"㐂"_s << QString();
        QTest::newRow("known and unknown part") << u"東京xyz"_s << QString();
        // ゔ has no kana code.
        QTest::newRow("reading the editor refuses") << u"ヴァイオリン"_s << QString();
    }

    void suggestions() {
        QFETCH(QString, word);
        QFETCH(QString, reading);
        QCOMPARE(SuggestReading(word), reading);
    }

    // The next-best readings are a step away, going round, and each is one the
    // game can code.
    void otherReadings() {
        const QStringList readings = SuggestReadings(u"帰す"_s);
        QVERIFY2(readings.size() > 1, qPrintable(readings.join(u' ')));
        QCOMPARE(readings.first(), SuggestReading(u"帰す"_s));
        QVERIFY2(readings.contains(u"きす"_s), qPrintable(readings.join(u' ')));
        const QString next = OtherReading(u"帰す"_s, readings.first(), 1);
        QCOMPARE(next, readings[1]);
        QCOMPARE(OtherReading(u"帰す"_s, next, -1), readings.first());
        QCOMPARE(OtherReading(u"帰す"_s, readings.first(), -1), readings.last());
        // A reading the user typed is not among them: the step starts over.
        QCOMPARE(OtherReading(u"帰す"_s, u"かえしす"_s, 1), readings.first());
        QCOMPARE(SuggestReadings(u"xyz"_s), QStringList());
        QCOMPARE(OtherReading(u"xyz"_s, QString(), 1), QString());
        // A word too long to read quickly is not read, whichever way it is asked.
        const QString tooLong(kMaxSuggestedWordLength + 1, u'漢');
        QCOMPARE(OtherReading(tooLong, QString(), 1), QString());
    }

    // Without the library, or with only a dictionary that does not take UTF-8
    // (Debian's EUC-JP ipadic), nothing is suggested, not even for kana, and
    // nothing is said; a UTF-8 dictionary later in the list is used.
    void withoutMeCab() {
        MessageCapture capture;
        SetReadingSource(u"libmecab-missing.so.2"_s, {QString()});
        QCOMPARE(SuggestReading(u"学校"_s), QString());
        QCOMPARE(SuggestReading(u"ひらがな"_s), QString());
        const QString euc = u"/var/lib/mecab/dic/ipadic"_s;
        SetReadingSource(u"libmecab.so.2"_s, {euc});
        QCOMPARE(SuggestReading(u"学校"_s), QString());
        SetReadingSource(u"libmecab.so.2"_s, {euc, u"/var/lib/mecab/dic/ipadic-utf8"_s});
        QCOMPARE(SuggestReading(u"学校"_s), u"がっこう"_s);
        SetDefaultReadingSource();
        QCOMPARE(capture.messages.size(), 0);
    }
};

QTEST_GUILESS_MAIN(TestReading)
#include "test_reading.moc"
