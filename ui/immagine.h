// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLabel>

// An image control: one of the game's pictures at its natural size, never
// stretched, drawn for the density of the screen it is on. A screen reader
// reads it as a picture, by its accessible name.
class Immagine : public QLabel
{
    Q_OBJECT
public:
    explicit Immagine(QWidget *parent = nullptr) : QLabel(parent) {}
    void setPicture(const QString &name, int size);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_name;
    int m_size = 0;
};
