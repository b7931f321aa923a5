// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QCursor>
#include <QIcon>
#include <QPixmap>

// The game's own pictures, drawn for it and built into the program.
QPixmap picture(const QString &name);
QIcon gameIcon();
// The pointer over the window's client area.
QCursor clientPointer();
// The stock "icon" pointer: a small square within a square.
QCursor iconPointer();
