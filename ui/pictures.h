// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The game's own pictures, from the SVG sources in assets/pictures, built
// into the program. Each is drawn for the density of the screen it shows
// on: at 1 device pixel per pixel as drawn at build time, in the layout's
// colours; at any other from its source, the first time it is asked for,
// and then kept.
QPixmap gamePicture(const QString &name, int size, qreal devicePixelRatio);
// The game's icon, for the window and its boxes, drawn the same way at
// whatever size and density the window system asks for.
QIcon gameIcon();
// The pointer over the window's client area.
QCursor clientPointer();
// The stock "icon" pointer: a small square within a square.
QCursor iconPointer();
