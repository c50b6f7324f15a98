// The record of a game: a reading split into the kana the judge counts.

#include "kana/kanacode.h"
#include "play/gamerecord.h"

#include <QtTest>

class TestGameRecord : public QObject {
    Q_OBJECT

private slots:
    // A reading splits into the kana the judge treats as one: a contracted
    // sound, っ with the kana it doubles (alone at the end), ん alone.
    void kanaUnits() {
        const auto units = [](const QString& reading) { return KanaUnits(KanaToCodes(reading)); };
        QCOMPARE(units("しゃしん"), QStringList({"しゃ", "し", "ん"}));
        QCOMPARE(units("がっこう"), QStringList({"が", "っこ", "う"}));
        QCOMPARE(units("あっ"), QStringList({"あ", "っ"}));
    }
};

QTEST_GUILESS_MAIN(TestGameRecord)
#include "test_gamerecord.moc"
