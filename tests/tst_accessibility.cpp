// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told, read through Qt's own accessibility
// interfaces. Runs on a desktop with an accessibility bus: elsewhere Qt
// raises no accessibility events at all.

#include "gamefixture.h"

#include <QAccessible>

namespace {

QStringList events; // "focus txtAnswer", "caret txtAnswer", ...

void listen(QAccessibleEvent *event)
{
    const char *kind = event->type() == QAccessible::Focus ? "focus"
                     : event->type() == QAccessible::TextCaretMoved ? "caret"
                     : nullptr;
    if (kind)
        events << QString::fromLatin1(kind) + u' ' + event->object()->objectName();
}

QString text(QObject *object, QAccessible::Text which)
{
    return QAccessible::queryAccessibleInterface(object)->text(which);
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        // Active once the platform has reached the accessibility bus.
        QTRY_VERIFY_WITH_TIMEOUT(QAccessible::isActive(), 10000);
        QAccessible::installUpdateHandler(listen);
    }

    void everyInformationControlHasAnItalianName();
    void questionsAndVerdictsTravelWithTheFocus();
};

void TestAccessibility::everyInformationControlHasAnItalianName()
{
    GameFixture g(QStringLiteral("Anna"));
    TavolaUi &ui = g.ui();
    g.tick();
    const std::pair<QObject *, const char *> names[] = {
        {ui.lblNum1, "Primo numero: 8"},         {ui.lblNum2, "Secondo numero: 5"},
        {ui.lblScore, "Risposte esatte: 0"},     {ui.lblScore1, "Risposte errate: 0"},
        {ui.lblScore2, "Risposte totali: 0"},    {ui.lblconto, "Tempo restante: 00:14:59"},
        {ui.lblnome1, "Sfidante: Anna"},         {ui.lblpunti, "Punti del record: "},
        {ui.lblnome, "Record di: "},             {ui.Image1, "Orologio"},
        {ui.Label12, "Il record  è di "},
    };
    for (const auto &[object, name] : names)
        QCOMPARE(text(object, QAccessible::Name), QString::fromUtf8(name));
    // Described in Italian, not by its tooltip "Go".
    QCOMPARE(text(ui.cmdNext, QAccessible::Description), QStringLiteral("Passa alla domanda successiva"));
}

void TestAccessibility::questionsAndVerdictsTravelWithTheFocus()
{
    GameFixture g(QStringLiteral("Anna"));
    TavolaUi &ui = g.ui();
    QCOMPARE(text(ui.txtAnswer, QAccessible::Name), QStringLiteral("8 per 5"));
    QVERIFY(QTest::qWaitForWindowActive(&g.window())); // focus events come from an active window

    g.answer(QStringLiteral("40"));
    QCOMPARE(QApplication::focusWidget(), ui.cmdNext);
    QCOMPARE(text(ui.cmdNext, QAccessible::Description), QStringLiteral("Esatto! Anna sei forte!"));

    events.clear();
    g.next({0.0, 0.75, 0.5}); // 8 x 7
    QCOMPARE(text(ui.txtAnswer, QAccessible::Name), QStringLiteral("8 per 7"));
    // A caret moving in the box before it is announced as focused would
    // make a screen reader take the focus there silently.
    QCOMPARE(events.filter(QStringLiteral("txtAnswer")).first(), QStringLiteral("focus txtAnswer"));

    g.answer(QStringLiteral("1"));
    QCOMPARE(text(ui.cmdNext, QAccessible::Description), QStringLiteral("Sbagliato!! 56"));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
