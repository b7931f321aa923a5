// What a screen reader is told about the window, read through Qt's own
// accessibility interfaces. Runs on a desktop with an accessibility bus:
// elsewhere Qt raises no accessibility events at all.

#include "gamefixture.h"

#include <QAccessible>

namespace {

struct Heard
{
    QObject *object;
    QString name;
};
std::vector<Heard> heard;

void listen(QAccessibleEvent *event)
{
    if (event->type() != QAccessible::NameChanged)
        return;
    if (QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(event->object()))
        heard.push_back({event->object(), iface->text(QAccessible::Name)});
}

QString nameOf(QObject *object)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(object);
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("<none>");
}

bool wasHeard(QObject *object, const QString &name)
{
    return std::any_of(heard.begin(), heard.end(),
                       [&](const Heard &h) { return h.object == object && h.name == name; });
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
    void init() { heard.clear(); }

    void everyInformationControlHasAnItalianName();
    void verdictsAndCountersAreSpokenWhenTheyChange();
};

void TestAccessibility::everyInformationControlHasAnItalianName()
{
    GameFixture g(QStringLiteral("Anna"));
    TavolaUi &ui = g.ui();
    QCOMPARE(nameOf(ui.lblNum1), QStringLiteral("Primo numero: 8"));
    QCOMPARE(nameOf(ui.lblNum2), QStringLiteral("Secondo numero: 5"));
    QCOMPARE(nameOf(ui.txtAnswer), QStringLiteral("Risultato"));
    QCOMPARE(nameOf(ui.lblScore), QStringLiteral("Risposte esatte: 0"));
    QCOMPARE(nameOf(ui.lblScore1), QStringLiteral("Risposte errate: 0"));
    QCOMPARE(nameOf(ui.lblScore2), QStringLiteral("Risposte totali: 0"));
    QCOMPARE(nameOf(ui.lblconto), QStringLiteral("Tempo restante: 00:15:00"));
    QCOMPARE(nameOf(ui.lblnome1), QStringLiteral("Sfidante: Anna"));
    QCOMPARE(nameOf(ui.lblpunti), QStringLiteral("Punti del record: "));
    QCOMPARE(nameOf(ui.lblnome), QStringLiteral("Record di: "));
    QCOMPARE(nameOf(ui.Image1), QStringLiteral("Orologio"));
    QCOMPARE(nameOf(ui.cmdNext), QStringLiteral("Nuovo calcolo"));
    QCOMPARE(nameOf(ui.cmdExit), QStringLiteral("Exit"));
    QCOMPARE(nameOf(ui.Label12), QStringLiteral("Il record  è di "));
    g.tick();
    QCOMPARE(nameOf(ui.lblconto), QStringLiteral("Tempo restante: 00:14:59"));
}

void TestAccessibility::verdictsAndCountersAreSpokenWhenTheyChange()
{
    GameFixture g(QStringLiteral("Anna"));
    TavolaUi &ui = g.ui();
    g.answer(QStringLiteral("40"));
    QVERIFY(wasHeard(ui.lblMessage, QStringLiteral("Esatto! Anna sei forte!")));
    QVERIFY(wasHeard(ui.lblScore, QStringLiteral("Risposte esatte: 1")));
    QVERIFY(wasHeard(ui.lblScore2, QStringLiteral("Risposte totali: 1")));

    heard.clear();
    g.next({0.0, 0.75, 0.5}); // 8 x 7
    QVERIFY(wasHeard(ui.lblNum2, QStringLiteral("Secondo numero: 7")));
    g.answer(QStringLiteral("1"));
    QVERIFY(wasHeard(ui.lblMessage, QStringLiteral("Sbagliato!! 56")));
    QVERIFY(wasHeard(ui.lblScore1, QStringLiteral("Risposte errate: 1")));
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
