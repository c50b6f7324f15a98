// Word-list conversion on arbitrary bytes: ConvertWordFile never crashes or
// hangs, and either converts (working files agree with each other), converts
// an empty list, or leaves the working files and ymconfig.ini exactly as they
// were.

#include "config/config.h"
#include "fuzzsupport.h"
#include "platform/atomicfile.h"
#include "wordlists/wordfile.h"

#include <QDir>
#include <QFile>

namespace {

const QByteArray kConfig =
    "[GameConfig]\r\nLEVEL=3\r\n[MessageClass]\r\nA=1\r\nB=0\r\nC=0\r\nD=0\r\n"
    "E=1\r\n[FileInfo]\r\nNAME=Old.dat\r\n";
const QByteArray kType1 = "82A0,1\r\n9056,95B7,5\r\n";
const QByteArray kType2 = "001\r\n012046\r\n";

void Put(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        FuzzFail("cannot prepare the program folder", __FILE__, __LINE__);
}

QByteArray Get(const QString& path) {
    return ReadWholeFile(path).value_or(QByteArray("<missing>"));
}

qsizetype LineCount(const QByteArray& bytes) {
    return bytes.count('\n');
}

QString Profile(const char* section, const char* key) {
    QString value;
    ReadProfile(section, key, "", value);
    return value;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QString folder = FuzzProgramFolder();
    SetProgramKind(ProgramKind::Editor);
    const QString ini = folder + "/ymconfig.ini";
    const QString type1 = folder + "/type1";
    const QString type2 = folder + "/type2";
    Put(ini, kConfig);
    Put(type1, kType1);
    Put(type2, kType2);
    Put(folder + "/Data/F.dat", FuzzBytes(data, size));
    LocateProgramFiles();
    gLoadedWordFile.clear();

    const bool converted = ConvertWordFile("F.dat");

    const QByteArray t1 = Get(type1);
    const QByteArray t2 = Get(type2);
    if (converted) {
        int total = 0;
        for (const char* key : {"A", "B", "C", "D", "E"})
            total += Profile("MessageClass", key).toInt();
        // Exactly the words counted, and the list as saved converts the same.
        FUZZ_CHECK(LineCount(t1) == LineCount(t2) && LineCount(t1) == total);
        FUZZ_CHECK(Profile("FileInfo", "NAME") == "F.dat" && gLoadedWordFile == "F.dat");
        FUZZ_CHECK(SaveWordFile() && ConvertWordFile("F.dat"));
        FUZZ_CHECK(Get(type1) == t1 && Get(type2) == t2);
    } else if (t1 != kType1 || t2 != kType2 || Get(ini) != kConfig) {
        // The only change allowed without a conversion: an empty list.
        FUZZ_CHECK(t1.isEmpty() && t2.isEmpty());
        for (const char* key : {"A", "B", "C", "D", "E"})
            FUZZ_CHECK(Profile("MessageClass", key) == "0");
        FUZZ_CHECK(Profile("FileInfo", "NAME") == "F.dat");
    }
    return 0;
}
