// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/picturebutton.h"

#include "ui/pictures.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

PictureButton::PictureButton(QWidget *parent) : QPushButton(parent)
{
    // Enter and Space press the focused button, in a main window too.
    setAutoDefault(true);
}

void PictureButton::setPictures(const QString &normal, const QString &pressed,
                                const QString &disabled)
{
    m_normal = normal;
    m_pressed = pressed;
    m_disabled = disabled;
    update();
}

const QString &PictureButton::currentPicture() const
{
    if (!isEnabled() && !m_disabled.isNull())
        return m_disabled;
    if (isDown() && !m_pressed.isNull())
        return m_pressed;
    return m_normal;
}

void PictureButton::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    const QRect r = rect();
    const bool down = isDown();
    p.fillRect(r, m_face);

    // A two-pixel bevel, raised or sunken.
    const QColor light = m_face.lighter(160);
    const QColor dark = m_face.darker(200);
    p.setPen(down ? Qt::black : light);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(down ? light : Qt::black);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    p.setPen(down ? light : dark);
    p.drawLine(r.left() + 1, r.bottom() - 1, r.right() - 1, r.bottom() - 1);
    p.drawLine(r.right() - 1, r.top() + 1, r.right() - 1, r.bottom() - 1);

    const int shift = down ? 1 : 0;
    const QPixmap shown = gamePicture(currentPicture(), 32, devicePixelRatioF());
    const QSize pictureSize = shown.deviceIndependentSize().toSize();
    const int captionHeight = fontMetrics().height();
    const int top = (r.height() - pictureSize.height() - captionHeight) / 2;
    p.drawPixmap((r.width() - pictureSize.width()) / 2 + shift, top + shift, shown);

    const QRect caption(r.left() + 3 + shift, top + pictureSize.height() + shift, r.width() - 6,
                        captionHeight);
    const int flags = Qt::AlignCenter | Qt::TextShowMnemonic;
    if (isEnabled()) {
        p.setPen(palette().color(QPalette::Active, QPalette::ButtonText));
        p.drawText(caption, flags, text());
    } else {
        // Engraved, the classic look of a disabled caption.
        p.setPen(m_face.lighter(170));
        p.drawText(caption.translated(1, 1), flags, text());
        p.setPen(m_face.darker(160));
        p.drawText(caption, flags, text());
    }

    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = caption.adjusted(-1, 0, 1, 0);
        focus.backgroundColor = m_face;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &p, this);
    }
}
