// The name-entry dialog in both of its modes, driven by real keys and clicks.

#include "DlgUseName.h"
#include "config.h"
#include "frmConfig.h"
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

enum Leave { ClickOk, PressEnter, ClickCancel, PressEscape, CloseWindow };

QString IniValue(const char* section, const QByteArray& key) {
    QByteArray value;
    GetProfileValue(section, key, value, 80, gIniPath);
    return DecodeCp932(value);
}

} // namespace

class TestDlgUseName : public QObject {
    Q_OBJECT

private slots:
    void entry_data() {
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("typed"); // null: the proposed name untouched
        QTest::addColumn<int>("how");
        QTest::addColumn<QString>("name"); // the default name, or the new entry's
        QTest::addColumn<int>("place");
        const QString keep;
        QTest::newRow("default, enter") << "Default" << keep << int(PressEnter) << "Me" << 0;
        QTest::newRow("default, trimmed") << "Default"
                                          << " \u3000太郎 Y  " << int(ClickOk) << "太郎 Y" << 0;
        QTest::newRow("default, blank") << "Default"
                                        << " \u3000 " << int(ClickOk) << "Me" << 0;
        QTest::newRow("default, cancel") << "Default"
                                         << "Ken" << int(ClickCancel) << "Me" << 0;
        QTest::newRow("default, escape") << "Default"
                                         << "Ken" << int(PressEscape) << "Me" << 0;
        QTest::newRow("clear, enter") << "Clear" << keep << int(PressEnter) << "Me" << 0;
        QTest::newRow("clear, trimmed") << "Clear"
                                        << "  ゆびまる " << int(ClickOk) << "ゆびまる" << 8;
        QTest::newRow("clear, emptied") << "Clear"
                                        << "" << int(ClickOk) << "Me" << 3;
        QTest::newRow("clear, blanks") << "Clear"
                                       << "   " << int(ClickOk) << "" << 4;
        QTest::newRow("clear, closed") << "Clear"
                                       << "Ken" << int(CloseWindow) << "Me" << 1;
    }
    void entry() {
        QFETCH(QString, mode);
        QFETCH(QString, typed);
        QFETCH(int, how);
        QFETCH(QString, name);
        QFETCH(int, place);
        TempProgramFolder folder;
        QVERIFY(ConfigFileExists());
        ReadRanking();
        const QByteArray before = folder.readFile("ymconfig.ini");
        const bool clear = mode == QLatin1String("Clear");
        gUserName = "Me";
        gNameMode = mode;
        gNewRankPos = std::int16_t(place);
        gNewRankScore = 4321;

        // Opened over the settings screen, which takes no input meanwhile.
        frmConfig settings;
        settings.show();
        DlgUseName dialog;
        dialog.show();
        QVERIFY(!settings.isEnabled());
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Default User Name "));
        auto* edit = dialog.findChild<QLineEdit*>("txtName");
        auto* juni = dialog.findChild<QLabel*>("lbl_Juni");
        QCOMPARE(edit->selectedText(), QStringLiteral("Me"));
        QCOMPARE(juni->isVisible(), clear);
        QCOMPARE(dialog.findChild<QPushButton*>("CancelButton")->isVisible(), !clear);
        if (clear) {
            QCOMPARE(juni->text(), QChar(0xFF11 + place) + QStringLiteral(" 位 ＲＡＮＫＩＮ♪"));
            // Without a Cancel button Escape cannot throw the entry away.
            QTest::keyClick(edit, Qt::Key_Escape);
            QVERIFY(dialog.isVisible());
        }
        if (!typed.isNull()) {
            // Typed through the input method, the way Japanese arrives.
            edit->clear();
            QInputMethodEvent commit;
            commit.setCommitString(typed);
            QApplication::sendEvent(edit, &commit);
        }
        switch (how) {
        case ClickOk:
            QTest::mouseClick(dialog.findChild<QPushButton*>("OKButton"), Qt::LeftButton);
            break;
        case ClickCancel:
            QTest::mouseClick(dialog.findChild<QPushButton*>("CancelButton"), Qt::LeftButton);
            break;
        case CloseWindow:
            dialog.close();
            break;
        default:
            QTest::keyClick(edit, how == PressEnter ? Qt::Key_Return : Qt::Key_Escape);
        }

        QVERIFY(!dialog.isVisible());
        QVERIFY(settings.isEnabled());
        if (clear) {
            const QByteArray key(1, char('A' + place));
            QCOMPARE(gNewRankName, name);
            QCOMPARE(IniValue("Ranking", key + "1"), name);
            QCOMPARE(IniValue("Ranking", key + "2"), QStringLiteral("4321"));
        } else {
            QCOMPARE(gUserName, name);
            // A kept name writes nothing.
            if (how != PressEnter && name == QLatin1String("Me"))
                QCOMPARE(folder.readFile("ymconfig.ini"), before);
            else
                QCOMPARE(IniValue("GameConfig", "NAME"), name);
        }
    }
};

QTEST_MAIN(TestDlgUseName)
#include "test_DlgUseName.moc"
