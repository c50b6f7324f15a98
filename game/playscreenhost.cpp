#include "playscreenhost.h"

#include "platform/platform.h"
#include "play/drawing.h"
#include "wordlists/classcount.h"
#include "wordlists/wordfile.h"

#include <algorithm>

bool PlayScreenHost::loadWords(const CountsCheck& enough) {
    // The working files stay the game's list from the check to the last word
    // read, whatever the editor does meanwhile.
    const WordListUnit unit;
    if (!RepairWorkFiles())
        return false;
    // Bringing the list in has set the counts as the list is now.
    std::array<int, kLevels> counts{};
    std::copy(gClassCount.begin() + 1, gClassCount.end(), counts.begin());
    if (!enough(counts))
        return false;
    DrawWords();
    if (!LoadDrawnWords())
        return false;
    ShuffleDrawnWords();
    return true;
}

void PlayScreenHost::showProblem(const QString& text) {
    ShowMessage(text, QStringLiteral("Yubimaru"), MessageIcon::Critical);
}
