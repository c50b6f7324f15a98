// The play screen: its layout, and whole games driven by real clicks and keys
// with the two timers ticked by hand.

#include "config.h"
#include "course.h"
#include "frmGame.h"
#include "frmMenu.h"
#include "platform.h"
#include "profile.h"
#include "ranking.h"
#include "startup.h"
#include "testsupport.h"
#include "twips.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QRect Twips(int left, int top, int width, int height) {
    return QRect(TwipsToPixels(left), TwipsToPixels(top), TwipsToPixels(width),
                 TwipsToPixels(height));
}

// A word list of perLevel words per level. Every word reads codes (kana codes)
// when given, else word i of level L reads the vowel L then kana code 5 + i.
QByteArray WordList(int perLevel, const QByteArray& codes = {}) {
    QByteArray list;
    for (int level = 1; level <= 5; ++level)
        list += QByteArray::number(perLevel) + (level < 5 ? "," : "\r\n");
    for (int level = 1; level <= 5; ++level) {
        for (int i = 1; i <= perLevel; ++i) {
            const QByteArray reading =
                codes.isEmpty() ? QString::asprintf("%03d%03d", level, 5 + i).toLatin1() : codes;
            list += reading + ",57," + QByteArray::number(0x30 + i, 16).toUpper() + "," +
                    QByteArray::number(level) + "\r\n";
        }
    }
    return list;
}

} // namespace

class TestFrmGame : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { QApplication::setQuitOnLastWindowClosed(false); }
    void cleanup() {
        if (MenuWindow())
            MenuWindow()->close();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_folder.reset();
    }

    void layout_data() {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<bool>("fitsText"); // may grow around its place
        const auto row = [](const char* name, QRect place, bool fits = true) {
            QTest::newRow(name) << QString::fromLatin1(name) << place << fits;
        };
        row("cmdStartEND", Twips(480, 840, 2175, 735), false);
        row("cmdEXIT", Twips(480, 1680, 2175, 735), false);
        row("lbl_DispArpha", Twips(720, 4680, 1575, 1455), false);
        row("lblHighScore", Twips(9180, 2280, 855, 405));
        row("Label1", Twips(10740, 2220, 495, 495));
        row("Label2", Twips(9120, 1800, 1815, 285));
        row("Label3", Twips(9525, 3120, 1005, 285));
        row("Label4", Twips(10740, 3480, 495, 495));
        row("lblScore", Twips(9180, 3540, 855, 405));
        row("Label6", Twips(8910, 4440, 2235, 285));
        row("lblNextTarget", Twips(8595, 4920, 2865, 315));
        row("lblTarget", Twips(3330, 720, 4530, 285));
        row("lbl_Count", Twips(3615, 2520, 4350, 960));
        row("lblTargetRMoji", Twips(4770, 7440, 6195, 480));
        row("lblTargetNyuryoku", Twips(4575, 8040, 6615, 405));
        row("lbl_Bar", Twips(9840, 960, 375, 360));
        row("Label9", Twips(9360, 720, 1335, 195));
        row("lbl_Speed", Twips(9570, 960, 195, 360));
        row("lbl_Level", Twips(10260, 960, 255, 360));
        row("lbl_color", Twips(4080, 7320, 7815, 1335), false);
        row("lbl_Maniax", Twips(9500, 440, 975, 255), false);
        row("lblFileName", Twips(600, 120, 2055, 375), false);
    }
    void layout() {
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(bool, fitsText);
        frmGame* game = OpenGame(WordList(7));
        QCOMPARE(game->size(), QSize(792, 573));
        QCOMPARE(game->windowTitle(), QStringLiteral("Yubimaru"));
        auto* control = game->findChild<QWidget*>(name);
        QVERIFY(control);
        const QRect actual = control->geometry();
        if (!fitsText) {
            QCOMPARE(actual, place);
        } else {
            // Never smaller than the layout, and centred on it (left-aligned
            // labels keep their left edge).
            QVERIFY2(actual.contains(place), qPrintable(name));
            auto* label = qobject_cast<QLabel*>(control);
            if (label->alignment() & Qt::AlignHCenter)
                QVERIFY(qAbs(actual.center().x() - place.center().x()) <= 1);
            else
                QCOMPARE(actual.left(), place.left());
        }
        // The miss mark lies behind every other label.
        const QObjectList children = game->children();
        const auto mark = children.indexOf(game->findChild<QLabel*>("lbl_color"));
        if (qobject_cast<QLabel*>(control))
            QVERIFY(mark <= children.indexOf(control));
    }

    void freshScreen_data() {
        QTest::addColumn<int>("maniax");
        QTest::newRow("plain") << 0;
        QTest::newRow("masked") << 6;
    }
    void freshScreen() {
        QFETCH(int, maniax);
        QByteArray config = DefaultConfigBytes();
        config.replace("MANIAX=0", "MANIAX=" + QByteArray::number(maniax));
        frmGame* game = OpenGame(WordList(7), config);
        QCOMPARE(Text("lblScore"), QStringLiteral("0"));
        QCOMPARE(Text("lbl_Level"), QStringLiteral("1"));
        QCOMPARE(Text("lbl_Speed"), QStringLiteral("1"));
        QCOMPARE(Text("lblHighScore"), QStringLiteral("1600"));
        QCOMPARE(Text("lblFileName"), QStringLiteral("Nomal"));
        QCOMPARE(Text("lblTarget"), QString());
        QCOMPARE(Text("lbl_DispArpha"), QString());
        QCOMPARE(Label("lbl_Maniax")->isVisible(), maniax != 0);
        QVERIFY(!Label("lbl_Count")->isVisible());
        // The play screen reads the word count again, with its own default.
        QByteArray noNumber = DefaultConfigBytes().replace("NUMBER=8\r\n", "");
        m_folder->writeFile("ymconfig.ini", noNumber);
        game->close();
        Click(MenuWindow(), "cmdSTART");
        QCOMPARE(int(gWordCount), 10);
    }

    void wonGameEntersTheRanking() {
        frmGame* game = OpenGame(WordList(7));
        StartAndCountDown(game);
        QCOMPARE(Text("lbl_Speed"), QStringLiteral("3"));
        QString scoreBeforeLast;
        bool dialogSeen = false;
        for (int word = 1; word <= 25; ++word) {
            const int top = Label("lblTarget")->y();
            for (int tick = 0; tick < 40; ++tick)
                game->TimerGame_Timer();
            QVERIFY(Label("lblTarget")->y() > top);
            QCOMPARE(Text("lbl_Level"), QString::number((word - 1) / 5 + 1));
            const QString romaji = Text("lblTargetRMoji");
            QVERIFY(!romaji.isEmpty());
            QCOMPARE(Text("lbl_DispArpha"), romaji.left(1));
            QCOMPARE(Text("lblNextTarget").isEmpty(), word == 25);
            scoreBeforeLast = Text("lblScore");
            if (word == 25) {
                QTimer::singleShot(0, this, [&dialogSeen] {
                    QWidget* dialog = QApplication::activeModalWidget();
                    auto* name = dialog ? dialog->findChild<QLineEdit*>("txtName") : nullptr;
                    if (!name)
                        return;
                    dialogSeen = true;
                    name->clear();
                    QTest::keyClicks(name, "TESTER");
                    QTest::keyClick(name, Qt::Key_Return);
                });
            }
            QTest::keyClicks(game, romaji.toLower());
            if (word < 25)
                QCOMPARE(Text("lblTargetNyuryoku"), QString());
        }
        QVERIFY(dialogSeen);
        const int score = scoreBeforeLast.toInt();
        QVERIFY(score > 800);
        int place = 0;
        while (gRankScore[place] != score)
            QVERIFY(++place < 9);
        QCOMPARE(gRankName[place], QStringLiteral("TESTER"));
        QByteArray stored;
        GetProfileValue("Ranking", QByteArray(1, char('A' + place)) + "2", stored, 80, gIniPath);
        QCOMPARE(stored.toInt(), score);
        // Back to idle by itself.
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
        QCOMPARE(Text("lblScore"), QStringLiteral("0"));
        QCOMPARE(Text("lbl_Level"), QStringLiteral("1"));
        QCOMPARE(Text("lblHighScore"), QString::number(gRankScore[0]));
        QTest::keyClick(game, 'a');
        QVERIFY(!MissMarkShown(game));
    }

    void lostGame() {
        frmGame* game = OpenGame(WordList(7));
        StartAndCountDown(game);
        QLabel* count = Label("lbl_Count");
        for (int tick = 0; tick < 5000 && count->text() != QStringLiteral("You Dead "); ++tick)
            game->TimerGame_Timer();
        QCOMPARE(count->text(), QStringLiteral("You Dead "));
        QCOMPARE(count->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(count->font().italic() && count->font().bold());
        QCOMPARE(count->font().pointSizeF(), 48.0);
        const int top = Label("lblTarget")->y();
        QVERIFY(top > TwipsToPixels(5800) - 2);
        game->TimerGame_Timer();
        QTest::keyClick(game, 'q');
        QCOMPARE(Label("lblTarget")->y(), top);
        QVERIFY(!MissMarkShown(game));
        QCOMPARE(Text("lblTargetNyuryoku"), QString());

        Click(game, "cmdStartEND");
        QVERIFY(!count->isVisible());
        QCOMPARE(Text("lblTarget"), QString());
        QCOMPARE(Label("lblTarget")->y(), top);
        Click(game, "cmdStartEND");
        QCOMPARE(Label("lblTarget")->y(), TwipsToPixels(720));
    }

    void endDuringCountdownAndRestart() {
        frmGame* game = OpenGame(WordList(7));
        Click(game, "cmdStartEND");
        QLabel* count = Label("lbl_Count");
        QCOMPARE(count->text(), QStringLiteral("３"));
        QCOMPARE(count->font().pointSizeF(), 72.0);
        QVERIFY(!count->font().italic());
        for (int tick = 0; tick < 1000 && count->text() == QStringLiteral("３"); ++tick)
            game->TimerCount_Timer();
        QCOMPARE(count->text(), QStringLiteral("２"));
        // Keys during the countdown are ignored and count no miss.
        QTest::keyClicks(game, Text("lblTargetRMoji").left(1) + "q");
        QCOMPARE(Text("lblTargetNyuryoku"), QString());
        QVERIFY(!MissMarkShown(game));

        Click(game, "cmdStartEND");
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
        QVERIFY(!count->isVisible());
        QCOMPARE(Text("lblTargetRMoji"), QString());
        game->TimerCount_Timer();
        QVERIFY(!count->isVisible());

        Click(game, "cmdStartEND");
        QCOMPARE(count->text(), QStringLiteral("３"));
        QCOMPARE(int(gCountdownClock), 0);
        // Exit in the middle of a countdown goes straight back to the menu.
        Click(game, "cmdEXIT");
        QVERIFY(MenuWindow()->isVisible());
        QVERIFY(!gPlaying);
    }

    void keysAndSpellings_data() {
        QTest::addColumn<QByteArray>("codes");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("target"); // lblTargetRMoji after the keys
        QTest::addColumn<QString>("next");   // lbl_DispArpha
        QTest::addColumn<bool>("missed");
        QTest::newRow("as written") << QByteArray("012005") << "si"
                                    << "SIO"
                                    << "O" << false;
        QTest::newRow("SHI for SI") << QByteArray("012005") << "sh"
                                    << "SHIO"
                                    << "I" << false;
        QTest::newRow("CHI for TI") << QByteArray("017006") << "c"
                                    << "CHIKA"
                                    << "H" << false;
        QTest::newRow("TSU for TU") << QByteArray("018007") << "ts"
                                    << "TSUKI"
                                    << "U" << false;
        QTest::newRow("miss") << QByteArray("012005") << "sy"
                              << "SIO"
                              << "I" << true;
        QTest::newRow("miss taken away") << QByteArray("012005") << "sxi"
                                         << "SIO"
                                         << "O" << false;
    }
    void keysAndSpellings() {
        QFETCH(QByteArray, codes);
        QFETCH(QString, keys);
        QFETCH(QString, target);
        QFETCH(QString, next);
        QFETCH(bool, missed);
        frmGame* game = OpenGame(WordList(7, codes));
        StartAndCountDown(game);
        QTest::keyClicks(game, keys);
        QCOMPARE(Text("lblTargetRMoji"), target);
        QCOMPARE(Text("lblTargetNyuryoku"), target.left(Text("lblTargetNyuryoku").size()));
        QCOMPARE(Text("lbl_DispArpha"), next);
        QCOMPARE(MissMarkShown(game), missed);
    }

    void keysNeverPressAFocusedButton() {
        frmGame* game = OpenGame(WordList(7));
        StartAndCountDown(game);
        QPushButton* startEnd = Button("cmdStartEND");
        startEnd->setFocus();
        QTest::keyClick(startEnd, Qt::Key_Space);
        QTest::keyClick(startEnd, Qt::Key_Return);
        QCOMPARE(startEnd->text(), QStringLiteral("ＥＮＤ"));
        QVERIFY(MissMarkShown(game));
        // Letters typed on the focused button reach the game.
        QTest::keyClicks(startEnd, Text("lblTargetRMoji").left(2));
        QCOMPARE(Text("lblTargetNyuryoku").size(), 2);
        QVERIFY(!MissMarkShown(game));
    }

    void startThatCannotBegin() {
        // Too few words for a game: refused with a message, the screen idle.
        frmGame* game = OpenGame(WordList(3));
        MessageCapture capture;
        Click(game, "cmdStartEND");
        QCOMPARE(capture.messages.size(), 1);
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
        game->TimerCount_Timer();
        game->TimerGame_Timer();
        QVERIFY(!Label("lbl_Count")->isVisible());

        // Working files gone: the game does not begin, END returns to idle.
        game->close();
        game = OpenGame(WordList(7));
        QFile::remove(m_folder->filePath("type1"));
        Click(game, "cmdStartEND");
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＥＮＤ"));
        QVERIFY(!Label("lbl_Count")->isVisible());
        QTest::keyClick(game, 'a');
        QVERIFY(!MissMarkShown(game));
        Click(game, "cmdStartEND");
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
    }

private:
    frmGame* OpenGame(const QByteArray& wordList, QByteArray config = DefaultConfigBytes()) {
        m_folder.reset(); // before the new one: the old one clears the program folder
        m_folder = std::make_unique<TempProgramFolder>(false);
        m_folder->writeFile("ymconfig.ini", config.replace("NUMBER=8", "NUMBER=6"));
        m_folder->writeFile("Data/Nomal.dat", wordList);
        SeedRandom(7);
        if (!StartUp())
            return nullptr;
        Click(MenuWindow(), "cmdSTART");
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* game = qobject_cast<frmGame*>(window); game && game->isVisible())
                m_game = game;
        }
        return m_game;
    }
    void StartAndCountDown(frmGame* game) {
        Click(game, "cmdStartEND");
        for (int tick = 0; tick < 2000 && !gPlaying; ++tick)
            game->TimerCount_Timer();
        QVERIFY(gPlaying);
        QCOMPARE(Text("lbl_Count"), QStringLiteral("ＧＯ"));
    }
    static void Click(QWidget* window, const char* name) {
        QTest::mouseClick(window->findChild<QPushButton*>(name), Qt::LeftButton);
    }
    QLabel* Label(const char* name) const { return m_game->findChild<QLabel*>(name); }
    QPushButton* Button(const char* name) const { return m_game->findChild<QPushButton*>(name); }
    QString Text(const char* name) const { return Label(name)->text(); }
    static bool MissMarkShown(frmGame* game) {
        // A spot of the block that no text covers.
        const QImage shot = game->grab().toImage();
        return shot.pixelColor(TwipsToPixels(4080) + 4, TwipsToPixels(7320) + 4) ==
               QColor(255, 0, 0);
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    frmGame* m_game = nullptr;
};

QTEST_MAIN(TestFrmGame)
#include "test_frmGame.moc"
