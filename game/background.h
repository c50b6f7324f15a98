#pragma once
// The game's window backgrounds: the colour every window is filled with and
// the pictures laid over it on the menu and the play screen.

#include <QColor>
#include <QPixmap>
#include <QString>

inline const QColor kWindowColor(192, 192, 255);

// One of the game's background pictures ("menu.png", "game.png"), compiled
// into the program.
QPixmap GamePicture(const QString& name);
