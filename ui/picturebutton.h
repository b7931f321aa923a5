// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPixmap>
#include <QPushButton>

// A push button in picture style: a flat face colour, a picture above the
// caption, and separate pictures for the normal, pressed and disabled states.
class PictureButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PictureButton(QWidget *parent = nullptr);

    void setFaceColour(const QColor &colour) { m_face = colour; update(); }
    // A state without a picture of its own shows the normal one.
    void setPictures(const QPixmap &normal, const QPixmap &pressed = {},
                     const QPixmap &disabled = {});

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QPixmap &currentPicture() const;

    QColor m_face;
    QPixmap m_normal;
    QPixmap m_pressed;
    QPixmap m_disabled;
};
