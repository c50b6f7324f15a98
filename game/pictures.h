#pragma once
// The game's background pictures.

#include <QPixmap>
#include <QString>

// One of the game's background pictures ("menu.png", "game.png"), compiled
// into the program.
QPixmap GamePicture(const QString& name);
