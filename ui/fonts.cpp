// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/fonts.h"

#include <QApplication>

#include <cmath>

namespace {

void installFontSubstitutes()
{
    QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Arial Black"), QStringLiteral("Liberation Sans"));
    QFont::insertSubstitution(QStringLiteral("Times New Roman"),
                              QStringLiteral("Liberation Serif"));
}

} // namespace

QFont layoutFont(const QString &family, qreal points, bool bold, bool italic)
{
    [[maybe_unused]] static const bool substituted = (installFontSubstitutes(), true);
    QFont font(family);
    font.setPixelSize(int(std::lround(points * 96.0 / 72.0)));
    // Arial Black is a heavy face of its own: ask for the heaviest weight.
    if (family == QLatin1String("Arial Black"))
        font.setWeight(QFont::Black);
    else
        font.setBold(bold);
    font.setItalic(italic);
    font.setStyleStrategy(QFont::PreferAntialias);
    return font;
}

void useLayoutFaceThroughout()
{
    QFont font = QApplication::font();
    font.setFamily(layoutFont(QStringLiteral("MS Sans Serif"), 8.25).family());
    QApplication::setFont(font);
}
