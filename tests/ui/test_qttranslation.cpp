// Qt's own texts follow the locale: a text field's context menu and the
// standard buttons are Japanese under a Japanese locale and stay English
// where Qt has no translation.

#include "ui/qttranslation.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

class TestQtTranslation : public QObject {
    Q_OBJECT

private slots:
    void qtTextsFollowTheLocale() {
        const std::pair<const char*, QStringList> locales[] = {
            {"ja_JP", {"元に戻す(&U)", "切り取り(&T)", "貼り付け(&P)", "キャンセル"}},
            {"C", {"&Undo", "Cu&t", "&Paste", "Cancel"}},
            {"eo", {"&Undo", "Cu&t", "&Paste", "Cancel"}}, // no catalogue for it
        };
        for (const auto& [locale, expected] : locales) {
            QLocale::setDefault(QLocale(QString::fromLatin1(locale)));
            const std::unique_ptr<QTranslator> installed(InstallQtTranslation(*qApp));
            QLineEdit field(QStringLiteral("かな"));
            field.selectAll();
            const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
            // The menu's actions show their keys after a tab.
            QStringList shown;
            for (const auto key : {QKeySequence::Undo, QKeySequence::Cut, QKeySequence::Paste}) {
                const QString keys = QKeySequence(key).toString(QKeySequence::NativeText);
                for (const QAction* action : menu->actions()) {
                    if (action->text().section(u'\t', 1) == keys)
                        shown << action->text().section(u'\t', 0, 0);
                }
            }
            shown << QDialogButtonBox(QDialogButtonBox::Cancel)
                         .button(QDialogButtonBox::Cancel)
                         ->text();
            QCOMPARE(shown, expected);
        }
    }
};

QTEST_MAIN(TestQtTranslation)
#include "test_qttranslation.moc"
