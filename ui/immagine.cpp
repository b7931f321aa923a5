// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/immagine.h"

#include "ui/pictures.h"

#include <QPainter>

void Immagine::setPicture(const QString &name, int size)
{
    m_name = name;
    m_size = size;
    setPixmap(gamePicture(name, size, 1)); // which makes it a picture to a screen reader
}

void Immagine::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawPixmap(contentsRect().topLeft(), gamePicture(m_name, m_size, devicePixelRatioF()));
}
