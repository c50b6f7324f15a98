// Readings as three-digit kana codes and back.

#include "kana/kanacode.h"

#include <QtTest>

class TestKanaCode : public QObject {
    Q_OBJECT

private slots:
    // Each kana and kana pair of the table reads as its own code and back; a
    // small kana joins the kana before it. Blanks, pairs the table lacks and
    // other characters are dropped, and so are group 0, unknown codes and a
    // trailing part group.
    void readingsAndCodesBothWays() {
        BuildKanaTable();
        for (int code = 1; code <= 118; ++code) {
            const QString codes = QStringLiteral("%1").arg(code, 3, 10, QChar('0'));
            QCOMPARE(KanaToCodes(gKana[code]), codes);
            QCOMPARE(CodesToKana(codes), gKana[code]);
        }
        QCOMPARE(KanaToCodes("しゃしん"), QString("075012046"));
        QCOMPARE(KanaToCodes("ぎゃっ"), QString("093108"));
        QCOMPARE(KanaToCodes(" あてゃカい "), QString("001002"));
        QCOMPARE(CodesToKana("00011900700"), QString("き"));
    }
};

QTEST_GUILESS_MAIN(TestKanaCode)
#include "test_kanacode.moc"
