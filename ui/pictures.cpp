// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/pictures.h"

#include <QPainter>

QPixmap picture(const QString &name)
{
    return QPixmap(QStringLiteral(":/pictures/%1.png").arg(name));
}

QIcon gameIcon()
{
    return QIcon(picture(QStringLiteral("brunilla_48")));
}

QCursor clientPointer()
{
    // The pencil's tip is the top-left pixel.
    return QCursor(picture(QStringLiteral("puntatore_48")), 0, 0);
}

QCursor iconPointer()
{
    QPixmap shape(16, 16);
    shape.fill(Qt::white);
    QPainter p(&shape);
    // Two black outlines on white, readable on any background.
    p.setPen(Qt::black);
    p.drawRect(0, 0, 15, 15);
    p.drawRect(5, 5, 5, 5);
    p.end();
    return QCursor(shape, 8, 8);
}
