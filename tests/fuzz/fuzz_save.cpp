// SPDX-License-Identifier: GPL-3.0-or-later
// Saves with one file call failing, with any errno, or stopped before one:
// afterwards the record is the whole old pair or the whole new one, Saved says
// which, and the next save mends what is left, to the five files of a record.
//
// The record's file calls are linked to the wrappers below (CMakeLists.txt).
// A stop fails the call and every later one, leaving the files as a kill
// would: an exception would skip the save's destructors, since most of these
// calls are declared not to throw.

#include "fuzz.h"
#include "storage/record.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <utility>
#include <vector>

#include <sys/stat.h>

namespace {

// The k-th call fails, or when the save is stopped there, every call from it on.
struct Faults
{
    int calls = -1, at = 0, error = 0; // calls counts while a save runs
    bool stop = false, hit = false;
} faults;

bool failing()
{
    const int call = faults.calls < 0 ? -1 : faults.calls++;
    if (call < 0 || (faults.stop ? call < faults.at : call != faults.at))
        return false;
    // Stopped, it must neither spin on EINTR nor wait for the lock on EWOULDBLOCK.
    // Nor may a call say that a name it was given is missing: the kernel
    // never does so of one that is there.
    errno = faults.stop || faults.error == ENOENT ? EIO : faults.error;
    return faults.hit = true;
}

} // namespace

#define WRAP(type, call, params, args)              \
    extern "C" type __real_##call params;           \
    extern "C" type __wrap_##call params            \
    {                                               \
        return failing() ? -1 : __real_##call args; \
    }
WRAP(ssize_t, pread, (int fd, void *to, size_t n, off_t at), (fd, to, n, at))
// A save's writes take a few bytes at a time, as a signal may leave them.
WRAP(ssize_t, write, (int fd, const void *from, size_t n),
     (fd, from, faults.calls < 0 ? n : std::min<size_t>(n, 3)))
WRAP(int, fsync, (int fd), (fd))
WRAP(int, ftruncate, (int fd, off_t length), (fd, length))
WRAP(int, fstat, (int fd, struct stat *info), (fd, info))
WRAP(int, fstatat, (int d, const char *name, struct stat *info, int flags), (d, name, info, flags))
WRAP(int, linkat, (int d, const char *from, int e, const char *to, int flags),
     (d, from, e, to, flags))
WRAP(int, renameat, (int d, const char *from, int e, const char *to), (d, from, e, to))
WRAP(int, unlinkat, (int d, const char *name, int flags), (d, name, flags))
WRAP(int, flock, (int fd, int operation), (fd, operation))
// It takes a mode only when it makes a file. Not wrapped, open (of the
// directory, first) fails no differently, and changes nothing to stop at.
extern "C" int __real_openat(int d, const char *name, int flags, ...);
extern "C" int __wrap_openat(int d, const char *name, int flags, ...)
{
    va_list rest;
    va_start(rest, flags);
    const mode_t mode = __OPEN_NEEDS_MODE(flags) ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    return failing() ? -1 : __real_openat(d, name, flags, mode);
}

namespace {

bool same(const record::Pair &a, const record::Pair &b)
{
    return a.whole && b.whole && a.score == b.score && a.holder == b.holder;
}

// One save, failing or stopped at the fuzzer's call when it is given one.
void save(const std::string &score, const std::string &holder, FuzzedDataProvider *fuzz)
{
    const record::Pair before = record::load(scratchDir());
    const record::Pair saved{score + "\r\n", holder + "\r\n"};
    const bool beaten = !record::scoreProblem(score) && !record::nameProblem(holder)
            && record::readNumber(before.score) < record::readNumber(score);
    if (fuzz)
        faults = {0, fuzz->ConsumeIntegralInRange(0, 99), fuzz->ConsumeIntegralInRange(1, 133),
                  fuzz->ConsumeBool()};
    const record::Result result =
            record::saveIfBeaten(scratchDir(), score, holder, record::ownFolder());
    const Faults seen = std::exchange(faults, {});
    const record::Pair after = record::load(scratchDir());
    CHECK(same(after, before) || same(after, saved));
    // A stopped save has no outcome; one that was not stopped tells which pair stands.
    CHECK((seen.hit && seen.stop)
          || same(after, result.outcome == record::Outcome::Saved ? saved : before));
    CHECK(seen.hit ? result.outcome != record::Outcome::Saved || beaten
                   : (result.outcome == record::Outcome::Saved) == beaten);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fuzz(data, size);
    const int dir = emptyScratch();
    for (const char *name : {"tavrec8.txt", "ntavrec8.txt"}) {
        const std::string bytes = fuzz.ConsumeRandomLengthString(16);
        const int fd = fuzz.ConsumeBool() ? ::openat(dir, name, O_WRONLY | O_CREAT, 0644) : -1;
        CHECK(fd < 0 || (::write(fd, bytes.data(), bytes.size()) >= 0 && ::close(fd) == 0));
    }
    for (int saves = fuzz.ConsumeIntegralInRange(1, 2); saves > 0; --saves) {
        const std::string score = std::to_string(fuzz.ConsumeIntegralInRange(0, 40000));
        save(score, record::storableName(fuzz.ConsumeRandomLengthString(40)), &fuzz);
    }
    save("0", "", nullptr);
    // Exactly the five files, each a plain file of one name.
    std::vector<std::string> names;
    for (const auto &entry : std::filesystem::directory_iterator(scratchDir())) {
        const bool one = entry.symlink_status().type() == std::filesystem::file_type::regular
                && entry.hard_link_count() == 1;
        names.push_back(entry.path().filename().string() + (one ? "" : "!"));
    }
    std::ranges::sort(names);
    CHECK((names == std::vector<std::string>(kNames, kNames + 5)));
    ::close(dir);
    return 0;
}
