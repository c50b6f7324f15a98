#include "course.h"

#include "judge.h"
#include "platform/numbers.h"
#include "play/ranking.h"
#include "play/settings.h"
#include "wordlists/liststore.h"

#include <algorithm>
#include <chrono>
#include <limits>
#include <optional>
#include <utility>

bool gPlaying = false;
std::int16_t gSpeed = 0;
std::int16_t gWordNo = 1;
std::int16_t gCountdownClock = 0;

namespace {

// Stages, like the levels they play, run from 1 to 5.
constexpr std::int16_t kFirstStage = 1;
constexpr std::int16_t kLastStage = 5;
constexpr QStringView kCountThree = u"３";
constexpr QStringView kCountTwo = u"２";
constexpr QStringView kCountOne = u"１";
constexpr QStringView kCountGo = u"ＧＯ";

std::int16_t ClampSpeed(int speed, int lowest) {
    return std::int16_t(std::clamp(speed, lowest, int(std::numeric_limits<std::int16_t>::max())));
}

std::int32_t WordPoints(int scoreLevel, float wordTop) {
    return RoundToInt32(double(scoreLevel) * (double(wordTop) - kWordStartTop) / 5.0);
}

const TimingSet& TimingFor(std::int32_t platform) {
    return platform == 1 ? kCoarseTiming : kFineTiming;
}

} // namespace

CourseClock SystemClock() {
    return {&QDateTime::currentDateTime, [] {
                return qint64(std::chrono::duration_cast<std::chrono::milliseconds>(
                                  std::chrono::steady_clock::now().time_since_epoch())
                                  .count());
            }};
}

GameCourse::GameCourse(CourseHost& host, PlatformQuery platform, CourseClock clock)
    : m_host(host), m_platform(std::move(platform)), m_clock(std::move(clock)) {
    gPlaying = false;
    refreshHighScore();
}

const TimingSet& GameCourse::timing() const {
    return TimingFor(m_platform());
}

bool GameCourse::judgesKeys() const {
    const bool countingDown = m_screen.countdownMarker == kCountdownMarker &&
                              m_screen.countVisible && m_screen.countStyle == CountStyle::Countdown;
    return gPlaying || countingDown;
}

void GameCourse::clickStartEnd() {
    if (m_screen.caption == kStartCaption) {
        start();
    } else {
        end();
    }
}

void GameCourse::start() {
    m_screen.caption = kEndCaption.toString();

    // Every table index below relies on a word count within the slots; the
    // drawing routines bring gWordCount into the same range themselves.
    m_wordCount = ClampWordCount(gWordCount);

    // Drawing needs more words in each level than a game plays and would never
    // finish with fewer, so such a list is refused and the screen stays idle.
    // The counts are those of the list as the load found it: another program
    // may have changed it since this screen last looked. Without a list loaded
    // there are no counts to judge, and the message that said why came when
    // the list was loaded.
    int shortLevel = 0;
    int needed = 0;
    const bool loaded = m_host.loadWords([&](const std::array<int, kLevels>& counts) {
        shortLevel = FindShortLevel(counts, needed);
        return shortLevel == 0;
    });
    if (shortLevel != 0) {
        m_screen.caption = kStartCaption.toString();
        m_host.showProblem(
            QStringLiteral("レベル%1の単語が足りません。\n"
                           "ゲームを始めるには、各レベルに%2語以上の単語が必要です。")
                .arg(shortLevel)
                .arg(needed));
        return;
    }
    // Unreadable working files: the button stays on "ＥＮＤ" and a click on it
    // returns to idle.
    if (!loaded) {
        return;
    }
    // The working files hold the list last loaded, whatever the settings
    // chose since.
    m_list = gLoadedWordFile;
    m_wonPending = false;
    m_hasResult = false;
    m_screen.resultCard = false;

    m_screen.missMark = false;
    gCountdownClock = 0;
    m_screen.countVisible = true;
    m_screen.countStyle = CountStyle::Countdown;
    m_screen.countText = kCountThree.toString();
    m_screen.countdownMarker = kCountdownMarker.toString();

    gWordNo = 1;
    gCharPos = 0;
    m_screen.score = 0;
    m_missCount = 0;
    m_screen.stage = kFirstStage;
    // A level outside 1..5 in the configuration (LEVEL=x reads 0) would leave
    // the first word standing or rising; the game takes the nearest level.
    m_screen.scoreLevel = std::clamp<std::int16_t>(gGameLevel, kFirstStage, kLastStage);

    showWord();
    m_screen.typed.clear();
    m_screen.nextLetter = m_screen.targetRomaji.left(1);
    m_screen.wordTop = kWordStartTop;

    setCountTimer(true);
    setGameTimer(true);
    gSpeed = std::int16_t(m_screen.scoreLevel * timing().startSpeedPerLevel);
}

void GameCourse::end() {
    finishRecording(GameResult::Ended, m_clock.elapsedMs());
    // A won game waits for its name dialog, and so does its card.
    if (!m_wonPending) {
        handOverRecord();
        m_screen.resultCard = m_hasResult;
    }
    m_screen.caption = kStartCaption.toString();
    gPlaying = false;
    clearScreen();
    setCountTimer(false);
    setGameTimer(false);
}

void GameCourse::clearScreen() {
    m_screen.countVisible = false;
    m_screen.target.clear();
    m_screen.targetRomaji.clear();
    m_screen.nextTarget.clear();
    m_screen.typed.clear();
    m_screen.countText.clear();
    m_screen.nextLetter.clear();
    m_screen.score = 0;
    m_screen.stage = kFirstStage;
    m_screen.missMark = false;
}

void GameCourse::countdownTick() {
    refreshHighScore();
    if (m_screen.countdownMarker != kCountdownMarker) {
        return;
    }
    gCountdownClock = std::int16_t(gCountdownClock + timing().clockStep);
    if (m_screen.countText == kCountGo) {
        if (gCountdownClock > kGoEndClock) {
            gCountdownClock = 0;
            m_screen.countVisible = false;
            m_screen.countText.clear();
            m_screen.countdownMarker.clear();
        }
        return;
    }
    if (gCountdownClock <= kCountStepClock) {
        return;
    }
    gCountdownClock = 0;
    if (m_screen.countText == kCountThree) {
        m_screen.countText = kCountTwo.toString();
    } else if (m_screen.countText == kCountTwo) {
        m_screen.countText = kCountOne.toString();
    } else if (m_screen.countText == kCountOne) {
        m_screen.countText = kCountGo.toString();
        gPlaying = true;
        // The game is recorded from here; its first word counts as shown now,
        // when it begins to fall and keys are judged.
        GameSummary game;
        game.started = m_clock.now();
        game.list = m_list;
        game.level = m_screen.scoreLevel;
        game.wordsPerStage = m_wordCount;
        m_recording.begin(game);
        recordWordShown(m_clock.elapsedMs());
    }
}

void GameCourse::gameTick() {
    refreshHighScore();
    if (!gPlaying) {
        return;
    }
    m_screen.wordTop += gSpeed;
    if (m_screen.wordTop > kDeathLine) {
        m_screen.countVisible = true;
        m_screen.countStyle = CountStyle::Dead;
        m_screen.countText = kDeadText.toString();
        gPlaying = false;
        finishRecording(GameResult::Lost, m_clock.elapsedMs());
        m_screen.resultCard = m_hasResult;
    }
}

KeyResult GameCourse::keyPress(char16_t key) {
    // Only characters that print are typing: Esc, Tab, Enter, BackSpace and
    // the other control keys are no miss of the due letter.
    if (!m_screen.gameTimer.running || !gPlaying || !QChar(key).isPrint()) {
        return KeyResult::Ignored;
    }
    const qint64 ms = m_clock.elapsedMs();
    if (!JudgeKey(key, m_screen.targetRomaji, gCharPos)) {
        m_recording.keyMissed(UpperKey(key), m_screen.targetRomaji, gCharPos, ms);
        m_screen.missMark = true;
        if (m_missCount < std::numeric_limits<std::int16_t>::max()) {
            ++m_missCount;
        }
        return KeyResult::Missed;
    }

    // The next key is judged against the spelling being typed.
    gWordRomaji[m_screen.stage][gWordNo] = m_screen.targetRomaji;
    m_recording.keyAccepted(m_screen.targetRomaji, gCharPos, ms);
    m_screen.missMark = false;
    AppendTyped(m_screen.typed, UpperKey(key));

    KeyResult result = KeyResult::Accepted;
    if (IsWordTyped(m_screen.typed, m_screen.targetRomaji)) {
        if (!nextWord()) {
            return winGame(ms);
        }
        recordWordShown(ms);
        const TimingSet& set = timing();
        gSpeed = ClampSpeed(gSpeed + m_missCount / set.missDivisor - 1, kMinSpeedAfterWord);
        m_missCount = 0;
        result = KeyResult::WordDone;
    }
    m_screen.nextLetter = gWordRomaji[m_screen.stage][gWordNo].mid(gCharPos, 1);
    return result;
}

bool GameCourse::nextWord() {
    if (m_screen.stage == kLastStage && gWordNo >= m_wordCount - 1) {
        return false; // the last word of the game scores nothing
    }
    // Each stage plays slots 1 to m_wordCount - 1; the last drawn slot never.
    if (gWordNo + 1 == m_wordCount) {
        ++m_screen.stage;
        gWordNo = 1;
        gSpeed = ClampSpeed(gSpeed + timing().stageChange[m_screen.stage],
                            std::numeric_limits<std::int16_t>::min());
    } else if (gWordNo + 1 < m_wordCount) {
        ++gWordNo;
    }
    showWord();
    // A word earns at most 5 × 5080 points (level 5, at the death line), so
    // even the 45 words of a game stay far from the 32-bit limit.
    m_screen.score += WordPoints(m_screen.scoreLevel, m_screen.wordTop);
    m_screen.wordTop = kWordStartTop;
    m_screen.typed.clear();
    return true;
}

void GameCourse::showWord() {
    const int stage = m_screen.stage;
    // Masking works on a copy so that the drawn word itself stays readable.
    QString text = gWordText[stage][gWordNo];
    m_screen.target = MaskWord(text);
    m_screen.targetRomaji = gWordRomaji[stage][gWordNo];
    if (gWordNo < m_wordCount - 1) {
        m_screen.nextTarget = gWordText[stage][gWordNo + 1];
    } else if (stage == kLastStage) {
        m_screen.nextTarget.clear();
    } else {
        m_screen.nextTarget = gWordText[stage + 1][1];
    }
}

KeyResult GameCourse::winGame(qint64 ms) {
    setCountTimer(false);
    setGameTimer(false);
    gPlaying = false;
    finishRecording(GameResult::Won, ms);
    m_wonPending = true;
    if (!FindRankPosition(m_screen.score, gNewRankPos)) {
        return KeyResult::Won;
    }
    gNewRankScore = m_screen.score;
    gNameMode = QStringLiteral("Clear");
    return KeyResult::WonRanked;
}

void GameCourse::finishWonGame() {
    m_wonPending = false;
    handOverRecord();
    refreshHighScore();
    end();
}

void GameCourse::recordWordShown(qint64 ms) {
    const int stage = m_screen.stage;
    m_recording.showWord(gWordText[stage][gWordNo], gWordCodes[stage][gWordNo],
                         m_screen.targetRomaji, ms);
}

void GameCourse::finishRecording(GameResult result, qint64 ms) {
    m_recording.finish(result, m_screen.stage, m_screen.score, ms);
    if (const GameRecord* game = m_recording.finished(); game && !m_hasResult) {
        m_lastGame = *game;
        m_lastGame.kana = CompletedKana(m_lastGame);
        m_hasResult = true;
    }
}

void GameCourse::handOverRecord() {
    if (std::optional<GameRecord> game = m_recording.take(); game && m_recorder)
        m_recorder(*game);
}

void GameCourse::setCountTimer(bool on) {
    m_screen.countTimer = {on, timing().tickPeriod};
}

void GameCourse::setGameTimer(bool on) {
    m_screen.gameTimer = {on, timing().tickPeriod};
}

void GameCourse::refreshHighScore() {
    m_screen.highScore = gRankScore[0];
}
