// The sectioned file ymconfig.ini is kept in: lookup, writes that keep every
// other byte, and two processes writing at once.

#include "config/profile.h"
#include "platform/atomicfile.h"
#include "testsupport.h"

#include <QtTest>

#include <tuple>

namespace {

// Code page 932 bytes of a few characters whose trail byte looks like ASCII.
const QByteArray kA("\x83\x41");      // ア (trail "A")
const QByteArray kHyo("\x95\x5c");    // 表 (trail "\")
const QByteArray kUn("\x89\x5d");     // 云 (trail "]")
const QByteArray kNearly("\x87\x90"); // ≒, which comes back as 81 E0 through Unicode

constexpr int kBig = 1 << 20;

// One of the two processes of the concurrency test: writes prefix0..prefixN-1.
int RunWriter(const QString& path, const QByteArray& prefix, int count) {
    for (int i = 0; i < count; ++i) {
        if (!WriteProfileValue("S", prefix + QByteArray::number(i), QByteArray::number(i), path))
            return 1;
    }
    return 0;
}

QByteArray Get(const QByteArray& content, const QByteArray& section, const QByteArray& key,
               int size = kBig) {
    QByteArray value("stale");
    const int length = GetProfileValueIn(content, section, key, value, size);
    return length == value.size() ? value : "length " + QByteArray::number(length);
}

} // namespace

class TestProfile : public QObject {
    Q_OBJECT

private slots:
    void lookup() {
        // One file for every case: keys before any section, a comment and a
        // line without "=", duplicate keys and sections (the first wins), bare
        // LF line ends, and names whose trail bytes look like ASCII.
        const QByteArray content = "k=0\r\n[Game]\r\n;level=1\r\nlevel\r\nLEVEL=3\r\nlevel=4\r\n"
                                   "  [ Blank ]  \r\n  key \t=  a  b \t\r\nempty=  \r\n"
                                   "[Q]\r\nd=\" a \"\r\ns='x'\r\nu=\"x'\r\n[q]\r\nj=3\r\n[B]\r\n"
                                   "[\x89\x5d]\r\n\x83\x61=1\r\n\x83\x41=2\r\ncut=abcdefg\r\n"
                                   "split=a\x83\x41\x83\x41\r\n[LF]\nk=v\n"; // 云, ヂ, ア
        const std::tuple<const char*, const char*, const char*> rows[] = {
            {"game", "level", "3"}, {"Blank", "key", "a  b"}, {"Blank", "empty", ""},
            {"Q", "d", " a "},      {"Q", "s", "x"},          {"Q", "u", "\"x'"},
            {"q", "j", ""},         {"B", "k", ""},           {"LF", "k", "v"}};
        for (const auto& [section, key, expected] : rows)
            QCOMPARE(Get(content, section, key), QByteArray(expected));
        QCOMPARE(Get(content, kUn, kA), QByteArray("2"));
        // Cut to the buffer, never inside a double-byte character.
        QCOMPARE(Get(content, kUn, "cut", 5), QByteArray("abcd"));
        QCOMPARE(Get(content, kUn, "split", 5), "a" + kA);
    }

    void write() {
        struct Row {
            QByteArray before, section, key, value, after;
        };
        const QByteArray odd = "; " + kNearly + kHyo + "\r\n[X]\nname=" + kHyo + "\r\n\r\n";
        const Row rows[] = {
            {odd + "[S]\r\nLevel = 3 \r\nz=" + kNearly + "\r\n", "s", "LEVEL", "4",
             odd + "[S]\r\nLevel=4\r\nz=" + kNearly + "\r\n"},
            {"[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n", "A", "z", "3",
             "[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"},
            {"[A]\r\nx=1", "A", "z", "3", "[A]\r\nx=1\r\nz=3\r\n"},
            {"[A]\r\nx=1", "B", "k", "v", "[A]\r\nx=1\r\n[B]\r\nk=v\r\n"},
            {"", "S", "k", kHyo, "[S]\r\nk=" + kHyo + "\r\n"},
            {"[S]\r\nk=1\r\nk=2\r\n[S]\r\nk=3\r\n", "S", "K", "9",
             "[S]\r\nk=9\r\nk=2\r\n[S]\r\nk=3\r\n"},
            {"[" + kUn + "]\r\nk=1\r\n", kUn, "k", "2", "[" + kUn + "]\r\nk=2\r\n"},
        };
        for (const Row& r : rows) {
            QByteArray content = r.before;
            QVERIFY(SetProfileValueIn(content, r.section, r.key, r.value));
            QCOMPARE(content, r.after);
            QCOMPARE(Get(content, r.section, r.key), r.value);
        }
        // Names and values that cannot be stored on one line, or could not be
        // read back ("section|key|value"), change nothing and create no file.
        // The last was found by fuzzing: a lone lead byte swallowed the "]".
        QTemporaryDir dir;
        const QString path = dir.filePath("a.ini");
        for (const char* row : {"S|k|a\nb", "S\r|k|v", "S|k\n[T]|v", "S|a=b|v", "S]x|k|v", "S|;k|v",
                                "S|  |v", "\x8a|k|v"}) {
            const QByteArrayList r = QByteArray(row).split('|');
            QByteArray content("[S]\r\nk=1\r\n");
            QVERIFY2(!SetProfileValueIn(content, r[0], r[1], r[2]) && content == "[S]\r\nk=1\r\n",
                     row);
            QVERIFY(!WriteProfileValue(r[0], r[1], r[2], path) && !QFile::exists(path));
        }
    }

    // A file that is not there reads empty; two processes writing different
    // keys into it lose none of them.
    void fileAccessAndConcurrentWriters() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ymconfig.ini");
        QByteArray value("stale");
        QVERIFY(GetProfileValue("S", "k", value, kBig, path) == 0 && value.isEmpty());
        constexpr int count = 200;
        const pid_t other = StartChild([&] { return RunWriter(path, "C", count); });
        QCOMPARE(RunWriter(path, "P", count), 0);
        QVERIFY(ExitedWithZero(WaitForChild(other)));
        const QByteArray content = ReadWholeFile(path).value_or("");
        for (const char* prefix : {"P", "C"}) {
            for (int i = 0; i < count; ++i)
                QCOMPARE(Get(content, "S", prefix + QByteArray::number(i)), QByteArray::number(i));
        }
    }
};

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
