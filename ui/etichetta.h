// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// A label as the window's layout describes one: plain text that never
// wraps, an optional single-line border, and optional auto-size, which
// fits the box to the text (every line, plus the border) whenever the
// caption changes, keeping the left and top edges in place.
class Etichetta : public QLabel
{
    Q_OBJECT
public:
    explicit Etichetta(QWidget *parent = nullptr);

    void setAutoSize(bool on) { m_autoSize = on; }
    void setBorder(bool on);
    // A screen reader hears the label as this prefix followed by its caption
    // ("Risposte esatte: 3"); without one it hears the caption alone.
    void setAccessiblePrefix(const QString &prefix);

    // Sets the caption and refits an auto-size label.
    void setCaption(const QString &caption);

signals:
    void captionChanged();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void updateAccessibleName();

    QString m_accessiblePrefix;
    bool m_autoSize = false;
    bool m_border = false;
};
