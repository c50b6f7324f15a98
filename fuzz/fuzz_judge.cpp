// The judge: any key sequence against any target keeps the typed text the
// beginning of the target, and a miss never changes the target.

#include "fuzzsupport.h"
#include "judge.h"
#include "kana/romaji.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const bool tableReady = [] {
        BuildRomajiTable();
        ApplyKeyConfig();
        return true;
    }();
    (void)tableReady;
    if (size < 1)
        return 0;

    // First byte: how many of the following bytes form the target (upper-case
    // letters and "-", as the romaji table yields); the rest are keys.
    const std::size_t targetLength = data[0] % 24;
    if (size < 1 + targetLength)
        return 0;
    static constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ-";
    QString target;
    for (std::size_t i = 0; i < targetLength; ++i)
        target += QChar(kAlphabet[data[1 + i] % (sizeof kAlphabet - 1)]);

    QString typed;
    gCharPos = 0;
    for (std::size_t i = 1 + targetLength; i + 1 < size && !target.isEmpty(); i += 2) {
        const auto key = static_cast<char16_t>(data[i] | (data[i + 1] << 8));
        const QString before = target;
        if (JudgeKey(key, target, gCharPos)) {
            AppendTyped(typed, UpperKey(key));
            FUZZ_CHECK(target.startsWith(typed));
            if (IsWordTyped(typed, target)) {
                FUZZ_CHECK(typed == target && gCharPos == 0);
                break;
            }
        } else {
            FUZZ_CHECK(target == before);
        }
        FUZZ_CHECK(typed.size() == gCharPos && target.startsWith(typed));
    }
    return 0;
}
