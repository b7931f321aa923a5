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

    // Without a description of its own the button would be described by its
    // tooltip, "Go", in English.
    auto describeTheButton = [&ui] {
        const QString verdict = ui.lblMessage->text();
        ui.cmdNext->setAccessibleDescription(
                verdict.isEmpty() ? QStringLiteral("Passa alla domanda successiva") : verdict);
    };
    QObject::connect(ui.lblMessage, &Etichetta::captionChanged, ui.cmdNext, describeTheButton);
    nameTheBox();
    describeTheButton();
}
