// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPushButton>

// A push button in picture style: a flat face colour, a picture above the
// caption, and separate pictures for the normal, pressed and disabled
// states, each drawn for the density of the screen (ui/pictures.h).
class PictureButton : public QPushButton
{
    Q_OBJECT
public:
    explicit PictureButton(QWidget *parent = nullptr);

    void setFaceColour(const QColor &colour)
    {
        m_face = colour;
        update();
    }
    // The pictures' names; a state without a picture of its own shows the
    // normal one.
    void setPictures(const QString &normal, const QString &pressed = {},
                     const QString &disabled = {});

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QString &currentPicture() const;

    QColor m_face;
    QString m_normal;
    QString m_pressed;
    QString m_disabled;
};
