// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

class QPainter;

// The window's client area. It keeps what the game drew, so the painting
// survives being covered: not as an image of the whole window, but as the
// tint and the size the bands were painted for, which give the same pixels
// for a few bytes.
class Sfondo : public QWidget
{
    Q_OBJECT
public:
    explicit Sfondo(QWidget *parent = nullptr);

    // 256 equal bands over the client height, red = green = 10 * tinta,
    // blue rising from 0 at the top to 255 at the bottom.
    void PaintBackground(int tinta);
    // The background turns black, erasing the painting. Black is also the
    // colour before the first painting.
    void blackOut();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    int m_tinta = -1; // none: black
    QSize m_painted; // in device pixels
};

// The painting over area, in device pixels, and black where it does not
// reach: band i covers rows i*h/256 to (i+1)*h/256 of the painted h rows.
// A tinta below 0 paints black alone.
void paintBands(QPainter &painter, QSize painted, int tinta, const QRect &area);
