#include "playscreenhost.h"

#include "platform/platform.h"
#include "play/drawing.h"
#include "wordlists/wordfile.h"

bool PlayScreenHost::loadWords() {
    // The working files stay the game's list from the check to the last word
    // read, whatever the editor does meanwhile.
    const WordListUnit unit;
    if (!RepairWorkFiles())
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
