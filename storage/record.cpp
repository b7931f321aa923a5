// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/record.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <thread>
#include <utility>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace record {
namespace {

using namespace std::chrono_literals;

// Another copy of the game may be saving: wait for it, but not for ever.
constexpr auto kLockWait = 5s;

const std::string kScore = kScoreFile;
const std::string kHolder = kHolderFile;
const std::string kNewScore = kScore + ".nuovo";
const std::string kNewHolder = kHolder + ".nuovo";
// The old score's second name is made last and removed first: while it
// exists, a save is under way or was interrupted, and the old pair is
// the one that stands.
const std::string kOldScore = kScore + ".vecchio";
const std::string kOldHolder = kHolder + ".vecchio";

class Fd
{
public:
    explicit Fd(int fd = -1) : m_fd(fd) {}
    Fd(Fd &&other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    Fd &operator=(Fd &&other) noexcept
    {
        std::swap(m_fd, other.m_fd);
        return *this;
    }
    Fd(const Fd &) = delete;
    Fd &operator=(const Fd &) = delete;
    ~Fd()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    int get() const { return m_fd; }
    explicit operator bool() const { return m_fd >= 0; }

private:
    int m_fd;
};

bool fail(std::string &why, const std::string &what, const std::string &name)
{
    why = what + " " + name + ": " + std::strerror(errno);
    return false;
}

// The record directory, locked for as long as the object lives.
class Directory
{
public:
    Directory(const std::string &path, int lock)
        : m_fd(::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC))
    {
        if (!m_fd) {
            fail(m_why, "cannot open", path);
            return;
        }
        const auto giveUp = std::chrono::steady_clock::now() + kLockWait;
        while (::flock(m_fd.get(), lock | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > giveUp) {
                fail(m_why, "cannot lock", path);
                return;
            }
            std::this_thread::sleep_for(10ms);
        }
        m_locked = true;
    }
    int fd() const { return m_fd.get(); }
    bool opened() const { return bool(m_fd); }
    bool locked() const { return m_locked; }
    const std::string &why() const { return m_why; }

private:
    Fd m_fd;
    bool m_locked = false;
    std::string m_why;
};

bool exists(int dir, const std::string &name)
{
    struct stat info{};
    return ::fstatat(dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
}

// At most kReadLimit bytes. A missing file, or anything but a plain file
// (a link, a pipe), reads as empty.
std::string read(int dir, const std::string &name)
{
    const Fd fd(::openat(dir, name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
    struct stat info{};
    if (!fd || ::fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))
        return {};
    std::string text(kReadLimit, '\0');
    std::size_t got = 0;
    while (got < text.size()) {
        const ssize_t n = ::read(fd.get(), text.data() + got, text.size() - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        got += std::size_t(n);
    }
    text.resize(got);
    return text;
}

bool createEmpty(int dir, const std::string &name, std::string &why)
{
    const Fd fd(::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0664));
    return fd || errno == EEXIST || fail(why, "cannot create", name);
}

bool ensureIn(int dir, std::string &why)
{
    return createEmpty(dir, kScore, why) && createEmpty(dir, kHolder, why);
}

// A file of our own making, on disk before it is used. Whatever stands
// under its name (a leftover, a link planted there) is removed, never
// followed.
bool writeNew(int dir, const std::string &name, const std::string &bytes, std::string &why)
{
    ::unlinkat(dir, name.c_str(), 0);
    const Fd fd(::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0664));
    if (!fd)
        return fail(why, "cannot create", name);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd.get(), bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(why, "cannot write", name);
        done += std::size_t(n);
    }
    return ::fsync(fd.get()) == 0 || fail(why, "cannot write", name);
}

// The file also under a second name: a hard link, which costs no copy.
bool keepAside(int dir, const std::string &name, const std::string &aside, std::string &why)
{
    ::unlinkat(dir, aside.c_str(), 0);
    return ::linkat(dir, name.c_str(), dir, aside.c_str(), 0) == 0 || fail(why, "cannot keep aside", name);
}

bool rename(int dir, const std::string &from, const std::string &to, std::string &why)
{
    return ::renameat(dir, from.c_str(), dir, to.c_str()) == 0 || fail(why, "cannot rename", from);
}

bool sync(int dir, std::string &why)
{
    return ::fsync(dir) == 0 || fail(why, "cannot sync the directory of", kScore);
}

// After an interrupted save, puts the old pair back under its names, the
// old score last, since its second name marks the interruption. It never
// removes the only copy of the old score: a rename that fails leaves it
// where the next load and save find it. What a save left before it began
// to switch the pair is thrown away.
bool recover(int dir, std::string &why)
{
    if (exists(dir, kOldScore)) {
        if (exists(dir, kOldHolder) && !rename(dir, kOldHolder, kHolder, why))
            return false;
        if (!rename(dir, kOldScore, kScore, why) || !sync(dir, why))
            return false;
    }
    for (const std::string *leftover : {&kNewScore, &kNewHolder, &kOldHolder})
        ::unlinkat(dir, leftover->c_str(), 0);
    return true;
}

// The new pair written aside, the old pair kept aside, then the renames.
bool switchPair(int dir, const std::string &score, const std::string &holder, std::string &why)
{
    const bool switched = writeNew(dir, kNewScore, score, why) && writeNew(dir, kNewHolder, holder, why)
                       && keepAside(dir, kHolder, kOldHolder, why) && keepAside(dir, kScore, kOldScore, why)
                       && sync(dir, why)
                       && rename(dir, kNewScore, kScore, why) && rename(dir, kNewHolder, kHolder, why)
                       && sync(dir, why);
    if (switched && ::unlinkat(dir, kOldScore.c_str(), 0) == 0) {
        ::unlinkat(dir, kOldHolder.c_str(), 0);
        return sync(dir, why);
    }
    if (switched)
        fail(why, "cannot remove", kOldScore);
    std::string ignored;
    recover(dir, ignored);
    return false;
}

Result failed(std::string why)
{
    return {Outcome::Failed, std::move(why)};
}

} // namespace

double readNumber(std::string_view text)
{
    std::size_t i = 0;
    auto digitsFrom = [&text](std::size_t at) {
        std::size_t n = 0;
        while (at + n < text.size() && text[at + n] >= '0' && text[at + n] <= '9')
            ++n;
        return n;
    };
    while (i < text.size() && (text[i] == ' ' || text[i] == '\t'))
        ++i;
    const std::size_t start = i;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const std::size_t whole = digitsFrom(i);
    i += whole;
    std::size_t fraction = 0;
    if (i < text.size() && text[i] == '.') {
        fraction = digitsFrom(i + 1);
        if (whole > 0 || fraction > 0)
            i += 1 + fraction;
    }
    if (whole == 0 && fraction == 0)
        return 0;
    // An exponent counts only when digits follow it.
    if (i < text.size() && std::string_view("eEdD").find(text[i]) != std::string_view::npos) {
        std::size_t j = i + 1;
        if (j < text.size() && (text[j] == '+' || text[j] == '-'))
            ++j;
        if (const std::size_t digits = digitsFrom(j); digits > 0)
            i = j + digits;
    }
    std::string number(text.substr(start, i - start));
    for (char &c : number)
        if (c == 'd' || c == 'D')
            c = 'e';
    // The C locale's decimal point whatever the program's locale; out of
    // range, strtod gives the limit (infinity or 0).
    static const locale_t c = ::newlocale(LC_ALL_MASK, "C", nullptr);
    return ::strtod_l(number.c_str(), nullptr, c);
}

Pair load(const std::string &dir)
{
    // Read even when the lock cannot be had: a stale view beats none.
    const Directory d(dir, LOCK_SH);
    if (!d.opened())
        return {};
    const bool interrupted = exists(d.fd(), kOldScore);
    return {read(d.fd(), interrupted ? kOldScore : kScore),
            read(d.fd(), interrupted && exists(d.fd(), kOldHolder) ? kOldHolder : kHolder)};
}

bool ensure(const std::string &dir, std::string &why)
{
    const Directory d(dir, LOCK_SH);
    why = d.why();
    return d.opened() && ensureIn(d.fd(), why);
}

Result saveIfBeaten(const std::string &dir, std::string_view score, std::string_view holder)
{
    const Directory d(dir, LOCK_EX);
    std::string why = d.why();
    if (!d.locked() || !recover(d.fd(), why) || !ensureIn(d.fd(), why))
        return failed(why);
    if (readNumber(read(d.fd(), kScore)) >= readNumber(score))
        return {Outcome::NotBeaten, {}};
    if (!switchPair(d.fd(), std::string(score) + "\r\n", std::string(holder) + "\r\n", why))
        return failed(why);
    return {Outcome::Saved, {}};
}

} // namespace record
