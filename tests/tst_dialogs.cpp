// SPDX-License-Identifier: GPL-3.0-or-later
// The real message and input boxes, answered with the keyboard.

#include "platform/dialogs.h"

#include <QApplication>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>

namespace {

// Runs `act` on the modal box as soon as it is open.
void whenOpen(std::function<void(QWidget *)> act)
{
    auto *poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, act] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            poll->stop();
            poll->deleteLater();
            act(box);
        }
    });
    poll->start(10);
}

void press(Qt::Key key)
{
    whenOpen([key](QWidget *box) { QTest::keyClick(box->focusWidget() ? box->focusWidget() : box, key); });
}

} // namespace

class TestDialogs : public QObject
{
    Q_OBJECT
private slots:
    void yesNoDefaultsToNo();
    void yesNoAnswersYes();
    void okBoxAndDefaultTitle();
    void inputBoxOkAndCancel();
    void timerTicksWhileABoxIsOpen();

private:
    QtDialogs m_real;
    Dialogs &m_dialogs = m_real; // the defaults live on the interface
};

void TestDialogs::yesNoDefaultsToNo()
{
    QString title;
    whenOpen([&title](QWidget *box) {
        title = box->windowTitle();
        QTest::keyClick(box->focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(m_dialogs.MsgBox(QStringLiteral("INIZIAMO UNA NUOVA GARA  ?"), 292, QStringLiteral("INIZIARE NUOVA GARA")),
             MsgBoxCode::No);
    QCOMPARE(title, QStringLiteral("INIZIARE NUOVA GARA"));
    press(Qt::Key_Escape);
    QCOMPARE(m_dialogs.MsgBox(QStringLiteral("?"), 292), MsgBoxCode::No);
}

void TestDialogs::yesNoAnswersYes()
{
    whenOpen([](QWidget *box) { QTest::keyClick(box, Qt::Key_S, Qt::AltModifier); });
    QCOMPARE(m_dialogs.MsgBox(QStringLiteral("?"), 292), MsgBoxCode::Yes);
}

void TestDialogs::okBoxAndDefaultTitle()
{
    QString title;
    QString text;
    whenOpen([&](QWidget *box) {
        title = box->windowTitle();
        text = box->findChild<QLabel *>(QStringLiteral("qt_msgbox_label"))->text();
        QTest::keyClick(box->focusWidget(), Qt::Key_Return);
    });
    QCOMPARE(m_dialogs.MsgBox(QStringLiteral(" Anna vediamo se sei un vero campione  ")), MsgBoxCode::Ok);
    QCOMPARE(title, QStringLiteral("Brunilla"));
    QCOMPARE(text, QStringLiteral(" Anna vediamo se sei un vero campione  "));
}

void TestDialogs::inputBoxOkAndCancel()
{
    whenOpen([](QWidget *box) {
        QTest::keyClicks(box->findChild<QLineEdit *>(), QStringLiteral(" Anna "));
        QTest::keyClick(box->findChild<QLineEdit *>(), Qt::Key_Return);
    });
    QCOMPARE(m_dialogs.InputBox(QStringLiteral("Come ti chiami?")), QStringLiteral(" Anna "));

    whenOpen([](QWidget *box) {
        QTest::keyClicks(box->findChild<QLineEdit *>(), QStringLiteral("Anna"));
        QTest::keyClick(box->findChild<QLineEdit *>(), Qt::Key_Escape);
    });
    QCOMPARE(m_dialogs.InputBox(QStringLiteral("Come ti chiami?")), QString());
}

void TestDialogs::timerTicksWhileABoxIsOpen()
{
    QTimer ticker;
    int ticks = 0;
    connect(&ticker, &QTimer::timeout, this, [&ticks] { ++ticks; });
    ticker.start(5);
    whenOpen([&ticks](QWidget *box) {
        QTRY_VERIFY(ticks >= 5);
        QTest::keyClick(box->focusWidget(), Qt::Key_Return);
    });
    m_dialogs.MsgBox(QStringLiteral("Aspetta"));
    QVERIFY(ticks >= 5);
}

QTEST_MAIN(TestDialogs)
#include "tst_dialogs.moc"
