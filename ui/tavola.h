// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "game/finestra.h"
#include "ui/tavolaui.h"

#include <QMainWindow>

class Etichetta;

// The game's one window, built from its layout. It does what the game
// asks of it (Finestra) and routes its own events to the game's handlers.
class Tavola : public QMainWindow, public Finestra
{
    Q_OBJECT
public:
    explicit Tavola(QWidget *parent = nullptr);
    ~Tavola() override;

    // The widgets are built when first needed, which the load handler
    // makes after the name box: a child waits for the box alone.
    TavolaUi &ui();

    QString text(Control control) override;
    void setText(Control control, const QString &text) override;
    void enable(Control control, bool enabled) override;
    void focus(Control control) override;
    void PaintBackground(int tinta) override;
    void blackOut() override;
    // Also the window's name to a screen reader while it is minimized.
    void setCaption(const QString &caption) override;
    bool minimized() const override { return isMinimized(); }
    void outOfPlay() override;
    void attach(Partita &game) override { m_game = &game; }
    void showWindow() override { show(); }
    void hideWindow() override { hide(); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    Etichetta *label(Control control);
    QWidget *widget(Control control);

    TavolaUi m_ui;
    Partita *m_game = nullptr;
    bool m_activated = false;
};
