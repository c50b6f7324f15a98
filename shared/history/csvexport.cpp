#include "history/csvexport.h"

#include "history/historyqueries.h"

#include <QStringList>

namespace {

// A field as RFC 4180 writes it: quoted, with quotes doubled, when it holds a
// comma, a quote or a line break.
QString Field(const QString& text) {
    if (!text.contains(QLatin1Char(',')) && !text.contains(QLatin1Char('"')) &&
        !text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')))
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

QString Fixed(double value, int decimals) {
    return QString::number(value, 'f', decimals);
}

QByteArray Line(const QStringList& row) {
    QStringList fields;
    fields.reserve(row.size());
    for (const QString& text : row)
        fields.append(Field(text));
    return fields.join(QLatin1Char(',')).toUtf8() + "\r\n";
}

// What is handed to the sink at once: large enough that each write is cheap,
// small beside the memory the program may use.
constexpr qsizetype kPieceBytes = qsizetype(64) * 1024;

} // namespace

bool WriteGamesCsv(HistoryDb& db, const ByteSink& write, qint64* rows, QString* error) {
    *rows = 0;
    QByteArray piece =
        Line({"started", "list", "level", "words_per_stage", "result", "stage", "score", "words",
              "keys", "misses", "seconds", "kpm", "accuracy", "kana_per_minute"});
    piece.reserve(kPieceBytes + 1024);
    bool refused = false;
    const bool read = VisitGames(
        db,
        [&](const GameSummary& game) {
            // Without a correct key a game has no speed or accuracy to give.
            const bool rated = game.hasCorrectKey();
            const std::optional<double> kanaPerMinute = game.kanaPerMinute();
            piece += Line({StartedText(game.started), game.list, QString::number(game.level),
                           QString::number(game.wordsPerStage), ResultName(game.result),
                           QString::number(game.stage), QString::number(game.score),
                           QString::number(game.words), QString::number(game.keys),
                           QString::number(game.misses), Fixed(game.seconds, 3),
                           rated ? Fixed(game.kpm(), 1) : QString(),
                           rated ? Fixed(game.accuracy(), 4) : QString(),
                           rated && kanaPerMinute ? Fixed(*kanaPerMinute, 1) : QString()});
            ++*rows;
            if (piece.size() < kPieceBytes)
                return true;
            refused = !write(piece);
            piece.clear();
            return !refused;
        },
        error);
    return read && !refused && write(piece);
}

QByteArray KanaCsv(const QList<KanaFigures>& kana) {
    QByteArray out =
        Line({"kana", "attempts", "misses", "miss_rate", "mean_ms", "missed_attempts"});
    for (const KanaFigures& figures : kana) {
        const std::optional<double> mean = figures.meanMs();
        out += Line({figures.kana, QString::number(figures.attempts),
                     QString::number(figures.misses), Fixed(figures.missRate(), 4),
                     mean ? Fixed(*mean, 1) : QString(), QString::number(figures.missedAttempts)});
    }
    return out;
}
