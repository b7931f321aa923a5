// SPDX-License-Identifier: GPL-3.0-or-later
// The small pure rules, reached without a window, and the real random
// source and one-second beat.

#include "game/rules.h"
#include "platform/random.h"
#include "platform/ticker.h"

#include <QSet>
#include <QSignalSpy>
#include <QTest>

#include <cmath>

class TestRules : public QObject
{
    Q_OBJECT
private slots:
    void numbers()
    {
        // Leading blanks, then the longest leading number; none reads as 0.
        const std::pair<const char *, double> read[] = {
            {"", 0},    {"040", 40}, {"   12", 12}, {"56ab", 56}, {"7\r\n9\r\n", 7}, {"abc", 0},    {"1 2", 1},
            {"-8", -8}, {"+8", 8},   {"-x", 0},     {"2.5", 2.5}, {".5", 0.5},       {"5.", 5},      {".", 0},
            {"9E9", 9e9}, {"3e", 3}, {"3e+", 3},    {"2D2", 200}, {"2,5", 2},        {"1e999", qInf()}, {"\t4", 4},
        };
        for (const auto &[text, value] : read)
            QVERIFY2(readNumber(QString::fromLatin1(text)) == value, text);
        // Halves go to the even neighbour; beyond a whole number there is none.
        const std::pair<double, std::optional<Whole>> whole[] = {
            {0.5, 0},     {1.5, 2},     {2.5, 2},        {-2.5, -2},           {-3.5, -4},
            {2.4999, 2},  {2.5001, 3},  {32767.4, 32767}, {32767.5, std::nullopt}, {-32768.5, -32768},
            {-32769, std::nullopt}, {qInf(), std::nullopt}, {std::nan(""), std::nullopt},
        };
        for (const auto &[value, expected] : whole)
            QVERIFY2(toWhole(value) == expected, qPrintable(QString::number(value)));
        const int replacement[] = {1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 5, 5, 8, 8, 9, 9, 0, 0};
        const int r[] = {0, 10, 11, 20, 21, 30, 31, 40, 41, 50, 51, 60, 61, 70, 71, 77, 78, 83, 84, 89, 90, 99};
        for (size_t i = 0; i < std::size(r); ++i)
            QVERIFY2(zeroReplacement(Whole(r[i])) == replacement[i], qPrintable(QString::number(r[i])));
    }

    void clockCountsDownThenStays()
    {
        Clock clock{0, kGameMinutes, 0, kGameSeconds};
        QStringList shown{clockText(clock)};
        for (int tick = 1; tick <= 901; ++tick) {
            clock = clockStep(clock);
            shown << clockText(clock);
            QCOMPARE(clock.ore * 3600 + clock.minuti * 60 + int(clock.secondi), int(clock.restanti));
        }
        QCOMPARE(shown.mid(0, 2) + shown.mid(60, 2), (QStringList{"00:15:00", "00:14:59", "00:14:00", "00:13:59"}));
        QVERIFY(shown.indexOf(QStringLiteral("00:00:00")) == 900 && shown.last() == QLatin1String("00:00:00"));
        QCOMPARE(clockText(clockStep(Clock{1, 0, 0, 3600})), QStringLiteral("00:59:59"));
    }

    void realRandomSource()
    {
        // Draws fill [0, 1); deals microseconds apart never replay.
        TimeSeededRandom random;
        QSet<double> seen;
        for (int deal = 0; deal < 1000; ++deal) {
            random.reseed();
            seen << random.uniform() << random.uniform();
        }
        QCOMPARE(seen.size(), 2000);
        const auto [low, high] = std::minmax_element(seen.begin(), seen.end());
        QVERIFY(*low >= 0 && *low < 0.01 && *high > 0.99 && *high < 1);
    }

    void realTicker()
    {
        QtTicker ticker; // the countdown's beat: a second after the start, none once stopped
        QSignalSpy beats(&ticker, &Ticker::tick);
        ticker.start();
        QVERIFY(!beats.wait(900) && beats.wait(2000));
        ticker.stop();
        QVERIFY(!beats.wait(1100) && !ticker.isActive());
    }
};

QTEST_GUILESS_MAIN(TestRules)
#include "tst_rules.moc"
