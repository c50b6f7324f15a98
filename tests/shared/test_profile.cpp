#include "platform.h"
#include "profile.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// Code page 932 bytes of a few characters whose trail byte looks like ASCII.
const QByteArray kA("\x83\x41");      // ア (trail "A")
const QByteArray kDi("\x83\x61");     // ヂ (trail "a")
const QByteArray kHyo("\x95\x5c");    // 表 (trail "\")
const QByteArray kUn("\x89\x5d");     // 云 (trail "]")
const QByteArray kNearly("\x87\x90"); // ≒, which comes back as 81 E0 through Unicode

constexpr int kBig = 1 << 20;

// The second process of the concurrency test: writes prefix0..prefixN-1.
int RunWriter(const QString& path, const QByteArray& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        if (!WriteProfileValue("S", prefix + QByteArray::number(i), QByteArray::number(i), path))
            return 1;
    }
    return 0;
}

} // namespace

class TestProfile : public QObject {
    Q_OBJECT

private slots:
    void lookup_data();
    void lookup();
    void write_data();
    void write();
    void refusedWrites_data();
    void refusedWrites();
    void fileAccess();
    void concurrentWritersLoseNothing();
};

void TestProfile::lookup_data() {
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<int>("bufferSize");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("letter case ignored")
        << QByteArray("[GameConfig]\r\nLEVEL=3\r\n") << QByteArray("gameconfig")
        << QByteArray("level") << kBig << QByteArray("3");
    QTest::newRow("blanks around names and value")
        << QByteArray("  [ S ]  \r\n  key \t=  a  b \t\r\n") << QByteArray("S") << QByteArray("key")
        << kBig << QByteArray("a  b");
    QTest::newRow("double quotes") << QByteArray("[S]\r\nk=\" a \"\r\n") << QByteArray("S")
                                   << QByteArray("k") << kBig << QByteArray(" a ");
    QTest::newRow("single quotes") << QByteArray("[S]\r\nk='x'\r\n") << QByteArray("S")
                                   << QByteArray("k") << kBig << QByteArray("x");
    QTest::newRow("unmatched quotes") << QByteArray("[S]\r\nk=\"x'\r\n") << QByteArray("S")
                                      << QByteArray("k") << kBig << QByteArray("\"x'");
    QTest::newRow("comment and line without =")
        << QByteArray("[S]\r\n;k=1\r\nk\r\nk=2\r\n") << QByteArray("S") << QByteArray("k") << kBig
        << QByteArray("2");
    QTest::newRow("first duplicate key") << QByteArray("[S]\r\nk=1\r\nK=2\r\n") << QByteArray("S")
                                         << QByteArray("k") << kBig << QByteArray("1");
    QTest::newRow("only the first duplicate section")
        << QByteArray("[S]\r\nk=1\r\n[s]\r\nj=3\r\n") << QByteArray("S") << QByteArray("j") << kBig
        << QByteArray();
    QTest::newRow("key of another section")
        << QByteArray("k=0\r\n[A]\r\nk=1\r\n[B]\r\n") << QByteArray("B") << QByteArray("k") << kBig
        << QByteArray();
    QTest::newRow("empty value") << QByteArray("[S]\r\nk=  \r\n") << QByteArray("S")
                                 << QByteArray("k") << kBig << QByteArray();
    QTest::newRow("bare LF line ends") << QByteArray("[S]\nk=v\n") << QByteArray("S")
                                       << QByteArray("k") << kBig << QByteArray("v");
    QTest::newRow("trail byte ] in section name") << QByteArray("[" + kUn + "]\r\nk=v\r\n") << kUn
                                                  << QByteArray("k") << kBig << QByteArray("v");
    QTest::newRow("trail bytes are not folded")
        << QByteArray("[S]\r\n" + kDi + "=1\r\n" + kA + "=2\r\n") << QByteArray("S") << kA << kBig
        << QByteArray("2");
    QTest::newRow("cut to the buffer") << QByteArray("[S]\r\nk=abcdefg\r\n") << QByteArray("S")
                                       << QByteArray("k") << 5 << QByteArray("abcd");
    QTest::newRow("cut never splits a character")
        << QByteArray("[S]\r\nk=a" + kA + kA + "\r\n") << QByteArray("S") << QByteArray("k") << 5
        << QByteArray("a" + kA);
}

void TestProfile::lookup() {
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(int, bufferSize);
    QFETCH(QByteArray, expected);

    QByteArray value("stale");
    QCOMPARE(GetProfileValueIn(content, section, key, value, bufferSize), expected.size());
    QCOMPARE(value, expected);
}

void TestProfile::write_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QByteArray>("after");

    const QByteArray odd = "; " + kNearly + kHyo + "\r\n[X]\nname=" + kHyo + "\r\n\r\n";
    QTest::newRow("other lines kept byte for byte")
        << QByteArray(odd + "[S]\r\nLevel = 3 \r\nz=" + kNearly + "\r\n") << QByteArray("s")
        << QByteArray("LEVEL") << QByteArray("4")
        << QByteArray(odd + "[S]\r\nLevel=4\r\nz=" + kNearly + "\r\n");
    QTest::newRow("new key after the last entry")
        << QByteArray("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << QByteArray("A") << QByteArray("z")
        << QByteArray("3") << QByteArray("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
    QTest::newRow("new key under a bare header")
        << QByteArray("[A]\r\n\r\n") << QByteArray("A") << QByteArray("z") << QByteArray("3")
        << QByteArray("[A]\r\nz=3\r\n\r\n");
    QTest::newRow("new key after a last line without break")
        << QByteArray("[A]\r\nx=1") << QByteArray("A") << QByteArray("z") << QByteArray("3")
        << QByteArray("[A]\r\nx=1\r\nz=3\r\n");
    QTest::newRow("new section at the end")
        << QByteArray("[A]\r\nx=1") << QByteArray("B") << QByteArray("k") << QByteArray("v")
        << QByteArray("[A]\r\nx=1\r\n[B]\r\nk=v\r\n");
    QTest::newRow("empty file") << QByteArray() << QByteArray("S") << QByteArray("k")
                                << QByteArray(kHyo) << QByteArray("[S]\r\nk=" + kHyo + "\r\n");
    QTest::newRow("first duplicate changed")
        << QByteArray("[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n") << QByteArray("S") << QByteArray("K")
        << QByteArray("9") << QByteArray("[S]\r\nk=9\r\nk=2\r\n[S]\r\nk=3\r\n");
    QTest::newRow("trail byte ] in section name")
        << QByteArray("[" + kUn + "]\r\nk=1\r\n") << kUn << QByteArray("k") << QByteArray("2")
        << QByteArray("[" + kUn + "]\r\nk=2\r\n");
}

void TestProfile::write() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);
    QFETCH(QByteArray, after);

    QByteArray content = before;
    QVERIFY(SetProfileValueIn(content, section, key, value));
    QCOMPARE(content, after);
    QByteArray read;
    QCOMPARE(GetProfileValueIn(content, section, key, read, kBig), value.size());
    QCOMPARE(read, value);
}

void TestProfile::refusedWrites_data() {
    QTest::addColumn<QByteArray>("section");
    QTest::addColumn<QByteArray>("key");
    QTest::addColumn<QByteArray>("value");

    QTest::newRow("LF in value") << QByteArray("S") << QByteArray("k") << QByteArray("a\nb");
    QTest::newRow("CR in section") << QByteArray("S\r") << QByteArray("k") << QByteArray("v");
    QTest::newRow("LF in key") << QByteArray("S") << QByteArray("k\n[T]") << QByteArray("v");
    QTest::newRow("= in key") << QByteArray("S") << QByteArray("a=b") << QByteArray("v");
    QTest::newRow("] in section") << QByteArray("S]x") << QByteArray("k") << QByteArray("v");
    QTest::newRow("comment key") << QByteArray("S") << QByteArray(";k") << QByteArray("v");
    QTest::newRow("empty key") << QByteArray("S") << QByteArray("  ") << QByteArray("v");
    // Found by fuzzing: a lone lead byte swallowed the "]" after it, so the
    // entry was written but could never be read back.
    QTest::newRow("lone lead byte in section")
        << QByteArray("\x8a") << QByteArray("k") << QByteArray("v");
}

void TestProfile::refusedWrites() {
    QFETCH(QByteArray, section);
    QFETCH(QByteArray, key);
    QFETCH(QByteArray, value);

    const QByteArray original("[S]\r\nk=1\r\n");
    QByteArray content = original;
    QVERIFY(!SetProfileValueIn(content, section, key, value));
    QCOMPARE(content, original);

    QTemporaryDir dir;
    const QString path = dir.filePath("a.ini");
    QVERIFY(!WriteProfileValue(section, key, value, path));
    QVERIFY(!QFile::exists(path));
}

void TestProfile::fileAccess() {
    QTemporaryDir dir;
    const QString path = dir.filePath("ymconfig.ini");
    QByteArray value("stale");
    QCOMPARE(GetProfileValue("S", "k", value, kBig, path), 0);
    QVERIFY(value.isEmpty());

    QVERIFY(WriteProfileValue("S", "k", "v", path));
    QCOMPARE(ReadWholeFile(path).value_or(QByteArray()), QByteArray("[S]\r\nk=v\r\n"));
    QCOMPARE(GetProfileValue("s", "K", value, kBig, path), 1);
    QCOMPARE(value, QByteArray("v"));
    QVERIFY(QFile::exists(dir.filePath("ymconfig.lock")));

    // A failed write leaves the file as it was.
    SetWriteFaultHook([](const QString&) { return false; });
    QVERIFY(!WriteProfileValue("S", "k", "w", path));
    SetWriteFaultHook(nullptr);
    QCOMPARE(ReadWholeFile(path).value_or(QByteArray()), QByteArray("[S]\r\nk=v\r\n"));
}

void TestProfile::concurrentWritersLoseNothing() {
    QTemporaryDir dir;
    const QString path = dir.filePath("ymconfig.ini");
    constexpr int count = 200;

    QProcess other;
    other.start(QCoreApplication::applicationFilePath(),
                {"--writer", path, "C", QString::number(count)});
    QVERIFY(other.waitForStarted());
    const int mine = RunWriter(path, "P", count);
    QVERIFY(other.waitForFinished(60000));
    QCOMPARE(mine, 0);
    QCOMPARE(other.exitCode(), 0);

    const QByteArray content = ReadWholeFile(path).value_or(QByteArray());
    for (const char* prefix : {"P", "C"}) {
        for (int i = 0; i < count; ++i) {
            const QByteArray key = prefix + QByteArray::number(i);
            QByteArray value;
            GetProfileValueIn(content, "S", key, value, kBig);
            QVERIFY2(value == QByteArray::number(i), key.constData());
        }
    }
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--writer") == 0)
        return RunWriter(QString::fromLocal8Bit(argv[2]), argv[3], QByteArray(argv[4]).toInt());
    TestProfile test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_profile.moc"
