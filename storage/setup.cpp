// SPDX-License-Identifier: GPL-3.0-or-later
// brunilla-record-setup: run as root by the package's maintainer scripts
// after every installation and upgrade. It makes the shared record's
// directory whole: every file there root's and the group games', with
// nothing found in the directory changed in place (record::prepareShared).

#include "buildsettings.h"
#include "storage/record.h"

#include <cstdio>

#include <grp.h>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char *[])
{
    if (argc != 1 || ::geteuid() != 0) {
        std::fprintf(stderr, "brunilla-record-setup: run it as root, without arguments\n");
        return 2;
    }
    ::umask(022);
    const group *games = ::getgrnam("games");
    if (!games) {
        std::fprintf(stderr, "brunilla-record-setup: there is no group games\n");
        return 1;
    }
    const record::Result result = record::prepareShared(build::kSharedRecordDir, games->gr_gid);
    // A note (another process held the lock) is said, and is no failure:
    // no account may make the package fail to configure.
    if (!result.why.empty())
        std::fprintf(stderr, "brunilla-record-setup: %s: %s\n", build::kSharedRecordDir,
                     result.why.c_str());
    return result.outcome == record::Outcome::Saved ? 0 : 1;
}
