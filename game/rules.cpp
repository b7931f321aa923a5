// SPDX-License-Identifier: GPL-3.0-or-later
#include "game/rules.h"

#include "storage/record.h"

#include <cmath>
#include <limits>

double readNumber(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    return record::readNumber(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

double roundHalfEven(double value)
{
    const double below = std::floor(value);
    const double rest = value - below;
    if (rest > 0.5 || (rest == 0.5 && std::fmod(below, 2.0) != 0))
        return below + 1;
    return below;
}

std::optional<Whole> toWhole(double value)
{
    const double rounded = roundHalfEven(value);
    if (!(rounded >= std::numeric_limits<Whole>::min()
          && rounded <= std::numeric_limits<Whole>::max()))
        return std::nullopt;
    return static_cast<Whole>(rounded);
}

QString format00(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

Whole zeroReplacement(Whole r)
{
    struct Row
    {
        Whole upTo;
        Whole factor;
    };
    static constexpr Row table[] = {
            {10, 1}, {20, 2}, {30, 3}, {40, 4}, {50, 5},
            {60, 6}, {70, 7}, {77, 5}, {83, 8}, {89, 9},
    };
    for (const Row &row : table) {
        if (r <= row.upTo)
            return row.factor;
    }
    return 0;
}

Clock clockStep(Clock clock)
{
    if (clock.restanti <= 0)
        return clock;
    if (clock.secondi == 0) {
        if (clock.minuti > 0) {
            --clock.minuti;
            clock.secondi = 60;
        } else if (clock.ore > 0) {
            --clock.ore;
            clock.minuti = 59;
            clock.secondi = 60;
        } else {
            clock.ore = 0;
            clock.minuti = 0;
        }
    }
    clock.secondi -= 1;
    --clock.restanti;
    return clock;
}

QString clockText(const Clock &clock)
{
    return format00(clock.ore) + u':' + format00(clock.minuti) + u':'
            + format00(int(roundHalfEven(clock.secondi)));
}
