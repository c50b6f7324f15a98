#include "atomicfile.h"
#include "config.h"
#include "cp932.h"
#include "platform.h"
#include "profile.h"
#include "ranking.h"
#include "testsupport.h"

#include <QtTest>

#include <limits>
#include <tuple>

namespace {

// Code page 932 bytes of a few characters whose trail byte looks like ASCII.
const QByteArray kA("\x83\x41");      // ア (trail "A")
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

QByteArray Get(const QByteArray& content, const QByteArray& section, const QByteArray& key,
               int size = kBig) {
    QByteArray value("stale");
    const int length = GetProfileValueIn(content, section, key, value, size);
    return length == value.size() ? value : "length " + QByteArray::number(length);
}

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
constexpr qint32 kMin = std::numeric_limits<qint32>::min();

QString Read(const QString& section, const QString& key, const QString& def) {
    QString result = "stale";
    ReadProfile(section, key, def, result);
    return result;
}
const QList<int> kDefaultScores{1600, 1500, 1400, 1300, 1200, 1100, 1000, 900, 800};

QList<int> CurrentScores() {
    return QList<int>(gRankScore.begin(), gRankScore.begin() + 9);
}
} // namespace

class TestConfig : public QObject {
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
            {"[A]\r\n\r\n", "A", "z", "3", "[A]\r\nz=3\r\n\r\n"},
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

    void fileAccessAndConcurrentWriters() {
        QTemporaryDir dir;
        const QString path = dir.filePath("ymconfig.ini");
        QByteArray value("stale");
        QCOMPARE(GetProfileValue("S", "k", value, kBig, path), 0);
        QVERIFY(value.isEmpty());
        QVERIFY(WriteProfileValue("S", "k", "v", path));
        QCOMPARE(GetProfileValue("s", "K", value, kBig, path), 1);
        QCOMPARE(value, QByteArray("v"));
        QVERIFY(QFile::exists(dir.filePath("ymconfig.lock")));
        QCOMPARE(ReadWholeFile(path).value_or(""), QByteArray("[S]\r\nk=v\r\n"));

        // Two processes writing different keys lose none of them.
        constexpr int count = 200;
        QProcess other;
        other.start(QCoreApplication::applicationFilePath(),
                    {"--writer", path, "C", QString::number(count)});
        QVERIFY(other.waitForStarted());
        QCOMPARE(RunWriter(path, "P", count), 0);
        QVERIFY(other.waitForFinished(60000));
        QCOMPARE(other.exitCode(), 0);
        const QByteArray content = ReadWholeFile(path).value_or("");
        for (const char* prefix : {"P", "C"}) {
            for (int i = 0; i < count; ++i)
                QCOMPARE(Get(content, "S", prefix + QByteArray::number(i)), QByteArray::number(i));
        }
    }

    void numbers() {
        const std::pair<const char*, double> parsed[] = {
            {"3abc", 3},           {"2.5", 2.5},   {"x", 0},       {"", 0},
            {" -1\t2\n.5", -12.5}, {"1.2.3", 1.2}, {".5", 0.5},    {"-", 0},
            {"1.5E3", 1500},       {"25d-1", 2.5}, {"7e+", 7},     {"-1e400", -kInf},
            {"1e-400", 0},         {"&H1f", 31},   {"&HFFFF", -1}, {"&H10000", 65536},
            {"&O17", 15},          {"&Hz", 0},     {"&X1", 0},     {"１２", 0}};
        for (const auto& [text, expected] : parsed)
            QCOMPARE(ParseNumber(QString::fromUtf8(text)), expected);

        // Halves go to the even neighbour; out of range clamps.
        const std::tuple<double, int, qint32> rounded[] = {
            {2.5, 2, 2},           {3.5, 4, 4},
            {-2.5, -2, -2},        {2.6, 3, 3},
            {-0.4, 0, 0},          {kNan, 0, 0},
            {40000, 32767, 40000}, {32767.5, 32767, 32768},
            {kInf, 32767, kMax},   {-kInf, -32768, kMin}};
        for (const auto& [value, int16, int32] : rounded) {
            QCOMPARE(int(RoundToInt16(value)), int16);
            QCOMPARE(RoundToInt32(value), int32);
        }
    }

    void readProfile() {
        TempProgramFolder folder(false);
        folder.writeFile("YMConfig.ini", DefaultConfigBytes());
        QVERIFY(!ConfigFileExists()); // the name's letter case counts
        QCOMPARE(gIniPath, folder.path() + "/ymconfig.ini");
        const QString kanji = QString::fromUtf8("表");
        folder.writeFile("ymconfig.ini",
                         "[GameConfig]\r\nLEVEL=\r\nNAME=" + QByteArray(100, 'x') + "\r\nNUMBER=" +
                             EncodeCp932(kanji.repeated(100)).value() + "\r\nMANIAX= \"5\" \r\n");
        QVERIFY(ConfigFileExists());
        QCOMPARE(Read("GameConfig", "LEVEL", "3"), QString("3"));
        QCOMPARE(Read("GameConfig", "MISSING", "Guest"), QString("Guest"));
        QCOMPARE(Read("gameconfig", "name", "Guest"), QString(79, 'x'));
        QCOMPARE(Read("GameConfig", "NUMBER", "0"), kanji.repeated(79));
        QCOMPARE(Read("GameConfig", "MANIAX", "0"), QString("5"));
        QCOMPARE(Read("GameConfig", QString::fromUtf8("😀"), "def"), QString("def"));
        SetProgramFolder("/tmp/some/");
        ConfigFileExists();
        QCOMPARE(gIniPath, QString("/tmp/some/ymconfig.ini"));
    }

    // A failed write stores the fallback and says so; when that fails too the
    // old value stays and the message differs.
    void writeProfileFallback() {
        const std::tuple<const char*, int, QString, const char*> rows[] = {
            {"表", 0, "", "表"},
            {"4", 1, "iniファイルへのPATHが不正です", "3"},
            {"😀", 0, "iniファイルへのPATHが不正です", "3"},
            {"4", 2, "iniファイルに書き込む値が不正です", "7"}};
        for (const auto& [value, failingWrites, message, stored] : rows) {
            TempProgramFolder folder;
            QVERIFY(ConfigFileExists());
            QVERIFY(WriteProfile("GameConfig", "LEVEL", "3", "7"));
            int failuresLeft = failingWrites;
            SetWriteFaultHook([&failuresLeft](const QString&) { return failuresLeft-- <= 0; });
            MessageCapture capture;
            QCOMPARE(WriteProfile("GameConfig", "LEVEL", "3", QString::fromUtf8(value)),
                     message.isEmpty());
            SetWriteFaultHook(nullptr);
            QCOMPARE(capture.messages.size(), message.isEmpty() ? 0 : 1);
            for (const CapturedMessage& m : capture.messages)
                QVERIFY(m.text == message && m.title == "警告" && m.icon == MessageIcon::Critical);
            QCOMPARE(Read("GameConfig", "LEVEL", ""), QString::fromUtf8(stored));
        }
    }

    void findPosition() {
        // The place a score enters at (an equal score goes below), -1 when it
        // does not enter.
        const auto place = [](const QList<int>& table, std::int32_t score) {
            std::copy(table.begin(), table.end(), gRankScore.begin());
            std::int16_t found = -1;
            return FindRankPosition(score, found) ? int(found) : -1;
        };
        const std::pair<int, int> rows[] = {{1601, 0}, {1500, 2}, {801, 8}, {800, -1}};
        for (const auto& [score, expected] : rows)
            QCOMPARE(place(kDefaultScores, score), expected);
        QCOMPARE(place(QList<int>(9, kMax), kMax), -1);
        QCOMPARE(place({kMax, 0, 0, 0, 0, 0, 0, 0, kMin}, kMin + 1), 8);
    }

    void insertAndWrite() {
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        const std::pair<int, QList<int>> rows[] = {
            {0, {1, 1600, 1500, 1400, 1300, 1200, 1100, 1000, 900}},
            {2, {1600, 1500, 1, 1400, 1300, 1200, 1100, 1000, 900}},
            {8, {1600, 1500, 1400, 1300, 1200, 1100, 1000, 900, 1}}};
        for (const auto& [place, scores] : rows) {
            folder.writeFile("ymconfig.ini", DefaultConfigBytes());
            ReadRanking();
            QVERIFY(InsertRanking(place, "NEW", 1));
            QVERIFY(!InsertRanking(9, "OUT", 5));
            gRankScore.fill(0);
            ReadRanking(); // the file holds the new table
            QCOMPARE(CurrentScores(), scores);
            QCOMPARE(gRankName[place], "NEW");
            QCOMPARE(gRankName[3], place < 3 ? "RBT" : "POKOTA");
        }

        // A failed write does not keep the others from the file.
        MessageCapture capture;
        int writes = 0;
        SetWriteFaultHook([&writes](const QString&) { return ++writes != 1; });
        gRankName.fill("X");
        gRankScore.fill(7);
        WriteRanking();
        SetWriteFaultHook(nullptr);
        QCOMPARE(capture.messages.size(), 1);
        ReadRanking();
        QCOMPARE(gRankName[0], "Guest"); // the fallback
        QCOMPARE(gRankName[8], "X");
        QCOMPARE(CurrentScores(), QList<int>(9, 7));

        // Missing and garbage scores read 0; others are rounded and clamped.
        folder.writeFile("ymconfig.ini", "[Ranking]\r\nB2=abc\r\nC2=  1234  \r\nD2=2.5\r\n"
                                         "E2=-3.5\r\nF2=99999999999\r\nG2=-1e400\r\n"
                                         "H2=12abc\r\nI2=1E3\r\n");
        ReadRanking();
        QCOMPARE(CurrentScores(), (QList<int>{0, 0, 1234, 2, -4, kMax, kMin, 0, 1000}));
        QCOMPARE(gRankName[8], "Guest");
    }
};

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    if (argc == 5 && qstrcmp(argv[1], "--writer") == 0)
        return RunWriter(QString::fromLocal8Bit(argv[2]), argv[3], QByteArray(argv[4]).toInt());
    TestConfig test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "test_config.moc"
