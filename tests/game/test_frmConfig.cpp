// The settings screen: its layout, how it shows and changes the shared
// settings, switching the word list, and finishing.

#include "config/config.h"
#include "config/spellings.h"
#include "frmConfig.h"
#include "frmMenu.h"
#include "kana/romaji.h"
#include "play/ranking.h"
#include "play/settings.h"
#include "startup.h"
#include "testsupport.h"
#include "wordlists/wordfile.h"

#include <QtTest/qtestspontaneevent.h>
#include <QtTest>
#include <QtWidgets>

using namespace Qt::StringLiterals;

namespace {
// Option arrays in KeyConfig order, with their option counts and the kana
// code whose spelling each sets.
struct SpellingGroup {
    const char* array;
    int count;
    int code;
};
const SpellingGroup kSpelling[20] = {
    {"optSi", 2, 12},  {"optTi", 2, 17},  {"optTu", 2, 18},  {"optFu", 2, 28},  {"optNn", 2, 46},
    {"optSya", 2, 75}, {"optSyu", 2, 76}, {"optSyo", 2, 77}, {"optTya", 2, 78}, {"optTyu", 2, 79},
    {"optTyo", 2, 80}, {"optJa", 3, 96},  {"optJu", 3, 97},  {"optJo", 3, 98},  {"optJi", 2, 53},
    {"optXa", 2, 114}, {"optXi", 2, 115}, {"optXu", 2, 116}, {"optXe", 2, 117}, {"optXo", 2, 118},
};
constexpr int kNn = 4;

// What the settings screen shows, and the settings the game then holds.
struct Shown {
    QString level;                         // the LEVEL option selected
    QString degree;                        // the MANIAX degree selected
    bool maniax;                           // MANIAX on: its label shown, its degrees enabled
    QString number;                        // the words-per-stage option selected
    bool listSwitch;                       // ▼ switches the word list
    int gameLevel, maniaxValue, wordCount; // gGameLevel, gManiax, gWordCount
    bool operator==(const Shown&) const = default;
};
char* toString(const Shown& s) {
    return ToPrintable(
        QStringLiteral("%1, %2 %3, %4, list %5; gGameLevel %6 gManiax %7 gWordCount %8")
            .arg(s.level, s.degree, s.maniax ? "on" : "off", s.number,
                 s.listSwitch ? "switches" : "fixed")
            .arg(s.gameLevel)
            .arg(s.maniaxValue)
            .arg(s.wordCount));
}
} // namespace

class TestFrmConfig : public QObject {
    Q_OBJECT

private slots:
    void init() {
        m_folder = std::make_unique<TempProgramFolder>();
        QVERIFY(ConfigFileExists());
        gKeyConfig.fill(QStringLiteral("1"));
        gGameLevel = 3;
        gManiax = 0;
        gUserName = QStringLiteral("ゆびまるプレイヤー１号");
        gDatFileCount = 0;
        gWordFile = QStringLiteral("Nomal.dat");
    }
    void cleanup() {
        delete m_screen.data();
        m_folder.reset();
    }

    void load() {
        // One stored KeyConfig value out of the usual form or range, the
        // caption then selected, the value after the load. (Every value a
        // click stores comes back in everyOptionRoundTrips.)
        const std::tuple<int, const char*, const char*, const char*> kSpellings[] = {
            {19, "2.0", "LO", "2"},
            {1, "3", "TI", "1"},
            {kNn, "0", "NN", "1"},
        };
        for (const auto& [index, stored, caption, after] : kSpellings) {
            gKeyConfig.fill(QStringLiteral("1"));
            gKeyConfig[index] = stored;
            Open();
            QCOMPARE(Selected(kSpelling[index].array, 1, kSpelling[index].count), caption);
            QCOMPARE(gKeyConfig[index], QString(after));
        }
        // LEVEL, MANIAX, the NUMBER line and the count of word lists; then what
        // the screen shows after the load.
        const std::tuple<int, int, const char*, int, Shown> kSettings[] = {
            {1, 6, "NUMBER=6", 1, {u"LEVEL 1"_s, u"Lv2"_s, true, u"６個"_s, false, 1, 6, 6}},
            {9, 3, "NUMBER=100", 2, {u"LEVEL 5"_s, u"Lv1"_s, false, u"１０個"_s, true, 5, 0, 10}},
            {5, 7, "", 2, {u"LEVEL 5"_s, u"Lv3"_s, true, u"１０個"_s, true, 5, 7, 10}},
            {2, 5, "NUMBER= 7abc", 2, {u"LEVEL 2"_s, u"Lv1"_s, true, u"７個"_s, true, 2, 5, 7}},
        };
        for (const auto& [level, maniax, number, files, shown] : kSettings) {
            m_folder->writeFile("ymconfig.ini", DefaultConfigBytes().replace(
                                                    "NUMBER=8\r\n", QByteArray(number) + "\r\n"));
            gGameLevel = std::int16_t(level);
            gManiax = std::int16_t(maniax);
            gDatFileCount = std::int16_t(files);
            Open();
            QCOMPARE(ShownNow(), shown);
        }
    }

    // Clicks change the shared values; finishing writes them, reads everything
    // back and returns to the menu, but neither Command1 nor the close box
    // leaves while ymconfig.ini is missing. (The spellings' clicks are
    // followed through in everyOptionRoundTrips.)
    void changeAndFinish() {
        frmMenu menu;
        menu.show();
        m_screen = new frmConfig;
        menu.OpenScreen(m_screen);
        // Level and MANIAX change at once, NUMBER only when finishing; the
        // MANIAX degree survives switching it off and on.
        const std::pair<const char*, Shown> kClicks[] = {
            {"optNumber6", {u"LEVEL 3"_s, u"Lv1"_s, false, u"６個"_s, false, 3, 0, 8}},
            {"cnd_Maniax", {u"LEVEL 3"_s, u"Lv1"_s, true, u"６個"_s, false, 3, 5, 8}},
            {"optManiax7", {u"LEVEL 3"_s, u"Lv3"_s, true, u"６個"_s, false, 3, 7, 8}},
            {"cnd_Maniax", {u"LEVEL 3"_s, u"Lv3"_s, false, u"６個"_s, false, 3, 0, 8}},
            {"optGameLevel4", {u"LEVEL 4"_s, u"Lv3"_s, false, u"６個"_s, false, 4, 0, 8}},
            {"cnd_Maniax", {u"LEVEL 4"_s, u"Lv3"_s, true, u"６個"_s, false, 4, 7, 8}},
        };
        for (const auto& [button, shown] : kClicks) {
            Click(button);
            QCOMPARE(ShownNow(), shown);
        }

        QVERIFY(QFile::remove(m_folder->filePath("ymconfig.ini")));
        MessageCapture capture;
        Click("Command1");
        // What the window system sends when the close box is clicked.
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        QCoreApplication::sendEvent(m_screen->windowHandle(), &close);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(capture.messages.size(), 2);
        QVERIFY(m_screen && m_screen->isVisible() && menu.isHidden());

        m_folder->writeFile("ymconfig.ini", DefaultConfigBytes());
        gUserName = QStringLiteral("stale");
        gRankName[0] = QStringLiteral("stale");
        Click("Command1");
        QCOMPARE(m_folder->readFile("ymconfig.ini"),
                 DefaultConfigBytes()
                     .replace("LEVEL=3", "LEVEL=4")
                     .replace("NUMBER=8", "NUMBER=6")
                     .replace("MANIAX=0\r\n", "MANIAX=7\r\nLIST=Nomal.dat\r\n"));
        QCOMPARE(ShownNow(), (Shown{u"LEVEL 4"_s, u"Lv3"_s, true, u"６個"_s, false, 4, 7, 6}));
        // Everything is read back: the name and the ranking here, the
        // spellings in everyOptionRoundTrips.
        QCOMPARE(gUserName, u"Default"_s);
        QCOMPARE(gRankName[0], u"POKOTA"_s);
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(m_screen.isNull() && menu.isVisible());
    }

    // Every option of every spelling group, every level and every number of
    // words, chosen and finished, is stored under its key and read back (the
    // spellings into the romaji table as their captions say, ZYA too), and
    // shows chosen when the screen opens again.
    void everyOptionRoundTrips() {
        for (int k = 1; k <= 5; ++k) {
            Open();
            for (const SpellingGroup& group : kSpelling)
                Click(group.array + QString::number(std::min(k, group.count)));
            Click(QStringLiteral("optGameLevel%1").arg(k));
            Click(QStringLiteral("optNumber%1").arg(5 + k));
            Click("Command1");
            QString level, number;
            ReadProfile("GameConfig", "LEVEL", "", level);
            ReadProfile("GameConfig", "NUMBER", "", number);
            QCOMPARE(level, QString::number(k));
            QCOMPARE(number, QString::number(5 + k));
            QCOMPARE(gGameLevel, k);
            QCOMPARE(gWordCount, 5 + k);
            Open();
            QCOMPARE(Selected("optGameLevel", 1, 5), QStringLiteral("LEVEL %1").arg(k));
            QCOMPARE(
                Selected("optNumber", 6, 10),
                Find<QRadioButton>(QStringLiteral("optNumber%1").arg(5 + k))->text().trimmed());
            for (int i = 0; i < 20; ++i) {
                const SpellingGroup& group = kSpelling[i];
                const int option = std::min(k, group.count);
                const QString caption = Selected(group.array, 1, group.count);
                QCOMPARE(caption,
                         Find<QRadioButton>(group.array + QString::number(option))->text());
                const QString key(QChar(u'A' + i));
                QString stored;
                ReadProfile("KeyConfig", key, "", stored);
                QCOMPARE(stored, QString::number(i == kNn ? 3 - option : option));
                QCOMPARE(gRomaji[std::size_t(group.code)], caption);
            }
        }
    }

    // Tab and Shift+Tab into a group of options land on the chosen option.
    void tabIntoOptionGroups() {
        gGameLevel = 4;
        gManiax = 6;
        gKeyConfig[0] = QStringLiteral("2");
        Open();
        QVERIFY(QTest::qWaitForWindowActive(m_screen));
        Find<QWidget>("Command1")->setFocus();
        const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            return QApplication::focusWidget()->objectName();
        };
        for (const char* next : {"optGameLevel4", "optNumber8", "cmdHenkou", "cnd_Maniax",
                                 "optManiax6", "optSi2", "optTi1"})
            QCOMPARE(press(Qt::Key_Tab), QString(next));
        QCOMPARE(press(Qt::Key_Tab, Qt::ShiftModifier), QStringLiteral("optSi2"));
    }

    // Each click on ▼ makes the next word list current, the first after the
    // last, and converts it at once. The one chosen and saved with 設定完了 is
    // the one the next start-up chooses; once it is gone, start-up chooses as
    // without it.
    void rememberedWordList() {
        QApplication::setQuitOnLastWindowClosed(false);
        m_folder->writeFile("Data/Doushi.dat", "1,0,0,0,0\r\n001,41,1\r\n");
        m_folder->writeFile("Data/Nomal.dat", "0,1,0,0,0\r\n002,42,2\r\n");
        m_folder->writeFile("Data/Tabemono.dat", "0,0,1,0,0\r\n003,43,3\r\n");
        const auto startUp = [] {
            if (MenuWindow())
                MenuWindow()->close(); // the last run ends
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            return StartUp();
        };
        QVERIFY(startUp());
        QCOMPARE(gWordFile, QStringLiteral("Nomal.dat")); // the file holds no choice yet
        MenuWindow()->OpenScreen(m_screen = new frmConfig);
        auto* label = Find<QLabel>("lblFileName");
        QCOMPARE(label->text(), QStringLiteral("Nomal"));
        // The list each click shows, and the reading codes of its one word.
        const std::pair<const char*, QByteArray> kClicks[] = {{"Tabemono", "003\r\n"},
                                                              {"Doushi", "001\r\n"},
                                                              {"Nomal", "002\r\n"},
                                                              {"Tabemono", "003\r\n"}};
        for (const auto& [name, readings] : kClicks) {
            Click("cmdFileChange");
            QCOMPARE(gWordFile, QString(name) + ".dat");
            QCOMPARE(label->text(), QString(name));
            QCOMPARE(m_folder->readFile("type2"), readings);
        }
        Click("Command1");
        QVERIFY(startUp());
        QCOMPARE(gWordFile, QStringLiteral("Tabemono.dat"));
        QVERIFY(QFile::remove(m_folder->filePath("Data/Tabemono.dat")));
        QVERIFY(startUp());
        QCOMPARE(gWordFile, QStringLiteral("Nomal.dat"));
        MenuWindow()->close();
    }

    // While the other program holds the files ▼, 設定完了 and the close box
    // wait, the screen drawn but unusable with a note saying so, and go on
    // once the files are free; after the wait they say what was not done,
    // and why, and the screen stays with its choices.
    void heldLock() {
        m_folder->writeFile("Data/Doushi.dat", "1,0,0,0,0\r\n001,41,1\r\n");
        m_folder->writeFile("Data/Nomal.dat", "0,1,0,0,0\r\n002,42,2\r\n");
        ListWordFiles();
        frmMenu menu;
        menu.show();
        menu.OpenScreen(m_screen = new frmConfig);
        const auto* wait = Find<QLabel>("lblWait");
        OtherProgramLock other(*m_folder, std::chrono::milliseconds(300));
        MessageCapture capture;
        Click("cmdFileChange");
        QVERIFY(!m_screen->isEnabled() && wait->isVisible());
        QCOMPARE(gWordFile, u"Nomal.dat"_s);
        other.release();
        QTRY_VERIFY(m_screen->isEnabled());
        QVERIFY(!wait->isVisible() && capture.messages.isEmpty());
        QCOMPARE(gWordFile, u"Doushi.dat"_s);
        QCOMPARE(m_folder->readFile("type2"), "001\r\n");

        other.take();
        Click("cmdFileChange");
        ExpectOtherProgramRefusal(capture, 1, u"単語ファイルを切り替えられませんでした。"_s);
        QCOMPARE(Find<QLabel>("lblFileName")->text(), u"Doushi"_s);
        QCOMPARE(m_folder->readFile("type2"), "001\r\n");

        Click("optGameLevel5");
        Click("Command1");
        ExpectOtherProgramRefusal(capture, 2, u"設定を保存できませんでした。"_s);
        QVERIFY(m_screen && m_screen->isVisible() && m_screen->isEnabled());
        QCOMPARE(Selected("optGameLevel", 1, 5), u"LEVEL 5"_s);
        QVERIFY(m_folder->readFile("ymconfig.ini").contains("LEVEL=3\r\n"));

        // What the window system sends when the close box is clicked.
        QCloseEvent close;
        QSpontaneKeyEvent::setSpontaneous(&close);
        QCoreApplication::sendEvent(m_screen->windowHandle(), &close);
        QVERIFY(m_screen && !m_screen->isEnabled());
        other.release();
        QTRY_VERIFY(m_screen.isNull() && menu.isVisible());
        QVERIFY(m_folder->readFile("ymconfig.ini").contains("LEVEL=5\r\n"));
    }

private:
    void Open() {
        delete m_screen.data();
        m_screen = new frmConfig;
        m_screen->show();
    }
    template <typename T> T* Find(const QString& name) const { return Child<T>(m_screen, name); }
    void Click(const QString& name) const {
        QTest::mouseClick(Find<QAbstractButton>(name), Qt::LeftButton);
    }
    // The caption of the one selected option of an array (k = first to last);
    // none or several show as such.
    QString Selected(const char* array, int first, int last) const {
        QStringList captions;
        for (int k = first; k <= last; ++k) {
            if (QRadioButton* option = Find<QRadioButton>(array + QString::number(k));
                option->isChecked())
                captions << option->text().trimmed();
        }
        return captions.join('+');
    }
    // What the screen shows of the settings now, and the values they hold.
    Shown ShownNow() const {
        const bool on = Find<QLabel>("lbl_Maniax")->isVisibleTo(m_screen);
        if (on != Find<QRadioButton>("optManiax5")->isEnabled())
            qFatal("the MANIAX label and its options disagree");
        return {Selected("optGameLevel", 1, 5),
                Selected("optManiax", 5, 7),
                on,
                Selected("optNumber", 6, 10),
                Find<QPushButton>("cmdFileChange")->isEnabled(),
                gGameLevel,
                gManiax,
                gWordCount};
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    QPointer<frmConfig> m_screen;
};

QTEST_MAIN(TestFrmConfig)
#include "test_frmConfig.moc"
