#include "chartcells.h"

#include "figuretext.h"
#include "missratepalette.h"

#include <QHash>
#include <QStringList>

namespace {

// A block of the kana table: its top left corner in grid units and its rows,
// kana separated by spaces, "・" for an empty place.
struct KanaBlock {
    double x;
    double y;
    const char16_t* rows[12];
};

constexpr double kBlockGap = 0.6;

constexpr KanaBlock kKanaBlocks[] = {
    {0,
     0,
     {u"あ い う え お", u"か き く け こ", u"さ し す せ そ", u"た ち つ て と", u"な に ぬ ね の",
      u"は ひ ふ へ ほ", u"ま み む め も", u"や ・ ゆ ・ よ", u"ら り る れ ろ", u"わ ・ ・ ・ を",
      u"ん"}},
    {5 + kBlockGap,
     0,
     {u"が ぎ ぐ げ ご", u"ざ じ ず ぜ ぞ", u"だ ぢ づ で ど", u"ば び ぶ べ ぼ",
      u"ぱ ぴ ぷ ぺ ぽ"}},
    {5 + kBlockGap, 5 + kBlockGap, {u"ふぁ ふぃ ・ ふぇ ふぉ", u"ぁ ぃ ぅ ぇ ぉ", u"ー っ"}},
    {10 + 2 * kBlockGap,
     0,
     {u"きゃ きゅ きょ", u"しゃ しゅ しょ", u"ちゃ ちゅ ちょ", u"にゃ にゅ にょ", u"ひゃ ひゅ ひょ",
      u"みゃ みゅ みょ", u"りゃ りゅ りょ", u"ぎゃ ぎゅ ぎょ", u"じゃ じゅ じょ", u"ぢゃ ぢゅ ぢょ",
      u"びゃ びゅ びょ", u"ぴゃ ぴゅ ぴょ"}},
};

const QString kSmallTsu = QStringLiteral("っ");

QString KanaDetail(const KanaFigures& figures) {
    if (figures.attempts == 0)
        return QStringLiteral("%1: まだ打っていません").arg(figures.kana);
    QString text = QStringLiteral("%1: %2 回、ミス %3（%4）")
                       .arg(figures.kana)
                       .arg(figures.attempts)
                       .arg(figures.misses)
                       .arg(PercentText(figures.missRate()));
    if (const std::optional<double> mean = figures.meanMs())
        text += QStringLiteral("、平均 %1").arg(MillisecondsText(*mean));
    return text;
}

constexpr const char* kKeyRows[] = {"1234567890-", "QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
constexpr double kKeyIndent[] = {0, 0.5, 0.75, 1.25};

QString KeyDetail(const QString& key, const KeyFigures& figures) {
    const QString name = key == QLatin1String("-") ? QStringLiteral("-（ー）") : key;
    if (figures.expected == 0)
        return QStringLiteral("%1: まだ打つべきキーになっていません").arg(name);
    return QStringLiteral("%1: 打つべき所 %2 回、ミス %3（%4）")
        .arg(name)
        .arg(figures.expected)
        .arg(figures.missed)
        .arg(PercentText(figures.missRate()));
}

} // namespace

QList<ChartCell> KanaCells(const QList<KanaFigures>& kana) {
    QHash<QString, KanaFigures> byKana;
    KanaFigures tsu{kSmallTsu};
    for (const KanaFigures& figures : kana) {
        byKana.insert(figures.kana, figures);
        if (figures.kana.startsWith(kSmallTsu)) {
            tsu.attempts += figures.attempts;
            tsu.misses += figures.misses;
            tsu.missedAttempts += figures.missedAttempts;
            tsu.timed += figures.timed;
            tsu.totalMs += figures.totalMs;
        }
    }
    byKana.insert(kSmallTsu, tsu);
    QList<ChartCell> cells;
    for (const KanaBlock& block : kKanaBlocks) {
        for (int row = 0; row < 12 && block.rows[row]; ++row) {
            const QStringList places = QString::fromUtf16(block.rows[row]).split(u' ');
            for (int column = 0; column < places.size(); ++column) {
                const QString& unit = places[column];
                if (unit == QStringLiteral("・"))
                    continue;
                KanaFigures figures = byKana.value(unit);
                figures.kana = unit;
                cells.append({QRectF(block.x + column, block.y + row, 1, 1), unit,
                              MissRateColor(figures.missRate(), figures.attempts > 0),
                              KanaDetail(figures),
                              MissRateMark(figures.missRate(), figures.attempts > 0)});
            }
        }
    }
    return cells;
}

QList<ChartCell> KeyboardCells(const QList<KeyFigures>& keys) {
    QHash<QString, KeyFigures> byKey;
    for (const KeyFigures& figures : keys)
        byKey.insert(figures.key, figures);
    QList<ChartCell> cells;
    for (int row = 0; row < 4; ++row) {
        const QString letters = QString::fromLatin1(kKeyRows[row]);
        for (int column = 0; column < letters.size(); ++column) {
            const QString key = letters.mid(column, 1);
            const KeyFigures figures = byKey.value(key);
            cells.append({QRectF(kKeyIndent[row] + column, row, 1, 1), key,
                          MissRateColor(figures.missRate(), figures.expected > 0),
                          KeyDetail(key, figures),
                          MissRateMark(figures.missRate(), figures.expected > 0)});
        }
    }
    return cells;
}
