#include "atomicfile.h"
#include "cp932.h"

#include <QtTest>

#include <tuple>

namespace {
// The code of a one- or two-byte sequence, high byte first.
int CodeOf(const QByteArray& bytes) {
    int code = 0;
    for (const char b : bytes)
        code = code << 8 | static_cast<unsigned char>(b);
    return code;
}
} // namespace

class TestPlatform : public QObject {
    Q_OBJECT

private slots:
    void codePage932() {
        const std::pair<const char*, QByteArray> encodable[] = {
            {"a\\~", "a\\~"}, {"表", "\x95\x5c"}, {"ｱ", "\xb1"}, {"①", "\x87\x40"}};
        for (const auto& [utf8, bytes] : encodable) {
            const QString text = QString::fromUtf8(utf8);
            QCOMPARE(EncodeCp932(text).value_or("none"), bytes);
            QCOMPARE(DecodeCp932(bytes), text);
            if (text.size() == 1) {
                QCOMPARE(Cp932Code(text), CodeOf(bytes));
                QCOMPARE(Cp932Character(CodeOf(bytes)), text);
            }
        }
        QVERIFY(!EncodeCp932(QString::fromUtf8("a😀")));
        QVERIFY(!EncodeCp932(QString(QChar(0xD800))));
        QCOMPARE(Cp932Code(QString::fromUtf8("😀")), -1);
        QCOMPARE(Cp932Code("ab"), -1);

        // Bad bytes decode as U+FFFD; a pair without a character costs only
        // its lead byte. A code on its own gives the same character, or none.
        const std::tuple<QByteArray, bool, const char*> decoded[] = {
            {"\x85\x40", false, "�@"},      {"\x81\n", false, "�\n"},
            {"\xfc\xfc", false, "��"},      {"\xa0", false, "�"},
            {"\x82\xa0\x82", false, "あ�"}, {"x\x95", false, "x�"},
            {"a\x81 b", false, "a� b"},     {"\xdf", true, "ﾟ"},
            {"\xfa\x54", true, "￢"},       {"a\x88\x9f!", true, "a亜!"}};
        for (const auto& [bytes, valid, text] : decoded) {
            QCOMPARE(IsValidCp932(bytes), valid);
            QCOMPARE(DecodeCp932(bytes), QString::fromUtf8(text));
            if (bytes.size() <= 2)
                QCOMPARE(Cp932Character(CodeOf(bytes)), QString::fromUtf8(valid ? text : "�"));
        }
    }

    void atomicWrite() {
        QTemporaryDir dir;
        const QString path = dir.filePath("type1");
        QString error;
        QVERIFY(WriteFileAtomic(path, "old", &error));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        const QStringList justTheFile{"type1"}; // no temporary file is left behind

        SetWriteFaultHook([](const QString&) { return false; });
        QVERIFY(!WriteFileAtomic(path, "new", &error));
        SetWriteFaultHook(nullptr);
        QVERIFY(!error.isEmpty());
        QCOMPARE(ReadWholeFile(path).value_or(""), QByteArray("old"));
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), justTheFile);

        QVERIFY(WriteFileAtomic(path, "new", &error));
        QCOMPARE(ReadWholeFile(path).value_or(""), QByteArray("new"));
        QCOMPARE(QFile::permissions(path) & 0x7077,
                 QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup);
        QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), justTheFile);
        QVERIFY(!ReadWholeFile(dir.filePath("missing")).has_value());
    }
};

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
