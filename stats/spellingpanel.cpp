#include "spellingpanel.h"

#include "figuretext.h"
#include "history/spellingcompare.h"
#include "pageparts.h"

#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// "設定で「NN」を選ぶ" for the group of the kana itself, "設定で ち の「CHI」を選ぶ"
// for another.
QString SettingText(const QString& kana, const QString& setting, const QString& option) {
    return setting == kana ? QStringLiteral("設定で「%1」を選ぶ").arg(option)
                           : QStringLiteral("設定で %1 の「%2」を選ぶ").arg(setting, option);
}

QString VerdictText(const SpellingVerdict& verdict) {
    const SpellingFigures& better = verdict.better;
    const SpellingFigures& worse = verdict.worse;
    QString text;
    if (verdict.kind == SpellingVerdict::Kind::Faster) {
        text = QStringLiteral("%1 は %2 のほうが %3 より速く打てています（1打 %4 対 %5）。")
                   .arg(better.kana, better.spelling, worse.spelling,
                        MillisecondsText(better.msPerKey().value_or(0)),
                        MillisecondsText(worse.msPerKey().value_or(0)));
    } else {
        text =
            QStringLiteral("%1 は %2 のほうが %3 よりミスが少なくなっています（ミス率 %4 対 %5）。")
                .arg(better.kana, better.spelling, worse.spelling, PercentText(better.missRate()),
                     PercentText(worse.missRate()));
    }
    if (!verdict.option.setting.isEmpty())
        text += SettingText(QString(), verdict.option.setting, verdict.option.option) +
                QStringLiteral("と、画面のつづりがこれにそろいます。");
    return text;
}

} // namespace

QString HabitText(const HabitFigures& habit) {
    const QString seen = QStringLiteral("%1 を %2 と打つ癖があります（%3回）。")
                             .arg(habit.kana, habit.typed)
                             .arg(habit.seen);
    if (habit.setting.isEmpty())
        return seen +
               QStringLiteral("このゲームでは っ は次の子音を重ねて打ちます（っか は KKA）。");
    return seen + SettingText(habit.kana, habit.setting, habit.option) +
           QStringLiteral("とミスになりません。");
}

SpellingPanel::SpellingPanel(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("pnlSpellings"));
    m_habits = new QLabel(this);
    m_habits->setObjectName(QStringLiteral("lblHabits"));
    m_habits->setWordWrap(true);
    m_spellings =
        NewFigureTable(this, QStringLiteral("tblSpellings"),
                       {QStringLiteral("かな"), QStringLiteral("つづり"), QStringLiteral("回数"),
                        QStringLiteral("ミス率"), QStringLiteral("1打の時間")});
    m_verdicts = new QLabel(this);
    m_verdicts->setObjectName(QStringLiteral("lblSpellingVerdicts"));
    m_verdicts->setWordWrap(true);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(NewHeading(this, QStringLiteral("lblSpellingsHeading"),
                                 QStringLiteral("つづりと癖"), m_spellings));
    layout->addWidget(m_habits);
    layout->addWidget(m_spellings, 1);
    layout->addWidget(m_verdicts);
}

void SpellingPanel::showOverview(const HistoryOverview& overview) {
    if (overview.spellingsLater) {
        m_habits->setText(QStringLiteral(
            "遅いかな、つづりごとの成績と癖は、次にゲームを記録したときから表示されます。"));
        FillFigureTable(m_spellings, {});
        m_verdicts->clear();
        return;
    }
    QStringList habits;
    for (const HabitFigures& habit : overview.habits)
        habits.append(HabitText(habit));
    m_habits->setText(habits.isEmpty()
                          ? QStringLiteral("設定で直せるつづりの癖は見つかっていません。")
                          : habits.join(QLatin1Char('\n')));
    QList<QStringList> rows;
    for (const SpellingFigures& spelling : overview.spellings) {
        if (!HasAlternativeSpellings(spelling.kana))
            continue;
        const std::optional<double> perKey = spelling.msPerKey();
        rows.append({spelling.kana, spelling.spelling, QString::number(spelling.attempts),
                     PercentText(spelling.missRate()),
                     perKey ? MillisecondsText(*perKey) : QStringLiteral("—")});
    }
    FillFigureTable(m_spellings, rows);
    QStringList verdicts;
    for (const SpellingVerdict& verdict : CompareSpellings(overview.spellings))
        verdicts.append(VerdictText(verdict));
    m_verdicts->setText(
        verdicts.isEmpty()
            ? QStringLiteral("どのつづりも、はっきり速い・正確と言えるほどの差はまだありません"
                             "（それぞれ %1 回以上使うと比べます）。")
                  .arg(kSpellingEvidence)
            : verdicts.join(QLatin1Char('\n')));
}
