// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/screenreader.h"

#include "ui/answerbox.h"
#include "ui/etichetta.h"
#include "ui/picturebutton.h"
#include "ui/tavolaui.h"

#include <QAccessible>

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
    const QString go = QStringLiteral("Passa alla domanda successiva");
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    // Orca 48 keeps a description it has read for two seconds, and a quick
    // answer would be told the verdict before: the verdict is announced,
    // once the button has taken the focus, so that it is heard last and whole.
    ui.cmdNext->setAccessibleDescription(go);
    QObject::connect(ui.lblMessage, &Etichetta::captionChanged, ui.cmdNext, [&ui] {
        const QString verdict = ui.lblMessage->text();
        if (verdict.isEmpty())
            return;
        auto announce = [&ui, verdict] {
            QAccessibleAnnouncementEvent said(ui.cmdNext, verdict);
            QAccessible::updateAccessibility(&said);
        };
        QMetaObject::invokeMethod(ui.cmdNext, announce, Qt::QueuedConnection);
    });
#else
    // The button, which takes the focus with the verdict, is described by it.
    auto describeTheButton = [&ui, go] {
        const QString verdict = ui.lblMessage->text();
        ui.cmdNext->setAccessibleDescription(verdict.isEmpty() ? go : verdict);
    };
    QObject::connect(ui.lblMessage, &Etichetta::captionChanged, ui.cmdNext, describeTheButton);
    describeTheButton();
#endif
    nameTheBox();
}
