#include "resultcard.h"

#include "statsprogram.h"
#include "ui/twips.h"
#include "ui/uicommon.h"

#include <QGridLayout>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <utility>

namespace {

// Across the middle of the play area, under "You Dead "; raised over it
// rather than over the word that fell when many long words cost misses.
constexpr int kLeft = 2760;
constexpr int kTop = 3540;
constexpr int kWidth = 5760;
// A loss this early is a fall too fast for the player.
constexpr int kLastEarlyStage = 2;
constexpr int kMissedWordsShown = 5;
constexpr QStringView kNoFigure = u"－";

// The words that cost misses, most first, at most five, each once with all
// its misses; words with as many keep the order they were shown in.
QString MissedWords(const GameRecord& game) {
    QList<std::pair<QString, int>> words;
    for (const WordRecord& word : game.wordList) {
        int misses = 0;
        for (const KanaRecord& kana : word.kana)
            misses += int(kana.misses.size());
        if (misses == 0)
            continue;
        const auto same = std::find_if(words.begin(), words.end(), [&word](const auto& seen) {
            return seen.first == word.text;
        });
        if (same != words.end())
            same->second += misses;
        else
            words.append({word.text, misses});
    }
    if (words.isEmpty())
        return QStringLiteral("ミスした単語：なし");
    std::stable_sort(words.begin(), words.end(),
                     [](const auto& a, const auto& b) { return a.second > b.second; });
    QStringList shown;
    for (qsizetype i = 0; i < std::min<qsizetype>(words.size(), kMissedWordsShown); ++i)
        shown << QStringLiteral("%1（%2回）").arg(words[i].first).arg(words[i].second);
    return QStringLiteral("ミスした単語：") + shown.join(QStringLiteral("、"));
}

QString Title(const GameRecord& game) {
    switch (game.result) {
    case GameResult::Won:
        return QStringLiteral("結果：クリア");
    case GameResult::Lost:
        return QStringLiteral("結果：ステージ%1で単語が落ちました").arg(game.stage);
    case GameResult::Ended:
        break;
    }
    return QStringLiteral("結果：ステージ%1で終了").arg(game.stage);
}

} // namespace

ResultCard::ResultCard(QWidget* parent) : QFrame(parent) {
    setObjectName("ResultCard");
    setFrameShape(QFrame::Box);
    setLineWidth(2);
    SetBackgroundColor(this, Qt::white);
    setFocusPolicy(Qt::NoFocus);
    setAccessibleName(QStringLiteral("ゲームの結果"));
    const QFont font = WindowsFont("MS UI Gothic", 9.75);
    setFont(font);

    // Six columns: three figures a row, each its caption and its value.
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(8, 4, 8, 4);
    grid->setHorizontalSpacing(6);
    grid->setVerticalSpacing(1);
    const auto label = [this](const QString& name, const QString& text = QString()) {
        auto* created = new QLabel(text, this);
        created->setObjectName(name);
        SetTextColor(created, Qt::black);
        return created;
    };
    const auto wide = [&](const QString& name, int row, int columns = 6) {
        QLabel* created = label(name);
        created->setWordWrap(true);
        grid->addWidget(created, row, 6 - columns, 1, columns);
        return created;
    };
    const auto figure = [&](const QString& caption, const QString& name, int row, int column) {
        grid->addWidget(label(QString(), caption), row, column);
        QLabel* value = label(name);
        grid->addWidget(value, row, column + 1);
        return value;
    };

    lblResultTitle = wide(QStringLiteral("lblResultTitle"), 0);
    lblResultTitle->setFont(WindowsFont("MS UI Gothic", 11.25, true));
    // The captions and units of the statistics window.
    lblResultScore = figure(QStringLiteral("スコア"), QStringLiteral("lblResultScore"), 1, 0);
    lblResultAccuracy = figure(QStringLiteral("正確さ"), QStringLiteral("lblResultAccuracy"), 1, 2);
    lblResultMisses = figure(QStringLiteral("ミス"), QStringLiteral("lblResultMisses"), 1, 4);
    lblResultKpm = figure(QStringLiteral("打鍵速度"), QStringLiteral("lblResultKpm"), 2, 0);
    lblResultKanaPerMinute =
        figure(QStringLiteral("かな速度"), QStringLiteral("lblResultKanaPerMinute"), 2, 2);
    lblResultWords = wide(QStringLiteral("lblResultWords"), 3);
    lblResultAdvice = wide(QStringLiteral("lblResultAdvice"), 4);
    lblResultAdvice->setText(QStringLiteral("速すぎたら、CONFIG → LEVEL を下げると遅くなります。"));

    // Off the tab chain, so that focus and Return stay with START.
    cmdSeiseki = new QPushButton(QStringLiteral("Alt+S：成績（Seiseki）"), this);
    cmdSeiseki->setObjectName("cmdSeiseki");
    cmdSeiseki->setFont(font);
    cmdSeiseki->setFocusPolicy(Qt::NoFocus);
    // Its caption fits from the start, so the window's fitting keeps its font.
    cmdSeiseki->resize(cmdSeiseki->sizeHint());
    AddButtonShortcut(cmdSeiseki, QKeySequence(Qt::ALT | Qt::Key_S));
    connect(cmdSeiseki, &QPushButton::clicked, this, &ResultCard::cmdSeiseki_Click);
    grid->addWidget(cmdSeiseki, 5, 0, 1, 2);
    lblSeisekiMissing = wide(QStringLiteral("lblSeisekiMissing"), 5, 4);
    lblSeisekiMissing->setText(QStringLiteral("Seiseki が見つかりません。"));
    for (const int value : {1, 3, 5})
        grid->setColumnStretch(value, 1);

    setFixedWidth(TwipsToPixels(kWidth));
    move(TwipsToPixels(kLeft), TwipsToPixels(kTop));
    hide();
}

void ResultCard::showGame(const GameRecord& game, int lowest) {
    lblResultTitle->setText(Title(game));
    lblResultScore->setText(QStringLiteral("%1 点").arg(game.score));
    lblResultMisses->setText(QStringLiteral("%1 回").arg(game.misses));
    // A game without a correct key has no speed or accuracy to speak of.
    const bool typed = game.hasCorrectKey();
    lblResultKpm->setText(typed ? QString::number(game.kpm(), 'f', 1) + QStringLiteral(" kpm")
                                : kNoFigure.toString());
    lblResultKanaPerMinute->setText(
        typed
            ? QString::number(game.kanaPerMinute().value_or(0), 'f', 1) + QStringLiteral(" かな/分")
            : kNoFigure.toString());
    lblResultAccuracy->setText(typed ? QString::number(game.accuracy() * 100, 'f', 1) +
                                           QLatin1Char('%')
                                     : kNoFigure.toString());
    lblResultWords->setText(MissedWords(game));
    lblResultAdvice->setVisible(game.result == GameResult::Lost && game.stage <= kLastEarlyStage);
    lblSeisekiMissing->hide();
    describe();
    adjustSize();
    move(x(), std::max(0, std::min(TwipsToPixels(kTop), lowest - height())));
    show();
}

void ResultCard::cmdSeiseki_Click() {
    lblSeisekiMissing->setVisible(!StartStatisticsProgram());
    describe();
}

void ResultCard::describe() {
    QStringList lines{
        lblResultTitle->text(),
        QStringLiteral("スコア %1、正確さ %2、ミス %3")
            .arg(lblResultScore->text(), lblResultAccuracy->text(), lblResultMisses->text()),
        QStringLiteral("打鍵速度 %1、かな速度 %2")
            .arg(lblResultKpm->text(), lblResultKanaPerMinute->text()),
        lblResultWords->text(),
    };
    if (lblResultAdvice->isVisibleTo(this))
        lines << lblResultAdvice->text();
    lines << cmdSeiseki->text();
    if (lblSeisekiMissing->isVisibleTo(this))
        lines << lblSeisekiMissing->text();
    setAccessibleDescription(lines.join(QLatin1Char('\n')));
    adjustSize();
}
