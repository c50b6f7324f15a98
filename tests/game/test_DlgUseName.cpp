// The name-entry dialog in both of its modes, driven by real keys and clicks.

#include "DlgUseName.h"
#include "config.h"
#include "profile.h"
#include "ranking.h"
#include "testsupport.h"

#include <QApplication>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QtTest>

namespace {

QString IniValue(const char* section, const char* key) {
    QByteArray value;
    GetProfileValue(section, key, value, 80, gIniPath);
    return DecodeCp932(value);
}

// Types text: Latin-1 characters as key clicks, the rest as text committed by
// an input method, the way Japanese arrives.
void TypeText(QLineEdit* edit, const QString& text) {
    for (const QChar c : text) {
        if (c.unicode() < 0x80) {
            QTest::keyClick(edit, char(c.unicode()));
        } else {
            QInputMethodEvent commit;
            commit.setCommitString(QString(c));
            QApplication::sendEvent(edit, &commit);
        }
    }
}

// How the test leaves the dialog.
enum Leave { ClickOk, PressEnter, ClickCancel, CloseWindow, PressEscape };

void LeaveDialog(DlgUseName& dialog, int how) {
    auto* name = dialog.findChild<QLineEdit*>("txtName");
    switch (how) {
    case ClickOk:
        QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
        break;
    case PressEnter:
        QTest::keyClick(name, Qt::Key_Return);
        break;
    case ClickCancel:
        QTest::mouseClick(dialog.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
        break;
    case CloseWindow:
        dialog.close();
        break;
    case PressEscape:
        QTest::keyClick(name, Qt::Key_Escape);
        break;
    }
}

} // namespace

class TestDlgUseName : public QObject {
    Q_OBJECT

private slots:
    void defaultMode_data() {
        QTest::addColumn<QString>("typed"); // null: leave the proposed name
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("stored"); // NAME afterwards, and gUserName
        QTest::newRow("enter keeps the proposal") << QString() << int(PressEnter) << "Default";
        QTest::newRow("blanks trimmed")
            << QStringLiteral(" \u3000Taro Y  ") << int(ClickOk) << "Taro Y";
        QTest::newRow("typed then enter") << QStringLiteral("花子") << int(PressEnter) << "花子";
        QTest::newRow("blank ignored") << QStringLiteral(" \u3000 ") << int(ClickOk) << "Default";
        QTest::newRow("empty ignored") << QStringLiteral("") << int(ClickOk) << "Default";
        QTest::newRow("cancel") << QStringLiteral("Other") << int(ClickCancel) << "Default";
        QTest::newRow("escape") << QStringLiteral("Other") << int(PressEscape) << "Default";
        QTest::newRow("close box") << QStringLiteral("Other") << int(CloseWindow) << "Default";
    }
    void defaultMode() {
        QFETCH(QString, typed);
        QFETCH(int, how);
        QFETCH(QString, stored);
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        const QByteArray before = folder.readFile("ymconfig.ini");
        gUserName = "Default";
        gNameMode = "Default";

        DlgUseName dialog;
        dialog.show();
        auto* name = dialog.findChild<QLineEdit*>("txtName");
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Default User Name "));
        QVERIFY(!dialog.findChild<QLabel*>("lbl_Juni")->isVisible());
        QVERIFY(dialog.findChild<QPushButton*>("CancelButton")->isVisible());
        QCOMPARE(name->selectedText(), QStringLiteral("Default"));
        if (!typed.isNull()) {
            QTest::keyClick(name, Qt::Key_A, Qt::ControlModifier);
            QTest::keyClick(name, Qt::Key_Delete);
            TypeText(name, typed);
        }
        LeaveDialog(dialog, how);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(gUserName, stored);
        QCOMPARE(IniValue("GameConfig", "NAME"), stored);
        if (stored == QLatin1String("Default") && how != PressEnter)
            QCOMPARE(folder.readFile("ymconfig.ini"), before);
    }

    void clearMode_data() {
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("entered");
        QTest::newRow("first, enter") << 0 << QString() << int(PressEnter) << "１ 位 ＲＡＮＫＩＮ♪"
                                      << "Guest";
        QTest::newRow("ninth, typed")
            << 8 << QStringLiteral("  ゆび ") << int(ClickOk) << "９ 位 ＲＡＮＫＩＮ♪"
            << "ゆび";
        QTest::newRow("emptied") << 3 << QStringLiteral("") << int(ClickOk) << "４ 位 ＲＡＮＫＩＮ♪"
                                 << "Guest";
        QTest::newRow("blanks only")
            << 3 << QStringLiteral("   ") << int(ClickOk) << "４ 位 ＲＡＮＫＩＮ♪"
            << "";
        QTest::newRow("closed") << 2 << QStringLiteral("Ken") << int(CloseWindow)
                                << "３ 位 ＲＡＮＫＩＮ♪"
                                << "Guest";
    }
    void clearMode() {
        QFETCH(int, place);
        QFETCH(QString, typed);
        QFETCH(int, how);
        QFETCH(QString, line);
        QFETCH(QString, entered);
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        ReadRanking();
        gUserName = "Guest";
        gNameMode = "Clear";
        gNewRankPos = std::int16_t(place);
        gNewRankScore = 4321;
        gNewRankName = "stale";

        DlgUseName dialog;
        dialog.show();
        auto* name = dialog.findChild<QLineEdit*>("txtName");
        QCOMPARE(dialog.findChild<QLabel*>("lbl_Juni")->text(), line);
        QVERIFY(!dialog.findChild<QPushButton*>("CancelButton")->isVisible());
        // No Cancel button, so Escape cannot throw the entry away.
        QTest::keyClick(name, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        if (!typed.isNull()) {
            name->clear();
            TypeText(name, typed);
        }
        LeaveDialog(dialog, how);

        QVERIFY(!dialog.isVisible());
        QCOMPARE(gNewRankName, entered);
        QCOMPARE(gRankScore[place], 4321);
        const QByteArray letter(1, char('A' + place));
        QCOMPARE(IniValue("Ranking", letter + "2"), QStringLiteral("4321"));
        QCOMPARE(IniValue("Ranking", letter + "1"), entered.isEmpty() ? QString() : entered);
    }
};

QTEST_MAIN(TestDlgUseName)
#include "test_DlgUseName.moc"
