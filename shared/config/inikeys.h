#pragma once
// The sections and keys of ymconfig.ini, each named once here.

namespace IniKey {

// [GameConfig]: the player's settings.
inline constexpr char GameConfig[] = "GameConfig";
inline constexpr char Level[] = "LEVEL";      // start level 1..5
inline constexpr char UserName[] = "NAME";    // the default player name
inline constexpr char Maniax[] = "MANIAX";    // masking: 0 off, 5..7 its degree
inline constexpr char WordCount[] = "NUMBER"; // words per stage, 6..10
inline constexpr char WordList[] = "LIST";    // the word list chosen, a name in Data/

// [KeyConfig]: the twenty spelling choices under "A" to "T".
inline constexpr char KeyConfig[] = "KeyConfig";

// [Ranking]: place 0..8 under "A" to "I", the name in "<letter>1" and the
// score in "<letter>2".
inline constexpr char Ranking[] = "Ranking";

// [MessageClass]: the words per level of the loaded list under "A" to "E".
inline constexpr char MessageClass[] = "MessageClass";

// [FileInfo]: the word list the working files hold, and their stamp.
inline constexpr char FileInfo[] = "FileInfo";
inline constexpr char ListName[] = "NAME";
inline constexpr char Stamp[] = "STAMP";

} // namespace IniKey
