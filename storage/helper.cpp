// SPDX-License-Identifier: GPL-3.0-or-later
// brunilla-record: stores a new record in the directory every account
// shares. Installed set-group-id games, it is the only way the players'
// games change the shared files, so it trusts nothing it is given: no
// argument, no environment, no signal mask, no more input than a record
// needs.
//
// Standard input: the score (digits) on the first line, the holder's name
// on the second. Exit status: that of record::Outcome (0 stored, 1 not
// beaten, 2 input refused, 3 not stored), with the cause on standard error.

#include "buildsettings.h"
#include "storage/record.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int say(record::Outcome outcome, const char *what, const std::string &why)
{
    std::fprintf(stderr, "brunilla-record: %s: %s\n", what, why.c_str());
    return int(outcome);
}

// Descriptors 0 to 2 held open, so that no file opened here can take one
// of their numbers and receive what is meant for the terminal.
void holdStandardDescriptors()
{
    for (int fd = 0; fd < 3; ++fd)
        if (::fcntl(fd, F_GETFD) == -1)
            ::open("/dev/null", O_RDWR);
}

// The switch is safe to stop at any instant, so signals are not held back:
// its owner ends it as any program, whatever the caller blocked or ignored
// before starting it. Only a closed pipe is an error, not an end.
void defaultSignals()
{
    sigset_t none;
    ::sigemptyset(&none);
    ::sigprocmask(SIG_SETMASK, &none, nullptr);
    for (const int ending : {SIGTERM, SIGINT, SIGHUP})
        ::signal(ending, SIG_DFL);
    ::signal(SIGPIPE, SIG_IGN);
}

// As much as a request may hold, and one byte more, however it arrives.
std::string readInput()
{
    std::string input(record::kMaxRequest + 1, '\0');
    std::size_t got = 0;
    while (got < input.size()) {
        const ssize_t n = ::read(STDIN_FILENO, input.data() + got, input.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    input.resize(got);
    return input;
}

} // namespace

int main()
{
    holdStandardDescriptors();
    defaultSignals();
    // The group right is held back until the record directory is touched.
    const gid_t games = ::getegid();
    if (::setegid(::getgid()) != 0)
        return int(record::Outcome::Failed);
    ::clearenv();
    ::umask(022);

    const std::string input = readInput();
    record::Request request;
    if (const char *problem = record::parseRequest(input, request))
        return say(record::Outcome::Refused, "input refused", problem);

    if (::setegid(games) != 0)
        return int(record::Outcome::Failed);
    const record::Result result = record::saveIfBeaten(build::kSharedRecordDir, request.score,
                                                       request.name, record::sharedFolder());
    if (::setegid(::getgid()) != 0)
        return int(record::Outcome::Failed);
    if (result.outcome == record::Outcome::Failed)
        return say(result.outcome, "not stored", result.why);
    if (!result.why.empty())
        say(result.outcome, "note", result.why);
    return int(result.outcome);
}
