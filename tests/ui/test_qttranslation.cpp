// Qt's own texts follow the locale: a text field's context menu and the
// standard buttons are Japanese under a Japanese locale and stay English
// where Qt has no translation, without anything failing.

#include "qttranslation.h"

#include <QtTest>
#include <QtWidgets>

#include <memory>

namespace {

// Qt's texts as a user meets them: captions of a text field's context menu
// (without the shortcut that follows a tab) and of a standard button.
struct QtTexts {
    QString undo;
    QString cut;
    QString paste;
    QString cancel;
};

// The caption of the menu's action bound to key; empty when there is none.
QString ActionCaption(const QMenu& menu, QKeySequence::StandardKey key) {
    const QString shortcut = QKeySequence(key).toString(QKeySequence::NativeText);
    for (const QAction* action : menu.actions()) {
        const QStringList parts = action->text().split(u'\t');
        if (parts.size() == 2 && parts[1] == shortcut)
            return parts[0];
    }
    return {};
}

QtTexts ShownQtTexts() {
    QLineEdit field;
    field.setText(QStringLiteral("かな"));
    field.selectAll();
    const std::unique_ptr<QMenu> menu(field.createStandardContextMenu());
    const QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    return {ActionCaption(*menu, QKeySequence::Undo), ActionCaption(*menu, QKeySequence::Cut),
            ActionCaption(*menu, QKeySequence::Paste),
            buttons.button(QDialogButtonBox::Cancel)->text()};
}

} // namespace

class TestQtTranslation : public QObject {
    Q_OBJECT

private slots:
    void cleanup();
    void japaneseLocaleTranslatesQtTexts();
    void otherLocalesKeepQtTextsEnglish_data();
    void otherLocalesKeepQtTextsEnglish();

private:
    // Sets the locale and installs the translation as a program does.
    void startIn(const QString& locale);

    QTranslator* m_installed = nullptr;
    const QLocale m_startLocale;
};

void TestQtTranslation::startIn(const QString& locale) {
    QLocale::setDefault(QLocale(locale));
    m_installed = InstallQtTranslation(*qApp);
}

void TestQtTranslation::cleanup() {
    if (m_installed) {
        QCoreApplication::removeTranslator(m_installed);
        delete m_installed;
        m_installed = nullptr;
    }
    QLocale::setDefault(m_startLocale);
}

void TestQtTranslation::japaneseLocaleTranslatesQtTexts() {
    startIn(QStringLiteral("ja_JP"));
    QVERIFY2(m_installed, "no Qt translation was loaded for ja_JP");

    const QtTexts texts = ShownQtTexts();
    QCOMPARE(texts.undo, QStringLiteral("元に戻す(&U)"));
    QCOMPARE(texts.cut, QStringLiteral("切り取り(&T)"));
    QCOMPARE(texts.paste, QStringLiteral("貼り付け(&P)"));
    QCOMPARE(texts.cancel, QStringLiteral("キャンセル"));
}

void TestQtTranslation::otherLocalesKeepQtTextsEnglish_data() {
    QTest::addColumn<QString>("locale");
    QTest::addColumn<bool>("loaded");
    // Qt's English catalogue holds only plural forms.
    QTest::newRow("English") << QStringLiteral("en_US") << true;
    QTest::newRow("C") << QStringLiteral("C") << false;
    QTest::newRow("a language Qt has no catalogue for") << QStringLiteral("eo") << false;
}

void TestQtTranslation::otherLocalesKeepQtTextsEnglish() {
    QFETCH(QString, locale);
    QFETCH(bool, loaded);
    startIn(locale);
    QVERIFY2((m_installed != nullptr) == loaded,
             qPrintable(QStringLiteral("locale %1: expected %2 Qt translation, loaded %3")
                            .arg(locale, loaded ? QStringLiteral("a") : QStringLiteral("no"),
                                 m_installed ? m_installed->filePath() : QStringLiteral("none"))));

    const QtTexts texts = ShownQtTexts();
    QCOMPARE(texts.undo, QStringLiteral("&Undo"));
    QCOMPARE(texts.cut, QStringLiteral("Cu&t"));
    QCOMPARE(texts.paste, QStringLiteral("&Paste"));
    QCOMPARE(texts.cancel, QStringLiteral("Cancel"));
}

QTEST_MAIN(TestQtTranslation)
#include "test_qttranslation.moc"
