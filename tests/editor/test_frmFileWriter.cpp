// The kana keyboard: its chart, the removal rule, the level and the saves.

#include "config.h"
#include "frmFileWriter.h"
#include "frmTouroku.h"
#include "testsupport.h"
#include "twips.h"
#include "wordfile.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QtTest>

namespace {

// The chart, block by block and row by row: caption/button/code per place,
// "-" for an empty place.
const char* const kChart[3][10] = {
    {"あ/1/001 い/4/002 う/3/003 え/2/004 お/5/005",
     "か/6/006 き/9/007 く/8/008 け/7/009 こ/10/010",
     "さ/11/011 し/14/012 す/13/013 せ/12/014 そ/15/015",
     "た/16/016 ち/19/017 つ/18/018 て/17/019 と/20/020",
     "な/21/021 に/24/022 ぬ/23/023 ね/22/024 の/25/025",
     "は/26/026 ひ/29/027 ふ/28/028 へ/27/029 ほ/30/030",
     "ま/31/031 み/34/032 む/33/033 め/32/034 も/35/035", "や/36/036 - ゆ/38/037 - よ/40/038",
     "ら/41/039 り/44/040 る/43/041 れ/42/042 ろ/45/043", "わ/46/044 - を/48/045 - ん/50/046"},
    {"が/37/047 ぎ/49/048 ぐ/47/049 げ/39/050 ご/51/051",
     "ざ/52/052 じ/55/053 ず/54/054 ぜ/53/055 ぞ/56/056",
     "だ/57/057 ぢ/60/058 づ/59/059 で/58/060 ど/61/061",
     "ば/62/062 び/65/063 ぶ/64/064 べ/63/065 ぼ/66/066",
     "ぱ/103/067 ぴ/106/068 ぷ/105/069 ぺ/104/070 ぽ/107/071",
     "ぎゃ/88/093 - ぎゅ/89/094 - ぎょ/90/095", "じゃ/91/096 - じゅ/92/097 - じょ/93/098",
     "ぢゃ/94/099 - ぢゅ/95/100 - ぢょ/96/101", "びゃ/97/102 - びゅ/98/103 - びょ/99/104",
     "ぴゃ/100/105 - ぴゅ/101/106 - ぴょ/102/107"},
    {"きゃ/67/072 - きゅ/69/073 - きょ/71/074", "しゃ/68/075 - しゅ/70/076 - しょ/72/077",
     "ちゃ/73/078 - ちゅ/74/079 - ちょ/75/080", "にゃ/76/081 - にゅ/77/082 - にょ/78/083",
     "ひゃ/79/084 - ひゅ/80/085 - ひょ/81/086", "みゃ/82/087 - みゅ/83/088 - みょ/84/089",
     "りゃ/85/090 - りゅ/86/091 - りょ/87/092", "ふぁ/115/109 - ふぃ/112/110 - ふぇ/114/111",
     "ふぉ/111/112 - っ/110/108 - ー/116/113",
     "ぁ/113/114 ぃ/117/115 ぅ/118/116 ぇ/119/117 ぉ/120/118"},
};
constexpr int kBlockLeft[3] = {240, 3480, 6720};

const QByteArray kNomal = "1,0,0,0,0\r\n036031,8E52,1\r\n";

template <typename T> T* Child(QWidget& w, const QString& name) {
    T* child = w.findChild<T*>(name);
    if (!child)
        qFatal("no control %s", qPrintable(name));
    return child;
}
void Click(QWidget& w, const QString& name) {
    QTest::mouseClick(Child<QPushButton>(w, name), Qt::LeftButton);
}
QString Picked(QWidget& w) {
    return Child<QLabel>(w, "lblHiragana")->text() + u'|' + Child<QLabel>(w, "lblNumber")->text();
}

} // namespace

class TestFrmFileWriter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetProgramKind(ProgramKind::Editor); }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("caption");
        QTest::addColumn<QString>("code"); // empty: not a kana button
        QTest::addColumn<QPoint>("twips");
        for (int block = 0; block < 3; ++block) {
            for (int row = 0; row < 10; ++row) {
                const QStringList cells = QString::fromUtf8(kChart[block][row]).split(u' ');
                for (int col = 0; col < 5; ++col) {
                    const QStringList cell = cells[col].split(u'/');
                    if (cell.size() == 3)
                        QTest::addRow("Command%s", qPrintable(cell[1]))
                            << "Command" + cell[1] << cell[0] << cell[2]
                            << QPoint(kBlockLeft[block] + col * 600, 2160 + row * 600);
                }
            }
        }
        const QStringList others{"Label2 ファイル保持用 1560 120",
                                 "lbl_Level 1 6600 120",
                                 "cmd_Up ▲ 7440 0",
                                 "cmd_Down ▼ 7440 360",
                                 "Command108 戻る 9840 1680",
                                 "cmdClear クリア 10320 6120",
                                 "cmdOK 保存 10320 6600",
                                 "Command109 終了 10320 7080"};
        for (const QString& other : others) {
            const QStringList f = other.split(u' ');
            QTest::newRow(qPrintable(f[0]))
                << f[0] << f[1] << QString() << QPoint(f[2].toInt(), f[3].toInt());
        }
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        QFETCH(QString, code);
        QFETCH(QPoint, twips);
        TempProgramFolder folder;
        gWriterLevel.clear(); // nothing handed over: level 1
        frmFileWriter keyboard;
        QWidget* control = Child<QWidget>(keyboard, name);
        QCOMPARE(control->property("text").toString(), caption);
        QCOMPARE(control->pos(), QPoint(TwipsToPixels(twips.x()), TwipsToPixels(twips.y())));
        if (code.isEmpty())
            return;
        QCOMPARE(control->size(), QSize(TwipsToPixels(495), TwipsToPixels(495)));
        Click(keyboard, "Command14"); // し first: the removal must leave it
        Click(keyboard, name);
        QCOMPARE(Picked(keyboard), "し" + caption + "|012" + code);
        Click(keyboard, "Command108");
        QCOMPARE(Picked(keyboard), QStringLiteral("し|012"));
    }

    void clearAndLevel() {
        TempProgramFolder folder;
        gWriterLevel = "5";
        frmFileWriter keyboard;
        Click(keyboard, "Command108"); // nothing to remove
        Click(keyboard, "Command72");
        Click(keyboard, "cmdClear");
        QCOMPARE(Picked(keyboard), QStringLiteral("|"));
        auto* level = Child<QLabel>(keyboard, "lbl_Level");
        Click(keyboard, "cmd_Up");
        QCOMPARE(level->text(), QStringLiteral("5"));
        for (int i = 0; i < 5; ++i)
            Click(keyboard, "cmd_Down");
        QCOMPARE(level->text(), QStringLiteral("1"));
    }

    void saves() {
        TempProgramFolder folder;
        folder.writeFile("Data/Nomal.dat", kNomal);
        QVERIFY(ConfigFileExists() && ConvertWordFile("Nomal.dat"));
        gWriterWord = "猫";
        gWriterLevel = "2";
        frmFileWriter keyboard;
        keyboard.show();
        MessageCapture capture;
        Click(keyboard, "cmdOK"); // a word but no kana
        auto* word = Child<QLineEdit>(keyboard, "txtKanjiName");
        word->setText("  ");
        Click(keyboard, "Command22");
        Click(keyboard, "Command10");
        Click(keyboard, "cmdOK"); // kana but a blank word
        word->setText("😀");
        Click(keyboard, "cmdOK");
        QCOMPARE(capture.messages.size(), 1);
        QVERIFY(capture.messages[0].text.contains(QStringLiteral("😀")));
        QCOMPARE(folder.readFile("Data/Nomal.dat"), kNomal);

        word->setText("猫");
        Click(keyboard, "cmdOK");
        QCOMPARE(folder.readFile("Data/Nomal.dat"),
                 QByteArray("1,1,0,0,0\r\n036031,8E52,1\r\n024010,944C,2\r\n"));
        QCOMPARE(Picked(keyboard) + word->text(), QStringLiteral("|"));
        QCOMPARE(keyboard.focusWidget(), word);
        QCOMPARE(Child<QLabel>(keyboard, "lbl_Level")->text(), QStringLiteral("2"));

        // Closing writes the word list once more, whatever way it is closed.
        QVERIFY(AppendWordRecord("8CA2,2", "002023", 2));
        keyboard.close();
        QVERIFY(folder.readFile("Data/Nomal.dat").endsWith("002023,8CA2,2\r\n"));
    }

    void openedFromRegistrationScreen() {
        TempProgramFolder folder;
        folder.writeFile("Data/Nomal.dat", kNomal);
        frmTouroku screen;
        screen.show();
        Click(screen, "cmd_Up");
        Click(screen, "cmd_Up");
        Child<QLineEdit>(screen, "txt_Tango")->setText("猫");
        QString handedOver;
        QTimer::singleShot(0, this, [&] {
            auto* keyboard = qobject_cast<frmFileWriter*>(QApplication::activeModalWidget());
            QVERIFY(keyboard);
            handedOver = Child<QLineEdit>(*keyboard, "txtKanjiName")->text() +
                         Child<QLabel>(*keyboard, "lbl_Level")->text();
            Click(*keyboard, "Command22");
            Click(*keyboard, "Command10");
            Click(*keyboard, "cmdOK");
            Click(*keyboard, "Command109");
        });
        Click(screen, "cmdTenyuryoku");
        QCOMPARE(handedOver, QStringLiteral("猫3"));
        auto* list = Child<QTreeWidget>(screen, "lst_Touroku");
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(2) + list->topLevelItem(0)->text(3),
                 QStringLiteral("猫ねこ"));
    }
};

QTEST_MAIN(TestFrmFileWriter)
#include "test_frmFileWriter.moc"
