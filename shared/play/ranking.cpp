#include "play/ranking.h"

#include "config/config.h"
#include "config/inikeys.h"
#include "platform/numbers.h"

#include <optional>

std::array<QString, 10> gRankName;
std::array<std::int32_t, 10> gRankScore{};
QString gNewRankName;
std::int32_t gNewRankScore = 0;
std::int16_t gNewRankPos = 0;
QString gNameMode;

namespace {

constexpr int kPlaces = 9;

QString PlaceKey(int place, char column) {
    return QString(QChar(u'A' + place)) + QChar::fromLatin1(column);
}

bool IsDigit(QChar ch) {
    return ch >= u'0' && ch <= u'9';
}

// Strict reading of a decimal number: after trimming, the whole text must be
// an optional sign, digits with an optional fraction, and an optional
// exponent. Anything else is not a number.
std::optional<double> StrictNumber(const QString& text) {
    const QString t = text.trimmed();
    qsizetype i = 0;
    const qsizetype n = t.size();
    if (i < n && (t[i] == u'+' || t[i] == u'-'))
        ++i;
    qsizetype digits = 0;
    while (i < n && IsDigit(t[i]))
        ++i, ++digits;
    if (i < n && t[i] == u'.') {
        ++i;
        while (i < n && IsDigit(t[i]))
            ++i, ++digits;
    }
    if (digits == 0)
        return std::nullopt;
    if (i < n && (t[i] == u'e' || t[i] == u'E')) {
        ++i;
        if (i < n && (t[i] == u'+' || t[i] == u'-'))
            ++i;
        const qsizetype expStart = i;
        while (i < n && IsDigit(t[i]))
            ++i;
        if (i == expStart)
            return std::nullopt;
    }
    if (i != n)
        return std::nullopt;
    // The text is valid, so a conversion that reports failure only over- or
    // underflowed: it then gives infinity (clamped by the rounding) or 0.
    return t.toDouble();
}

// A score as stored: a number rounds to the nearest integer (halves to even)
// and clamps to 32 bits; a missing key or text that is no number is 0.
std::int32_t ScoreFromText(const QString& text) {
    const std::optional<double> value = StrictNumber(text);
    return value ? RoundToInt32(*value) : 0;
}

} // namespace

void ReadRanking() {
    for (int p = 0; p < kPlaces; ++p)
        ReadProfile(IniKey::Ranking, PlaceKey(p, '1'), QStringLiteral("Guest"), gRankName[p]);
    for (int p = 0; p < kPlaces; ++p) {
        QString text;
        ReadProfile(IniKey::Ranking, PlaceKey(p, '2'), QStringLiteral("Guest"), text);
        gRankScore[p] = ScoreFromText(text);
    }
}

void WriteRanking() {
    // All places go into the file in one replacement. A value that cannot be
    // stored takes its fallback (WriteProfile reports it) and keeps none of
    // the others from the file.
    ProfileTransaction ranking;
    for (int p = 0; p < kPlaces; ++p)
        WriteProfile(IniKey::Ranking, PlaceKey(p, '1'), QStringLiteral("Guest"), gRankName[p]);
    for (int p = 0; p < kPlaces; ++p)
        WriteProfile(IniKey::Ranking, PlaceKey(p, '2'), QStringLiteral("Guest"),
                     QString::number(gRankScore[p]));
    ranking.commit();
}

bool FindRankPosition(std::int32_t score, std::int16_t& place) {
    if (score <= gRankScore[kPlaces - 1])
        return false;
    // Place 8 is below the score, so the search stops at 8 at the latest.
    int p = 0;
    while (gRankScore[p] >= score)
        ++p;
    place = static_cast<std::int16_t>(p);
    return true;
}

bool InsertRanking(std::int16_t place, const QString& name, std::int32_t score) {
    if (place < 0 || place >= kPlaces)
        return false;
    // Inserted into the table as the file holds it now, under the lock:
    // another game may have entered a score since this one read the table,
    // and writing the old table would drop it.
    ProfileTransaction ranking;
    if (ranking.error().isEmpty()) {
        const auto names = gRankName;
        const auto scores = gRankScore;
        ReadRanking();
        // Only a table changed meanwhile moves the place the player was shown.
        if ((gRankName != names || gRankScore != scores) && !FindRankPosition(score, place))
            return true; // nine better scores came in meanwhile
    }
    for (int p = kPlaces - 1; p > place; --p) {
        gRankName[p] = gRankName[p - 1];
        gRankScore[p] = gRankScore[p - 1];
    }
    gRankName[place] = name;
    gRankScore[place] = score;
    WriteRanking();
    return true;
}
