// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the fuzz targets share: a failed check aborts, which the fuzzer reports
// with the input; and a directory of the process's own for record files.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <fcntl.h>
#include <unistd.h>

#define CHECK(condition)                                                                 \
    ((condition) ? void()                                                                \
                 : (std::fprintf(stderr, "%s:%d: %s\n", __FILE__, __LINE__, #condition), \
                    std::abort()))

// Every name a record's directory holds: the five files, sorted, then the
// second names a save under way gives the old pair.
// clang-format off
inline constexpr const char *kNames[] = {"blocco", "ntavrec8.txt", "ntavrec8.txt.nuovo",
        "tavrec8.txt", "tavrec8.txt.nuovo", "ntavrec8.txt.vecchio", "tavrec8.txt.vecchio"};
// clang-format on

// Under TMPDIR, else in memory when it can be, since every input writes
// files; removed at exit.
inline const std::string &scratchDir()
{
    static const struct Scratch
    {
        std::string path;
        Scratch()
        {
            const char *under = std::getenv("TMPDIR");
            path = under ? under : ::access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
            CHECK(::mkdtemp((path += "/brunilla-fuzz.XXXXXX").data()));
        }
        ~Scratch() { std::filesystem::remove_all(path); }
    } scratch;
    return scratch.path;
}

// The scratch directory emptied, and opened.
inline int emptyScratch()
{
    for (const auto &entry : std::filesystem::directory_iterator(scratchDir()))
        std::filesystem::remove_all(entry);
    const int dir = ::open(scratchDir().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    CHECK(dir >= 0);
    return dir;
}
