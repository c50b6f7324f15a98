#include "lastgamepanel.h"

#include "figuretext.h"

#include <QGridLayout>
#include <QLabel>

#include <cmath>
#include <optional>

namespace {

enum class Kind { Score, Kpm, KanaPerMinute, Accuracy, Misses, Reaction };

// One figure of the table: how it is named and which way is better.
struct Figure {
    Kind kind;
    const char* name; // the objectName part: lblLast<name>, lblAverage<name>, lblChange<name>
    const char16_t* caption;
    bool higherIsBetter;
};

constexpr Figure kFigures[] = {
    {Kind::Score, "Score", u"スコア", true},
    {Kind::Kpm, "Kpm", u"打鍵速度（kpm）", true},
    {Kind::KanaPerMinute, "KanaPerMinute", u"かな速度（かな/分）", true},
    {Kind::Accuracy, "Accuracy", u"正確さ", true},
    {Kind::Misses, "Misses", u"ミス", false},
    {Kind::Reaction, "Reaction", u"平均反応時間", false},
};

std::optional<double> ValueOf(Kind kind, const HeadlineFigures& figures) {
    switch (kind) {
    case Kind::Score:
        return figures.score;
    case Kind::Kpm:
        return figures.kpm;
    case Kind::KanaPerMinute:
        return figures.kanaPerMinute;
    case Kind::Accuracy:
        return figures.accuracy;
    case Kind::Misses:
        return figures.misses;
    case Kind::Reaction:
        break;
    }
    return figures.reactionMs;
}

QString ValueText(Kind kind, double value) {
    switch (kind) {
    case Kind::Score:
        return QString::number(value, 'f', 0);
    case Kind::Kpm:
    case Kind::KanaPerMinute:
        return KpmText(value);
    case Kind::Accuracy:
        return PercentText(value);
    case Kind::Misses:
        return QString::number(value, 'f', value == std::floor(value) ? 0 : 1);
    case Kind::Reaction:
        break;
    }
    return MillisecondsText(value);
}

QString ChangeText(Kind kind, double change) {
    const QString sign = change > 0   ? QStringLiteral("+")
                         : change < 0 ? QStringLiteral("−")
                                      : QString();
    const double size = std::abs(change);
    if (kind == Kind::Accuracy)
        return sign + QString::number(size * 100, 'f', 1) + QStringLiteral(" ポイント");
    if (kind == Kind::Misses)
        return sign + QString::number(size, 'f', 1);
    return sign + ValueText(kind, size);
}

QString ResultText(GameResult result) {
    switch (result) {
    case GameResult::Won:
        return QStringLiteral("クリア");
    case GameResult::Lost:
        return QStringLiteral("ゲームオーバー");
    case GameResult::Ended:
        break;
    }
    return QStringLiteral("途中で終了");
}

// A figure can be selected and copied, and so takes the focus, only while it
// shows one: an empty label would be a stop a screen reader has no name for.
void ShowText(QLabel* label, const QString& text) {
    label->setText(text);
    label->setTextInteractionFlags(text.isEmpty() ? Qt::NoTextInteraction
                                                  : Qt::TextSelectableByMouse);
}

QLabel* NewLabel(QWidget* parent, const QString& name, Qt::Alignment alignment,
                 const QString& text = QString()) {
    auto* label = new QLabel(parent);
    label->setObjectName(name);
    label->setAlignment(alignment | Qt::AlignVCenter);
    label->setMargin(2); // the ink of a figure may pass its advance by a pixel
    ShowText(label, text);
    return label;
}

} // namespace

LastGamePanel::LastGamePanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlLastGame"));
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(0, 0, 0, 0);
    grid->setHorizontalSpacing(24);
    m_heading = NewLabel(this, QStringLiteral("lblLastGame"), Qt::AlignLeft);
    QFont bold = font();
    bold.setBold(true);
    m_heading->setFont(bold);
    grid->addWidget(m_heading, 0, 0, 1, 4);
    grid->addWidget(
        NewLabel(this, QStringLiteral("lblLastHeading"), Qt::AlignRight, QStringLiteral("今回")), 1,
        1);
    m_averageHeading = NewLabel(this, QStringLiteral("lblAverageHeading"), Qt::AlignRight);
    grid->addWidget(m_averageHeading, 1, 2);
    grid->addWidget(
        NewLabel(this, QStringLiteral("lblChangeHeading"), Qt::AlignRight, QStringLiteral("差")), 1,
        3);
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Figure& figure = kFigures[i];
        const QString name = QString::fromLatin1(figure.name);
        const int row = int(i) + 2;
        grid->addWidget(NewLabel(this, QStringLiteral("lblName") + name, Qt::AlignLeft,
                                 QString::fromUtf16(figure.caption)),
                        row, 0);
        m_rows[i] = {NewLabel(this, QStringLiteral("lblLast") + name, Qt::AlignRight),
                     NewLabel(this, QStringLiteral("lblAverage") + name, Qt::AlignRight),
                     NewLabel(this, QStringLiteral("lblChange") + name, Qt::AlignRight)};
        grid->addWidget(m_rows[i].last, row, 1);
        grid->addWidget(m_rows[i].average, row, 2);
        grid->addWidget(m_rows[i].change, row, 3);
    }
    m_note = NewLabel(this, QStringLiteral("lblLastGameNote"), Qt::AlignLeft);
    grid->addWidget(m_note, int(m_rows.size()) + 2, 0, 1, 4);
    grid->setColumnStretch(4, 1);
}

void LastGamePanel::showComparison(const LastGameComparison& comparison) {
    const GameSummary& game = comparison.game;
    ShowText(m_heading, QStringLiteral("最後のゲーム: %1　%2　レベル%3から　ステージ%4　%5")
                            .arg(game.started.toString(QStringLiteral("yyyy-MM-dd HH:mm")),
                                 game.list.endsWith(QLatin1String(".dat"), Qt::CaseInsensitive)
                                     ? game.list.chopped(4)
                                     : game.list)
                            .arg(game.level)
                            .arg(game.stage)
                            .arg(ResultText(game.result)));
    ShowText(m_averageHeading,
             comparison.previousGames > 0
                 ? QStringLiteral("前の%1ゲームの平均").arg(comparison.previousGames)
                 : QStringLiteral("前のゲームの平均"));
    // Without a correct key the game has no speed or accuracy, and nothing
    // of it is set against the average.
    const bool comparable = game.hasCorrectKey();
    ShowText(m_note, comparable
                         ? QString()
                         : QStringLiteral("正しく打ったキーがないため、平均とは比べません。"));
    m_note->setVisible(!comparable);
    const QString none = QStringLiteral("—");
    for (std::size_t i = 0; i < m_rows.size(); ++i) {
        const Figure& figure = kFigures[i];
        const Row& row = m_rows[i];
        const bool needsKeys = figure.kind == Kind::Kpm || figure.kind == Kind::KanaPerMinute ||
                               figure.kind == Kind::Accuracy;
        std::optional<double> last;
        if (comparable || !needsKeys)
            last = ValueOf(figure.kind, comparison.last);
        std::optional<double> average;
        if (comparison.previousGames > 0)
            average = ValueOf(figure.kind, comparison.previous);
        ShowText(row.last, last ? ValueText(figure.kind, *last) : none);
        ShowText(row.average, average ? ValueText(figure.kind, *average) : none);
        QPalette palette = row.change->palette();
        palette.setColor(QPalette::WindowText, this->palette().color(QPalette::WindowText));
        if (comparable && last && average) {
            const double change = *last - *average;
            ShowText(row.change, ChangeText(figure.kind, change));
            if (std::abs(change) > 1e-9)
                palette.setColor(QPalette::WindowText, (change > 0) == figure.higherIsBetter
                                                           ? QColor(0, 120, 40)
                                                           : QColor(190, 30, 30));
        } else {
            ShowText(row.change, none);
        }
        row.change->setPalette(palette);
    }
}
