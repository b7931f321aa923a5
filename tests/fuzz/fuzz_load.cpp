// SPDX-License-Identifier: GPL-3.0-or-later
// The record as load reads it from a directory holding anything under the
// names a record's directory has: plain files of any bytes and mode,
// directories, pipes, symbolic links and second names of another entry.

#include "fuzz.h"
#include "storage/record.h"

#include <fuzzer/FuzzedDataProvider.h>

#include <chrono>

#include <sys/stat.h>

namespace {

void make(int dir, const char *name, FuzzedDataProvider &fuzz)
{
    const char *other = fuzz.PickValueInArray(kNames);
    switch (fuzz.ConsumeIntegralInRange(0, 6)) {
    case 1:
    case 2: {
        const int fd = ::openat(dir, name, O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        const std::string bytes = fuzz.ConsumeRandomLengthString(64);
        // Zeros after them, at times past what load reads.
        CHECK(::write(fd, bytes.data(), bytes.size()) == ssize_t(bytes.size())
              && ::ftruncate(fd, off_t(bytes.size() + fuzz.ConsumeIntegral<uint8_t>() * 40u)) == 0
              && ::fchmod(fd, fuzz.ConsumeIntegral<uint16_t>() & 07777) == 0 && ::close(fd) == 0);
        break;
    }
    case 3:
        CHECK(::mkdirat(dir, name, 0700) == 0);
        break;
    case 4:
        CHECK(::mkfifoat(dir, name, 0600) == 0);
        break;
    case 5:
        CHECK(::symlinkat(fuzz.ConsumeBool() ? "/dev/zero" : other, dir, name) == 0);
        break;
    case 6:
        ::linkat(dir, other, dir, name, 0); // none when other is missing or a directory
    }
}

// What load gives: the record is the old pair while its score has a second
// name, a missing file is empty, and a file that is not plain or cannot be read
// keeps the record from being whole.
record::Pair expected(int dir)
{
    struct stat info = {};
    const auto present = [&](const char *name) {
        return ::fstatat(dir, name, &info, AT_SYMLINK_NOFOLLOW) == 0;
    };
    const bool old = present("tavrec8.txt.vecchio");
    const bool oldHolder = old && present("ntavrec8.txt.vecchio");
    record::Pair pair;
    for (auto [name, bytes] :
         {std::pair{old ? "tavrec8.txt.vecchio" : "tavrec8.txt", &pair.score},
          {oldHolder ? "ntavrec8.txt.vecchio" : "ntavrec8.txt", &pair.holder}}) {
        if (!present(name))
            continue;
        const int fd = S_ISREG(info.st_mode) ? ::openat(dir, name, O_RDONLY | O_CLOEXEC) : -1;
        bytes->resize(record::kReadLimit);
        const ssize_t got = fd < 0 ? -1 : ::read(fd, bytes->data(), bytes->size());
        ::close(fd);
        if (got < 0)
            return {{}, {}, false};
        bytes->resize(std::size_t(got));
    }
    return pair;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzedDataProvider fuzz(data, size);
    const int dir = emptyScratch();
    for (const char *name : kNames)
        make(dir, name, fuzz);
    // Opening a pipe would wait for a writer, until a signal of the fuzzer's ends it.
    const auto start = std::chrono::steady_clock::now();
    const record::Pair pair = record::load(scratchDir());
    CHECK(std::chrono::steady_clock::now() - start < std::chrono::seconds(1));
    const record::Pair want = expected(dir);
    CHECK(pair.score == want.score && pair.holder == want.holder && pair.whole == want.whole);
    ::close(dir);
    return 0;
}
