// SPDX-License-Identifier: GPL-3.0-or-later
// brunilla-record: stores a new record in the directory every account
// shares. Installed set-group-id games, it is the only way the players'
// games change the shared files, so it trusts nothing it is given: no
// argument, no environment, no more input than a record needs.
//
// Standard input: the score (digits) on the first line, the holder's name
// on the second. Exit status: 0 stored, 1 not beaten (a tie keeps the
// record), 2 input refused, 3 the record could not be written.

#include "storage/record.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::size_t kMaxScoreDigits = 5; // the game's whole numbers end at 32767
constexpr std::size_t kMaxName = 1000;     // bytes; the line stays far inside the read limit
constexpr std::size_t kMaxInput = kMaxScoreDigits + kMaxName + 2;

int refuse(const char *why)
{
    std::fprintf(stderr, "brunilla-record: input refused: %s\n", why);
    return record::Refused;
}

// Descriptors 0 to 2 held open, so that no file opened here can take one
// of their numbers and receive what is meant for the terminal.
void holdStandardDescriptors()
{
    for (int fd = 0; fd < 3; ++fd)
        if (::fcntl(fd, F_GETFD) == -1)
            ::open("/dev/null", O_RDWR);
}

std::string readInput()
{
    std::string input(kMaxInput + 1, '\0');
    std::size_t got = 0;
    ssize_t n = 0;
    while (got < input.size() && (n = ::read(STDIN_FILENO, input.data() + got, input.size() - got)) != 0) {
        if (n > 0)
            got += std::size_t(n);
        else if (errno != EINTR)
            break;
    }
    input.resize(got);
    return input;
}

bool isScore(std::string_view text)
{
    if (text.empty() || text.size() > kMaxScoreDigits)
        return false;
    for (const char c : text)
        if (c < '0' || c > '9')
            return false;
    return std::stoi(std::string(text)) <= 32767;
}

} // namespace

int main()
{
    holdStandardDescriptors();
    // The group right is held back until the record directory is touched.
    const gid_t games = ::getegid();
    if (::setegid(::getgid()) != 0)
        return record::NotStored;
    ::clearenv();
    ::umask(002); // the files stay readable by every account, writable by the group

    const std::string input = readInput();
    if (input.size() > kMaxInput)
        return refuse("more than a score and a name");
    const std::size_t scoreEnd = input.find('\n');
    const std::size_t nameEnd = input.find('\n', scoreEnd + 1);
    if (scoreEnd == std::string::npos || nameEnd != input.size() - 1)
        return refuse("expected two lines: the score and the name");
    const std::string_view score = std::string_view(input).substr(0, scoreEnd);
    const std::string_view name = std::string_view(input).substr(scoreEnd + 1, nameEnd - scoreEnd - 1);
    if (!isScore(score))
        return refuse("the score is not a number from 0 to 32767");
    if (name.size() > kMaxName)
        return refuse("the name is too long");
    if (name.find_first_of(std::string_view("\r\0", 2)) != std::string_view::npos)
        return refuse("the name holds a control character");

    if (::setegid(games) != 0)
        return record::NotStored;
    const record::Result result = record::saveIfBeaten(BRUNILLA_SHARED_RECORD_DIR, score, name);
    if (::setegid(::getgid()) != 0)
        return record::NotStored;
    switch (result.outcome) {
    case record::Outcome::Saved:
        return record::Stored;
    case record::Outcome::NotBeaten:
        return record::NotBeaten;
    case record::Outcome::Failed:
        break;
    }
    std::fprintf(stderr, "brunilla-record: not stored: %s\n", result.why.c_str());
    return record::NotStored;
}
