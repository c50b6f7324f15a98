// The play screen and the menu: their layout; the play screen: and whole games driven by real
// clicks and keys with the two timers ticked by hand.

#include "config.h"
#include "course.h"
#include "frmGame.h"
#include "frmMenu.h"
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

// perLevel words per level; each reads codes when given, else word i of
// level L reads the vowel L and then kana code 5 + i. Shown as "W" + digit.
QByteArray WordList(int perLevel, const QByteArray& codes = {}) {
    QByteArray list = QByteArray::number(perLevel).append(',').repeated(5).chopped(1) + "\r\n";
    for (int level = 1; level <= 5; ++level) {
        for (int i = 1; i <= perLevel; ++i) {
            const QString reading = codes.isEmpty() ? QString::asprintf("%03d%03d", level, 5 + i)
                                                    : QString::fromLatin1(codes);
            list += QString::asprintf("%s,57,%X,%d\r\n", qPrintable(reading), 0x30 + i, level)
                        .toLatin1();
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
        QTest::addColumn<bool>("onMenu");
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("place");
        QTest::addColumn<bool>("fitsText"); // may grow around its place for its caption
        const auto row = [](bool onMenu, const char* name, QRect place, bool fits) {
            QTest::addRow("%s %s", onMenu ? "menu" : "game", name)
                << onMenu << QString::fromLatin1(name) << place << fits;
        };
        row(false, "cmdStartEND", Twips(480, 840, 2175, 735), false);
        row(false, "cmdEXIT", Twips(480, 1680, 2175, 735), false);
        row(false, "lbl_DispArpha", Twips(720, 4680, 1575, 1455), false);
        row(false, "lblHighScore", Twips(9180, 2280, 855, 405), true);
        row(false, "Label1", Twips(10740, 2220, 495, 495), true);
        row(false, "Label2", Twips(9120, 1800, 1815, 285), true);
        row(false, "Label3", Twips(9525, 3120, 1005, 285), true);
        row(false, "Label4", Twips(10740, 3480, 495, 495), true);
        row(false, "lblScore", Twips(9180, 3540, 855, 405), true);
        row(false, "Label6", Twips(8910, 4440, 2235, 285), true);
        row(false, "lblNextTarget", Twips(8595, 4920, 2865, 315), true);
        row(false, "lblTarget", Twips(3330, 720, 4530, 285), true);
        row(false, "lbl_Count", Twips(3615, 2520, 4350, 960), true);
        row(false, "lblTargetRMoji", Twips(4770, 7440, 6195, 480), true);
        row(false, "lblTargetNyuryoku", Twips(4575, 8040, 6615, 405), true);
        row(false, "lbl_Bar", Twips(9840, 960, 375, 360), true);
        row(false, "Label9", Twips(9360, 720, 1335, 195), true);
        row(false, "lbl_Speed", Twips(9570, 960, 195, 360), true);
        row(false, "lbl_Level", Twips(10260, 960, 255, 360), true);
        row(false, "lbl_color", Twips(4080, 7320, 7815, 1335), false);
        row(false, "lbl_Maniax", Twips(9500, 440, 975, 255), false);
        row(false, "lblFileName", Twips(600, 120, 2055, 375), false);
        row(true, "cmdSTART", Twips(4493, 3120, 2895, 855), false);
        row(true, "cmdCONFIG", Twips(4493, 4120, 2895, 855), false);
        row(true, "cmdRANKING", Twips(4493, 5120, 2895, 855), false);
        row(true, "cmdEXIT", Twips(4493, 6120, 2895, 855), false);
        row(true, "Version", Twips(9720, 0, 1455, 375), false);
    }
    void layout() {
        QFETCH(bool, onMenu);
        QFETCH(QString, name);
        QFETCH(QRect, place);
        QFETCH(bool, fitsText);
        frmGame* game = OpenGame(WordList(7));
        QWidget* window = onMenu ? static_cast<QWidget*>(MenuWindow()) : game;
        QCOMPARE(window->size(), QSize(792, 573));
        QCOMPARE(window->windowTitle(), QStringLiteral("Yubimaru"));
        auto* control = window->findChild<QWidget*>(name);
        QVERIFY(control);
        const QRect actual = control->geometry();
        if (!fitsText) {
            QCOMPARE(actual, place);
        } else {
            // Never smaller than its place and centred on it; a left-aligned
            // label keeps its left edge.
            QVERIFY(actual.contains(place));
            if (qobject_cast<QLabel*>(control)->alignment() & Qt::AlignHCenter)
                QVERIFY(qAbs(actual.center().x() - place.center().x()) <= 1);
            else
                QCOMPARE(actual.left(), place.left());
        }
        // The miss mark lies behind every other label.
        const QObjectList children = game->children();
        if (!onMenu && qobject_cast<QLabel*>(control))
            QVERIFY(children.indexOf(Label("lbl_color")) <= children.indexOf(control));
    }

    void freshScreen() {
        frmGame* game = OpenGame(WordList(7), DefaultConfigBytes().replace("MANIAX=0", "MANIAX=6"));
        QCOMPARE(Text("lblScore") + Text("lbl_Level") + Text("lbl_Speed"), QStringLiteral("011"));
        QCOMPARE(Text("lblHighScore"), QStringLiteral("1600"));
        QCOMPARE(Text("lblFileName"), QStringLiteral("Nomal"));
        QCOMPARE(Text("lblTarget") + Text("lbl_DispArpha"), QString());
        QVERIFY(Label("lbl_Maniax")->isVisible());
        QVERIFY(!Label("lbl_Count")->isVisible());
        // Opened again without NUMBER, masking off: 10 words, no tag.
        m_folder->writeFile("ymconfig.ini", DefaultConfigBytes().replace("NUMBER=8\r\n", ""));
        game->close();
        gManiax = 0; // as start-up would read it
        StartFromMenu();
        QCOMPARE(int(gWordCount), 10);
        QVERIFY(!Label("lbl_Maniax")->isVisible());
    }

    void wonGameEntersTheRanking() {
        frmGame* game = OpenGame(WordList(7));
        StartAndCountDown(game);
        QCOMPARE(Text("lbl_Speed"), QStringLiteral("3"));
        int score = 0;
        bool dialogSeen = false;
        // Six words per stage play five each; every word falls a while first.
        for (int word = 1; word <= 25; ++word) {
            const int top = Label("lblTarget")->y();
            for (int tick = 0; tick < 40; ++tick)
                game->TimerGame_Timer();
            QVERIFY(Label("lblTarget")->y() > top);
            QCOMPARE(Text("lbl_Level"), QString::number((word - 1) / 5 + 1));
            const QString romaji = Text("lblTargetRMoji");
            QCOMPARE(Text("lbl_DispArpha"), romaji.left(1));
            QCOMPARE(Text("lblNextTarget").isEmpty(), word == 25);
            score = Text("lblScore").toInt(); // the last word adds nothing
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
        }
        QVERIFY(dialogSeen);
        QVERIFY(score > 800);
        const auto place =
            std::find(gRankScore.cbegin(), gRankScore.cend(), score) - gRankScore.cbegin();
        QVERIFY(place < 9);
        QCOMPARE(gRankName[place], QStringLiteral("TESTER"));
        QByteArray stored;
        GetProfileValue("Ranking", QByteArray(1, char('A' + place)) + "2", stored, 80, gIniPath);
        QCOMPARE(stored.toInt(), score);
        // Back to idle by itself; keys change nothing now.
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
        QCOMPARE(Text("lblScore") + Text("lbl_Level"), QStringLiteral("01"));
        QCOMPARE(Text("lblHighScore"), QString::number(gRankScore[0]));
        QTest::keyClick(game, 'a');
        QVERIFY(!MissMarkShown(game));
    }

    void countdownEndLossAndRestart() {
        frmGame* game = OpenGame(WordList(7));
        Click(game, "cmdStartEND");
        QLabel* count = Label("lbl_Count");
        QCOMPARE(count->text(), QStringLiteral("３"));
        QCOMPARE(count->font().pointSizeF(), 72.0);
        for (int tick = 0; tick < 1000 && count->text() == QStringLiteral("３"); ++tick)
            game->TimerCount_Timer();
        QCOMPARE(count->text(), QStringLiteral("２"));
        // Keys during the countdown are ignored and count no miss.
        QTest::keyClicks(game, Text("lblTargetRMoji").left(1) + "q");
        QCOMPARE(Text("lblTargetNyuryoku"), QString());
        QVERIFY(!MissMarkShown(game));
        // END during the countdown; a new start counts from "３" again.
        Click(game, "cmdStartEND");
        game->TimerCount_Timer();
        QVERIFY(!count->isVisible());
        QCOMPARE(Text("lblTargetRMoji"), QString());
        StartAndCountDown(game);

        for (int tick = 0; tick < 5000 && count->text() != QStringLiteral("You Dead "); ++tick)
            game->TimerGame_Timer();
        QCOMPARE(count->text(), QStringLiteral("You Dead "));
        QCOMPARE(count->palette().color(QPalette::WindowText), QColor(255, 0, 0));
        QVERIFY(count->font().italic() && count->font().pointSizeF() == 48.0);
        const int top = Label("lblTarget")->y();
        QVERIFY(top > TwipsToPixels(5800) - 2);
        // The word stays, keys count no miss, END clears but leaves it there.
        game->TimerGame_Timer();
        QTest::keyClick(game, 'q');
        QCOMPARE(Label("lblTarget")->y(), top);
        QVERIFY(!MissMarkShown(game));
        Click(game, "cmdStartEND");
        QCOMPARE(Text("lblTarget"), QString());
        QCOMPARE(Label("lblTarget")->y(), top);
        Click(game, "cmdStartEND");
        QCOMPARE(Label("lblTarget")->y(), TwipsToPixels(720));
        // EXIT in the middle of a countdown goes straight back to the menu.
        Click(game, "cmdEXIT");
        QVERIFY(MenuWindow()->isVisible() && !gPlaying);
    }

    void keysAndSpellings_data() {
        QTest::addColumn<QByteArray>("codes");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("target"); // lblTargetRMoji after the keys
        QTest::addColumn<QString>("next");   // lbl_DispArpha
        QTest::addColumn<bool>("missed");
        const auto row = [](const char* tag, const char* codes, const char* keys,
                            const char* target, const char* next, bool missed) {
            QTest::newRow(tag) << QByteArray(codes) << QString(keys) << QString(target)
                               << QString(next) << missed;
        };
        row("as written", "012005", "si", "SIO", "O", false);
        row("SHI for SI", "012005", "sh", "SHIO", "I", false);
        row("CHI for TI", "017006", "c", "CHIKA", "H", false);
        row("miss", "012005", "sy", "SIO", "I", true);
        row("miss taken away", "012005", "sxi", "SIO", "O", false);
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
        QCOMPARE(Text("lblTargetNyuryoku"), keys.toUpper().remove('X').remove('Y'));
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
        QTest::keyClicks(startEnd, Text("lblTargetRMoji").left(2));
        QCOMPARE(Text("lblTargetNyuryoku").size(), 2);
    }

    void startThatCannotBegin() {
        // Too few words for a game: refused (with a message), the screen idle.
        frmGame* game = OpenGame(WordList(3));
        MessageCapture capture;
        Click(game, "cmdStartEND");
        QCOMPARE(capture.messages.size(), 1);
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
        // Working files gone: the game does not begin; END returns to idle.
        game->close();
        game = OpenGame(WordList(7));
        QFile::remove(m_folder->filePath("type1"));
        Click(game, "cmdStartEND");
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＥＮＤ"));
        game->TimerCount_Timer();
        QTest::keyClick(game, 'a');
        QVERIFY(!Label("lbl_Count")->isVisible() && !MissMarkShown(game));
        Click(game, "cmdStartEND");
        QCOMPARE(Button("cmdStartEND")->text(), QStringLiteral("ＳＴＡＲＴ"));
    }

private:
    frmGame* OpenGame(const QByteArray& wordList, QByteArray config = DefaultConfigBytes()) {
        m_folder.reset(); // first: the old folder clears the program folder on its way
        m_folder = std::make_unique<TempProgramFolder>(false);
        m_folder->writeFile("ymconfig.ini", config.replace("NUMBER=8", "NUMBER=6"));
        m_folder->writeFile("Data/Nomal.dat", wordList);
        SeedRandom(7);
        return StartUp() ? StartFromMenu() : nullptr;
    }
    frmGame* StartFromMenu() {
        Click(MenuWindow(), "cmdSTART");
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (auto* game = qobject_cast<frmGame*>(window); game && game->isVisible())
                m_game = game;
        }
        return m_game;
    }
    void StartAndCountDown(frmGame* game) {
        Click(game, "cmdStartEND");
        QCOMPARE(Text("lbl_Count"), QStringLiteral("３"));
        QCOMPARE(int(gCountdownClock), 0);
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
        // A spot of the red block that no text covers.
        const QImage shot = game->grab().toImage();
        return shot.pixelColor(TwipsToPixels(4080) + 4, TwipsToPixels(7320) + 4) ==
               QColor(255, 0, 0);
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    frmGame* m_game = nullptr;
};

QTEST_MAIN(TestFrmGame)
#include "test_frmGame.moc"
