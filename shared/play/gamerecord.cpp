#include "play/gamerecord.h"

#include "kana/kanacode.h"
#include "wordlists/wordlimits.h"

#include <cstdlib>

namespace {

constexpr int kSmallTsu = 108;

} // namespace

QString ResultName(GameResult result) {
    switch (result) {
    case GameResult::Won:
        return QStringLiteral("won");
    case GameResult::Lost:
        return QStringLiteral("lost");
    case GameResult::Ended:
        break;
    }
    return QStringLiteral("ended");
}

std::optional<GameResult> ResultFromName(const QString& name) {
    for (const GameResult result : {GameResult::Won, GameResult::Lost, GameResult::Ended}) {
        if (ResultName(result) == name)
            return result;
    }
    return std::nullopt;
}

double Kpm(qint64 count, double seconds) {
    return seconds > 0 ? double(count) * 60.0 / seconds : 0.0;
}

double Accuracy(qint64 keys, qint64 misses) {
    const qint64 pressed = keys + misses;
    return pressed > 0 ? double(keys) / double(pressed) : 1.0;
}

int CompletedKana(const GameRecord& game) {
    int completed = 0;
    for (const WordRecord& word : game.wordList) {
        for (const KanaRecord& kana : word.kana)
            completed += kana.ms ? 1 : 0;
    }
    return completed;
}

QString StartedText(const QDateTime& started) {
    const int offset = started.offsetFromUtc();
    const int minutes = std::abs(offset) / 60;
    return started.toOffsetFromUtc(offset).toString(QStringLiteral("yyyy-MM-dd'T'HH:mm:ss")) +
           (offset < 0 ? u'-' : u'+') +
           QStringLiteral("%1:%2")
               .arg(minutes / 60, 2, 10, QLatin1Char('0'))
               .arg(minutes % 60, 2, 10, QLatin1Char('0'));
}

QStringList KanaUnits(const QString& codes) {
    if (gKana[1].isEmpty())
        BuildKanaTable();
    QStringList units;
    QString pendingTsu; // small っ waiting for the kana they double
    for (qsizetype i = 0; i + 3 <= codes.size(); i += 3) {
        // Three digits, as the romaji reads them: " 12" or "+12" name no kana.
        int code = 0;
        for (qsizetype j = i; j < i + 3 && code >= 0; ++j) {
            const char16_t c = codes[j].unicode();
            code = c >= u'0' && c <= u'9' ? code * 10 + (c - u'0') : -1;
        }
        if (code < 1 || code > kLastKanaCode)
            continue;
        if (code == kSmallTsu) {
            pendingTsu += gKana[code];
            continue;
        }
        units.append(pendingTsu.isEmpty() ? gKana[code] : pendingTsu + gKana[code]);
        pendingTsu.clear();
    }
    if (!pendingTsu.isEmpty())
        units.append(pendingTsu);
    return units;
}
