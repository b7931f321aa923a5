// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/dialogs.h"

#include "storage/record.h"

#include <QApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QProxyStyle>
#include <QPushButton>
#include <QValidator>

namespace {

QString titleOrDefault(const QString &title)
{
    return title.isEmpty() ? QStringLiteral("Brunilla") : title;
}

QMessageBox::Icon iconFor(int buttons)
{
    return (buttons & MsgBoxCode::Question) ? QMessageBox::Question : QMessageBox::NoIcon;
}

class WordOnlyButtons final : public QProxyStyle
{
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returned) const override
    {
        if (hint == SH_DialogButtonBox_ButtonsHaveIcons)
            return 0;
        return QProxyStyle::styleHint(hint, option, widget, returned);
    }
};

// What a box takes is what a record may hold, by the helper's own rule: a
// name the box accepts is always storable.
class StorableText final : public QValidator
{
public:
    using QValidator::QValidator;
    State validate(QString &input, int &) const override
    {
        // A lone surrogate would reach the record as a question mark.
        if (!input.isValidUtf16() || record::nameProblem(input.toStdString()))
            return Invalid;
        return Acceptable;
    }
};

} // namespace

void useWordOnlyBoxButtons()
{
    QApplication::setStyle(new WordOnlyButtons); // the application owns it
}

int QtDialogs::MsgBox(const QString &prompt, int buttons, const QString &title)
{
    QMessageBox box(iconFor(buttons), titleOrDefault(title), prompt, QMessageBox::NoButton,
                    QApplication::activeWindow());
    if ((buttons & 7) == MsgBoxCode::YesNo) {
        QPushButton *yes = box.addButton(QStringLiteral("&Sì"), QMessageBox::YesRole);
        QPushButton *no = box.addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box.setDefaultButton((buttons & MsgBoxCode::DefaultButton2) ? no : yes);
        box.setEscapeButton(no);
        box.exec();
        return box.clickedButton() == yes ? MsgBoxCode::Yes : MsgBoxCode::No;
    }
    box.setDefaultButton(box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole));
    box.exec();
    return MsgBoxCode::Ok;
}

QString QtDialogs::InputBox(const QString &prompt, const QString &title, const QString &defaultText)
{
    QInputDialog box(QApplication::activeWindow());
    box.setWindowTitle(titleOrDefault(title));
    box.setLabelText(prompt);
    box.setTextValue(defaultText);
    if (auto *field = box.findChild<QLineEdit *>())
        field->setValidator(new StorableText(field));
    box.setOkButtonText(QStringLiteral("OK"));
    box.setCancelButtonText(QStringLiteral("Annulla"));
    return box.exec() == QDialog::Accepted ? box.textValue() : QString();
}
