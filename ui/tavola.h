// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ui/tavolaui.h"

#include <QMainWindow>

#include <memory>

class Partita;
class Ticker;
struct Services;

// The game's one window. It is built from its layout, owns the game and
// its timer, and routes the window's own events to the game's handlers.
class Tavola : public QMainWindow
{
    Q_OBJECT
public:
    explicit Tavola(const Services &services, QWidget *parent = nullptr);
    ~Tavola() override;

    // The widgets are built when first needed, which the load handler
    // makes after the name box: a child waits for the box alone.
    void buildWidgets();
    TavolaUi &ui() { return buildWidgets(), m_ui; }
    Partita &partita() { return *m_partita; }
    // The caption, also the name a screen reader reads while the window is
    // minimized (its icon text).
    void setCaption(const QString &caption);
    Ticker &Timer1() { return *m_timer; }

signals:
    void closedByUser();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    TavolaUi m_ui;
    std::unique_ptr<Ticker> m_timer;
    std::unique_ptr<Partita> m_partita;
    bool m_built = false;
    bool m_activated = false;
};
