// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/partita.h"

#include "platform/dialogs.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "platform/ticker.h"
#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/picturebutton.h"
#include "ui/sfondo.h"
#include "ui/tavola.h"
#include "ui/tavolaui.h"

#include <QLocale>

#include <utility>

#include <cmath>
#include <limits>

namespace {

const QString kRecordSaved = QStringLiteral("Ok! Ho registrato il tuo record, C A M P I O N E");
const QString kRecordNotSaved = QStringLiteral(
    "Mi dispiace, non sono riuscita a registrare il tuo record. Il gioco finisce qui, ciao!");

Whole wholePart(double value)
{
    return static_cast<Whole>(std::floor(value));
}

// Counters stop at the top of their range instead of wrapping round.
void increment(Whole &counter)
{
    if (counter < std::numeric_limits<Whole>::max())
        ++counter;
}

} // namespace

Partita::Partita(Tavola &tavola, TavolaUi &ui, const Services &services)
    : m_tavola(tavola), m_ui(ui), m_services(services)
{
}

void Partita::Form_Load()
{
    Dialogs &dialogs = *m_services.dialogs;
    m_tavola.Timer1().stop();
    m_state.esatte = 0;
    m_state.errate = 0;
    m_state.nome = dialogs.InputBox(QStringLiteral("Come ti chiami?"));
    dialogs.MsgBox(u' ' + m_state.nome + QStringLiteral(" vediamo se sei un vero campione  "));
    m_tavola.buildWidgets();
    m_ui.lblnome1->setCaption(m_state.nome);
    StartClock();
    m_state.esatte = 0;
    m_state.errate = 0;
    RecordFiles &records = *m_services.records;
    m_state.cartella = records.GetSystemDir();
    records.ensureRecordFiles(m_state.cartella);
    showRecord();
    // A record stored in the background (one kept by an earlier version) is shown at once.
    connect(&records, &RecordFiles::changed, this, &Partita::showRecord, Qt::UniqueConnection);
    m_state.orologio.restanti = static_cast<Whole>(roundHalfEven(m_state.orologio.secondi + kGameSeconds));
    showClock();
}

void Partita::showRecord()
{
    const auto [score, holder] = m_services.records->load(m_state.cartella);
    m_ui.lblpunti->setCaption(score);
    m_ui.lblnome->setCaption(holder);
}

void Partita::Form_Activate()
{
    cmdNext_Click();
}

void Partita::Form_Resize()
{
    if (m_tavola.isMinimized())
        m_tavola.setCaption(QStringLiteral("Giocare con la tavola pitagorica"));
}

void Partita::cmdNext_Click()
{
    RandomSource &random = *m_services.random;
    m_state.tinta = wholePart(random.uniform() * kTints);
    m_ui.lblMessage->setCaption(QString());
    random.reseed();
    Whole factor = wholePart(random.uniform() * 10);
    const Whole r = wholePart(random.uniform() * 100);
    if (factor == 0)
        factor = zeroReplacement(r);
    m_ui.lblNum1->setCaption(QString::number(kFirstFactor));
    m_ui.lblNum2->setCaption(QString::number(factor));
    m_state.risultato = static_cast<Whole>(kFirstFactor * factor);
    m_ui.cmdNext->setEnabled(false);
    m_ui.sfondo->PaintBackground(m_state.tinta);
    m_ui.txtAnswer->setFocus();
    // Cleared once it has the focus: a screen reader that sees the caret move
    // in a box it has not yet been told is focused moves there silently, and
    // the new question would go unheard. setText, not clear(): clear() is an
    // undoable edit, and the undo history would grow with every question.
    m_ui.txtAnswer->setText(QString());
}

void Partita::txtAnswer_KeyPress(int &KeyAscii)
{
    if (KeyAscii == 8 || (KeyAscii >= '0' && KeyAscii <= '9'))
        return;
    if (KeyAscii == 13) {
        judgeAnswer();
        return;
    }
    KeyAscii = 0;
}

void Partita::judgeAnswer()
{
    // An answer too large for a whole number can never be the product.
    const std::optional<Whole> answer = toWhole(readNumber(m_ui.txtAnswer->text()));
    if (answer != m_state.risultato) {
        increment(m_state.errate);
        m_ui.lblMessage->setCaption(QStringLiteral("Sbagliato!! ") + QString::number(m_state.risultato));
        PlayWave(QStringLiteral("suoni/no.wav"));
        m_ui.sfondo->blackOut();
        m_ui.lblScore1->setCaption(QString::number(m_state.errate));
        m_ui.cmdNext->setEnabled(true);
        m_ui.cmdNext->setFocus();
    } else {
        increment(m_state.esatte);
        m_ui.lblMessage->setCaption(QStringLiteral("Esatto! ") + m_state.nome + QStringLiteral(" sei forte!"));
        PlayWave(QStringLiteral("suoni/Esatto.wav"));
    }
    m_ui.lblScore->setCaption(QString::number(m_state.esatte));
    m_ui.cmdNext->setEnabled(true);
    m_ui.cmdNext->setFocus();
    m_ui.lblScore2->setCaption(QString::number(int(m_state.errate) + int(m_state.esatte)));
    m_ui.cmdNext->setEnabled(true);
    m_ui.cmdNext->setFocus();
}

void Partita::PlayWave(const QString &name)
{
    m_services.sound->PlayWave(m_services.soundDir + u'/' + name);
}

void Partita::StartClock()
{
    m_tavola.Timer1().start();
    m_state.orologio = Clock{0, kGameMinutes, 0, kGameSeconds};
    showClock();
}

void Partita::showClock()
{
    m_ui.lblconto->setCaption(clockText(m_state.orologio));
}

void Partita::Timer1_Timer()
{
    if (m_ui.lblconto->text() == QLatin1String("00:00:00")) {
        m_tavola.Timer1().stop();
        TimeOver();
        return;
    }
    if (m_state.orologio.restanti > 0) {
        m_state.orologio = clockStep(m_state.orologio);
        showClock();
    }
}

void Partita::Next_Click()
{
    if (m_ending)
        return;
    Dialogs &dialogs = *m_services.dialogs;
    const int answer = dialogs.MsgBox(QStringLiteral("INIZIAMO UNA NUOVA GARA  ?"),
                                      MsgBoxCode::YesNo | MsgBoxCode::Question | MsgBoxCode::DefaultButton2,
                                      QStringLiteral("INIZIARE NUOVA GARA"));
    // Time may have run out while the box was open; then that ending rules.
    if (m_ending || answer == MsgBoxCode::No)
        return;
    const QString upTo = dialogs.InputBox(QStringLiteral("Tavola pitagorica fino al numero? "));
    if (m_ending)
        return;
    if (upTo.isEmpty()) {
        dialogs.MsgBox(u' ' + m_state.nome + QStringLiteral(" siccome non hai scelto arriviamo fino al 10."));
        if (m_ending)
            return;
    }
    m_tavola.Timer1().stop();
    emit unloadRequested();
}

void Partita::cmdExit_Click()
{
    // Only one ending: the countdown must not start its own on top of this.
    if (std::exchange(m_ending, true))
        return;
    m_tavola.Timer1().stop();
    SaveRecordIfBeaten([this](record::Outcome outcome) { closeWithRecord(outcome, kRecordSaved); });
}

void Partita::TimeOver()
{
    if (std::exchange(m_ending, true))
        return;
    const QString date = QLocale::system().toString(m_services.today(), QLocale::ShortFormat);
    m_services.dialogs->MsgBox(QStringLiteral("Ciao a presto. Ore ") + QString::number(m_state.orologio.restanti),
                               MsgBoxCode::OkOnly, QStringLiteral("Data ") + date);
    if (m_ended)
        return;
    SaveRecordIfBeaten([this](record::Outcome outcome) { closeWithRecord(outcome, kRecordSaved + u'"'); });
}

void Partita::SaveRecordIfBeaten(const RecordFiles::Done &done)
{
    // The record shown at start-up first; the files then check the one on
    // disk, which another game may have raised meanwhile. The window goes
    // on meanwhile.
    if (readNumber(m_ui.lblpunti->text()) >= readNumber(m_ui.lblScore->text()))
        return done(record::Outcome::NotBeaten);
    m_services.records->save(m_state.cartella, m_ui.lblScore->text(), m_ui.lblnome1->text(), done);
}

void Partita::closeWithRecord(record::Outcome outcome, const QString &savedMessage)
{
    if (m_ended)
        return; // the window was closed while the record was saved
    if (outcome == record::Outcome::Saved)
        m_services.dialogs->MsgBox(savedMessage);
    else if (outcome != record::Outcome::NotBeaten)
        m_services.dialogs->MsgBox(kRecordNotSaved);
    endProgram();
}

void Partita::abandon()
{
    m_ending = m_ended = true;
    m_tavola.Timer1().stop();
}

void Partita::endProgram()
{
    if (m_ended)
        return;
    m_ended = true;
    m_tavola.Timer1().stop();
    emit programEnded();
}
