// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The record, kept as two one-line files in one directory: the score in
// tavrec8.txt, its holder in ntavrec8.txt, each ending in CR LF. This is
// the whole of the record's logic, with no Qt, so that the game and the
// set-group-id helper that writes the shared record use the same code.

#include <cstdint>
#include <string>
#include <string_view>

namespace record {

inline constexpr const char *kScoreFile = "tavrec8.txt";
inline constexpr const char *kHolderFile = "ntavrec8.txt";
// A record is one short line: reading stops here, so a huge or binary file
// cannot stall start-up.
inline constexpr std::size_t kReadLimit = 4096;

// Leading blanks skipped, then the longest leading decimal number (sign,
// digits, fraction, exponent); 0 when there is none; the rest is ignored.
double readNumber(std::string_view text);

// The two files' bytes, as they stand.
struct Pair
{
    std::string score;
    std::string holder;
};

enum class Outcome : std::uint8_t { Saved, NotBeaten, Failed }; // in this order, as exit statuses

struct Result
{
    Outcome outcome;
    std::string why; // the cause of a failure, for the log
};

// The pair under a shared lock. After a save that was interrupted (the
// process killed, the power lost) it is the old pair, whole; a missing or
// unreadable file reads as empty.
Pair load(const std::string &dir);

// Creates either file, empty, when it is missing; never changes one that
// exists. Fails, saying why, only when the directory cannot be written.
bool ensure(const std::string &dir, std::string &why);

// Stores score and holder, each followed by CR LF, when the score is
// strictly above the stored one (a tie keeps the record). The two files
// are switched together: whatever instant the save is stopped at, the
// next load or save finds the whole old pair or the whole new one.
Result saveIfBeaten(const std::string &dir, std::string_view score, std::string_view holder);

// The exit status of brunilla-record, the helper that saves the shared record.
enum HelperExit : std::uint8_t { Stored = 0, NotBeaten = 1, Refused = 2, NotStored = 3 };

} // namespace record
