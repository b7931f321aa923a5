// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/tavolaui.h"

#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/fonts.h"
#include "ui/immagine.h"
#include "ui/picturebutton.h"
#include "ui/pictures.h"
#include "ui/screenreader.h"
#include "ui/sfondo.h"

#include <QMainWindow>
#include <QMenuBar>

#include <cstdint>

namespace {

const QColor kYellow(255, 255, 0);
const QColor kCyan(0, 255, 255);
const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 128, 0);
const QColor kSystemColour; // invalid: the system's

// The faces as the layout names them.
enum Face : std::uint8_t { Sans, Arial, ArialBlack, Times };
const char *const kFaces[] = {"MS Sans Serif", "Arial", "Arial Black", "Times New Roman"};

enum LabelFlag : std::uint8_t {
    Border = 1,
    Centred = 2,
    AutoSize = 4,
    Bold = 8,
    Italic = 16,
    Framed = Border | Centred | AutoSize,
};

struct LabelRow
{
    Etichetta *TavolaUi::*member;
    const char *name;
    const char *text;
    int left, top, width, height; // twips
    Face face;
    qreal points;
    QColor colour;
    int flags;
};

// A label's member of TavolaUi and its objectName.
#define LABEL(name) &TavolaUi::name, #name

const LabelRow kLabels[] = {
        {LABEL(lblpunti), "0", 9600, 7560, 270, 555, Sans, 24, kYellow, AutoSize},
        {LABEL(Label13), "con punti", 7320, 7560, 1965, 555, Sans, 24, kYellow, AutoSize},
        {LABEL(lblnome), "nome", 3240, 7560, 1275, 555, Sans, 24, kYellow, Bold | AutoSize},
        {LABEL(Label12), "Il record  è di ", 120, 7560, 3135, 615, Sans, 24, kYellow, 0},
        {LABEL(lblnome1), "", 120, 6480, 165, 420, Sans, 13.5, kGreen, Bold | Border | AutoSize},
        {LABEL(Label14), "Sfidante", 0, 5520, 1425, 420, Sans, 13.5, kCyan, Framed},
        {LABEL(Label5), "", 2040, 2160, 6615, 615, Sans, 24, kRed, Bold | Italic | Centred},
        {LABEL(lblconto), "00.00.00", 0, 2280, 1575, 495, ArialBlack, 12, kYellow, Bold | Border},
        {LABEL(Label11), "Tempo restante", 0, 1320, 1575, 375, Sans, 9.75, kYellow, 0},
        {LABEL(Label3), "Risposte totali", 7440, 3360, 2340, 495, Sans, 18, kBlue,
         Border | AutoSize},
        {LABEL(Label1), "Risposte errate", 3840, 3360, 2520, 495, Sans, 18, kRed,
         Border | AutoSize},
        {LABEL(lblScore2), "0", 8310, 4080, 555, 885, Times, 36, kBlue, Bold | Framed},
        {LABEL(lblScore1), "0", 4830, 4080, 540, 885, Times, 36, kRed, Bold | Framed},
        {LABEL(lblNum2), "", 4155, 0, 345, 1185, Arial, 48, kBlue, Bold | Framed},
        {LABEL(Label4), "=", 5880, 0, 615, 975, Arial, 48, kYellow, Bold | Centred},
        {LABEL(Label2), "X", 2400, 0, 615, 975, Arial, 48, kYellow, Centred},
        {LABEL(lblNum1), "", 840, 0, 345, 1185, Arial, 48, kBlue, Bold | Framed},
        {LABEL(lblScore), "0", 1080, 4080, 555, 885, Times, 36, kSystemColour, Bold | Framed},
        {LABEL(lblMessage), "", 1680, 2040, 6615, 615, Sans, 24, kRed, Bold | Italic | Centred},
        {LABEL(Label6), "Risposte esatte", 240, 3360, 2565, 495, Sans, 18, kCyan, Framed},
};

void setGeometryTwips(QWidget *w, int left, int top, int width, int height)
{
    w->setGeometry(twips(left), twips(top), twips(width), twips(height));
}

void setTextColour(QWidget *w, const QColor &colour)
{
    if (!colour.isValid())
        return;
    QPalette palette = w->palette();
    palette.setColor(QPalette::WindowText, colour);
    w->setPalette(palette);
}

Etichetta *makeLabel(QWidget *parent, const LabelRow &row)
{
    auto *label = new Etichetta(parent);
    label->setObjectName(QString::fromLatin1(row.name));
    label->setText(QString::fromUtf8(row.text));
    setGeometryTwips(label, row.left, row.top, row.width, row.height);
    label->setFont(layoutFont(QString::fromLatin1(kFaces[row.face]), row.points, row.flags & Bold,
                              row.flags & Italic));
    setTextColour(label, row.colour);
    label->setAlignment((row.flags & Centred ? Qt::AlignHCenter : Qt::AlignLeft) | Qt::AlignTop);
    label->setBorder(row.flags & Border);
    label->setAutoSize(row.flags & AutoSize);
    return label;
}

PictureButton *makeButton(QWidget *parent, const char *name, const QString &text,
                          const QColor &face, const QString &tooltip)
{
    auto *button = new PictureButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setText(text);
    button->setFont(layoutFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    button->setFaceColour(face);
    button->setToolTip(tooltip);
    return button;
}

QAction *addItem(QMenu *menu, const char *name, const QString &text)
{
    QAction *action = menu->addAction(text);
    action->setObjectName(QString::fromLatin1(name));
    return action;
}

} // namespace

void TavolaUi::setupUi(QMainWindow *window)
{
    sfondo = new Sfondo(window);
    sfondo->setObjectName(QStringLiteral("Tavola_client"));
    sfondo->setCursor(clientPointer());
    window->setCentralWidget(sfondo);

    txtAnswer = new AnswerBox(sfondo);
    txtAnswer->setObjectName(QStringLiteral("txtAnswer"));
    setGeometryTwips(txtAnswer, 8160, 0, 2775, 1200);
    txtAnswer->setMaxLength(4);
    txtAnswer->setFont(layoutFont(QStringLiteral("Arial"), 48, true));
    txtAnswer->setFrame(true);
    {
        QPalette palette = txtAnswer->palette();
        palette.setColor(QPalette::Text, kBlue);
        palette.setColor(QPalette::Base, QColor(255, 255, 128));
        txtAnswer->setPalette(palette);
    }
    txtAnswer->setToolTip(QStringLiteral("Inserisci il risultato e  premi il tasto  Invio"));

    cmdNext = makeButton(sfondo, "cmdNext", QStringLiteral("&Nuovo calcolo"), QColor(0, 192, 192),
                         QStringLiteral("Go"));
    setGeometryTwips(cmdNext, 4200, 5280, 1815, 1095);
    cmdNext->setPictures(QStringLiteral("nuovo"), QStringLiteral("nuovo_premuto"),
                         QStringLiteral("nuovo_spento"));
    cmdNext->setCursor(iconPointer());
    cmdNext->setEnabled(false);

    cmdExit = makeButton(sfondo, "cmdExit", QStringLiteral("E&xit"), QColor(192, 0, 192),
                         QStringLiteral("Ti prego resta ancora, forse riuscirai a farmi uscire "));
    setGeometryTwips(cmdExit, 7680, 5280, 2055, 1095);
    cmdExit->setPictures(QStringLiteral("esci"));
    cmdExit->setCursor(Qt::ArrowCursor);

    Command1 = new QPushButton(QStringLiteral("Command1"), sfondo);
    Command1->setObjectName(QStringLiteral("Command1"));
    setGeometryTwips(Command1, 4680, 5640, 855, 615);
    Command1->setCursor(Qt::ArrowCursor);

    for (const LabelRow &row : kLabels)
        this->*row.member = makeLabel(sfondo, row);

    const std::pair<Etichetta *, const char *> spoken[] = {
            {lblNum1, "Primo numero: "},      {lblNum2, "Secondo numero: "},
            {lblScore, "Risposte esatte: "},  {lblScore1, "Risposte errate: "},
            {lblScore2, "Risposte totali: "}, {lblconto, "Tempo restante: "},
            {lblnome1, "Sfidante: "},         {lblnome, "Record di: "},
            {lblpunti, "Punti del record: "},
    };
    for (const auto &[label, prefix] : spoken)
        label->setAccessiblePrefix(QString::fromUtf8(prefix));

    lblScore->setToolTip(QStringLiteral("Questo è il tuo punteggio. Forza con il  record"));
    lblMessage->setCursor(iconPointer());
    Label5->setCursor(iconPointer());
    // The two factors keep their yellow box over the painted background.
    for (Etichetta *factor : {lblNum1, lblNum2}) {
        QPalette palette = factor->palette();
        palette.setColor(QPalette::Window, kYellow);
        factor->setPalette(palette);
        factor->setAutoFillBackground(true);
    }

    Image1 = new Immagine(sfondo);
    Image1->setObjectName(QStringLiteral("Image1"));
    setGeometryTwips(Image1, 480, 1680, 480, 480);
    Image1->setPicture(QStringLiteral("orologio"), 32);
    Image1->setToolTip(QStringLiteral("Clicca sotto di me per impostare il Timer"));
    Image1->setAccessibleName(QStringLiteral("Orologio"));

    // The text box and the buttons lie above the labels, cmdNext above Command1.
    Command1->raise();
    cmdExit->raise();
    cmdNext->raise();
    txtAnswer->raise();

    QWidget::setTabOrder(cmdExit, cmdNext);
    QWidget::setTabOrder(cmdNext, txtAnswer);
    QWidget::setTabOrder(txtAnswer, Command1);

    QMenuBar *bar = window->menuBar();
    QMenu *wp = bar->addMenu(QStringLiteral("&Brunilla"));
    wp->setObjectName(QStringLiteral("wp"));
    addItem(wp, "v", QStringLiteral("Brunilla, il gioco della tabellina dell'8"));
    QMenu *ciao = bar->addMenu(QStringLiteral("&Ciao"));
    ciao->setObjectName(QStringLiteral("Ciao"));
    addItem(ciao, "a", QStringLiteral("Fatto con cura dalla squadra di Brunilla"));
    Next = addItem(ciao, "Next", QStringLiteral("nuovo"));

    voiceQuestionsAndVerdicts(*this);
}
