// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/etichetta.h"

#include <QPainter>

Etichetta::Etichetta(QWidget *parent) : QLabel(parent)
{
    setTextFormat(Qt::PlainText);
    setWordWrap(false);
}

void Etichetta::setBorder(bool on)
{
    m_border = on;
    // The border is drawn inside the box; keep the text clear of it.
    const int m = on ? 1 : 0;
    setContentsMargins(m, m, m, m);
    update();
}

void Etichetta::setAccessiblePrefix(const QString &prefix)
{
    m_accessiblePrefix = prefix;
    updateAccessibleName();
}

void Etichetta::updateAccessibleName()
{
    // Setting the name raises the accessibility event that makes a screen
    // reader speak the change; QLabel raises it itself for a label that is
    // named by its caption.
    if (!m_accessiblePrefix.isEmpty())
        setAccessibleName(m_accessiblePrefix + text().trimmed());
}

void Etichetta::setCaption(const QString &caption)
{
    setText(caption);
    updateAccessibleName();
    if (m_autoSize)
        resize(sizeHint());
    emit captionChanged();
}

void Etichetta::paintEvent(QPaintEvent *event)
{
    QLabel::paintEvent(event);
    if (m_border) {
        // Always black, whatever the text colour, like a flat single line.
        QPainter p(this);
        p.setPen(Qt::black);
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}
