#include "benchgames.h"

#include "history/historydb.h"
#include "history/historywriter.h"

#include <QSqlQuery>

#include <algorithm>
#include <cstdint>
#include <iterator>

namespace {

// A full game: five stages of nine words when ten are set per stage, as
// the game plays them.
constexpr int kStages = 5;
constexpr int kWordsPerStage = 10;
constexpr int kWordsPlayed = 9;
// Games written per transaction when filling a history: a transaction a game
// would wait for the disk each time.
constexpr int kGamesPerWrite = 500;

// Kana with the spellings a player may type them in.
struct PoolKana {
    const char16_t* kana;
    const char* spellings[2];
};
constexpr PoolKana kPool[] = {
    {u"あ", {"A"}},
    {u"い", {"I"}},
    {u"う", {"U"}},
    {u"か", {"KA"}},
    {u"き", {"KI"}},
    {u"く", {"KU"}},
    {u"こ", {"KO"}},
    {u"さ", {"SA"}},
    {u"し", {"SI", "SHI"}},
    {u"す", {"SU"}},
    {u"た", {"TA"}},
    {u"ち", {"TI", "CHI"}},
    {u"つ", {"TU", "TSU"}},
    {u"て", {"TE"}},
    {u"と", {"TO"}},
    {u"な", {"NA"}},
    {u"に", {"NI"}},
    {u"の", {"NO"}},
    {u"は", {"HA"}},
    {u"ひ", {"HI"}},
    {u"ふ", {"HU", "FU"}},
    {u"ま", {"MA"}},
    {u"み", {"MI"}},
    {u"も", {"MO"}},
    {u"よ", {"YO"}},
    {u"り", {"RI"}},
    {u"る", {"RU"}},
    {u"れ", {"RE"}},
    {u"わ", {"WA"}},
    {u"ん", {"NN", "N"}},
    {u"が", {"GA"}},
    {u"じ", {"JI", "ZI"}},
    {u"で", {"DE"}},
    {u"ぶ", {"BU"}},
    {u"しゃ", {"SYA", "SHA"}},
    {u"しょ", {"SYO", "SHO"}},
    {u"ちゃ", {"TYA", "CHA"}},
    {u"きょ", {"KYO"}},
    {u"っと", {"TTO"}},
    {u"っか", {"KKA"}},
};

// A deterministic sequence, so every run records the same games.
class Sequence {
public:
    explicit Sequence(std::uint32_t seed) : m_state(seed * 2654435761U + 1) {}
    int below(int n) {
        m_state = m_state * 1664525U + 1013904223U;
        return int((m_state >> 8) % std::uint32_t(n));
    }

private:
    std::uint32_t m_state;
};

} // namespace

GameRecord RealisticGame(int n) {
    Sequence random{std::uint32_t(n)};
    GameRecord game;
    game.started = QDateTime(QDate(2025, 1, 1), QTime(18, 0)).addSecs(qint64(n) * 700);
    // Most games on the everyday list, the rest on the shipped themes.
    static const char* const kLists[] = {"Nomal.dat",    "Nomal.dat",    "Nomal.dat",
                                         "Gairaigo.dat", "Tabemono.dat", "Doushi.dat"};
    game.list = QString::fromLatin1(kLists[random.below(int(std::size(kLists)))]);
    game.level = 1 + n % 5;
    game.wordsPerStage = kWordsPerStage;
    game.result = GameResult::Won;
    game.stage = kStages;
    game.words = kStages * kWordsPlayed;
    for (int w = 0; w < game.words; ++w) {
        WordRecord word{QStringLiteral("単語%1").arg(random.below(5000)),
                        300 + random.below(900),
                        std::nullopt,
                        {}};
        // A word's first kana counts from the word's appearance, so the
        // word took as long as its kana.
        int wordMs = 0;
        // Three to nine kana, six on average.
        const int kanaInWord = 3 + random.below(7);
        for (int k = 0; k < kanaInWord; ++k) {
            const PoolKana& pool = kPool[random.below(int(std::size(kPool)))];
            const char* spelling = pool.spellings[pool.spellings[1] && random.below(3) == 0];
            KanaRecord kana{QString::fromUtf16(pool.kana),
                            QString::fromLatin1(spelling),
                            (k == 0 ? *word.reactionMs : 0) + 150 + random.below(500),
                            {}};
            if (random.below(12) == 0) {
                for (int m = 0; m <= random.below(2); ++m)
                    kana.misses.append(
                        KeyMiss{kana.spelling.left(1), QString(QChar(u'A' + random.below(26)))});
            }
            game.keys += int(kana.spelling.size());
            game.misses += int(kana.misses.size());
            wordMs += *kana.ms;
            word.kana.append(kana);
        }
        word.completionMs = wordMs;
        game.seconds += wordMs / 1000.0;
        game.score += 200 + random.below(3000);
        game.wordList.append(word);
    }
    return game;
}

bool RecordGames(const QString& path, int count, QString* message, int first) {
    HistoryDb db(path);
    if (!db.open(message))
        return false;
    QSqlQuery(db.connection()).exec(QStringLiteral("PRAGMA synchronous = OFF"));
    for (int n = first; n < first + count; n += kGamesPerWrite) {
        QList<GameRecord> games;
        for (int g = n; g < std::min(n + kGamesPerWrite, first + count); ++g)
            games.append(RealisticGame(g));
        if (!WriteGames(db, games, message))
            return false;
    }
    return true;
}
