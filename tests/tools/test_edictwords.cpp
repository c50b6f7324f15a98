// The word-list generator's rules on a small hand-made dictionary excerpt.

#include "edictwords.h"
#include "kana/wordlevel.h"

#include <QtTest>

namespace {

// Lines as EDICT writes them. The headwords that hold 犬 and パン give them
// the uses a Nomal word (three) and a Gairaigo word (two) need.
const char* const kExcerpt[] = {
    "犬 [いぬ] /(n) dog/(P)/",
    "子犬 [こいぬ] /(n) puppy/",
    "犬小屋 [いぬごや] /(n) kennel/",
    "野良犬 [のらいぬ] /(n) stray dog/",
    "猫 [ねこ] /(n) cat/(P)/", // in no other headword
    "食べる [たべる] /(v1,vt) to eat/(P)/",
    "歩く [あるく] /(v5k,vi) to walk/",                                      // not common
    "死ぬ [しぬ] /(v5n,vi) to die/(P)/",                                     // a gloss word
    "くたばる /(v5r,vi) (vulg) to croak/(P)/",                               // vulgar
    "詣でる [もうでる] /(v1,vi) (1) to visit/(v1,vi) (2) (arch) to go/(P)/", // archaic
    "為る [する] /(vs-i) (uk) to do/(P)/",                                   // usually kana
    "勉強 [べんきょう] /(n,vs) study/(P)/",                                  // a noun, not a verb
    "刺身 [さしみ] /(n) (food) sashimi/(P)/",                                // two spellings of
    "刺し身 [さしみ] /(n) (food) sashimi/(P)/",                              // one entry
    "林檎 [りんご] /(n) (uk) apple/(P)/",                                    // a kept word's entry
    "茶 [ちゃ] /(n) tea/(P)/",                                               // a food gloss word
    "皿 [さら] /(n) plate/dish/(P)/",                                        // denied
    "パン /(n) bread/(P)/",
    "パン屋 [パンや] /(n) bakery/",
    "食パン [しょくパン] /(n) sliced bread/",
    "ヴァイオリン /(n) violin/(P)/", // ヴ has no code
    "エビ /(n) prawn/shrimp/(P)/",   // native, in katakana
    "海老 [えび] /(n) prawn/shrimp/(P)/",
    "ドイツ /(n) Germany/(P)/", // a proper name
    "ラーメン /(n) (food) ramen/(P)/",
};

QList<EdictEntry> Excerpt() {
    QList<EdictEntry> entries;
    for (const char* line : kExcerpt) {
        if (std::optional<EdictEntry> e = ParseEdictLine(QString::fromUtf8(line)))
            entries.append(*e);
    }
    return entries;
}

QStringList Words(WordList list) {
    QList<ListWord> kept;
    if (list == WordList::Tabemono)
        kept.append({0, "林檎", "りんご"});
    QStringList words;
    for (const ListWord& w :
         ChooseWords(Excerpt(), list, kept, ParseDeniedWords("Tabemono\t皿\tno food\n", list)))
        words.append(QStringLiteral("%1 %2 %3").arg(w.level).arg(w.word, w.reading));
    return words;
}

} // namespace

class TestEdictWords : public QObject {
    Q_OBJECT

private slots:
    void selection() {
        // Common words only, in use; no vulgar or archaic sense, no death;
        // kana for "usually kana"; one spelling of an entry; kept and denied
        // words. A line that is no entry gives none.
        QVERIFY(!ParseEdictLine("broken line"));
        QCOMPARE(Words(WordList::Nomal), QStringList({"1 犬 いぬ"}));
        QCOMPARE(Words(WordList::Tabemono),
                 QStringList({"1 エビ えび", "1 茶 ちゃ", "1 パン ぱん", "2 刺身 さしみ",
                              "2 林檎 りんご", "4 ラーメン らーめん"}));
        QCOMPARE(Words(WordList::Doushi), QStringList({"1 する する", "2 食べる たべる"}));
        // Loanwords in use: no ヴ, no native word in katakana, no country, and
        // ラーメン stands in no other headword.
        QCOMPARE(Words(WordList::Gairaigo), QStringList({"1 パン ぱん"}));

        // Keys to type a reading, the level they give, and readings no game
        // can play.
        const std::pair<const char*, int> keys[] = {
            {"きょう", 5},                                           // KYOU + contracted
            {"がっこう", 7},   {"らーめん", 8},                      // GAKKOU + っ, RA-MENN + ー
            {"あかとんぼ", 9}, {"かたつむり", 10}, {"ふぃるむ", 7}}; // FIRUMU + contracted
        for (const auto& [reading, count] : keys)
            QCOMPARE(KeyCount(QString::fromUtf8(reading)), count);
        const std::pair<int, int> levels[] = {{1, 1}, {4, 1}, {5, 2},  {6, 2}, {7, 3},
                                              {8, 4}, {9, 4}, {10, 5}, {25, 5}};
        for (const auto& [count, level] : levels)
            QCOMPARE(LevelOfKeys(count), level);
        for (const char* bad : {"あっ", "あっあ", "っと", "ゔぁ", "てゎ", "カメ", "ーと", ""})
            QVERIFY2(!IsPlayableReading(QString::fromUtf8(bad)), bad);
    }

    // The lists' text files, and the kept and denied words read back. (The
    // shipped lists' own test checks that each level holds enough words.)
    void writesSources() {
        const QString text =
            FormatWordList({{1, "犬", "いぬ"}, {2, "刺身", "さしみ"}}, WordList::Tabemono);
        QVERIFY(text.startsWith("# ") && text.contains("EDICT"));
        QVERIFY(text.endsWith("\n# Level 1\n1\t犬\tいぬ\n\n# Level 2\n2\t刺身\tさしみ\n"));
        QCOMPARE(ParseKeptWords("# comment\n犬\tいぬ\nbad line\n"),
                 QList<ListWord>({{0, "犬", "いぬ"}}));
        QCOMPARE(ParseDeniedWords("*\ta\nNomal\tb\nDoushi\tc\n", WordList::Nomal),
                 QSet<QString>({"a", "b"}));
    }
};

QTEST_GUILESS_MAIN(TestEdictWords)
#include "test_edictwords.moc"
