// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screenreader.h"

#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/picturebutton.h"
#include "ui/tavolaui.h"

void voiceQuestionsAndVerdicts(TavolaUi &ui)
{
    auto nameTheBox = [&ui] {
        const QString first = ui.lblNum1->text();
        const QString second = ui.lblNum2->text();
        const QString name = first.isEmpty() || second.isEmpty()
                ? QStringLiteral("Risultato")
                : first + QStringLiteral(" per ") + second;
        if (ui.txtAnswer->accessibleName() != name)
            ui.txtAnswer->setAccessibleName(name);
    };
    QObject::connect(ui.lblNum1, &Etichetta::captionChanged, ui.txtAnswer, nameTheBox);
    QObject::connect(ui.lblNum2, &Etichetta::captionChanged, ui.txtAnswer, nameTheBox);

    // The verdict goes in the name, which a screen reader reads afresh with
    // each focus: Orca 48 keeps a description it has read for two seconds,
    // and a quick answer would be told the verdict before.
    const QString caption = QString(ui.cmdNext->text()).remove(u'&');
    auto nameTheButton = [&ui, caption] {
        const QString verdict = ui.lblMessage->text();
        const QString name = verdict.isEmpty() ? caption : caption + QStringLiteral(", ") + verdict;
        if (ui.cmdNext->accessibleName() != name)
            ui.cmdNext->setAccessibleName(name);
    };
    // A verdict is emptied as the next question takes the focus: the button
    // loses it first, or its new name would be read out on the way.
    QObject::connect(ui.lblMessage, &Etichetta::captionChanged, ui.cmdNext, [&ui, nameTheButton] {
        if (ui.lblMessage->text().isEmpty())
            QMetaObject::invokeMethod(ui.cmdNext, nameTheButton, Qt::QueuedConnection);
        else
            nameTheButton();
    });
    // Without a description of its own the button would be described by its
    // tooltip, "Go", in English.
    ui.cmdNext->setAccessibleDescription(QStringLiteral("Passa alla domanda successiva"));
    nameTheBox();
    nameTheButton();
}
