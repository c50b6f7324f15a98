// The registration screen driven through mouse clicks and keys.

#include "frmTouroku.h"
#include "platform/folderlock.h"
#include "testsupport.h"
#include "wordlists/wordfile.h"

#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <QtTest>

#include <chrono>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// Which of the entry's buttons are enabled: 変換・復元, 選択確定, 保存, and
// 再表示, ▲ and ▼, which go together.
struct Buttons {
    bool convert, choose, save, list;
    bool operator==(const Buttons&) const = default;
};
// The stages of an entry: adding; choosing a word to change or delete; the
// chosen word being edited, then converted; a chosen word to delete.
constexpr Buttons kAdding{true, false, false, true};
constexpr Buttons kChoosing{false, true, false, true};
constexpr Buttons kEditing{true, true, false, false};
constexpr Buttons kEditReady{true, true, true, false};
constexpr Buttons kDeleteReady{false, false, true, false};

// The entry part of the screen: its buttons, then txt_Tango, txt_Hiragana,
// lbl_HenKan, lbl_Gyo and lbl_Level.
struct Entry {
    Buttons buttons{};
    QString word{}, reading{}, converted{}, line{}, level{};
    bool operator==(const Entry&) const = default;
};
char* toString(const Entry& e) {
    QStringList enabled;
    const std::pair<bool, const char*> buttons[] = {{e.buttons.convert, "変換・復元"},
                                                    {e.buttons.choose, "選択確定"},
                                                    {e.buttons.save, "保存"},
                                                    {e.buttons.list, "再表示 ▲ ▼"}};
    for (const auto& [on, name] : buttons)
        if (on)
            enabled << QString::fromUtf8(name);
    return ToPrintable(
        u"enabled: %1; word 「%2」 reading 「%3」 converted 「%4」 line 「%5」 level %6"_s.arg(
            enabled.join(u", "), e.word, e.reading, e.converted, e.line, e.level));
}

// A row of the list: its number, level, word, reading and line in the
// working files.
struct Row {
    int row, level;
    QString word, reading;
    int line;
    bool operator==(const Row&) const = default;
};
char* toString(const Row& r) {
    return ToPrintable(u"row %1: level %2, 「%3」 「%4」, line %5"_s.arg(r.row)
                           .arg(r.level)
                           .arg(r.word, r.reading)
                           .arg(r.line));
}

// 山 やま 1, 海 うみ 3, 空 そら 3, 川 かわ 1, 花 はな 4, 雨 あめ 3.
const QByteArray kRecords = "036031,8E52,1\r\n003032,8A43,3\r\n015039,8BF3,3\r\n"
                            "006044,90EC,1\r\n026021,89D4,4\r\n001034,894A,3\r\n";
const QByteArray kNomal = "2,0,3,1,0\r\n" + kRecords;
const QList<Row> kLevel1Rows{{1, 1, u"山"_s, u"やま"_s, 1}, {2, 1, u"川"_s, u"かわ"_s, 4}};

// Types text into a field, one key per character.
void Type(QWidget* field, const QString& text) {
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, field, Qt::Key_unknown, QString(c), Qt::NoModifier);
}

bool MeCabLoaded() {
    QFile maps(u"/proc/self/maps"_s);
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains("libmecab");
}

// A program folder holding the given word lists (and a GameConfig line added
// to the default ymconfig.ini), and the screen open on it.
struct Screen {
    explicit Screen(const QList<std::pair<QString, QByteArray>>& lists = {{"Nomal.dat", kNomal}},
                    const QByteArray& gameConfig = {}) {
        for (const auto& [name, bytes] : lists)
            folder.writeFile("Data/" + name, bytes);
        if (!gameConfig.isEmpty())
            folder.writeFile("ymconfig.ini",
                             DefaultConfigBytes().replace(
                                 "[GameConfig]\r\n", "[GameConfig]\r\n" + gameConfig + "\r\n"));
        w = std::make_unique<frmTouroku>();
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
    }
    template <typename T = QWidget> T* get(const QString& name) const {
        return Child<T>(w.get(), name);
    }
    QString text(const QString& name) const { return get(name)->property("text").toString(); }
    bool focused(const QString& name) const { return QApplication::focusWidget() == get(name); }
    // Runs steps separated by blanks: "field=text" fills a field ("_" standing
    // for a blank), "row:N" clicks row N of the list, "alt:K" presses Alt+K,
    // "ctrl:K" Ctrl+K where the focus is, "enter:F" presses Enter in the
    // field F; any other step clicks the button of that name. Returns shows().
    Entry run(const QString& steps) const {
        for (const QString& step : steps.split(u' ')) {
            const QString arg = step.section(u':', 1);
            auto* list = get<QTableView>("lst_Touroku");
            if (step.contains(u'='))
                get<QLineEdit>(step.section(u'=', 0, 0))
                    ->setText(step.section(u'=', 1).replace(u'_', u' '));
            else if (step.startsWith(u"row:"))
                QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                                  list->visualRect(list->model()->index(arg.toInt(), 0)).center());
            else if (step.startsWith(u"alt:"))
                QTest::keyClick(w.get(), QKeySequence(arg)[0].key(), Qt::AltModifier);
            else if (step.startsWith(u"ctrl:"))
                QTest::keyClick(QApplication::focusWidget(), QKeySequence(arg)[0].key(),
                                Qt::ControlModifier);
            else if (step.startsWith(u"enter:"))
                QTest::keyClick(get(arg), Qt::Key_Return);
            else
                QTest::mouseClick(get<QAbstractButton>(step), Qt::LeftButton);
        }
        return shows();
    }
    // What the entry part of the screen shows.
    Entry shows() const {
        const auto on = [this](const char* name) { return get(name)->isEnabled(); };
        const bool list = on("cmd_DSP");
        if (on("cmd_Up") != list || on("cmd_Down") != list)
            qFatal("再表示, ▲ and ▼ went apart");
        return {{on("cmdHenkan"), on("cmdHenkou"), on("cmdOK"), list},
                text("txt_Tango"),
                text("txt_Hiragana"),
                text("lbl_HenKan"),
                text("lbl_Gyo"),
                text("lbl_Level")};
    }
    // The rows of the list.
    QList<Row> rows() const {
        QList<Row> rows;
        const QAbstractItemModel* model = get<QTableView>("lst_Touroku")->model();
        const auto cell = [model](int r, int c) { return model->index(r, c).data().toString(); };
        for (int r = 0; r < model->rowCount(); ++r)
            rows.append({cell(r, 0).toInt(), cell(r, 1).toInt(), cell(r, 2), cell(r, 3),
                         cell(r, 4).toInt()});
        return rows;
    }
    QByteArray wordList(const QString& name = "Nomal.dat") const {
        return folder.readFile("Data/" + name);
    }

    TempProgramFolder folder;
    std::unique_ptr<frmTouroku> w;
};

} // namespace

class TestFrmTouroku : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { SetProgramKind(ProgramKind::Editor); }

    // Leaving the word field for an empty reading field fills it with the
    // suggested reading, selected, by Enter, Tab or a click, while a reading
    // can be converted. First here, as it also shows that opening the screen
    // leaves MeCab unloaded, and that typing a word loads it, before its
    // reading is wanted.
    void suggestedReading() {
        Screen s;
        QVERIFY2(!MeCabLoaded(), "MeCab was loaded before the first suggestion");
        auto* word = s.get<QLineEdit>("txt_Tango");
        auto* reading = s.get<QLineEdit>("txt_Hiragana");
        // Enter takes the selected suggestion on to 変換・復元.
        Type(word, u"学校"_s);
        QVERIFY2(MeCabLoaded(), "typing the word left MeCab to its suggestion");
        QTest::keyClick(word, Qt::Key_Return);
        QCOMPARE(reading->selectedText(), u"がっこう"_s);
        QTest::keyClick(reading, Qt::Key_Return);
        QTest::keyClick(s.get("cmdHenkan"), Qt::Key_Return);
        QTRY_COMPARE(s.text("lbl_HenKan"), u"がっこう"_s);

        // Typing replaces the suggestion Tab brought; a reading there stays.
        s.run("cmdClear");
        Type(word, u"東京"_s);
        QTest::keyClick(word, Qt::Key_Tab);
        Type(reading, u"とうけい"_s);
        QTest::mouseClick(word, Qt::LeftButton);
        QTest::keyClick(word, Qt::Key_Tab);
        QCOMPARE(reading->text(), u"とうけい"_s);
        // The cursor the click places does not undo the selection.
        reading->clear();
        QTest::mouseClick(word, Qt::LeftButton);
        QTest::mouseClick(reading, Qt::LeftButton);
        QTRY_COMPARE(reading->selectedText(), u"とうきょう"_s);

        // A pasted word as long as the field takes, of letters MeCab does not
        // know (seconds for it), gets no suggestion, at once.
        s.run("cmdClear");
        QApplication::clipboard()->setText(QString(100000, u'x'));
        word->setFocus();
        QTest::keyClick(word, Qt::Key_V, Qt::ControlModifier);
        QElapsedTimer leaving;
        leaving.start();
        QTest::keyClick(word, Qt::Key_Tab);
        QVERIFY2(leaving.elapsed() < 1000 && reading->text().isEmpty(),
                 qPrintable(u"%1 ms to leave a word of %2 letters"_s.arg(leaving.elapsed())
                                .arg(word->text().size())));

        s.run("OptMode2"); // no conversion in the delete mode
        QTest::mouseClick(word, Qt::LeftButton);
        Type(word, u"学校"_s);
        QTest::keyClick(word, Qt::Key_Tab);
        QCOMPARE(reading->text(), QString());
    }

    void startUpModesAndSelection() {
        Screen s;
        QCOMPARE(s.w->windowTitle(), u"登録画面"_s);
        QCOMPARE(s.text("lblFileName"), u"Nomal"_s);
        QCOMPARE(s.rows(), kLevel1Rows);
        QVERIFY(s.focused("txt_Tango") && !s.get("cmdFileChange")->isEnabled()); // one list
        QCOMPARE(s.run("row:0"),
                 (Entry{.buttons = kAdding, .level = u"１"_s})); // add mode ignores the list
        QCOMPARE(s.run("OptMode1 cmdHenkou"),
                 (Entry{.buttons = kChoosing, .level = u"１"_s})); // no selection
        // 川 (line 4) chosen, confirmed, edited and converted.
        Entry river{kChoosing, u"川"_s, u"かわ"_s, {}, u"4"_s, u"１"_s};
        QCOMPARE(s.run("row:1 enter:txt_Hiragana"), river);
        QVERIFY(s.focused("cmdHenkou"));
        // Locked after the confirmation: no other row, no Alt+Up.
        river.buttons = kEditing;
        QCOMPARE(s.run("cmdHenkou row:0 alt:Up"), river);
        river.reading = u"漢字"_s;
        QCOMPARE(s.run("txt_Hiragana=漢字 cmdHenkan"), river); // no kana: nothing converted
        river.buttons = kEditReady;
        river.reading = river.converted = u"かわ"_s;
        QCOMPARE(s.run("txt_Hiragana=かわ cmdHenkan"), river);
        QVERIFY(s.focused("cmdOK"));
        QCOMPARE(s.run("cmdClear"), (Entry{.buttons = kChoosing, .level = u"１"_s}));
        const Entry mountain{kDeleteReady, u"山"_s, u"やま"_s, {}, u"1"_s, u"１"_s};
        QCOMPARE(s.run("OptMode2 row:0 cmdHenkou"), mountain);
        QVERIFY(s.focused("cmdOK"));
    }

    // Levels cycle by button and by Alt+arrow, keeping the word being typed;
    // the conversion proposes the level of the reading's keys, which Alt+L
    // takes, the focus staying on 保存; a word added from the keyboard alone;
    // one saved on the kana keyboard shows up in the list. Guards the word
    // and reading a level change wiped.
    void levelsAndAddingAWord() {
        Screen s;
        s.run("txt_Tango=新聞 enter:txt_Tango");
        QVERIFY(s.focused("txt_Hiragana"));
        Entry typed{kAdding, u"新聞"_s, u"しんぶん"_s, {}, {}, u"５"_s};
        QCOMPARE(s.run("txt_Hiragana=しんぶん cmd_Down"), typed);
        typed.level = u"１"_s;
        QCOMPARE(s.run("alt:Up enter:txt_Hiragana"), typed);
        QVERIFY(s.focused("cmdHenkan"));
        s.run("alt:H"); // an animated click
        QTRY_VERIFY(s.text("lbl_HenKan") == u"しんぶん" && s.focused("cmdOK"));
        QCOMPARE(s.text("cmdProposedLevel"), u"おすすめ：レベル４（8打鍵）　Alt+L で選択"_s);
        const Entry converted{
            {true, false, true, true}, typed.word, typed.reading, typed.reading, {}, u"４"_s};
        QCOMPARE(s.run("alt:L"), converted);
        QVERIFY(s.focused("cmdOK") && !s.get("cmdProposedLevel")->isEnabled());
        s.run("txt_Hiragana=あ alt:S"); // the codes of the conversion are saved
        QTRY_COMPARE(s.wordList(), "2,0,3,2,0\r\n" + kRecords + "012046064046,9056,95B7,4\r\n");
        QCOMPARE(s.rows().last(), (Row{2, 4, u"新聞"_s, u"しんぶん"_s, 7}));
        const QTableView* list = s.get<QTableView>("lst_Touroku");
        QCOMPARE(list->currentIndex().row(), 1); // the list shows the word added
        QCOMPARE(s.shows(), (Entry{.buttons = kAdding, .level = u"４"_s}));
        QVERIFY(s.focused("txt_Tango") && !s.get("cmdProposedLevel")->isVisible());

        // The kana keyboard gets the word and level 4 and saves ねこ with them.
        QTimer::singleShot(0, s.w.get(), [] {
            for (const char* name : {"Command22", "Command10", "cmdOK", "Command109"})
                QTest::mouseClick(QApplication::activeModalWidget()->findChild<QPushButton*>(name),
                                  Qt::LeftButton);
        });
        s.run("txt_Tango=猫 cmdTenyuryoku");
        QCOMPARE(s.rows().last(), (Row{3, 4, u"猫"_s, u"ねこ"_s, 8}));
    }

    // Ctrl+S presses 保存 whenever it is enabled, wherever the focus is, in
    // every mode, and the list then shows the words as saved. In the modify
    // mode Alt+S, which 選択確定 and 保存 share, takes the entry, and saves it
    // once it is changed and converted. Guards the Alt+S that only moved the
    // focus to 選択確定.
    void saveFromTheKeyboard() {
        Screen s;
        s.run("txt_Tango=猫 txt_Hiragana=ねこ ctrl:S"); // not converted: nothing to save
        QCOMPARE(s.wordList(), kNomal);
        s.run("cmdHenkan");
        s.get("txt_Tango")->setFocus();
        s.run("ctrl:S");
        QCOMPARE(s.wordList(), "3,0,3,1,0\r\n" + kRecords + "024010,944C,1\r\n");

        // 山 (line 1) read やまやま: it moves to the end. Alt+S takes the entry
        // while 保存 is disabled.
        s.run("OptMode1 row:0 alt:S");
        QTRY_VERIFY2(s.get("cmdHenkan")->isEnabled(), "Alt+S did not press 選択確定");
        s.run("txt_Hiragana=やまやま cmdHenkan alt:S");
        QTRY_COMPARE(s.shows(), (Entry{.buttons = kChoosing, .level = u"１"_s}));
        QCOMPARE(s.wordList(), "3,0,3,1,0\r\n" + kRecords.mid(kRecords.indexOf('\n') + 1) +
                                   "024010,944C,1\r\n036031036031,8E52,1\r\n");
        const QList<Row> level1{{1, 1, u"川"_s, u"かわ"_s, 3},
                                {2, 1, u"猫"_s, u"ねこ"_s, 6},
                                {3, 1, u"山"_s, u"やまやま"_s, 7}};
        QCOMPARE(s.rows(), level1);

        // 花, the only word of level 4, deleted: the level shows empty.
        s.run("cmd_Down cmd_Down OptMode2 row:0 cmdHenkou ctrl:S");
        QVERIFY(s.rows().isEmpty());
        QVERIFY(s.wordList().startsWith("3,0,3,0,0\r\n") && !s.wordList().contains("89D4"));
    }

    // Through the screen by keys: Tab reaches the chosen mode and leaves the
    // list again; in the list Home and End take the first and the last entry.
    void keyboardThroughModeAndList() {
        Screen s;
        s.run("cmd_Up cmd_Up"); // level 3: 海 (line 2), 空 (3), 雨 (6)
        s.get("cmd_END")->setFocus();
        const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
            return QApplication::focusWidget()->objectName();
        };
        QCOMPARE(press(Qt::Key_Tab), u"OptMode0"_s);
        press(Qt::Key_Down);
        QCOMPARE(press(Qt::Key_Down), u"OptMode2"_s); // the delete mode
        QCOMPARE(press(Qt::Key_Tab), u"lst_Touroku"_s);
        press(Qt::Key_End);
        QCOMPARE(s.shows(), (Entry{kChoosing, u"雨"_s, u"あめ"_s, {}, u"6"_s, u"３"_s}));
        press(Qt::Key_Home);
        QCOMPARE(s.shows(), (Entry{kChoosing, u"海"_s, u"うみ"_s, {}, u"2"_s, u"３"_s}));
        QCOMPARE(press(Qt::Key_Tab, Qt::ShiftModifier), u"OptMode2"_s);
    }

    // Two copies of the editor on one list each delete or change the word
    // they show, whatever the other did since: when lines have moved the
    // word is found where it now stands, and a word the other changed is
    // never made up for by the one now at its line; the screen then says the
    // list was changed and shows it as it is. Guards deletes and changes that
    // hit another word, on another level, reported as done.
    void twoEditorsOnOneList() {
        Screen s; // both copies show level 1: 山 at line 1, 川 at line 4
        auto second = std::make_unique<frmTouroku>();
        second->show();
        const auto inSecond = [&s, &second](const QString& steps) {
            std::swap(s.w, second);
            s.run(steps);
            std::swap(s.w, second);
        };
        MessageCapture capture;
        s.run("OptMode2");
        inSecond("OptMode1");
        s.run("row:0 cmdHenkou cmdOK"); // 山 goes; 川 moves to line 3, 花 to 4
        inSecond("row:1 cmdHenkou txt_Hiragana=かわら cmdHenkan cmdOK"); // 川, not 花
        QVERIFY(capture.messages.isEmpty());
        // The first copy, still showing 川 at line 3, deletes it: it is gone
        // as it was shown, so nothing changes.
        QCOMPARE(s.rows(), (QList<Row>{{1, 1, u"川"_s, u"かわ"_s, 3}}));
        const QByteArray before = s.wordList();
        s.run("row:0 cmdHenkou cmdOK");
        QCOMPARE(capture.messages.size(), 1);
        QVERIFY2(capture.messages[0].text.contains(u"もう一方のプログラムで変更された"_s),
                 qPrintable(capture.messages[0].text));
        QCOMPARE(s.wordList(), before);
        QCOMPARE(s.rows(), (QList<Row>{{1, 1, u"川"_s, u"かわら"_s, 5}}));
    }

    // Refused saves and conversions warn, naming the field and the
    // character, and write nothing: a character no list can hold in the
    // word, a NUL in the reading (which the conversion would drop unseen).
    // (The command line's import refuses every other character a word
    // cannot hold, through the same check.)
    void refusals() {
        Screen s;
        MessageCapture capture;
        s.run("txt_Hiragana=__ cmdHenkan");
        QVERIFY(s.focused("txt_Hiragana"));
        s.run("txt_Hiragana=ねこ cmdHenkan cmdOK"); // no word
        QVERIFY(s.focused("txt_Tango"));
        s.run("txt_Tango=猫😀 cmdOK");
        s.run(u"txt_Hiragana=ね\u0000こ cmdHenkan"_s);
        QVERIFY(s.focused("txt_Hiragana") && !s.get("cmdOK")->isEnabled());
        // The old entry must survive a refused change.
        s.run("OptMode1 row:0 cmdHenkou txt_Tango=😀 txt_Hiragana=やま cmdHenkan cmdOK");
        s.run("OptMode2 row:0 cmdHenkou txt_Tango= cmdOK");
        QVERIFY(s.wordList() == kNomal && s.folder.readFile("type2").count('\n') == 6);
        const QStringList expected{u"未入力エラー"_s, u"未入力エラー"_s,
                                   u"「😀」"_s,        u"読みに制御文字（U+0000）"_s,
                                   u"「😀」"_s,        u"未選択エラー"_s};
        QCOMPARE(capture.messages.size(), expected.size());
        for (qsizetype i = 0; i < expected.size(); ++i) {
            const CapturedMessage& m = capture.messages[i];
            QVERIFY2(
                m.title == u"警告" && m.icon == MessageIcon::Warning &&
                    m.text.contains(expected[i]),
                qPrintable(u"message %1: %2, expected 「%3」"_s.arg(i).arg(m.text, expected[i])));
        }
    }

    // The editor starts on the word list the game's settings screen saved. A
    // switch loads the next list and drops a confirmed line number; a list
    // that cannot be loaded leaves the label, the list and every save on the
    // one shown. Guards the label that named a list not on screen.
    void wordListSwitch() {
        Screen s({{"Kotoba.dat", kNomal},
                  {"Nomal.dat", "0,0,0,0,0\r\n"},
                  {"Zbad.dat", "1,0,0,0,0\r\n001,41,9\r\n"}},
                 "LIST=Kotoba.dat");
        QCOMPARE(s.text("lblFileName"), u"Kotoba"_s);
        QCOMPARE(s.rows(), kLevel1Rows);
        MessageCapture capture;
        QCOMPARE(s.run("OptMode2 row:0 cmdHenkou cmdFileChange"),
                 (Entry{.buttons = kChoosing, .level = u"１"_s}));
        QCOMPARE(s.text("lblFileName"), u"Nomal"_s);
        QVERIFY(s.rows().isEmpty());
        s.run("OptMode0 txt_Tango=猫 txt_Hiragana=ねこ cmdHenkan cmdOK cmdFileChange");
        QCOMPARE(s.text("lblFileName"), u"Nomal"_s);
        QCOMPARE(s.rows(), (QList<Row>{{1, 1, u"猫"_s, u"ねこ"_s, 1}}));
        QVERIFY(capture.messages.size() == 1 && capture.messages[0].text.contains(u"Zbad.dat"));
        s.run("txt_Tango=犬 txt_Hiragana=いぬ cmdHenkan cmdOK");
        QCOMPARE(s.wordList(), QByteArray("2,0,0,0,0\r\n024010,944C,1\r\n002023,8CA2,1\r\n"));
        QCOMPARE(s.wordList("Kotoba.dat"), kNomal);
    }

    // Working files the other program or a crash left with other words are
    // made anew from the list without a word to the user.
    void damagedWorkFiles() {
        Screen s;
        MessageCapture capture;
        s.folder.writeFile("type1", "8E52,1\r\n");
        s.run("cmd_DSP");
        QVERIFY(capture.messages.isEmpty());
        QCOMPARE(s.rows(), kLevel1Rows);
        QCOMPARE(s.folder.readFile("type1").count('\n'), 6);
    }

    // Started while the other program holds the files, the screen appears at
    // once with its list's name and says it waits; when the wait ends without
    // the files it says the words could not be shown, an add then says the
    // word was not added and why, and changes nothing; 再表示 waits again and
    // shows the list as soon as the files are free. 終了 ends at once while
    // the other program holds them: every change is saved already. Guards the
    // 31-second start, the empty screen only a restart mended, the add
    // reported as a settings save, and the frozen 終了.
    void heldLock() {
        TempProgramFolder folder;
        folder.writeFile("Data/Nomal.dat", kNomal);
        OtherProgramLock other(folder, std::chrono::milliseconds(300));
        MessageCapture capture;

        frmTouroku w;
        w.show();
        const auto* wait = Child<QLabel>(&w, "lblWait");
        const auto* list = Child<QTableView>(&w, "lst_Touroku");
        QCOMPARE(Child<QLabel>(&w, "lblFileName")->text(), u"Nomal"_s);
        QVERIFY2(wait->isVisible() && wait->text().contains(u"待っています"),
                 qPrintable(wait->text()));
        QVERIFY(!w.isEnabled());

        QTRY_VERIFY(w.isEnabled());
        QVERIFY2(wait->isVisible() && wait->text().contains(u"表示できませんでした"),
                 qPrintable(wait->text()));
        QCOMPARE(list->model()->rowCount(), 0);
        QCOMPARE(Child<QLabel>(&w, "lblFileName")->text(), u"Nomal"_s);

        Child<QLineEdit>(&w, "txt_Tango")->setText(u"猫"_s);
        Child<QLineEdit>(&w, "txt_Hiragana")->setText(u"ねこ"_s);
        QTest::mouseClick(Child<QPushButton>(&w, "cmdHenkan"), Qt::LeftButton);
        QTest::mouseClick(Child<QPushButton>(&w, "cmdOK"), Qt::LeftButton);
        ExpectOtherProgramRefusal(capture, 1, u"単語を追加できませんでした。"_s);
        QCOMPARE(folder.readFile("Data/Nomal.dat"), kNomal);
        QVERIFY(!QFileInfo::exists(folder.filePath("type1")));

        QTest::mouseClick(Child<QPushButton>(&w, "cmd_DSP"), Qt::LeftButton);
        QVERIFY(!w.isEnabled() && wait->text().contains(u"待っています"));
        other.release();
        QTRY_VERIFY(w.isEnabled());
        QVERIFY(!wait->isVisible());
        QCOMPARE(list->model()->rowCount(), 2);
        QCOMPARE(capture.messages.size(), 1);

        other.take();
        SetLockWait(std::chrono::seconds(10));
        QElapsedTimer closing;
        closing.start();
        QTest::mouseClick(Child<QPushButton>(&w, "cmd_END"), Qt::LeftButton);
        QVERIFY(!w.isVisible());
        QVERIFY2(closing.elapsed() < 1000, qPrintable(QString::number(closing.elapsed())));
    }

    // A ymconfig.ini that cannot be written (here a folder of that name) is
    // reported once, naming it; the editor goes on with its list. Guards the
    // storm of boxes at start-up and at the end that blamed the value.
    void unwritableConfigReportedOnce() {
        MessageCapture capture;
        {
            TempProgramFolder folder;
            QFile::remove(folder.filePath("ymconfig.ini"));
            QDir(folder.path()).mkdir("ymconfig.ini");
            folder.writeFile("Data/Nomal.dat", kNomal);
            frmTouroku w;
            w.show();
            QCOMPARE(w.findChild<QTableView*>("lst_Touroku")->model()->rowCount(), 2);
            w.close();
        }
        QCOMPARE(capture.messages.size(), 1);
        QVERIFY(capture.messages[0].text.contains(u"ymconfig.ini」はフォルダー"));
    }
};

QTEST_MAIN(TestFrmTouroku)
#include "test_frmTouroku.moc"
