#include "atomicfile.h"
#include "config.h"
#include "cp932.h"
#include "numbers.h"
#include "testsupport.h"

#include <QtTest>

#include <limits>
#include <tuple>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNan = std::numeric_limits<double>::quiet_NaN();
constexpr qint32 kMax = std::numeric_limits<qint32>::max();
constexpr qint32 kMin = std::numeric_limits<qint32>::min();

QString Read(const QString& section, const QString& key, const QString& def) {
    QString result = "stale";
    ReadProfile(section, key, def, result);
    return result;
}
} // namespace

class TestConfig : public QObject {
    Q_OBJECT

private slots:
    void numbers() {
        const std::pair<const char*, double> parsed[] = {
            {"2.5", 2.5},    {" -1\t2\n.5", -12.5}, {"1.2.3", 1.2}, {".5", 0.5},       {"-", 0},
            {"1.5E3", 1500}, {"25d-1", 2.5},        {"7e+", 7},     {"-1e400", -kInf}, {"&H1f", 31},
            {"&HFFFF", -1},  {"&H10000", 65536},    {"&O17", 15},   {"&Hz", 0},        {"&X1", 0}};
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
        const QString kanji = QString::fromUtf8("表");
        folder.writeFile("ymconfig.ini",
                         "[GameConfig]\r\nLEVEL=\r\nNAME=" + QByteArray(100, 'x') + "\r\nNUMBER=" +
                             EncodeCp932(kanji.repeated(100)).value() + "\r\nMANIAX= \"5\" \r\n");
        QVERIFY(ConfigFileExists());
        QCOMPARE(Read("GameConfig", "LEVEL", "3"), QString("3"));
        QCOMPARE(Read("gameconfig", "name", "Guest"), QString(79, 'x'));
        QCOMPARE(Read("GameConfig", "NUMBER", "0"), kanji.repeated(79));
        QCOMPARE(Read("GameConfig", "MANIAX", "0"), QString("5"));
    }

    // A value the file cannot hold stores the fallback and says so; a file
    // that cannot be written keeps the old value and is reported once in the
    // run, naming it and why. Guards the storm of boxes that blamed the value.
    void writeProfileFallback() {
        const std::tuple<const char*, int, const char*, const char*> rows[] = {
            {"表", 0, "", "表"},
            {"😀", 0, "iniファイルへのPATHが不正です", "3"},
            {"4", 1, "ymconfig.ini」を書き込めません（ディスクの空きが足りません）", "7"}};
        for (const auto& [value, failingWrites, message, stored] : rows) {
            TempProgramFolder folder;
            QVERIFY(ConfigFileExists());
            QVERIFY(WriteProfile("GameConfig", "LEVEL", "3", "7"));
            int failuresLeft = failingWrites;
            SetWriteFaultHook([&failuresLeft](const QString&) { return failuresLeft-- <= 0; });
            MessageCapture capture;
            QCOMPARE(WriteProfile("GameConfig", "LEVEL", "3", QString::fromUtf8(value)), !*message);
            failuresLeft = failingWrites;
            WriteProfile("GameConfig", "NAME", "Guest", "Ken");
            SetWriteFaultHook(nullptr);
            QCOMPARE(capture.messages.size(), *message ? 1 : 0);
            for (const CapturedMessage& m : capture.messages)
                QVERIFY2(m.text.contains(QString::fromUtf8(message)) && m.title == "警告" &&
                             m.icon == MessageIcon::Critical,
                         qPrintable(m.text));
            QCOMPARE(Read("GameConfig", "LEVEL", ""), QString::fromUtf8(stored));
        }
    }
};

QTEST_GUILESS_MAIN(TestConfig)
#include "test_config.moc"
