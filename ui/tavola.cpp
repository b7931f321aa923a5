// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tavola.h"

#include "game/partita.h"
#include "platform/ticker.h"
#include "ui/answerbox.h"
#include "ui/picturebutton.h"
#include "ui/pictures.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>

Tavola::Tavola(const Services &services, QWidget *parent)
    : QMainWindow(parent), m_timer(services.makeTimer())
{
    setObjectName(QStringLiteral("Tavola"));
    setCaption(QStringLiteral("Gioca con la Brunilla"));
    setWindowIcon(gameIcon());
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->start(); // enabled at creation; the load handler stops it at once
    m_partita = std::make_unique<Partita>(*this, m_ui, services);
    connect(m_timer.get(), &Ticker::tick, m_partita.get(), &Partita::Timer1_Timer);
}

void Tavola::buildWidgets()
{
    if (m_built)
        return;
    m_built = true;
    m_ui.setupUi(this);
    // The client area of the layout, below the menu bar, and no other size:
    // tiling desktops float the window, and none offers to enlarge it.
    setFixedSize(twips(11880), twips(8310) + menuBar()->sizeHint().height());

    Partita *game = m_partita.get();
    connect(m_ui.cmdNext, &QPushButton::clicked, game, &Partita::cmdNext_Click);
    connect(m_ui.cmdExit, &QPushButton::clicked, game, &Partita::cmdExit_Click);
    connect(m_ui.Next, &QAction::triggered, game, &Partita::Next_Click);
    m_ui.txtAnswer->setKeyPressHandler([game](int &KeyAscii) { game->txtAnswer_KeyPress(KeyAscii); });

    const QList<QWidget *> takesEnter{m_ui.txtAnswer, m_ui.cmdNext, m_ui.cmdExit, m_ui.Command1};
    for (QWidget *w : takesEnter)
        w->installEventFilter(this);
}

Tavola::~Tavola() = default;

void Tavola::setCaption(const QString &caption)
{
    setWindowTitle(caption);
    setWindowIconText(caption);
}

// cmdNext is the window's default button: while it is enabled, Enter
// outside the buttons presses it instead of reaching the answer box, so
// a judged question is never judged again.
bool Tavola::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool enter = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
        // A held Enter would otherwise judge, deal and judge the empty box.
        if (enter && key->isAutoRepeat())
            return true;
        if (enter && watched == m_ui.txtAnswer && m_ui.cmdNext->isEnabled()) {
            m_ui.cmdNext->click();
            return true;
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void Tavola::showEvent(QShowEvent *event)
{
    QMainWindow::showEvent(event);
    if (!m_activated) {
        m_activated = true;
        // Once per load, once the window is on screen.
        QTimer::singleShot(0, m_partita.get(), &Partita::Form_Activate);
    }
}

void Tavola::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_partita)
        m_partita->Form_Resize();
}

void Tavola::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_partita)
        m_partita->Form_Resize();
}

void Tavola::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit closedByUser();
}
