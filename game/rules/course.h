#pragma once
// The course of one game on the play screen, without any window: start and
// end, the countdown, the falling word, stages, score, fall speed, loss and
// win. The play screen forwards its button click, its two timer ticks and its
// character keys here and then shows what screen() holds; it owns no rules.

#include "gamerecorder.h"
#include "play/drawing.h"
#include "play/gamerecord.h"
#include "play/settings.h"
#include "wordlists/wordlimits.h"

#include <QDateTime>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <functional>
#include <utility>

// State of the running game, shared with the judge (gCharPos, judge.h).
extern bool gPlaying;                // the word falls and keys are judged
extern std::int16_t gSpeed;          // twips the word falls per game tick
extern std::int16_t gWordNo;         // slot of the current word, 1..gWordCount - 1
extern std::int16_t gCountdownClock; // accumulator of the countdown ticks

// Fixed positions and thresholds, in twips and countdown clock units.
constexpr int kWordStartTop = 720;
constexpr int kDeathLine = 5800;      // lost when the word's top goes past it
constexpr int kCountStepClock = 4000; // each count of "３" "２" "１" lasts until past this
constexpr int kGoEndClock = 6500;     // "ＧＯ" stays until past this
constexpr int kMinSpeedAfterWord = 3;
constexpr int kGameTimerInterval = 5; // ms, as requested from the game timer

// Intervals the two timers run at while the screen is open before the first
// start; they then only refresh the high score.
constexpr int kIdleGameTimerPeriod = 840;
constexpr int kIdleCountTimerPeriod = 240;

// The step sizes of a game were tuned for the platform timer tick, which fires
// once per tick whatever shorter interval is asked for. tickPeriod is that tick,
// the period both timers really run at during a game to keep the same pace.
struct TimingSet {
    int countTimerInterval;         // ms, as requested from the countdown timer
    int clockStep;                  // gCountdownClock increase per countdown tick
    int startSpeedPerLevel;         // fall step at the start = level × this
    std::array<int, 6> stageChange; // fall step change on entering stage 2..5
    int missDivisor;                // fall step change per word = misses ÷ this − 1
    int tickPeriod;                 // ms
};

// Platform identifier 1 (the old 55 ms timer tick).
constexpr TimingSet kCoarseTiming{5, 250, 8, {0, 0, 7, 10, -4, 6}, 2, 55};
// Every other identifier (a 10 to 16 ms timer tick); 15 ms shows each count
// of the countdown for about 1.4 s.
constexpr TimingSet kFineTiming{1, 42, 2, {0, 0, 2, 4, -2, 2}, 4, 15};

constexpr QStringView kStartCaption = u"ＳＴＡＲＴ";
constexpr QStringView kEndCaption = u"ＥＮＤ";
constexpr QStringView kCountdownMarker = u"TIME";
constexpr QStringView kDeadText = u"You Dead ";

// How lbl_Count is drawn.
enum class CountStyle {
    Countdown, // black, 72 pt, bold
    Dead,      // red (255, 0, 0), 48 pt, bold, italic
};

struct TimerState {
    bool running = true;
    int period = 0; // ms; the interval to give the screen's timer
};

// Everything the play screen shows; the screen copies it into its controls.
struct PlayScreen {
    QString target;       // lblTarget (masked)
    QString nextTarget;   // lblNextTarget
    QString targetRomaji; // lblTargetRMoji
    QString typed;        // lblTargetNyuryoku
    QString nextLetter;   // lbl_DispArpha
    QString countText;    // lbl_Count
    bool countVisible = false;
    CountStyle countStyle = CountStyle::Dead;
    bool missMark = false;                              // lbl_color opaque (red) when true
    std::int32_t score = 0;                             // lblScore
    std::int32_t highScore = 0;                         // lblHighScore
    std::int16_t stage = 1;                             // lbl_Level
    std::int16_t scoreLevel = 1;                        // lbl_Speed
    float wordTop = kWordStartTop;                      // top of lblTarget, twips
    QString caption = kStartCaption.toString();         // cmdStartEND caption
    QString countdownMarker;                            // cmdStartEND tag
    TimerState countTimer{true, kIdleCountTimerPeriod}; // TimerCount
    TimerState gameTimer{true, kIdleGameTimerPeriod};   // TimerGame
    bool resultCard = false; // the result card of GameCourse::lastGame() shown
};

// What a key did.
enum class KeyResult {
    Ignored,   // no game in play, or a key that prints nothing (a control
               // character): nothing changed, no miss counted
    Missed,    // miss mark shown, miss counted
    Accepted,  // key appended; the word goes on
    WordDone,  // the word is complete and the next word is shown
    Won,       // the last word is done; call finishWonGame()
    WonRanked, // as Won, and the score enters the ranking: gNewRankPos,
               // gNewRankScore and gNameMode are set; show the name dialog
               // modally, then call finishWonGame()
};

// Where a course takes its time from: the local date and time a game starts
// at, and a monotonic count of milliseconds for everything timed within it.
struct CourseClock {
    std::function<QDateTime()> now;
    std::function<qint64()> elapsedMs;
};
// The computer's clocks.
CourseClock SystemClock();

// What a course asks of the play screen: the words live in files and a
// refused game is said in a message box, neither of which the rules touch.
class CourseHost {
public:
    using CountsCheck = std::function<bool(const std::array<int, kLevels>& counts)>;

    virtual ~CourseHost() = default;
    // Loads the words of a new game: brings the loaded list in, hands its
    // words per level (levels 1..5) as the list is now to enough, and when
    // that agrees fills gWordText, gWordRomaji and gWordCodes with mixed
    // words drawn from it. No other program changes the list meanwhile.
    // False when no list is loaded, the list or its working files cannot be
    // read (the reason has been shown), or enough refused the counts.
    virtual bool loadWords(const CountsCheck& enough) = 0;
    // Tells the player why a game does not start.
    virtual void showProblem(const QString& text) = 0;
};

class GameCourse {
public:
    using PlatformQuery = std::function<std::int32_t()>;
    using Recorder = std::function<void(const GameRecord&)>;

    // A new course shows the cleared screen of a freshly loaded play screen.
    // host loads the words and shows the problems, and outlives the course;
    // platform tells which timing set applies (asked whenever one is needed).
    explicit GameCourse(CourseHost& host, PlatformQuery platform = GetWindowsPlatform,
                        CourseClock clock = SystemClock());

    // recorder gets the record of every game that reached "ＧＯ", once, when
    // the game is over: a won game in finishWonGame (after the name dialog),
    // any other when it is ended or left (end()); never while a game is in
    // play, so it may take its time.
    void setRecorder(Recorder recorder) { m_recorder = std::move(recorder); }

    const PlayScreen& screen() const { return m_screen; }
    // True during the countdown and play, when every key goes to keyPress.
    bool judgesKeys() const;
    std::int16_t missCount() const { return m_missCount; }
    // The game last over, for the result card: lost, ended, or won once its
    // name dialog closed; its kana counted as the history counts them. Kept
    // until the next game starts.
    const GameRecord& lastGame() const { return m_lastGame; }
    const TimingSet& timing() const;

    // cmdStartEND: starts a game under "ＳＴＡＲＴ", ends it under "ＥＮＤ".
    void clickStartEnd();
    // Back to idle: caption "ＳＴＡＲＴ", displays cleared, timers stopped.
    // Also what cmdEXIT does before the screen closes. A game in play or
    // lost is over and goes to the recorder.
    void end();

    void countdownTick();
    void gameTick();
    KeyResult keyPress(char16_t key);
    // After a won game (and the name dialog, if any): shows the new high score
    // and returns to idle.
    void finishWonGame();

private:
    void start();
    void clearScreen();
    void showWord();
    bool nextWord();
    void setCountTimer(bool on);
    void setGameTimer(bool on);
    KeyResult winGame(qint64 ms);
    void refreshHighScore();
    void recordWordShown(qint64 ms);
    void handOverRecord();
    // Ends the record of the game in play, if any, and keeps it for the card.
    void finishRecording(GameResult result, qint64 ms);

    CourseHost& m_host;
    PlatformQuery m_platform;
    CourseClock m_clock;
    Recorder m_recorder;
    GameRecorder m_recording;  // the record of the running game
    QString m_list;            // the list the running game's words were drawn from
    bool m_wonPending = false; // won, finishWonGame not yet called
    GameRecord m_lastGame;
    bool m_hasResult = false; // m_lastGame is the game started last, over
    PlayScreen m_screen;
    std::int16_t m_missCount = 0;             // misses since the current word began
    std::int16_t m_wordCount = kMaxWordCount; // gWordCount of the running game
};
