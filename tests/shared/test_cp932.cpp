// Code page 932: text to bytes and back, and which bytes are well-formed.

#include "platform/cp932.h"

#include <QtTest>

class TestCp932 : public QObject {
    Q_OBJECT

private slots:
    // Trail bytes that look like ASCII, half-width kana and NEC specials go
    // both ways; a character the code page lacks cannot be encoded. Bad bytes
    // decode as U+FFFD; a pair without a character costs only its lead byte.
    void encodesAndDecodes() {
        const QString text = QString::fromUtf8("a\\~表ｱ①");
        const QByteArray bytes = "a\\~\x95\x5c\xb1\x87\x40";
        QCOMPARE(EncodeCp932(text).value_or("none"), bytes);
        QVERIFY(!EncodeCp932(QString::fromUtf8("a😀")));
        struct Row {
            QByteArray bytes;
            bool valid;
            const char* text;
        };
        const Row rows[] = {
            {bytes, true, "a\\~表ｱ①"}, {"\x85\x40", false, "�@"}, {"\x81\n", false, "�\n"},
            {"\xfc\xfc", false, "��"}, {"\xa0", false, "�"},      {"\x82\xa0\x82", false, "あ�"},
            {"\xdf", true, "ﾟ"},       {"\xfa\x54", true, "￢"},  {"a\x88\x9f!", true, "a亜!"}};
        for (const Row& row : rows) {
            QVERIFY2(IsValidCp932(row.bytes) == row.valid, row.bytes.toHex(' '));
            QCOMPARE(DecodeCp932(row.bytes), QString::fromUtf8(row.text));
        }
    }
};

QTEST_GUILESS_MAIN(TestCp932)
#include "test_cp932.moc"
