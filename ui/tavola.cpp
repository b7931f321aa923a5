// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tavola.h"

#include "game/partita.h"
#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/picturebutton.h"
#include "ui/pictures.h"
#include "ui/sfondo.h"

#include <QAction>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMenuBar>
#include <QTimer>

#include <array>
#include <utility>

Tavola::Tavola(QWidget *parent) : QMainWindow(parent)
{
    setObjectName(QStringLiteral("Tavola"));
    setCaption(QStringLiteral("Gioca con la Brunilla"));
    setWindowIcon(gameIcon());
}

Tavola::~Tavola() = default;

TavolaUi &Tavola::ui()
{
    if (m_ui.sfondo)
        return m_ui;
    m_ui.setupUi(this);
    // The client area of the layout, below the menu bar, and no other size:
    // tiling desktops float the window, and none offers to enlarge it.
    setFixedSize(twips(11880), twips(8310) + menuBar()->sizeHint().height());

    connect(m_ui.cmdNext, &QPushButton::clicked, this, [this] { m_game->cmdNext_Click(); });
    connect(m_ui.cmdExit, &QPushButton::clicked, this, [this] { m_game->cmdExit_Click(); });
    connect(m_ui.Next, &QAction::triggered, this, [this] { m_game->Next_Click(); });
    m_ui.txtAnswer->setKeyPressHandler(
            [this](int &KeyAscii) { m_game->txtAnswer_KeyPress(KeyAscii); });
    const QList<QWidget *> takesEnter{m_ui.txtAnswer, m_ui.cmdNext, m_ui.cmdExit, m_ui.Command1};
    for (QWidget *w : takesEnter)
        w->installEventFilter(this);
    return m_ui;
}

Etichetta *Tavola::label(Control control)
{
    static constexpr std::array<Etichetta * TavolaUi::*, 10> labels{
            &TavolaUi::lblNum1,   &TavolaUi::lblNum2,   &TavolaUi::lblMessage, &TavolaUi::lblScore,
            &TavolaUi::lblScore1, &TavolaUi::lblScore2, &TavolaUi::lblnome1,   &TavolaUi::lblnome,
            &TavolaUi::lblpunti,  &TavolaUi::lblconto,
    };
    return ui().*labels.at(std::size_t(control));
}

QWidget *Tavola::widget(Control control)
{
    if (control == Control::txtAnswer)
        return ui().txtAnswer;
    if (control == Control::cmdNext)
        return ui().cmdNext;
    return label(control);
}

QString Tavola::text(Control control)
{
    if (control == Control::txtAnswer)
        return ui().txtAnswer->text();
    return label(control)->text();
}

void Tavola::setText(Control control, const QString &text)
{
    // setText, not clear(), for the answer box: clear() is an undoable edit,
    // and the undo history would grow with every question.
    if (control == Control::txtAnswer)
        ui().txtAnswer->setText(text);
    else
        label(control)->setCaption(text);
}

void Tavola::enable(Control control, bool enabled)
{
    widget(control)->setEnabled(enabled);
}

void Tavola::focus(Control control)
{
    widget(control)->setFocus();
}

void Tavola::PaintBackground(int tinta)
{
    ui().sfondo->PaintBackground(tinta);
}

void Tavola::blackOut()
{
    ui().sfondo->blackOut();
}

void Tavola::outOfPlay()
{
    // Not the window itself: that would disable the boxes it owns too.
    for (QWidget *w :
         QWidgetList{ui().txtAnswer, ui().cmdNext, ui().cmdExit, ui().Command1, menuBar()})
        w->setEnabled(false);
}

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
    if (m_game && !std::exchange(m_activated, true)) // once per load, once the window is on screen
        QTimer::singleShot(0, m_game, &Partita::Form_Activate);
}

void Tavola::changeEvent(QEvent *event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && m_game)
        m_game->Form_Resize();
}

void Tavola::resizeEvent(QResizeEvent *event)
{
    QMainWindow::resizeEvent(event);
    if (m_game)
        m_game->Form_Resize();
}

void Tavola::closeEvent(QCloseEvent *event)
{
    event->accept();
    if (m_game)
        m_game->Form_Unload();
}
