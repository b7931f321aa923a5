// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QWidget>

// The window's client area. What the game draws goes into a persistent
// backing image, so the painting survives being covered, and a window
// resized after painting keeps showing the old painting.
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

    const QImage &backing() const { return m_backing; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void clearBacking();

    QImage m_backing;
};

// The gradient itself, into any image: band i covers rows i*H/256 to
// (i+1)*H/256 of the image's H rows.
void paintBands(QImage &image, int tinta);
