// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// The game's small pure rules, kept apart from the window so that tests
// can reach them directly.

using Whole = std::int16_t; // the game's whole numbers: -32768 to 32767

constexpr Whole kFirstFactor = 8; // every question is 8 times something
constexpr Whole kGameMinutes = 15; // one game against the clock
constexpr Whole kGameSeconds = kGameMinutes * 60; // 900
constexpr int kTints = 15; // background tints 0 to 14

// Leading blanks skipped, then the longest leading decimal number (sign,
// digits, fraction, exponent); 0 when there is none; the rest is ignored.
double readNumber(const QString &text);

// Nearest integer, an exact half going to the even neighbour.
double roundHalfEven(double value);

// The value rounded half to even, or nothing when it does not fit a Whole.
std::optional<Whole> toWhole(double value);

// "00": at least two digits, zero-padded.
QString format00(int value);

// The second factor when the first draw gave 0, by the r draw (0 to 99).
Whole zeroReplacement(Whole r);

struct Clock
{
    Whole ore = 0;
    Whole minuti = 0;
    float secondi = 0;
    Whole restanti = 0;
};

// One countdown step, borrowing from minutes and hours as needed;
// a clock with nothing left stays as it is.
Clock clockStep(Clock clock);

// ore:minuti:secondi, each with "00".
QString clockText(const Clock &clock);
