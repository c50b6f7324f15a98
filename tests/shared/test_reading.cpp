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
