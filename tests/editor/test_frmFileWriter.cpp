// The kana keyboard: its chart, the removal rule, the level and the saves.

#include "config.h"
#include "frmFileWriter.h"
#include "kanacode.h"
#include "testsupport.h"
#include "twips.h"
#include "wordfile.h"

#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpression>
#include <QtTest>

namespace {

// The chart in three blocks of ten rows of five places: caption and button
// number, "-" for an empty place. Each button adds the code of its caption.
const char* const kChart[3] = {
    "あ1 い4 う3 え2 お5 か6 き9 く8 け7 こ10 さ11 し14 す13 せ12 そ15 た16 ち19 つ18 て17 と20 "
    "な21 に24 ぬ23 ね22 の25 は26 ひ29 ふ28 へ27 ほ30 ま31 み34 む33 め32 も35 "
    "や36 - ゆ38 - よ40 ら41 り44 る43 れ42 ろ45 わ46 - を48 - ん50",
    "が37 ぎ49 ぐ47 げ39 ご51 ざ52 じ55 ず54 ぜ53 ぞ56 だ57 ぢ60 づ59 で58 ど61 "
    "ば62 び65 ぶ64 べ63 ぼ66 ぱ103 ぴ106 ぷ105 ぺ104 ぽ107 ぎゃ88 - ぎゅ89 - ぎょ90 "
    "じゃ91 - じゅ92 - じょ93 ぢゃ94 - ぢゅ95 - ぢょ96 びゃ97 - びゅ98 - びょ99 "
    "ぴゃ100 - ぴゅ101 - ぴょ102",
    "きゃ67 - きゅ69 - きょ71 しゃ68 - しゅ70 - しょ72 ちゃ73 - ちゅ74 - ちょ75 "
    "にゃ76 - にゅ77 - にょ78 ひゃ79 - ひゅ80 - ひょ81 みゃ82 - みゅ83 - みょ84 "
    "りゃ85 - りゅ86 - りょ87 ふぁ115 - ふぃ112 - ふぇ114 ふぉ111 - っ110 - ー116 "
    "ぁ113 ぃ117 ぅ118 ぇ119 ぉ120"};
constexpr int kBlockLeft[3] = {240, 3480, 6720};

const QByteArray kNomal = "1,0,0,0,0\r\n036031,8E52,1\r\n";

template <typename T = QWidget> T* Child(QWidget& w, const QString& name) {
    T* child = w.findChild<T*>(name);
    if (!child)
        qFatal("no control %s", qPrintable(name));
    return child;
}
QString Text(QWidget& w, const QString& name) {
    return Child(w, name)->property("text").toString();
}
// Runs steps separated by blanks: "field=text" fills a field ("_" standing
// for a blank), any other step clicks the button of that name. Returns the
// picked kana and their codes, the word and the level.
QString Run(QWidget& w, const QString& steps) {
    for (const QString& step : steps.split(u' ', Qt::SkipEmptyParts)) {
        if (step.contains(u'='))
            Child<QLineEdit>(w, step.section(u'=', 0, 0))
                ->setText(step.section(u'=', 1).replace(u'_', u' '));
        else
            QTest::mouseClick(Child<QPushButton>(w, step), Qt::LeftButton);
    }
    return Text(w, "lblHiragana") + u'|' + Text(w, "lblNumber") + u'|' + Text(w, "txtKanjiName") +
           u'|' + Text(w, "lbl_Level");
}
constexpr auto Px = TwipsToPixels;

} // namespace

class TestFrmFileWriter : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetProgramKind(ProgramKind::Editor); }

    // Every kana button, 戻る after each taking back just that kana, the other
    // controls, the level limits and クリア.
    void chartLevelAndClear() {
        TempProgramFolder folder;
        gWriterWord = gWriterLevel = QString(); // nothing handed over: level 1
        frmFileWriter keyboard;
        QCOMPARE(keyboard.size(), QSize(Px(11850), Px(8580)));
        // 戻る on an empty entry does nothing; し then stays through the chart.
        QCOMPARE(Run(keyboard, "Command108 Command14"), QStringLiteral("し|012||1"));
        const QStringList kana(gKana.begin(), gKana.end());
        for (int block = 0; block < 3; ++block) {
            const QStringList places = QString::fromUtf8(kChart[block]).split(u' ');
            for (int i = 0; i < places.size(); ++i) {
                const auto cell = QRegularExpression("^(\\D+)(\\d+)$").match(places[i]);
                if (!cell.hasMatch())
                    continue;
                const QString caption = cell.captured(1);
                auto* button = Child<QPushButton>(keyboard, "Command" + cell.captured(2));
                QCOMPARE(button->text(), caption);
                QCOMPARE(button->geometry(), QRect(Px(kBlockLeft[block] + i % 5 * 600),
                                                   Px(2160 + i / 5 * 600), Px(495), Px(495)));
                QCOMPARE(Run(keyboard, button->objectName()),
                         QString::asprintf("し%s|012%03d||1", qPrintable(caption),
                                           int(kana.indexOf(caption))));
                QCOMPARE(Run(keyboard, "Command108"), QStringLiteral("し|012||1"));
            }
        }
        const QString others =
            "Label2 ファイル保持用 1560 120,lbl_Level 1 6600 120,cmd_Up ▲ 7440 0,"
            "cmd_Down ▼ 7440 360,Command108 戻る 9840 1680,"
            "cmdClear クリア 10320 6120,cmdOK 保存 10320 6600,"
            "Command109 終了 10320 7080";
        for (const QString& other : others.split(u',')) {
            const QStringList f = other.split(u' ');
            QCOMPARE(Text(keyboard, f[0]), f[1]);
            QCOMPARE(Child(keyboard, f[0])->pos(), QPoint(Px(f[2].toInt()), Px(f[3].toInt())));
        }

        // The level stays within 1 to 5; クリア keeps it and empties the rest.
        QCOMPARE(Run(keyboard, "cmd_Up cmd_Up cmd_Up cmd_Up cmd_Up txtKanjiName=猫 cmdClear"),
                 QStringLiteral("|||5"));
        QCOMPARE(Run(keyboard, "cmd_Down cmd_Down cmd_Down cmd_Down cmd_Down"),
                 QStringLiteral("|||1"));
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
        // A word but no kana, kana but a word of blanks, a character no file
        // can hold: nothing is saved.
        QCOMPARE(
            Run(keyboard, "cmdOK Command22 Command10 txtKanjiName=__ cmdOK txtKanjiName=😀 cmdOK"),
            QStringLiteral("ねこ|024010|😀|2"));
        QVERIFY(capture.messages.size() == 1 && capture.messages[0].text.contains(u"😀"));
        QCOMPARE(folder.readFile("Data/Nomal.dat"), kNomal);
        QCOMPARE(Run(keyboard, "txtKanjiName=猫 cmdOK"), QStringLiteral("|||2"));
        QCOMPARE(folder.readFile("Data/Nomal.dat"),
                 QByteArray("1,1,0,0,0\r\n036031,8E52,1\r\n024010,944C,2\r\n"));
        QCOMPARE(keyboard.focusWidget(), Child(keyboard, "txtKanjiName"));

        // Closing writes the word list once more, whatever way it is closed.
        QVERIFY(AppendWordRecord("8CA2,2", "002023", 2));
        keyboard.close();
        QVERIFY(folder.readFile("Data/Nomal.dat").endsWith("002023,8CA2,2\r\n"));
    }
};

QTEST_MAIN(TestFrmFileWriter)
#include "test_frmFileWriter.moc"
