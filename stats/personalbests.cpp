#include "personalbests.h"

#include <map>

namespace {

// Keeps value as best when there is none yet or it is higher.
void Raise(std::optional<Best>& best, double value, const QDateTime& when) {
    if (!best || value > best->value)
        best = Best{value, when};
}

} // namespace

QList<PersonalBests> BestsPerList(const QList<GameSummary>& games) {
    std::map<QString, PersonalBests> byList;
    for (const GameSummary& game : games) {
        PersonalBests& bests = byList[game.list];
        bests.list = game.list;
        Raise(bests.score, game.score, game.started);
        if (!game.hasCorrectKey())
            continue;
        Raise(bests.kpm, game.kpm(), game.started);
        if (game.result == GameResult::Won)
            Raise(bests.accuracy, game.accuracy(), game.started);
    }
    QList<PersonalBests> result;
    for (const auto& entry : byList)
        result.append(entry.second);
    return result;
}
