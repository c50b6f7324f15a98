// What a full disk, a read-only program folder, a crash at any write and the
// other program working at the same time do to the stored files: every word
// list stays either as it was or changed as asked, the working files never
// mix two lists, nothing half-written stays behind, and the user is told.

#include "config/config.h"
#include "kana/kanacode.h"
#include "platform/atomicfile.h"
#include "play/ranking.h"
#include "testsupport.h"
#include "wordlists/recordcode.h"
#include "wordlists/wordfile.h"

#include <QSet>
#include <QtTest>

#include <csignal>
#include <cstdlib>

#include <sys/wait.h>
#include <unistd.h>

namespace {

// A list of words whose text is their own reading, of level 1 when they have
// two kana and 2 when three, so a word paired with another's reading shows.
QByteArray List(const QStringList& words) {
    QByteArray records;
    int counts[5] = {};
    for (const QString& word : words) {
        const int level = 1 + int(word.size()) % 2;
        ++counts[level - 1];
        EncodeWordText(word);
        records += KanaToCodes(word).toLatin1() + ',' + gHexText.toLatin1() +
                   QByteArray::number(level) + "\r\n";
    }
    return QString::asprintf("%d,%d,%d,%d,%d\r\n", counts[0], counts[1], counts[2], counts[3],
                             counts[4])
               .toLatin1() +
           records;
}
const QByteArray kW = List({"かわ", "やま", "うみ", "さかな", "はな"});
const QByteArray kB = List({"いぬ", "くじら", "とり"});

// Every file of the program folder with its bytes, but the lock file.
QMap<QString, QByteArray> Snapshot(const QString& folder) {
    QMap<QString, QByteArray> files;
    for (const QString& dir : {QString(), QStringLiteral("Data/")}) {
        for (const QString& name : QDir(folder + '/' + dir).entryList(QDir::Files | QDir::Hidden))
            files[dir + name] = ReadWholeFile(folder + '/' + dir + name).value_or("?");
    }
    files.remove("ymconfig.lock");
    return files;
}

// The editor's folder: W.dat loaded into the working files, B.dat beside it.
void Prepare(const TempProgramFolder& folder) {
    folder.writeFile("Data/W.dat", kW);
    folder.writeFile("Data/B.dat", kB);
    ConfigFileExists();
    if (!ConvertWordFile("W.dat"))
        qFatal("the test list does not convert");
}

// Every way the programs write their files, each telling whether it wrote.
// InsertRanking always answers true; its messages report the failure.
const std::pair<const char*, bool (*)()> kWrites[] = {
    {"setting", [] { return WriteProfile("GameConfig", "LEVEL", "3", "5"); }},
    {"conversion", [] { return ConvertWordFile("B.dat"); }},
    {"add", [] { return AddWord("A", "001", 1); }},
    {"delete", [] { return DeleteWordRecord(2, SeenNow(2)); }},
    {"replace", [] { return ReplaceWord(1, SeenNow(1), "B", "002", 2); }},
    {"ranking", [] {
         InsertRanking(0, "Ken", 5000);
         return false;
     }}};

// The other process of the read-only test runs every write in a folder it may
// not change (as root it first becomes "nobody"): 0 when each is refused and
// every reason is in Japanese, naming the folder or its file; otherwise it
// prints what it saw.
int RunReadOnly(const QString& folder) {
    if (geteuid() == 0 && (setgid(65534) != 0 || setuid(65534) != 0))
        return 2;
    SetProgramFolder(folder);
    LocateProgramFiles();
    QString out;
    SetMessageHook(
        [&out](const QString& text, const QString&, MessageIcon) { out += text + '\n'; });
    if (!ConfigFileExists())
        return 3;
    gLoadedWordFile = "W.dat";
    for (const auto& [name, write] : kWrites)
        out += QString::fromLatin1(name) + (write() ? " written\n" : " refused\n");
    if (!out.contains(" written") && out.contains("「" + folder) &&
        out.contains(u"書き込みが許可されていません") && !out.contains(u"ermission") &&
        !out.contains(u"cannot"))
        return 0;
    fprintf(stderr, "%s", qUtf8Printable(out));
    return 4;
}

} // namespace

class TestFaults : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetProgramKind(ProgramKind::Editor); }

    // A disk that fills up at any file of a write leaves every file as it was
    // and no temporary file behind, and says so. Guards the delete that
    // reported success when the counts could not be written.
    void fullDisk() {
        for (const int failAt : {1, 2, 3, 4}) {
            for (const auto& [name, write] : kWrites) {
                TempProgramFolder folder;
                Prepare(folder);
                MessageCapture capture;
                const auto before = Snapshot(folder.path());
                int files = 0;
                SetWriteFaultHook([&](const QString&) { return ++files != failAt; });
                const bool written = write();
                SetWriteFaultHook(nullptr);
                if (files < failAt)
                    continue; // fewer files than that in this write
                const QByteArray label = name + QByteArray::number(failAt);
                QVERIFY2(!written && !capture.messages.isEmpty(), label);
                QVERIFY2(Snapshot(folder.path()) == before, label);
            }
        }
    }

    // A folder that cannot be written refuses every write, names the folder
    // in Japanese once and changes nothing.
    void readOnlyFolder() {
        TempProgramFolder folder;
        Prepare(folder);
        const auto before = Snapshot(folder.path());
        const auto setMode = [&](QFileDevice::Permissions mode) {
            for (const QString& dir : {folder.path(), folder.filePath("Data")})
                QFile::setPermissions(dir, mode);
        };
        const auto readOnly = QFileDevice::Permissions::fromInt(0x5555); // r-x for everyone
        setMode(readOnly);
        const int status = WaitForChild(StartChild([&] { return RunReadOnly(folder.path()); }));
        setMode(readOnly | QFileDevice::WriteOwner);
        QVERIFY2(ExitedWithZero(status), qPrintable(QString::number(status)));
        QVERIFY2(Snapshot(folder.path()) == before, geteuid() == 0 ? "as nobody" : "as owner");
    }

    // A conversion, an addition, a deletion and a replacement are each
    // stopped at every write, flush and rename in turn. Each list is then as
    // it was or as changed; the next start removes the temporary files; and
    // the editor that goes on shows its list whole and changes only it.
    // Guards working files from two lists, counts of another list after a
    // crash, and temporary files piling up.
    void crashAtEveryStep() {
        for (const auto& [name, write] : kWrites) {
            if (qstrcmp(name, "setting") == 0 || qstrcmp(name, "ranking") == 0)
                continue;
            QMap<QString, QByteArray> after;
            // Step 0 stops nowhere and gives the files as the write leaves them.
            for (int step = 0;; ++step) {
                TempProgramFolder folder;
                Prepare(folder);
                const auto before = Snapshot(folder.path());
                const int status = WaitForChild(StartChild([&, write = write] {
                    int steps = 0;
                    SetWriteStepHook([&](WriteStep, const QString&) {
                        if (++steps == step)
                            raise(SIGKILL);
                    });
                    return write() ? 0 : 1;
                }));
                const QByteArray label = name + QByteArray(" at step ") + QByteArray::number(step);
                const auto crashed = Snapshot(folder.path());
                if (step == 0)
                    after = crashed;
                if (WIFEXITED(status)) {
                    QVERIFY2(ExitedWithZero(status) && crashed == after, label);
                    if (step > 0)
                        break; // no step left to stop at
                    continue;
                }
                for (const char* list : {"Data/W.dat", "Data/B.dat"})
                    QVERIFY2(crashed[list] == before[list] || crashed[list] == after[list], label);

                CleanUpProgramFolder();
                QVERIFY2(Snapshot(folder.path()).keys() == before.keys(), label);
                gLoadedWordFile = "W.dat";
                QVERIFY2(DrawnWordsPair(), label);
                const QByteArray w = folder.readFile("Data/W.dat");
                const QByteArray b = folder.readFile("Data/B.dat");
                QVERIFY2(DeleteWordRecord(1, SeenNow(1)) && folder.readFile("Data/B.dat") == b,
                         label);
                QVERIFY2(folder.readFile("Data/W.dat").size() < w.size(), label);
            }
        }
    }

    // A link planted at a file of the program folder and leading out of it
    // never carries a write there: at the working files it is replaced by a
    // file of the folder's own, at the lock it is refused, and at ymconfig.ini
    // or a word list it is followed only when both the link and the file it
    // leads to are the user's. A refusal names the file. Guards writes that
    // followed planted links over other users' files.
    void linksOutOfTheFolder() {
        // A file of another user can be made only as root.
        const bool root = geteuid() == 0;
        struct Place {
            QString name;
            bool foreign; // the file the link leads to is another user's
            bool refused; // a write that needs the place is refused
        };
        const Place places[] = {{"type1", false, false},
                                {"type2", false, false},
                                {"ymconfig.lock", false, true},
                                {"ymconfig.ini", true, true},
                                {"Data/W.dat", true, true}};
        for (const Place& place : places) {
            if (place.foreign && !root) {
                qInfo("%s: links to another user's file are tried as root only",
                      qPrintable(place.name));
                continue;
            }
            for (const auto& [name, write] : kWrites) {
                const QByteArray label = place.name.toUtf8() + " linked, " + name;
                TempProgramFolder folder;
                Prepare(folder);
                QTemporaryDir outside;
                // The lock's link leads nowhere: following it would create
                // the file. The others lead to what the folder holds.
                const QString target = outside.filePath("target");
                const bool dangling = place.name == "ymconfig.lock";
                const QByteArray bytes = folder.readFile(place.name);
                if (!dangling)
                    QVERIFY(QFile::copy(folder.filePath(place.name), target));
                if (place.foreign)
                    QVERIFY(chown(QFile::encodeName(target).constData(), 65534, 65534) == 0);
                QVERIFY(QFile::remove(folder.filePath(place.name)));
                QVERIFY(QFile::link(target, folder.filePath(place.name)));

                MessageCapture capture;
                const bool written = write();
                QVERIFY2(dangling ? !QFileInfo::exists(target)
                                  : ReadWholeFile(target) == std::optional(bytes),
                         label + ": the file outside the folder was written");
                if (!place.refused && qstrcmp(name, "conversion") == 0)
                    QVERIFY2(!QFileInfo(folder.filePath(place.name)).isSymLink(),
                             label + ": the link was not replaced");
                for (const CapturedMessage& message : capture.messages)
                    QVERIFY2(message.text.contains(place.name.section('/', -1)),
                             label + ": " + message.text.toUtf8());
                if (!place.refused)
                    QVERIFY2(capture.messages.isEmpty(), label);
                else if (qstrcmp(name, "add") == 0) // every place is needed by an add
                    QVERIFY2(!written && capture.messages.size() == 1, label);
            }
        }

        // A Data folder linked to another user's folder is neither read nor
        // written through; the message names it.
        if (root) {
            TempProgramFolder folder;
            Prepare(folder);
            QTemporaryDir outside;
            const QString theirs = outside.filePath("Data");
            QVERIFY(QFile::rename(folder.filePath("Data"), theirs));
            QVERIFY(chown(QFile::encodeName(theirs).constData(), 65534, 65534) == 0);
            QVERIFY(QFile::link(theirs, folder.filePath("Data")));
            const QByteArray before = ReadWholeFile(theirs + "/W.dat").value_or("");
            MessageCapture capture;
            QVERIFY(!AddWord("A", "001", 1));
            QVERIFY(!ConvertWordFile("B.dat"));
            QCOMPARE(ReadWholeFile(theirs + "/W.dat").value_or(""), before);
            QCOMPARE(QDir(theirs).entryList(QDir::Files), QStringList({"B.dat", "W.dat"}));
            QVERIFY(!capture.messages.isEmpty());
            for (const CapturedMessage& message : capture.messages)
                QVERIFY2(message.text.contains(folder.filePath("Data")), qPrintable(message.text));
        }

        // A link of the user's own to a file of the user's own is written
        // through, and stays.
        TempProgramFolder folder;
        Prepare(folder);
        QTemporaryDir outside;
        const QString mine = outside.filePath("my.ini");
        QVERIFY(QFile::rename(folder.filePath("ymconfig.ini"), mine));
        QVERIFY(QFile::link(mine, folder.filePath("ymconfig.ini")));
        QVERIFY(WriteProfile("GameConfig", "LEVEL", "3", "5"));
        QVERIFY(QFileInfo(folder.filePath("ymconfig.ini")).isSymLink());
        QVERIFY(ReadWholeFile(mine).value_or("").contains("LEVEL=5"));
    }

    // Folders that cannot be synced after a change leave the change made, and
    // the user is told once in a run that a power cut could still undo it.
    // Guards folder syncs whose failure went unnoticed.
    void unsyncedFolders() {
        TempProgramFolder folder;
        Prepare(folder);
        MessageCapture capture;
        SetFolderSyncHook([](const QString&) { return false; });
        const bool added = AddWord("A", "001", 1) && AddWord("B", "002", 1);
        const bool set = WriteProfile("GameConfig", "LEVEL", "3", "5");
        SetFolderSyncHook(nullptr);
        QVERIFY(added && set);
        QVERIFY(folder.readFile("Data/W.dat").endsWith("001,41,1\r\n002,42,1\r\n"));
        QVERIFY(folder.readFile("ymconfig.ini").contains("LEVEL=5"));
        QCOMPARE(capture.messages.size(), 1);
        QVERIFY2(capture.messages[0].text.contains(folder.path()) &&
                     capture.messages[0].text.contains(u"停電"),
                 qPrintable(capture.messages[0].text));
    }

    // A folder where a working file goes fails a deletion before anything
    // changes. One that appears only once the list is renamed leaves the
    // deletion made, and the message says so rather than that it failed; the
    // working files are made anew at their next use. (An addition and a
    // replacement store their change the same way.) Guards the "could not
    // delete" after a delete that was made, which a retry turned into a
    // second delete.
    void fileInTheWay() {
        TempProgramFolder folder;
        Prepare(folder);
        const SeenWord second = SeenNow(2);
        MessageCapture capture;
        QVERIFY(QFile::remove(folder.filePath("type1")));
        QVERIFY(QDir(folder.path()).mkdir("type1"));
        const auto before = Snapshot(folder.path());
        QVERIFY(!DeleteWordRecord(2, second));
        QVERIFY(Snapshot(folder.path()) == before);
        QCOMPARE(capture.messages.size(), 1);
        QVERIFY2(capture.messages[0].text.contains(u"ファイルではない"),
                 qPrintable(capture.messages[0].text));
        QVERIFY(QDir(folder.path()).rmdir("type1"));

        capture.messages.clear();
        const QByteArray list = folder.readFile("Data/W.dat");
        SetWriteStepHook([&](WriteStep step, const QString& path) {
            if (step == WriteStep::Rename && path.endsWith("/type1")) {
                QFile::remove(path);
                QDir().mkdir(path);
            }
        });
        const bool deleted = DeleteWordRecord(2, second);
        SetWriteStepHook(nullptr);
        QVERIFY(deleted);
        QVERIFY(folder.readFile("Data/W.dat") != list);
        QCOMPARE(capture.messages.size(), 1);
        const QString& told = capture.messages[0].text;
        QVERIFY2(told.contains(u"保存しました") && told.contains(u"作り直します"),
                 qPrintable(told));
        QVERIFY(QDir(folder.path()).rmdir("type1"));
        QVERIFY(DrawnWordsPair());
    }

    // Two editors on one list delete and change words each saw a moment
    // before, while the other changes the list: every word that leaves the
    // list is one an editor chose and was told it deleted or changed, and
    // every word an editor was told it deleted or changed has left. Guards
    // deletes and changes that hit whatever word then stood on the line.
    void twoEditorsOnOneList() {
        TempProgramFolder folder;
        QStringList initial;
        QByteArray list = "300,0,0,0,0\r\n";
        for (int i = 0; i < 300; ++i) {
            initial.append(QStringLiteral("W%1").arg(i, 3, 10, QChar('0')));
            EncodeWordText(initial.back());
            list += "001," + gHexText.toLatin1() + "1\r\n";
        }
        folder.writeFile("Data/W.dat", list);
        ConfigFileExists();
        QVERIFY(ConvertWordFile("W.dat"));
        // Each editor notes "D word" or "R word new" for every change it was
        // told it made.
        const auto edit = [&](int editor) {
            QFile log(folder.filePath(QStringLiteral("log%1").arg(editor)));
            if (!log.open(QIODevice::WriteOnly))
                return 1;
            std::srand(unsigned(editor + 1));
            for (int i = 0; i < 120; ++i) {
                WordRecords words;
                if (!ReadLoadedWords(words) || words.total() == 0)
                    return 2;
                const int line = 1 + std::rand() % words.total();
                const SeenWord seen = SeeWord(words, line).value_or(SeenWord());
                QString text;
                SplitWordRecord(QString::fromLatin1(seen.type1), text);
                usleep(useconds_t(std::rand() % 10000)); // the user looks and clicks
                if (i % 3 == 2) {
                    const QString next = QStringLiteral("N%1-%2").arg(editor).arg(i);
                    if (ReplaceWord(std::int16_t(line), seen, next, "001", 1))
                        log.write(QStringLiteral("R %1 %2\n").arg(text, next).toLatin1());
                } else if (DeleteWordRecord(std::int16_t(line), seen)) {
                    log.write(QStringLiteral("D %1\n").arg(text).toLatin1());
                }
            }
            return 0;
        };
        const pid_t other = StartChild([&] { return edit(1); });
        MessageCapture capture;
        QCOMPARE(edit(0), 0);
        QVERIFY(ExitedWithZero(WaitForChild(other)));

        QSet<QString> chosen, added;
        for (const char* log : {"log0", "log1"}) {
            for (const QByteArray& line : folder.readFile(log).split('\n')) {
                const QList<QByteArray> fields = line.split(' ');
                if (fields.size() >= 2)
                    chosen.insert(QString::fromLatin1(fields[1]));
                if (fields.size() == 3)
                    added.insert(QString::fromLatin1(fields[2]));
            }
        }
        WordRecords words;
        QVERIFY(ReadLoadedWords(words));
        QSet<QString> left;
        for (int n = 1; n <= words.total(); ++n) {
            QString text;
            SplitWordRecord(QString::fromLatin1(words.record(n)->first), text);
            left.insert(text);
        }
        const QSet<QString> everyWord = QSet<QString>(initial.begin(), initial.end()) + added;
        const QSet<QString> gone = everyWord - left;
        const auto names = [](const QSet<QString>& words) {
            return QStringList(words.begin(), words.end()).join(' ').toUtf8();
        };
        // Lost, though nobody chose them; chosen and "deleted", yet still there.
        QVERIFY2((gone - chosen).isEmpty(), names(gone - chosen).constData());
        QVERIFY2((chosen - gone).isEmpty(), names(chosen - gone).constData());
        QVERIFY2(chosen.size() > 100, "the editors changed the list");
    }
};

QTEST_GUILESS_MAIN(TestFaults)

#include "test_faults.moc"
