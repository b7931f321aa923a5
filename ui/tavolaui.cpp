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

enum LabelFlag : std::uint8_t {
    Border = 1,
    Centred = 2,
    AutoSize = 4,
};

struct LabelRow
{
    Etichetta *TavolaUi::*member;
    const char *name;
    const char *text;
    int left, top, width, height;
    const char *family;
    qreal points;
    bool bold;
    bool italic;
    QColor colour; // invalid: the system's text colour
    int flags;
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
    palette.setColor(QPalette::Text, colour);
    w->setPalette(palette);
}

Etichetta *makeLabel(QWidget *parent, const LabelRow &row)
{
    auto *label = new Etichetta(parent);
    label->setObjectName(QString::fromLatin1(row.name));
    label->setText(QString::fromUtf8(row.text));
    setGeometryTwips(label, row.left, row.top, row.width, row.height);
    label->setFont(layoutFont(QString::fromLatin1(row.family), row.points, row.bold, row.italic));
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
    txtAnswer->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
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
    cmdNext->setPictures(QStringLiteral("nuovo"), QStringLiteral("nuovo_premuto"), QStringLiteral("nuovo_spento"));
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
    Command1->setAutoDefault(true);
    Command1->setCursor(Qt::ArrowCursor);

    static const LabelRow labels[] = {
        {&TavolaUi::lblpunti, "lblpunti", "0", 9600, 7560, 270, 555, "MS Sans Serif", 24, false, false, kYellow, AutoSize},
        {&TavolaUi::Label13, "Label13", "con punti", 7320, 7560, 1965, 555, "MS Sans Serif", 24, false, false, kYellow, AutoSize},
        {&TavolaUi::lblnome, "lblnome", "nome", 3240, 7560, 1275, 555, "MS Sans Serif", 24, true, false, kYellow, AutoSize},
        {&TavolaUi::Label12, "Label12", "Il record  è di ", 120, 7560, 3135, 615, "MS Sans Serif", 24, false, false, kYellow, 0},
        {&TavolaUi::lblnome1, "lblnome1", "", 120, 6480, 165, 420, "MS Sans Serif", 13.5, true, false, kGreen, Border | AutoSize},
        {&TavolaUi::Label14, "Label14", "Sfidante", 0, 5520, 1425, 420, "MS Sans Serif", 13.5, false, false, kCyan, Border | Centred | AutoSize},
        {&TavolaUi::Label5, "Label5", "", 2040, 2160, 6615, 615, "MS Sans Serif", 24, true, true, kRed, Centred},
        {&TavolaUi::lblconto, "lblconto", "00.00.00", 0, 2280, 1575, 495, "Arial Black", 12, true, false, kYellow, Border},
        {&TavolaUi::Label11, "Label11", "Tempo restante", 0, 1320, 1575, 375, "MS Sans Serif", 9.75, false, false, kYellow, 0},
        {&TavolaUi::Label3, "Label3", "Risposte totali", 7440, 3360, 2340, 495, "MS Sans Serif", 18, false, false, kBlue, Border | AutoSize},
        {&TavolaUi::Label1, "Label1", "Risposte errate", 3840, 3360, 2520, 495, "MS Sans Serif", 18, false, false, kRed, Border | AutoSize},
        {&TavolaUi::lblScore2, "lblScore2", "0", 8310, 4080, 555, 885, "Times New Roman", 36, true, false, kBlue, Border | Centred | AutoSize},
        {&TavolaUi::lblScore1, "lblScore1", "0", 4830, 4080, 540, 885, "Times New Roman", 36, true, false, kRed, Border | Centred | AutoSize},
        {&TavolaUi::lblNum2, "lblNum2", "", 4155, 0, 345, 1185, "Arial", 48, true, false, kBlue, Border | Centred | AutoSize},
        {&TavolaUi::Label4, "Label4", "=", 5880, 0, 615, 975, "Arial", 48, true, false, kYellow, Centred},
        {&TavolaUi::Label2, "Label2", "X", 2400, 0, 615, 975, "Arial", 48, false, false, kYellow, Centred},
        {&TavolaUi::lblNum1, "lblNum1", "", 840, 0, 345, 1185, "Arial", 48, true, false, kBlue, Border | Centred | AutoSize},
        {&TavolaUi::lblScore, "lblScore", "0", 1080, 4080, 555, 885, "Times New Roman", 36, true, false, QColor(), Border | Centred | AutoSize},
        {&TavolaUi::lblMessage, "lblMessage", "", 1680, 2040, 6615, 615, "MS Sans Serif", 24, true, true, kRed, Centred},
        {&TavolaUi::Label6, "Label6", "Risposte esatte", 240, 3360, 2565, 495, "MS Sans Serif", 18, false, false, kCyan, Border | Centred | AutoSize},
    };
    for (const LabelRow &row : labels)
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
