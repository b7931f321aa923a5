// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/partita.h"

#include "platform/dialogs.h"
#include "platform/random.h"
#include "platform/sound.h"
#include "platform/ticker.h"

#include <QLocale>

#include <cmath>
#include <limits>
#include <utility>

using enum Finestra::Control;

namespace {

const QString kRecordSaved = QStringLiteral("Ok! Ho registrato il tuo record, C A M P I O N E");
const QString kRecordNotSaved = QStringLiteral(
        "Mi dispiace, non sono riuscita a registrare il tuo record. Il gioco finisce qui, ciao!");
const QString kRecordKept =
        QStringLiteral("Per ora non sono riuscita a registrare il tuo record, ma l'ho messo da "
                       "parte: lo registrerò alla prossima partita. Ciao!");

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

Partita::Partita(Finestra &finestra, const Services &services)
    : m_finestra(finestra), m_services(services), m_timer(services.makeTimer())
{
    m_timer->setObjectName(QStringLiteral("Timer1"));
    connect(m_timer.get(), &Ticker::tick, this, &Partita::Timer1_Timer);
    m_timer->start(); // enabled at creation; the load handler stops it at once
}

Partita::~Partita() = default;

void Partita::Form_Load()
{
    Dialogs &dialogs = *m_services.dialogs;
    Timer1().stop();
    m_state.esatte = 0;
    m_state.errate = 0;
    m_state.nome = dialogs.InputBox(QStringLiteral("Come ti chiami?"));
    dialogs.MsgBox(u' ' + m_state.nome + QStringLiteral(" vediamo se sei un vero campione  "));
    m_finestra.setText(lblnome1, m_state.nome);
    StartClock();
    m_state.esatte = 0;
    m_state.errate = 0;
    RecordFiles &records = *m_services.records;
    m_state.cartella = records.GetSystemDir();
    records.ensureRecordFiles(m_state.cartella);
    showRecord();
    // A record stored in the background (one kept by an earlier version) is shown at once.
    connect(&records, &RecordFiles::changed, this, &Partita::showRecord, Qt::UniqueConnection);
    m_state.orologio.restanti =
            static_cast<Whole>(roundHalfEven(m_state.orologio.secondi + kGameSeconds));
    showClock();
}

void Partita::showRecord()
{
    const RecordFiles::Shown shown = m_services.records->load(m_state.cartella);
    m_finestra.setText(lblpunti, shown.score);
    m_finestra.setText(lblnome, shown.holder);
}

void Partita::Form_Activate()
{
    cmdNext_Click();
}

void Partita::Form_Resize()
{
    if (m_finestra.minimized())
        m_finestra.setCaption(QStringLiteral("Giocare con la tavola pitagorica"));
}

void Partita::cmdNext_Click()
{
    RandomSource &random = *m_services.random;
    m_state.tinta = wholePart(random.uniform() * kTints);
    m_finestra.setText(lblMessage, QString());
    random.reseed();
    Whole factor = wholePart(random.uniform() * 10);
    const Whole r = wholePart(random.uniform() * 100);
    if (factor == 0)
        factor = zeroReplacement(r);
    m_finestra.setText(lblNum1, QString::number(kFirstFactor));
    m_finestra.setText(lblNum2, QString::number(factor));
    m_state.risultato = static_cast<Whole>(kFirstFactor * factor);
    m_finestra.enable(cmdNext, false);
    m_finestra.PaintBackground(m_state.tinta);
    m_finestra.focus(txtAnswer);
    // Emptied once it has the focus: a screen reader that sees the caret move
    // in a box it has not yet been told is focused moves there silently, and
    // the new question would go unheard.
    m_finestra.setText(txtAnswer, QString());
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
    const std::optional<Whole> answer = toWhole(readNumber(m_finestra.text(txtAnswer)));
    if (answer != m_state.risultato) {
        increment(m_state.errate);
        m_finestra.setText(lblMessage,
                           QStringLiteral("Sbagliato!! ") + QString::number(m_state.risultato));
        PlayWave(QStringLiteral("suoni/no.wav"));
        m_finestra.blackOut();
        m_finestra.setText(lblScore1, QString::number(m_state.errate));
        m_finestra.enable(cmdNext, true);
        m_finestra.focus(cmdNext);
    } else {
        increment(m_state.esatte);
        m_finestra.setText(lblMessage,
                           QStringLiteral("Esatto! ") + m_state.nome
                                   + QStringLiteral(" sei forte!"));
        PlayWave(QStringLiteral("suoni/Esatto.wav"));
    }
    m_finestra.setText(lblScore, QString::number(m_state.esatte));
    m_finestra.enable(cmdNext, true);
    m_finestra.focus(cmdNext);
    m_finestra.setText(lblScore2, QString::number(int(m_state.errate) + int(m_state.esatte)));
    m_finestra.enable(cmdNext, true);
    m_finestra.focus(cmdNext);
}

void Partita::PlayWave(const QString &name)
{
    m_services.sound->PlayWave(m_services.soundDir + u'/' + name);
}

void Partita::StartClock()
{
    Timer1().start();
    m_state.orologio = Clock{0, kGameMinutes, 0, kGameSeconds};
    showClock();
}

void Partita::showClock()
{
    m_finestra.setText(lblconto, clockText(m_state.orologio));
}

void Partita::Timer1_Timer()
{
    if (m_finestra.text(lblconto) == QLatin1String("00:00:00")) {
        Timer1().stop();
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
    const int answer =
            dialogs.MsgBox(QStringLiteral("INIZIAMO UNA NUOVA GARA  ?"),
                           MsgBoxCode::YesNo | MsgBoxCode::Question | MsgBoxCode::DefaultButton2,
                           QStringLiteral("INIZIARE NUOVA GARA"));
    // Time may have run out while the box was open; then that ending rules.
    if (m_ending || answer == MsgBoxCode::No)
        return;
    const QString upTo = dialogs.InputBox(QStringLiteral("Tavola pitagorica fino al numero? "));
    if (m_ending)
        return;
    if (upTo.isEmpty()) {
        dialogs.MsgBox(u' ' + m_state.nome
                       + QStringLiteral(" siccome non hai scelto arriviamo fino al 10."));
        if (m_ending)
            return;
    }
    Timer1().stop();
    emit unloadRequested();
}

void Partita::cmdExit_Click()
{
    // Only one ending: the countdown must not start its own on top of this.
    if (std::exchange(m_ending, true))
        return;
    Timer1().stop();
    m_finestra.outOfPlay();
    SaveRecordIfBeaten([this](record::Outcome outcome) { closeWithRecord(outcome, kRecordSaved); });
}

void Partita::TimeOver()
{
    if (std::exchange(m_ending, true))
        return;
    m_finestra.outOfPlay();
    const QString date = QLocale::system().toString(m_services.today(), QLocale::ShortFormat);
    m_services.dialogs->MsgBox(QStringLiteral("Ciao a presto. Ore ")
                                       + QString::number(m_state.orologio.restanti),
                               MsgBoxCode::OkOnly, QStringLiteral("Data ") + date);
    if (m_ended)
        return;
    SaveRecordIfBeaten(
            [this](record::Outcome outcome) { closeWithRecord(outcome, kRecordSaved + u'"'); });
}

void Partita::SaveRecordIfBeaten(const RecordFiles::Done &done)
{
    // The record shown at start-up first (empty, reading 0, when it was not
    // read whole); the files then check the one on disk, which another game
    // may have raised meanwhile. The window goes on meanwhile.
    if (readNumber(m_finestra.text(lblpunti)) >= readNumber(m_finestra.text(lblScore)))
        return done(record::Outcome::NotBeaten);
    m_services.records->save(m_state.cartella, m_finestra.text(lblScore), m_finestra.text(lblnome1),
                             done);
}

void Partita::closeWithRecord(record::Outcome outcome, const QString &savedMessage)
{
    if (m_ended)
        return; // the window was closed while the record was saved
    if (outcome == record::Outcome::Saved)
        m_services.dialogs->MsgBox(savedMessage);
    else if (outcome == record::Outcome::Kept)
        m_services.dialogs->MsgBox(kRecordKept);
    else if (outcome != record::Outcome::NotBeaten)
        m_services.dialogs->MsgBox(kRecordNotSaved);
    endProgram();
}

void Partita::Form_Unload()
{
    m_ending = true;
    endProgram();
}

void Partita::endProgram()
{
    if (std::exchange(m_ended, true))
        return;
    Timer1().stop();
    emit programEnded();
}
