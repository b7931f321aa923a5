// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The record, kept as two one-line files in one directory: the score in
// tavrec8.txt, its holder in ntavrec8.txt, each ending in CR LF. This is
// the whole of the record's logic, with no Qt, so that the game, the
// set-group-id helper that writes the shared record and the program that
// prepares its directory use the same code.
//
// Besides the pair, the directory holds a spare pair (the .nuovo files),
// which the next save is written into and then switched with the record
// by renames, and a lock file that only the keeper of the files may open.
// While a switch is under way, or after one was interrupted, the old pair
// also has a second name (.vecchio): then the old pair is the record.

#include <cstdint>
#include <string>
#include <string_view>

#include <sys/types.h>

namespace record {

inline constexpr const char *kScoreFile = "tavrec8.txt";
inline constexpr const char *kHolderFile = "ntavrec8.txt";
// A record is one short line: reading stops here, so a huge or binary file
// cannot stall start-up.
inline constexpr std::size_t kReadLimit = 4096;
// The longest name the name box takes and a record may hold, in characters.
inline constexpr std::size_t kMaxNameLength = 32;

// Leading blanks skipped, then the longest leading decimal number (sign,
// digits, fraction, exponent); 0 when there is none; the rest is ignored.
double readNumber(std::string_view text);

// Why a name cannot be stored (nullptr: it can): valid UTF-8, at most
// kMaxNameLength characters, none of them a control character (C0, C1,
// DEL), a line or paragraph separator, a bidirectional control or mark, a
// noncharacter, or an invisible one (a default-ignorable code point other
// than the joiners ZWJ and ZWNJ and the variation selectors, which names
// written in some scripts need). An empty name may be stored.
const char *nameProblem(std::string_view utf8);
// The name as a record may hold it: what nameProblem refuses left out,
// then cut to kMaxNameLength characters.
std::string storableName(std::string_view utf8);
// Why a score cannot be stored: one to five digits, at most 32767.
const char *scoreProblem(std::string_view digits);

// One outcome of a save. Saved to Failed are also the exit statuses of the
// helper that saves the shared record, brunilla-record. Kept is the game's
// alone: the shared record could not be saved, and the player's own folder
// keeps it until it can.
enum class Outcome : std::uint8_t { Saved = 0, NotBeaten = 1, Refused = 2, Failed = 3, Kept = 4 };
// What the helper's exit status says; anything unknown is a failure.
Outcome outcomeOfExit(int status);

struct Result
{
    Outcome outcome;
    std::string why; // the cause of a refusal or failure, or a note on a save, for the log
};

// Whose files the record is kept in.
struct Keeper
{
    uid_t owner; // the one account that owns every file of the record
    bool makesFiles; // whether a save may make the files that are missing
};
// A player's own folder: the running account's, made as needed.
Keeper ownFolder();
// The shared directory: root's files, all made by the maintainer scripts.
Keeper sharedFolder();

// The two files' bytes, as they stand.
struct Pair
{
    std::string score;
    std::string holder;
    // Both read from one steady state of the directory. When not (a file
    // that cannot be read, saves that never let it rest), both are empty.
    bool whole = true;
};

// The record as it stands, never waiting for a save: read again while a
// save switches the pair under it, and the old pair after an interrupted
// save. A missing file reads as empty; why says what kept it from whole.
Pair load(const std::string &dir, std::string *why = nullptr);

// Creates either file, empty, when it is missing; never changes one that
// exists. Fails, saying why, only when the directory cannot be written.
bool ensure(const std::string &dir, std::string &why);

// Stores score and holder, each followed by CR LF, when the score is
// strictly above the stored one (a tie keeps the record). Refuses what
// nameProblem or scoreProblem find; fails, changing nothing, when a file
// of the record is not the keeper's, is not a plain file or cannot be
// read, or has a second name, and when the lock is not had within a few
// seconds. Whatever instant the save is stopped at, the next load finds
// the whole old pair or the whole new one; once the new one stands, the
// save is Saved.
Result saveIfBeaten(const std::string &dir, std::string_view score, std::string_view holder,
                    const Keeper &keeper);

// Renames the pair to its .offerto names when it is still the one given:
// how a record kept in the player's own folder is put aside once the
// shared record has it. Never waits: while another game of the account
// saves, or after it kept a new record, the pair stays for the next chance.
bool putAside(const std::string &dir, const Pair &offered, std::string &why);

// What the helper reads on its standard input: the score on one line,
// the name on the next, and nothing more.
struct Request
{
    std::string_view score;
    std::string_view name;
};
inline constexpr std::size_t kMaxRequest = 5 + 1 + kMaxNameLength * 4 + 1;
// Why the input is no request (nullptr: it is one, now in request).
const char *parseRequest(std::string_view input, Request &request);

// Makes the shared directory whole, as root, for the maintainer scripts:
// the directory (root:games, 2775) when it is missing, then, after an
// interrupted save is undone, every file of the record owned by root and
// the group, with its mode. A file that is not so is replaced by a new one
// of root's with the same bytes (none, unless it was a plain file of one
// name or one every account may read): nothing found in the directory is
// ever changed in place, so no link planted there leads root to another
// file. When another process holds the lock for longer than a save may,
// the interrupted save is left for the next save to mend, and the result
// is still Saved, with why saying so.
Result prepareShared(const std::string &dir, gid_t group);

} // namespace record
