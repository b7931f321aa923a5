#include "game/rules.h"

#include <QLocale>

#include <cmath>
#include <limits>

namespace {

bool isDigit(QChar c)
{
    return c >= u'0' && c <= u'9';
}

// Length of the run of digits starting at i.
qsizetype digitsFrom(const QString &text, qsizetype i)
{
    qsizetype n = 0;
    while (i + n < text.size() && isDigit(text[i + n]))
        ++n;
    return n;
}

} // namespace

double readNumber(const QString &text)
{
    qsizetype i = 0;
    while (i < text.size() && (text[i] == u' ' || text[i] == u'\t'))
        ++i;
    const qsizetype start = i;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        ++i;
    const qsizetype whole = digitsFrom(text, i);
    i += whole;
    qsizetype fraction = 0;
    if (i < text.size() && text[i] == u'.') {
        fraction = digitsFrom(text, i + 1);
        if (whole > 0 || fraction > 0)
            i += 1 + fraction;
    }
    if (whole == 0 && fraction == 0)
        return 0;
    // An exponent counts only when digits follow it.
    if (i < text.size() && QStringLiteral("eEdD").contains(text[i])) {
        qsizetype j = i + 1;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-'))
            ++j;
        if (const qsizetype digits = digitsFrom(text, j); digits > 0)
            i = j + digits;
    }
    QString number = text.mid(start, i - start);
    number.replace(u'd', u'e').replace(u'D', u'e');
    // Out of range, toDouble still gives the limit (infinity or 0).
    return QLocale::c().toDouble(number);
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
    if (!(rounded >= std::numeric_limits<Whole>::min() && rounded <= std::numeric_limits<Whole>::max()))
        return std::nullopt;
    return static_cast<Whole>(rounded);
}

QString format00(int value)
{
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

Whole zeroReplacement(Whole r)
{
    struct Row { Whole upTo; Whole factor; };
    static constexpr Row table[] = {
        {10, 1}, {20, 2}, {30, 3}, {40, 4}, {50, 5}, {60, 6}, {70, 7}, {77, 5}, {83, 8}, {89, 9},
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
