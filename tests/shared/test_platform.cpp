#include "platform.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void encode_data();
    void encode();
    void invalidInput();
    void decode_data();
    void decode();
    void atomicWrite();
};

void TestPlatform::encode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("encodable");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("ASCII with backslash and tilde") << "a\\~" << true << QByteArray("a\\~");
    QTest::newRow("kanji with trail backslash")
        << QString::fromUtf8("表") << true << QByteArray("\x95\x5c");
    QTest::newRow("half-width katakana") << QString::fromUtf8("ｱ") << true << QByteArray("\xb1");
    QTest::newRow("circled digit") << QString::fromUtf8("①") << true << QByteArray("\x87\x40");
    QTest::newRow("emoji") << QString::fromUtf8("a😀") << false << QByteArray();
    QTest::newRow("lone surrogate") << QString(QChar(0xD800)) << false << QByteArray();
}

void TestPlatform::encode() {
    QFETCH(QString, text);
    QFETCH(bool, encodable);
    QFETCH(QByteArray, bytes);

    const std::optional<QByteArray> encoded = EncodeCp932(text);
    QCOMPARE(encoded.has_value(), encodable);
    if (!encodable)
        return;
    QCOMPARE(*encoded, bytes);
    QCOMPARE(DecodeCp932(bytes), text);
    if (text.size() == 1) {
        int code = 0;
        for (const char b : bytes)
            code = code << 8 | static_cast<unsigned char>(b);
        QCOMPARE(Cp932Code(text), code);
        QCOMPARE(Cp932Character(code), text);
    }
}

void TestPlatform::invalidInput() {
    const QChar bad = QChar::ReplacementCharacter;
    QCOMPARE(DecodeCp932("a\x81 b"), QString("a") + bad + " b");
    QCOMPARE(DecodeCp932("x\x95"), QString("x") + bad);
    QVERIFY(!IsValidCp932("x\x95"));
    QVERIFY(IsValidCp932("x\x95\x5c"));
    QCOMPARE(Cp932Character(0x81), QString(bad));
    QCOMPARE(Cp932Code(QString::fromUtf8("😀")), -1);
    QCOMPARE(Cp932Code("ab"), -1);
}

void TestPlatform::decode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<QString>("text");
    const QString bad(QChar::ReplacementCharacter);

    // A pair without a character costs only its lead byte.
    QTest::newRow("unmapped pair") << QByteArray("\x85\x40") << false << bad + "@";
    QTest::newRow("lead before line end") << QByteArray("\x81\n") << false << bad + "\n";
    QTest::newRow("lead before lead") << QByteArray("\xfc\xfc") << false << bad + bad;
    QTest::newRow("pair then lone lead")
        << QByteArray("\x82\xa0\x82") << false << QString::fromUtf8("あ") + bad;
    QTest::newRow("unassigned single byte") << QByteArray("\xa0") << false << bad;
    QTest::newRow("last half-width kana") << QByteArray("\xdf") << true << QString::fromUtf8("ﾟ");
    QTest::newRow("extension kanji row")
        << QByteArray("\xfa\x54") << true << QString::fromUtf8("￢");
    QTest::newRow("kanji between letters") << QByteArray("a\x88\x9f"
                                                         "b")
                                           << true << QString::fromUtf8("a亜b");
}

void TestPlatform::decode() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, valid);
    QFETCH(QString, text);

    QCOMPARE(IsValidCp932(bytes), valid);
    QCOMPARE(DecodeCp932(bytes), text);
    // One code on its own gives the same character, or none.
    if (bytes.size() <= 2) {
        int code = 0;
        for (const char b : bytes)
            code = code << 8 | static_cast<unsigned char>(b);
        QCOMPARE(Cp932Character(code), valid ? text : QString(QChar::ReplacementCharacter));
    }
}

void TestPlatform::atomicWrite() {
    QTemporaryDir dir;
    const QString path = dir.filePath("type1");
    QString error;
    QVERIFY(WriteFileAtomic(path, "old", &error));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);

    SetWriteFaultHook([](const QString&) { return false; });
    QVERIFY(!WriteFileAtomic(path, "new", &error));
    SetWriteFaultHook(nullptr);
    QVERIFY(!error.isEmpty());
    QCOMPARE(ReadWholeFile(path).value_or(QByteArray()), QByteArray("old"));
    // No temporary file is left behind.
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"type1"});

    QVERIFY(WriteFileAtomic(path, "new", &error));
    QCOMPARE(ReadWholeFile(path).value_or(QByteArray()), QByteArray("new"));
    QCOMPARE(QFile::permissions(path) & 0x7077,
             QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"type1"});
    QVERIFY(!ReadWholeFile(dir.filePath("missing")).has_value());
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
