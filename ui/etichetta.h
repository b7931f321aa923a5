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
    bool autoSize() const { return m_autoSize; }
    void setBorder(bool on);

    // Sets the caption and refits an auto-size label.
    void setCaption(const QString &caption);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool m_autoSize = false;
    bool m_border = false;
};
