// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QFont>

// A face at a size in points, fixed in pixels at 96 dots per inch so the
// text matches the layout's pixel geometry on any screen. The faces are
// named as the layout names them and resolve to metric-compatible faces
// shipped by the system.
QFont layoutFont(const QString &family, qreal points, bool bold = false, bool italic = false);

// Everything else the game shows (menu bar, boxes) in the face of its own
// texts, at the size the desktop asks for: one family of faces to load
// instead of two.
void useLayoutFaceThroughout();
