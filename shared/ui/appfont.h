#pragma once
// One face for every text the programs show without a font of their own:
// Qt's context menus, message boxes and standard buttons.

// Makes the application's font the Japanese face the programs depend on,
// Noto Sans CJK JP, at the platform's size. Its Latin letters are
// proportional, so no locale falls back to whatever sans-serif resolves to (a
// monospace face under C.UTF-8). Called by every program once its
// application object is made.
void SetApplicationFont();
