#pragma once

#include <QFont>

// The window's type faces are named as the layout names them; these
// substitutes are metric-compatible faces shipped by the system.
void installFontSubstitutes();

// A face at a size in points, fixed in pixels at 96 dots per inch so the
// text matches the layout's pixel geometry on any screen.
QFont layoutFont(const QString &family, qreal points, bool bold = false, bool italic = false);
