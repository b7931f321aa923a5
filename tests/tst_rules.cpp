// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/rules.h"
#include "platform/random.h"

#include <QSet>
#include <QTest>

#include <cmath>

class TestRules : public QObject
{
    Q_OBJECT
private slots:
    void readNumber_data();
    void readNumber();
    void roundingHalvesToEven();
    void wholeNumberRange();
    void patterns();
    void zeroReplacementTable();
    void clockCountsDown();
    void clockBorrowsFromHours();
    void quickReseedsDoNotRepeat();
};

void TestRules::readNumber_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("value");
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("digits") << "40" << 40.0;
    QTest::newRow("leading zero") << "040" << 40.0;
    QTest::newRow("leading blanks") << "   12" << 12.0;
    QTest::newRow("trailing letters") << "56ab" << 56.0;
    QTest::newRow("record line") << "7\r\n9\r\n" << 7.0;
    QTest::newRow("letters only") << "abc" << 0.0;
    QTest::newRow("blank in the middle ends it") << "1 2" << 1.0;
    QTest::newRow("sign") << "-8" << -8.0;
    QTest::newRow("plus") << "+8" << 8.0;
    QTest::newRow("lone sign") << "-x" << 0.0;
    QTest::newRow("fraction") << "2.5" << 2.5;
    QTest::newRow("fraction only") << ".5" << 0.5;
    QTest::newRow("trailing point") << "5." << 5.0;
    QTest::newRow("lone point") << "." << 0.0;
    QTest::newRow("exponent") << "9E9" << 9e9;
    QTest::newRow("small exponent") << "1e1" << 10.0;
    QTest::newRow("exponent without digits") << "3e" << 3.0;
    QTest::newRow("exponent sign without digits") << "3e+" << 3.0;
    QTest::newRow("D exponent") << "2D2" << 200.0;
    QTest::newRow("comma is not a point") << "2,5" << 2.0;
    QTest::newRow("overflow") << "1e999" << qInf();
    QTest::newRow("underflow") << "1e-999" << 0.0;
}

void TestRules::readNumber()
{
    QFETCH(QString, text);
    QFETCH(double, value);
    QCOMPARE(::readNumber(text), value);
}

void TestRules::roundingHalvesToEven()
{
    QCOMPARE(roundHalfEven(0.5), 0.0);
    QCOMPARE(roundHalfEven(1.5), 2.0);
    QCOMPARE(roundHalfEven(2.5), 2.0);
    QCOMPARE(roundHalfEven(40.5), 40.0);
    QCOMPARE(roundHalfEven(41.5), 42.0);
    QCOMPARE(roundHalfEven(-2.5), -2.0);
    QCOMPARE(roundHalfEven(-3.5), -4.0);
    QCOMPARE(roundHalfEven(2.4999), 2.0);
    QCOMPARE(roundHalfEven(2.5001), 3.0);
}

void TestRules::wholeNumberRange()
{
    QCOMPARE(toWhole(32767.0), std::optional<Whole>(32767));
    QCOMPARE(toWhole(32767.4), std::optional<Whole>(32767));
    QCOMPARE(toWhole(32767.5), std::nullopt);
    QCOMPARE(toWhole(-32768.5), std::optional<Whole>(-32768));
    QCOMPARE(toWhole(-32769.0), std::nullopt);
    QCOMPARE(toWhole(9e9), std::nullopt);
    QCOMPARE(toWhole(qInf()), std::nullopt);
    QCOMPARE(toWhole(-qInf()), std::nullopt);
    QCOMPARE(toWhole(std::nan("")), std::nullopt);
}

void TestRules::patterns()
{
    QCOMPARE(format00(0), QStringLiteral("00"));
    QCOMPARE(format00(7), QStringLiteral("07"));
    QCOMPARE(format00(59), QStringLiteral("59"));
    QCOMPARE(format00(123), QStringLiteral("123"));
}

void TestRules::zeroReplacementTable()
{
    const std::pair<int, int> expected[] = {
        {0, 1}, {10, 1}, {11, 2}, {20, 2}, {21, 3}, {30, 3}, {31, 4}, {40, 4}, {41, 5}, {50, 5},
        {51, 6}, {60, 6}, {61, 7}, {70, 7}, {71, 5}, {77, 5}, {78, 8}, {83, 8}, {84, 9}, {89, 9},
        {90, 0}, {99, 0},
    };
    for (const auto &[r, factor] : expected)
        QVERIFY2(zeroReplacement(Whole(r)) == factor, qPrintable(QString::number(r)));
}

void TestRules::clockCountsDown()
{
    Clock clock{0, 15, 0, 900};
    QCOMPARE(clockText(clock), QStringLiteral("00:15:00"));
    QStringList seen;
    for (int tick = 1; tick <= 901; ++tick) {
        clock = clockStep(clock);
        seen << clockText(clock);
        QCOMPARE(int(clock.restanti), std::max(0, 900 - tick));
        QCOMPARE(clock.ore * 3600 + clock.minuti * 60 + int(clock.secondi), int(clock.restanti));
    }
    QCOMPARE(seen[0], QStringLiteral("00:14:59"));
    QCOMPARE(seen[59], QStringLiteral("00:14:00"));
    QCOMPARE(seen[60], QStringLiteral("00:13:59"));
    QCOMPARE(seen[899], QStringLiteral("00:00:00"));
    QCOMPARE(seen.indexOf(QStringLiteral("00:00:00")), 899);
    // Nothing left: the clock stays put.
    QCOMPARE(seen[900], QStringLiteral("00:00:00"));
}

void TestRules::clockBorrowsFromHours()
{
    Clock clock{1, 0, 0, 3600};
    clock = clockStep(clock);
    QCOMPARE(clockText(clock), QStringLiteral("00:59:59"));
    QCOMPARE(int(clock.restanti), 3599);
}

void TestRules::quickReseedsDoNotRepeat()
{
    // Deals a few microseconds apart must not replay the same draws.
    TimeSeededRandom random;
    QSet<QString> seen;
    for (int deal = 0; deal < 1000; ++deal) {
        random.reseed();
        const double u1 = random.uniform();
        const double u2 = random.uniform();
        QVERIFY(u1 >= 0 && u1 < 1 && u2 >= 0 && u2 < 1);
        seen.insert(QString::number(u1, 'g', 17) + u' ' + QString::number(u2, 'g', 17));
    }
    QCOMPARE(seen.size(), 1000);
}

QTEST_APPLESS_MAIN(TestRules)
#include "tst_rules.moc"
