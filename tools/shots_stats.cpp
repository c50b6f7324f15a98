// Takes the screenshots of the statistics window: a temporary program folder
// with the default ymconfig.ini and the shipped Nomal list, a history of
// sixty games of a player who grows faster and more accurate over three weeks
// but keeps stumbling on a few kana, then each of the window's pages saved as
// a PNG into the folder given as the argument.

#include "frmSeiseki.h"
#include "history/historydb.h"
#include "history/historywriter.h"
#include "shotsupport.h"
#include "ui/appfont.h"
#include "ui/uicommon.h"

#include <QApplication>
#include <QTabWidget>
#include <QTest>

#include <cstdio>
#include <iterator>

namespace {

constexpr int kGames = 60;
constexpr int kWordsPerGame = 20;
constexpr int kKanaPerWord = 4;

// Kana the player types, in the spelling used; the weak ones are missed
// three times as often, as the key given where the vowel was due, and the
// slow ones take half as long again.
struct PlayedKana {
    const char16_t* kana;
    const char* spelling;
    char wrongKey; // typed instead of the spelling's last letter
    bool weak;
    bool slow;
};
constexpr PlayedKana kPlayed[] = {
    {u"あ", "A", 'S', false, false},    {u"い", "I", 'O', false, false},
    {u"か", "KA", 'S', false, false},   {u"き", "KI", 'O', false, false},
    {u"こ", "KO", 'I', false, false},   {u"し", "SI", 'U', true, false},
    {u"す", "SU", 'Y', false, false},   {u"た", "TA", 'S', false, false},
    {u"ち", "TI", 'U', true, false},    {u"つ", "TU", 'I', true, false},
    {u"と", "TO", 'I', false, false},   {u"な", "NA", 'S', false, false},
    {u"に", "NI", 'U', false, false},   {u"の", "NO", 'I', false, false},
    {u"は", "HA", 'S', false, false},   {u"ふ", "HU", 'Y', true, true},
    {u"ま", "MA", 'S', false, false},   {u"よ", "YO", 'I', false, false},
    {u"る", "RU", 'Y', false, false},   {u"ん", "NN", 'M', false, false},
    {u"が", "GA", 'S', false, false},   {u"じ", "ZI", 'U', false, true},
    {u"で", "DE", 'R', false, false},   {u"しゃ", "SYA", 'S', true, true},
    {u"りょ", "RYO", 'I', false, true}, {u"っと", "TTO", 'I', false, false},
};

// A fixed sequence, so the pictures are the same on every run.
class Sequence {
public:
    double next() {
        m_state = m_state * 6364136223846793005ULL + 1442695040888963407ULL;
        return double(m_state >> 11) / double(1ULL << 53);
    }
    int below(int n) { return int(next() * n); }

private:
    unsigned long long m_state = 20261115;
};

GameRecord PlayedGame(int n, Sequence& random) {
    const double progress = double(n) / (kGames - 1); // 0 at the first game, 1 at the last
    GameRecord game;
    game.started = QDateTime(QDate(2026, 11, 15).addDays(n / 3), QTime(19, 0).addSecs(n % 3 * 900));
    game.list = QStringLiteral("Nomal.dat");
    game.level = 3;
    game.wordsPerStage = 5;
    game.result = n % 7 == 3 ? GameResult::Lost : GameResult::Won;
    game.stage = game.result == GameResult::Won ? 5 : 3;
    for (int w = 0; w < kWordsPerGame; ++w) {
        const int reaction = int(700 - 250 * progress + random.below(200));
        WordRecord word{QStringLiteral("単語"), reaction, std::nullopt, {}};
        int wordMs = reaction;
        for (int k = 0; k < kKanaPerWord; ++k) {
            const PlayedKana& played = kPlayed[random.below(int(std::size(kPlayed)))];
            const QString spelling = QString::fromLatin1(played.spelling);
            const double missChance = (0.07 - 0.04 * progress) * (played.weak ? 3 : 1);
            const int ms =
                int((520 - 200 * progress + random.below(160)) * (played.slow ? 1.5 : 1));
            KanaRecord kana{QString::fromUtf16(played.kana), spelling, ms, {}};
            while (random.next() < missChance && kana.misses.size() < 3)
                kana.misses.append({spelling.right(1), QString(QLatin1Char(played.wrongKey))});
            game.keys += int(spelling.size());
            game.misses += int(kana.misses.size());
            wordMs += ms;
            word.kana.append(kana);
        }
        word.completionMs = wordMs;
        game.seconds += wordMs / 1000.0;
        game.score += 300 + random.below(400);
        ++game.words;
        game.wordList.append(word);
    }
    return game;
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    SetApplicationFont();
    QString output;
    if (!OutputFolder(argc, argv, output))
        return 2;
    const ShotFolder folder({{QStringLiteral("Nomal.dat"), ShippedWordList("Nomal.dat")}});
    if (!folder.ready())
        return 1;
    InstallMessageBoxHook();
    {
        HistoryDb db;
        Sequence random;
        for (int n = 0; n < kGames; ++n) {
            QString message;
            if (!WriteGame(db, PlayedGame(n, random), &message)) {
                std::fprintf(stderr, "%s\n", qPrintable(message));
                return 1;
            }
        }
    }
    frmSeiseki window;
    window.resize(1040, 720);
    window.show();
    // The pages show once the history is read, off the window's thread.
    auto* pages = window.findChild<QTabWidget*>(QStringLiteral("tabPages"));
    if (!QTest::qWaitFor([pages] { return pages->isVisible(); }, 30000)) {
        std::fprintf(stderr, "the history was not read\n");
        return 1;
    }
    if (!SaveShot(&window, output, QStringLiteral("seiseki.png")))
        return 1;
    pages->setCurrentIndex(1);
    if (!SaveShot(&window, output, QStringLiteral("seiseki-kana.png")))
        return 1;
    pages->setCurrentIndex(2);
    return SaveShot(&window, output, QStringLiteral("seiseki-keys.png")) ? 0 : 1;
}
