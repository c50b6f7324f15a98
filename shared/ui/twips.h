#pragma once
// Window layouts are written in twips; 15 twips make one pixel at 96 dpi.
// Qt's own high-DPI scaling takes it from there.

constexpr int TwipsToPixels(int twips) {
    return (twips + 7) / 15;
}
