// The registration screen driven through real key and mouse events.

#include "frmTouroku.h"
#include "testsupport.h"
#include "twips.h"
#include "wordfile.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

#include <memory>

namespace {

// 山 やま 1, 海 うみ 3, 空 そら 3, 川 かわ 1, 花 はな 4, 雨 あめ 3.
const QByteArray kRecords = "036031,8E52,1\r\n003032,8A43,3\r\n015039,8BF3,3\r\n"
                            "006044,90EC,1\r\n026021,89D4,4\r\n001034,894A,3\r\n";
const QByteArray kNomal = "2,0,3,1,0\r\n" + kRecords;

// A program folder holding the given word lists, and the screen open on it.
struct Screen {
    explicit Screen(const QList<std::pair<QString, QByteArray>>& lists = {{"Nomal.dat", kNomal}}) {
        for (const auto& [name, bytes] : lists)
            folder.writeFile("Data/" + name, bytes);
        w = std::make_unique<frmTouroku>();
        w->show();
        w->activateWindow();
        active = QTest::qWaitForWindowActive(w.get());
    }
    template <typename T = QWidget> T* get(const char* name) const {
        T* child = w->findChild<T*>(QLatin1String(name));
        if (!child)
            qFatal("no control %s", name);
        return child;
    }
    QLineEdit* edit(const char* name) const { return get<QLineEdit>(name); }
    QString text(const char* name) const { return get<QLabel>(name)->text(); }
    QWidget* focus() const { return QApplication::focusWidget(); }
    void click(const char* name) const {
        QTest::mouseClick(get<QAbstractButton>(name), Qt::LeftButton);
    }
    // One key event per character, the way an input method delivers text.
    void type(const char* field, const QString& text) const {
        for (const char32_t c : text.toUcs4())
            QTest::sendKeyEvent(QTest::Click, get(field), Qt::Key_unknown, QString::fromUcs4(&c, 1),
                                Qt::NoModifier);
    }
    void convert(const QString& reading) const {
        edit("txt_Hiragana")->clear();
        type("txt_Hiragana", reading);
        click("cmdHenkan");
    }
    void clickRow(int row) const {
        auto* list = get<QTreeWidget>("lst_Touroku");
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(list->topLevelItem(row)).center());
    }
    QStringList rows() const {
        auto* list = get<QTreeWidget>("lst_Touroku");
        QStringList rows;
        for (int i = 0; i < list->topLevelItemCount(); ++i) {
            QStringList cells;
            for (int c = 0; c < 5; ++c)
                cells << list->topLevelItem(i)->text(c);
            rows << cells.join(u'|');
        }
        return rows;
    }
    // Enabled states of cmdHenkan, cmdHenkou, cmdOK, cmd_DSP, cmd_Up, cmd_Down.
    QString states() const {
        QString s;
        for (const char* name :
             {"cmdHenkan", "cmdHenkou", "cmdOK", "cmd_DSP", "cmd_Up", "cmd_Down"})
            s += get(name)->isEnabled() ? u'1' : u'0';
        return s;
    }
    QByteArray wordList(const QString& name = "Nomal.dat") const {
        return folder.readFile("Data/" + name);
    }

    TempProgramFolder folder;
    std::unique_ptr<frmTouroku> w;
    bool active = false;
};

} // namespace

class TestFrmTouroku : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetProgramKind(ProgramKind::Editor); }

    void startUpModesAndSelection() {
        Screen s;
        QVERIFY(s.active);
        QCOMPARE(s.w->windowTitle() + s.text("lbl_Level") + s.text("lblFileName"),
                 QStringLiteral("登録画面１NOMAL"));
        QCOMPARE(s.rows(), QStringList({"1|1|山|やま|1", "2|1|川|かわ|4"}));
        QCOMPARE(s.focus(), s.edit("txt_Tango"));
        QCOMPARE(s.states(), QStringLiteral("100111"));
        QVERIFY(!s.get("cmdFileChange")->isEnabled()); // a single word list
        s.clickRow(0);                                 // the add mode ignores the list
        QCOMPARE(s.edit("txt_Tango")->text(), QString());

        s.click("OptMode1");
        QCOMPARE(s.states(), QStringLiteral("010111"));
        s.click("cmdHenkou"); // nothing selected yet
        QCOMPARE(s.states(), QStringLiteral("010111"));
        s.clickRow(1);
        QCOMPARE(s.edit("txt_Tango")->text() + s.edit("txt_Hiragana")->text() + s.text("lbl_Gyo"),
                 QStringLiteral("川かわ4"));
        QTest::keyClick(s.edit("txt_Hiragana"), Qt::Key_Return);
        QCOMPARE(s.focus(), s.get("cmdHenkou"));
        s.click("cmdHenkou");
        QCOMPARE(s.states(), QStringLiteral("110000"));
        s.clickRow(0); // locked after the confirmation
        QCOMPARE(s.text("lbl_Gyo"), QStringLiteral("4"));
        QTest::keyClick(s.w.get(), Qt::Key_Up, Qt::AltModifier); // cmd_Up is disabled
        QCOMPARE(s.text("lbl_Level"), QStringLiteral("１"));
        s.convert("漢字"); // nothing codable
        QCOMPARE(s.states() + s.text("lbl_HenKan"), QStringLiteral("110000"));
        s.convert("かわ");
        QCOMPARE(s.states(), QStringLiteral("111000"));
        s.click("cmdClear");
        QCOMPARE(s.states() + s.text("lbl_Gyo"), QStringLiteral("010111"));

        s.click("OptMode2");
        s.clickRow(0);
        s.click("cmdHenkou");
        QCOMPARE(s.states(), QStringLiteral("001000"));
        QCOMPARE(s.focus(), s.get("cmdOK"));
    }

    void addWordEndToEnd() {
        Screen s;
        QVERIFY(s.active);
        QTest::keyClick(s.w.get(), Qt::Key_Up, Qt::AltModifier);
        QTest::keyClick(s.w.get(), Qt::Key_Up, Qt::AltModifier);
        s.type("txt_Tango", "新聞");
        QTest::keyClick(s.edit("txt_Tango"), Qt::Key_Return);
        QCOMPARE(s.focus(), s.edit("txt_Hiragana"));
        s.type("txt_Hiragana", "しんぶん");
        QTest::keyClick(s.edit("txt_Hiragana"), Qt::Key_Return);
        QCOMPARE(s.focus(), s.get("cmdHenkan"));
        QTest::keyClick(s.w.get(), Qt::Key_H, Qt::AltModifier); // an animated click
        QTRY_COMPARE(s.text("lbl_HenKan"), QStringLiteral("しんぶん"));
        QCOMPARE(s.focus(), s.get("cmdOK"));
        s.type("txt_Hiragana", "あ"); // the codes of the conversion are saved
        QTest::keyClick(s.w.get(), Qt::Key_S, Qt::AltModifier);
        QTRY_COMPARE(s.wordList(), "2,0,4,1,0\r\n" + kRecords + "012046064046,9056,95B7,3\r\n");
        QCOMPARE(s.rows().last(), QStringLiteral("4|3|新聞|しんぶん|7"));
        QCOMPARE(s.edit("txt_Tango")->text() + s.text("lbl_HenKan"), QString());
        QCOMPARE(s.focus(), s.edit("txt_Tango"));
    }

    void levelCycling() {
        Screen s;
        QVERIFY(s.active);
        s.type("txt_Tango", "山");
        s.click("cmd_Down");
        QCOMPARE(s.text("lbl_Level") + s.edit("txt_Tango")->text(), QStringLiteral("５"));
        QTest::keyClick(s.w.get(), Qt::Key_Up, Qt::AltModifier);
        QCOMPARE(s.text("lbl_Level"), QStringLiteral("１"));
        QTest::keyClick(s.w.get(), Qt::Key_Down, Qt::AltModifier);
        QTest::keyClick(s.w.get(), Qt::Key_Down, Qt::AltModifier);
        QCOMPARE(s.rows(), QStringList({"1|4|花|はな|5"}));
        for (int i = 0; i < 5; ++i)
            s.click("cmd_Up");
        QCOMPARE(s.text("lbl_Level"), QStringLiteral("４"));
    }

    void modifyAndDelete() {
        Screen s;
        s.click("cmd_Up");
        s.click("cmd_Up");
        s.click("OptMode1");
        s.clickRow(1); // 空, line 3
        s.click("cmdHenkou");
        s.convert("から");
        s.click("cmdOK");
        QCOMPARE(s.rows(), QStringList({"1|3|海|うみ|2", "2|3|雨|あめ|5", "3|3|空|から|6"}));
        QVERIFY(s.wordList().endsWith("894A,3\r\n006039,8BF3,3\r\n"));

        s.click("cmd_Up"); // level 4 holds only 花
        s.click("OptMode2");
        s.clickRow(0);
        s.click("cmdHenkou");
        s.click("cmdOK");
        QCOMPARE(s.rows(), QStringList());
        QVERIFY(s.wordList().startsWith("2,0,3,0,0\r\n") && !s.wordList().contains("89D4"));
    }

    void refusedSavesWriteNothing() {
        Screen s;
        QVERIFY(s.active);
        MessageCapture capture;
        const auto last = [&] {
            const CapturedMessage m = capture.messages.value(capture.messages.size() - 1);
            return m.icon == MessageIcon::Critical && m.title == QStringLiteral("警告") ? m.text
                                                                                        : QString();
        };
        s.convert("  ");
        QCOMPARE(last(), QStringLiteral("未入力エラー"));
        QCOMPARE(s.focus(), s.edit("txt_Hiragana"));
        s.convert("ねこ");
        s.click("cmdOK"); // no word
        QCOMPARE(last(), QStringLiteral("未入力エラー"));
        QCOMPARE(s.focus(), s.edit("txt_Tango"));
        s.type("txt_Tango", "猫😀");
        s.click("cmdOK");
        QVERIFY(last().contains(QStringLiteral("😀")));

        s.click("OptMode1");
        s.clickRow(0);
        s.click("cmdHenkou");
        s.edit("txt_Tango")->setText(QStringLiteral("😀"));
        s.convert("やま");
        s.click("cmdOK"); // the old entry must survive a refused change
        QVERIFY(last().contains(QStringLiteral("😀")));

        s.click("OptMode2");
        s.clickRow(0);
        s.click("cmdHenkou");
        s.edit("txt_Tango")->clear();
        s.click("cmdOK");
        QCOMPARE(last(), QStringLiteral("未選択エラー"));
        QCOMPARE(capture.messages.size(), 5);
        QCOMPARE(s.wordList(), kNomal);
        QCOMPARE(s.folder.readFile("type2").count('\n'), 6);
    }

    void wordListSwitch() {
        Screen s({{"Nomal.dat", kNomal}, {"Second.dat", "0,1,0,0,0\r\n002023,8CA2,2\r\n"}});
        // An edit still only in the working files goes into the old list.
        QVERIFY(AppendWordRecord("944C,1", "024010", 1));
        s.click("OptMode2"); // a confirmed line number must not reach the next list
        s.clickRow(0);
        s.click("cmdHenkou");
        s.click("cmdFileChange");
        QCOMPARE(s.text("lblFileName"), QStringLiteral("Second"));
        QCOMPARE(s.states() + s.text("lbl_Gyo"), QStringLiteral("010111"));
        QVERIFY(s.wordList().endsWith("894A,3\r\n024010,944C,1\r\n"));
        QCOMPARE(s.rows(), QStringList());
        s.click("cmdFileChange");
        QCOMPARE(s.text("lblFileName"), QStringLiteral("Nomal"));
        QCOMPARE(s.rows().size(), 3);
    }

    void emptyListThenAdd() {
        Screen s({{"A.dat", kNomal}, {"Empty.dat", "0,0,0,0,0\r\n"}});
        s.click("cmdFileChange");
        QCOMPARE(s.text("lblFileName"), QStringLiteral("Empty"));
        s.type("txt_Tango", "猫");
        s.convert("ねこ");
        s.click("cmdOK");
        QCOMPARE(s.wordList("Empty.dat"), QByteArray("1,0,0,0,0\r\n024010,944C,1\r\n"));
        QCOMPARE(s.wordList("A.dat"), kNomal);
    }

    void damagedWorkingFilesAreRebuilt() {
        Screen s;
        MessageCapture capture;
        s.folder.writeFile("type1", "036031,8E52,1\r\n");
        s.click("cmd_DSP");
        QCOMPARE(capture.messages.size(), 1);
        QCOMPARE(s.rows().size(), 2);
        QCOMPARE(s.folder.readFile("type1").count('\n'), 6);
        QCOMPARE(s.wordList(), kNomal);
    }

    void endingSavesTheList() {
        for (const bool closeBox : {false, true}) {
            Screen s;
            QVERIFY(AppendWordRecord("944C,1", "024010", 1));
            if (closeBox)
                s.w->close();
            else
                s.click("cmd_END");
            QVERIFY(!s.w->isVisible());
            QVERIFY(s.wordList().endsWith("024010,944C,1\r\n"));
        }
    }

    void geometry() {
        TempProgramFolder folder;
        frmTouroku w;
        QCOMPARE(w.size(), QSize(TwipsToPixels(11850), TwipsToPixels(8565)));
        // name left top, and width height where they are fixed
        const QString places =
            "cmdFileChange 120 0,lblFileName 480 0,Frame1 9360 0,lbl_Level 120 480 1215 975,"
            "cmd_Down 120 1560,cmd_Up 720 1560,cmd_DSP 120 1845,txt_Tango 2760 480 5295,"
            "cmdHenkou 8160 480,txt_Hiragana 2760 960 5295,cmdHenkan 8160 960,"
            "lbl_HenKan 2760 1440 5295,cmdOK 8160 1410,cmdClear 10200 1200,cmd_END 10200 1680,"
            "Label9 1560 1515,lbl_Gyo 2040 1815,Label2 6240 1920,Label3 7680 1920,"
            "cmdTenyuryoku 8160 1860,lst_Touroku 360 2280 11055 5895";
        for (const QString& place : places.split(u',')) {
            const QStringList f = place.split(u' ');
            const QRect g = w.findChild<QWidget*>(f[0])->geometry();
            const QList<int> actual{g.x(), g.y(), g.width(), g.height()};
            for (int i = 1; i < f.size(); ++i)
                QCOMPARE(actual[i - 1], TwipsToPixels(f[i].toInt()));
        }
        QCOMPARE(w.findChild<QTreeWidget*>()->columnWidth(2), TwipsToPixels(4551));
    }
};

QTEST_MAIN(TestFrmTouroku)
#include "test_frmTouroku.moc"
