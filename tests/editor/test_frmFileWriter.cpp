// The kana keyboard: its chart, the removal rule, the level and the saves.

#include "config/config.h"
#include "frmFileWriter.h"
#include "kana/kanacode.h"
#include "testsupport.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

const QByteArray kNomal = "1,0,0,0,0\r\n036031,8E52,1\r\n";

QString Text(QWidget& w, const QString& name) {
    return Child<QObject>(&w, name)->property("text").toString();
}

// What the keyboard holds: the kana picked and their codes, the word and the
// level.
struct Entry {
    QString kana{}, codes{}, word{}, level{};
    bool operator==(const Entry&) const = default;
};
char* toString(const Entry& e) {
    return ToPrintable(QStringLiteral("kana 「%1」 codes 「%2」 word 「%3」 level %4")
                           .arg(e.kana, e.codes, e.word, e.level));
}

// Runs steps separated by blanks: "field=text" fills a field ("_" standing
// for a blank), any other step clicks the button of that name. Returns what
// the keyboard then holds.
Entry Run(QWidget& w, const QString& steps) {
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step.contains(u'='))
            Child<QLineEdit>(&w, step.section(u'=', 0, 0))
                ->setText(step.section(u'=', 1).replace(u'_', u' '));
        else
            QTest::mouseClick(Child<QPushButton>(&w, step), Qt::LeftButton);
    }
    return {Text(w, "lblHiragana"), Text(w, "lblNumber"), Text(w, "txtKanjiName"),
            Text(w, "lbl_Level")};
}

} // namespace

class TestFrmFileWriter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetProgramKind(ProgramKind::Editor); }

    // Every kana button adds its caption and the code of its caption, and 戻る
    // takes back just that kana; the level limits and クリア; the word and
    // level handed over.
    void chartLevelAndClear() {
        TempProgramFolder folder;
        gWriterWord = gWriterLevel = QString(); // nothing handed over: level 1
        frmFileWriter keyboard;
        // 戻る on an empty entry does nothing; し then stays through the chart.
        const Entry shi{"し", "012", "", "1"};
        QCOMPARE(Run(keyboard, "Command108 Command14"), shi);
        const QStringList kana(gKana.begin(), gKana.end());
        QStringList pressed;
        for (int n = 1; n <= 120; ++n) {
            auto* button = keyboard.findChild<QPushButton*>(QStringLiteral("Command%1").arg(n));
            if (n == 108 || n == 109 || !button)
                continue;
            const QString caption = button->text();
            const QString code = QStringLiteral("%1").arg(kana.indexOf(caption), 3, 10, QChar('0'));
            QCOMPARE(Run(keyboard, button->objectName()),
                     (Entry{"し" + caption, "012" + code, "", "1"}));
            QCOMPARE(Run(keyboard, "Command108"), shi);
            pressed << caption;
        }
        pressed.sort();
        QStringList all = kana.mid(1);
        all.sort();
        QCOMPARE(pressed, all); // every kana of the table, each once

        // The level stays within 1 to 5; クリア keeps it and empties the rest.
        QCOMPARE(Run(keyboard, "cmd_Up cmd_Up cmd_Up cmd_Up cmd_Up txtKanjiName=猫 cmdClear"),
                 (Entry{.level = "5"}));
        QCOMPARE(Run(keyboard, "cmd_Down cmd_Down cmd_Down cmd_Down cmd_Down"),
                 (Entry{.level = "1"}));

        // The registration screen hands over its word and level: every level
        // shows as handed over; anything else starts at level 1.
        for (const char* level : {"1", "2", "3", "4", "5", "0", "6", "１", "", "23"}) {
            gWriterWord = QStringLiteral("犬");
            gWriterLevel = QString::fromUtf8(level);
            frmFileWriter handedOver;
            const bool valid = gWriterLevel.size() == 1 && level[0] >= '1' && level[0] <= '5';
            QCOMPARE(Run(handedOver, ""), (Entry{.word = "犬", .level = valid ? level : "1"}));
        }
    }

    // Saves refused and made, then the reading suggested for the next word,
    // then saves while the other program holds the files.
    void saves() {
        TempProgramFolder folder;
        folder.writeFile("Data/Nomal.dat", kNomal);
        QVERIFY(ConfigFileExists() && ConvertWordFile("Nomal.dat"));
        gWriterWord = "猫";
        gWriterLevel = "2";
        frmFileWriter keyboard;
        keyboard.show();
        MessageCapture capture;
        // A word but no kana, kana but a word of blanks, a character no file
        // can hold: nothing is saved.
        QCOMPARE(
            Run(keyboard, "cmdOK Command22 Command10 txtKanjiName=__ cmdOK txtKanjiName=😀 cmdOK"),
            (Entry{"ねこ", "024010", "😀", "2"}));
        QVERIFY(capture.messages.size() == 1 && capture.messages[0].text.contains(u"😀"));
        QCOMPARE(folder.readFile("Data/Nomal.dat"), kNomal);
        // Ctrl+S presses 保存 from the word field.
        QVERIFY(QTest::qWaitForWindowActive(&keyboard));
        Run(keyboard, "txtKanjiName=猫");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_S, Qt::ControlModifier);
        QCOMPARE(Run(keyboard, ""), (Entry{.level = "2"}));
        const QByteArray saved = "1,1,0,0,0\r\n036031,8E52,1\r\n024010,944C,2\r\n";
        QCOMPARE(folder.readFile("Data/Nomal.dat"), saved);
        auto* word = Child<QLineEdit>(&keyboard, "txtKanjiName");
        QCOMPARE(keyboard.focusWidget(), word);

        // The next word: Tab out of the word field with no kana picked picks
        // the suggested reading, which 戻る takes back kana by kana; kana
        // picked stay; a click on a kana picks that kana alone.
        Run(keyboard, "txtKanjiName=今日");
        QTest::keyClick(word, Qt::Key_Tab);
        QCOMPARE(Text(keyboard, "lblNumber"), QStringLiteral("074003"));
        Run(keyboard, "Command108");
        word->setFocus();
        QTest::keyClick(word, Qt::Key_Tab);
        QCOMPARE(Text(keyboard, "lblHiragana"), QStringLiteral("きょ"));
        Run(keyboard, "cmdClear txtKanjiName=猫");
        word->setFocus();
        Run(keyboard, "Command22");
        QCOMPARE(Text(keyboard, "lblHiragana"), QStringLiteral("ね"));

        // By keys: Tab from the word field goes to あ, where Space picks it;
        // the arrows follow the chart, over its gaps, from block to block,
        // and stay at its edge; クリア is last in the tab chain. Guards the
        // first Tab that reached クリア and wiped the entry.
        Run(keyboard, "cmdClear");
        word->setFocus();
        QTest::keyClick(word, Qt::Key_Tab);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
        QCOMPARE(Text(keyboard, "lblHiragana"), QStringLiteral("あ"));
        QStringList path;
        for (const Qt::Key key :
             {Qt::Key_Left, Qt::Key_Right, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down,
              Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Down, Qt::Key_Right, Qt::Key_Right,
              Qt::Key_Right, Qt::Key_Right, Qt::Key_Up}) {
            QTest::keyClick(QApplication::focusWidget(), key);
            path << QApplication::focusWidget()->property("text").toString();
        }
        QCOMPARE(path.join(u' '),
                 QStringLiteral("あ い き し ち に ひ み り り る れ ろ びゃ ぢゃ"));
        word->setFocus();
        QTest::keyClick(word, Qt::Key_Backtab, Qt::ShiftModifier);
        QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdClear"));

        // 保存 while the other program holds the files waits, the keyboard
        // drawn with a note saying so, and saves once they are free; after
        // the wait it says the word was not added, and why, and keeps the
        // entry.
        const auto* wait = Child<QLabel>(&keyboard, "lblWait");
        OtherProgramLock other(folder, std::chrono::milliseconds(300));
        capture.messages.clear();
        Run(keyboard, "cmdClear txtKanjiName=猫 Command22 Command10 cmdOK");
        QVERIFY(!keyboard.isEnabled() && wait->isVisible());
        other.release();
        QTRY_VERIFY(keyboard.isEnabled());
        QVERIFY(!wait->isVisible() && capture.messages.isEmpty());
        const QByteArray savedAgain = "1,2,0,0,0\r\n036031,8E52,1\r\n024010,944C,2\r\n"
                                      "024010,944C,2\r\n";
        QCOMPARE(folder.readFile("Data/Nomal.dat"), savedAgain);

        other.take();
        Run(keyboard, "txtKanjiName=猫 Command22 Command10 cmdOK");
        ExpectOtherProgramRefusal(capture, 1, QStringLiteral("単語を追加できませんでした。"));
        QCOMPARE(Run(keyboard, ""), (Entry{"ねこ", "024010", "猫", "2"}));
        QCOMPARE(folder.readFile("Data/Nomal.dat"), savedAgain);
    }
};

QTEST_MAIN(TestFrmFileWriter)
#include "test_frmFileWriter.moc"
