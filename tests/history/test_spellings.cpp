// Spellings and habits of spelling: the habits told from the misses the
// game's judge records, what a recorded game adds to the figures per
// spelling and to each kana's habit misses and attempts, and when one
// spelling is said to serve the player better.

#include "config/spellings.h"
#include "gamerecorder.h"
#include "history/habits.h"
#include "history/historyqueries.h"
#include "history/historywriter.h"
#include "history/spellingcompare.h"
#include "judge.h"
#include "kana/kanacode.h"
#include "kana/romaji.h"
#include "testsupport.h"

#include <QtTest>

namespace {

// The spelling options as the settings screen stores them: ん and ち.
struct Settings {
    bool singleN; // ん "N" (else "NN")
    bool chi;     // ち "CHI" (else "TI")
};

void Use(Settings settings) {
    gKeyConfig.fill(QStringLiteral("1"));
    gKeyConfig[1] = settings.chi ? QStringLiteral("2") : QStringLiteral("1");
    gKeyConfig[4] = settings.singleN ? QStringLiteral("2") : QStringLiteral("1"); // reversed
    BuildRomajiTable();
    ApplyKeyConfig();
}

// The record the game makes of words (kana) typed with keys, each key 100 ms
// after the one before, as the judge takes them.
GameRecord Typed(Settings settings, const QList<std::pair<QString, QString>>& words) {
    Use(settings);
    GameRecorder recorder;
    GameSummary start;
    start.started = QDateTime(QDate(2026, 1, 1), QTime(9, 0));
    start.list = QStringLiteral("Nomal.dat");
    recorder.begin(start);
    qint64 ms = 0;
    for (const auto& [kana, keys] : words) {
        const QString codes = KanaToCodes(kana);
        QString target = CodesToRomaji(codes);
        recorder.showWord(kana, codes, target, ms);
        int typed = 0;
        for (const QChar key : keys) {
            ms += 100;
            if (JudgeKey(key.unicode(), target, typed))
                recorder.keyAccepted(target, typed++, ms);
            else
                recorder.keyMissed(UpperKey(key.unicode()), target, typed, ms);
        }
    }
    recorder.finish(GameResult::Ended, 1, 0, ms);
    return recorder.take().value_or(GameRecord{});
}

// Each habit seen as "kana typed → missed kana, absorbed misses, setting option".
QStringList Habits(const GameRecord& game) {
    QList<KanaRecord> kana;
    for (const WordRecord& word : game.wordList)
        kana += word.kana;
    QStringList seen;
    for (const HabitSeen& habit : FindHabits(kana))
        seen.append(QStringLiteral("%1 %2 → %3, %4, %5 %6")
                        .arg(habit.habit.kana, habit.habit.typed, habit.missed)
                        .arg(habit.absorbed)
                        .arg(habit.habit.setting, habit.habit.option)
                        .trimmed());
    return seen;
}

// し typed in spelling, every attempt timed, each at msPerKey per key give
// or take spread, and each miss in an attempt of its own.
SpellingFigures Spelling(const char* spelling, qint64 attempts, qint64 misses, double msPerKey,
                         double spread) {
    const qint64 keys = qint64(qstrlen(spelling));
    const double ms = msPerKey * double(keys);
    const double sd = spread * double(keys);
    return {QStringLiteral("し"),
            QString::fromLatin1(spelling),
            attempts,
            misses,
            misses,
            attempts,
            qint64(ms * double(attempts)),
            qint64((ms * ms + sd * sd) * double(attempts))};
}

} // namespace

class TestSpellings : public QObject {
    Q_OBJECT

private slots:
    // Habits from the keys as the judge records them: NN before a consonant
    // under N (in a word and across the end of one), N under NN, a doubled
    // kana begun in the other spelling of its setting, and っ typed alone
    // (seen, but no setting absorbs it). Misses that only look alike are
    // none: another key after ん, NN before a vowel (the target's own).
    void habitsFromJudgedKeys() {
        const Settings n{true, false};
        QCOMPARE(Habits(Typed(n, {{"しんぶん", "SINNBUN"}})),
                 QStringList({"ん NN → ぶ, 1, ん NN"}));
        QCOMPARE(Habits(Typed(n, {{"ほん", "HON"}, {"いぬ", "NINU"}})),
                 QStringList({"ん NN → い, 1, ん NN"}));
        QCOMPARE(Habits(Typed({false, false}, {{"しんぶん", "SINBNBUNN"}})),
                 QStringList({"ん N → ん, 1, ん N"}));
        QCOMPARE(Habits(Typed(n, {{"まっち", "MACCTTI"}})),
                 QStringList({"っち CCHI → っち, 2, ち CHI"}));
        QCOMPARE(Habits(Typed({true, true}, {{"まっち", "MATCCHI"}})),
                 QStringList({"っち TTI → っち, 1, ち TI"}));
        QCOMPARE(Habits(Typed(n, {{"がっこう", "GAXTUKKOU"}})), QStringList({"っ XTU → っこ, 0,"}));
        QCOMPARE(Habits(Typed(n, {{"しんぶん", "SINMBUN"}, {"きんえん", "KINNEN"}})),
                 QStringList());
    }

    // A recorded game adds per spelling its attempts and misses and, for the
    // kana after another key of the word only, its time; the misses of a
    // habit are the kana's habit misses and not its evidence, while those of
    // っ typed alone, which no setting takes, stay evidence.
    void spellingFiguresOfAGame() {
        TempProgramFolder folder;
        HistoryDb db;
        const GameRecord game =
            Typed({true, false}, {{"しんし", "SINNSHI"}, {"しし", "SHISI"}, {"っし", "XTUSSI"}});
        QString message;
        QVERIFY2(WriteGame(db, game, &message), qPrintable(message));
        const std::optional<HistoryOverview> read = ReadOverview(db);
        QVERIFY(read && !read->spellingsLater);
        QStringList spellings;
        for (const SpellingFigures& s : read->spellings) {
            spellings.append(
                QStringLiteral("%1 %2: %3 attempts, %4 misses in %5, %6 timed in %7 ms")
                    .arg(s.kana, s.spelling)
                    .arg(s.attempts)
                    .arg(s.misses)
                    .arg(s.missedAttempts)
                    .arg(s.timed)
                    .arg(s.timedMs));
        }
        QCOMPARE(spellings, QStringList({"し SHI: 2 attempts, 1 misses in 1, 1 timed in 400 ms",
                                         "し SI: 2 attempts, 0 misses in 0, 1 timed in 200 ms",
                                         "ん N: 1 attempts, 0 misses in 0, 1 timed in 100 ms",
                                         "っし SSI: 1 attempts, 3 misses in 1, 0 timed in 0 ms"}));
        QStringList misses;
        for (const KanaFigures& k : read->kana)
            misses.append(QStringLiteral("%1: %2 of %3 misses, %4 of %5 attempts out of habit")
                              .arg(k.kana)
                              .arg(k.habitMisses)
                              .arg(k.misses)
                              .arg(k.habitAttempts)
                              .arg(k.missedAttempts));
        QCOMPARE(misses, QStringList({"し: 1 of 1 misses, 1 of 1 attempts out of habit",
                                      "ん: 0 of 0 misses, 0 of 0 attempts out of habit",
                                      "っし: 0 of 3 misses, 0 of 1 attempts out of habit"}));
        QStringList habits;
        for (const HabitFigures& h : read->habits)
            habits.append(QStringLiteral("%1 %2 seen %3, setting %4 %5")
                              .arg(h.kana, h.typed)
                              .arg(h.seen)
                              .arg(h.setting, h.option)
                              .trimmed());
        QCOMPARE(habits, QStringList({"っ XTU seen 1, setting", "ん NN seen 1, setting ん NN"}));
    }

    // A spelling is said to be faster or more accurate only when each was
    // used 30 times and the difference stands clear of chance; ん's two
    // spellings, which the target decides before a vowel, are never compared.
    void credibleSpellingDifferences() {
        const auto verdicts = [](const QList<SpellingFigures>& spellings) {
            QStringList said;
            for (const SpellingVerdict& v : CompareSpellings(spellings))
                said.append(QStringLiteral("%1 %2 over %3, setting %4 %5")
                                .arg(v.kind == SpellingVerdict::Kind::Faster ? "faster" : "fewer",
                                     v.better.spelling, v.worse.spelling, v.option.setting,
                                     v.option.option));
            return said;
        };
        QCOMPARE(
            verdicts({Spelling("SHI", 200, 20, 150, 30), Spelling("SI", 200, 2, 120, 30)}),
            QStringList({"faster SI over SHI, setting し SI", "fewer SI over SHI, setting し SI"}));
        QCOMPARE(verdicts({Spelling("SHI", 29, 20, 150, 30), Spelling("SI", 200, 2, 120, 30)}),
                 QStringList());
        QCOMPARE(verdicts({Spelling("SHI", 40, 3, 125, 60), Spelling("SI", 40, 2, 120, 60)}),
                 QStringList());
        // Misses piled into few attempts are no more evidence than those
        // attempts: SHI missed in 20 of 200 with 60 keys against SI in 10.
        SpellingFigures piled = Spelling("SHI", 200, 20, 120, 30);
        piled.misses = 60;
        QCOMPARE(verdicts({piled, Spelling("SI", 200, 10, 120, 30)}), QStringList());
        QList<SpellingFigures> n = {Spelling("N", 200, 0, 100, 10),
                                    Spelling("NN", 200, 20, 300, 10)};
        for (SpellingFigures& s : n)
            s.kana = QStringLiteral("ん");
        QCOMPARE(verdicts(n), QStringList());
    }
};

QTEST_GUILESS_MAIN(TestSpellings)
#include "test_spellings.moc"
