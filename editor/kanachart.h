#pragma once
// The kana keyboard's chart: three blocks of ten rows and five columns, laid
// out like a kana chart, each place a kana button or empty; and where the
// arrow keys go on it.

#include <array>
#include <optional>

// One place of the kana chart: the button's number and the kana code it adds
// (both 0 for an empty place).
struct KanaKey {
    int button;
    int code;
};

inline constexpr int kChartRows = 10;
inline constexpr int kBlockColumns = 5;

using ChartBlock = std::array<std::array<KanaKey, kBlockColumns>, kChartRows>;

// Plain kana.
inline constexpr ChartBlock kPlainBlock{{
    {{{1, 1}, {4, 2}, {3, 3}, {2, 4}, {5, 5}}},
    {{{6, 6}, {9, 7}, {8, 8}, {7, 9}, {10, 10}}},
    {{{11, 11}, {14, 12}, {13, 13}, {12, 14}, {15, 15}}},
    {{{16, 16}, {19, 17}, {18, 18}, {17, 19}, {20, 20}}},
    {{{21, 21}, {24, 22}, {23, 23}, {22, 24}, {25, 25}}},
    {{{26, 26}, {29, 27}, {28, 28}, {27, 29}, {30, 30}}},
    {{{31, 31}, {34, 32}, {33, 33}, {32, 34}, {35, 35}}},
    {{{36, 36}, {0, 0}, {38, 37}, {0, 0}, {40, 38}}},
    {{{41, 39}, {44, 40}, {43, 41}, {42, 42}, {45, 43}}},
    {{{46, 44}, {0, 0}, {48, 45}, {0, 0}, {50, 46}}},
}};

// Voiced kana and their contracted sounds.
inline constexpr ChartBlock kVoicedBlock{{
    {{{37, 47}, {49, 48}, {47, 49}, {39, 50}, {51, 51}}},
    {{{52, 52}, {55, 53}, {54, 54}, {53, 55}, {56, 56}}},
    {{{57, 57}, {60, 58}, {59, 59}, {58, 60}, {61, 61}}},
    {{{62, 62}, {65, 63}, {64, 64}, {63, 65}, {66, 66}}},
    {{{103, 67}, {106, 68}, {105, 69}, {104, 70}, {107, 71}}},
    {{{88, 93}, {0, 0}, {89, 94}, {0, 0}, {90, 95}}},
    {{{91, 96}, {0, 0}, {92, 97}, {0, 0}, {93, 98}}},
    {{{94, 99}, {0, 0}, {95, 100}, {0, 0}, {96, 101}}},
    {{{97, 102}, {0, 0}, {98, 103}, {0, 0}, {99, 104}}},
    {{{100, 105}, {0, 0}, {101, 106}, {0, 0}, {102, 107}}},
}};

// Contracted sounds and small kana.
inline constexpr ChartBlock kSmallBlock{{
    {{{67, 72}, {0, 0}, {69, 73}, {0, 0}, {71, 74}}},
    {{{68, 75}, {0, 0}, {70, 76}, {0, 0}, {72, 77}}},
    {{{73, 78}, {0, 0}, {74, 79}, {0, 0}, {75, 80}}},
    {{{76, 81}, {0, 0}, {77, 82}, {0, 0}, {78, 83}}},
    {{{79, 84}, {0, 0}, {80, 85}, {0, 0}, {81, 86}}},
    {{{82, 87}, {0, 0}, {83, 88}, {0, 0}, {84, 89}}},
    {{{85, 90}, {0, 0}, {86, 91}, {0, 0}, {87, 92}}},
    {{{115, 109}, {0, 0}, {112, 110}, {0, 0}, {114, 111}}},
    {{{111, 112}, {0, 0}, {110, 108}, {0, 0}, {116, 113}}},
    {{{113, 114}, {117, 115}, {118, 116}, {119, 117}, {120, 118}}},
}};

struct ChartPlacement {
    const ChartBlock* block;
    int left; // twips of the first column
};
inline constexpr std::array<ChartPlacement, 3> kChart{{
    {&kPlainBlock, 240},
    {&kVoicedBlock, 3480},
    {&kSmallBlock, 6720},
}};

inline constexpr int kChartColumns = static_cast<int>(kChart.size()) * kBlockColumns;

// A place on the chart: its row and its column across the three blocks.
struct ChartPlace {
    int row;
    int column;
};
// The key at a place of the chart.
constexpr KanaKey ChartKey(ChartPlace place) {
    return (*kChart[static_cast<std::size_t>(place.column / kBlockColumns)]
                 .block)[static_cast<std::size_t>(place.row)]
                        [static_cast<std::size_t>(place.column % kBlockColumns)];
}
// Where an arrow key goes from a place: to the nearest kana a step of
// (rowStep, columnStep) at a time, over the empty places; nowhere (nothing)
// past the chart's edge.
std::optional<ChartPlace> ChartStep(ChartPlace from, int rowStep, int columnStep);

inline constexpr int kChartTop = 2160;
inline constexpr int kChartPitch = 600;
inline constexpr int kKanaButtonSize = 495;
