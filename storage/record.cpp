// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/record.h"

#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <locale.h>
#include <memory>
#include <optional>
#include <thread>
#include <utility>
#include <vector>

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace record {
namespace {

using namespace std::chrono_literals;
using Stat = struct stat;

// Another save holds the lock for the few milliseconds of its switch:
// wait for it, but not for ever.
constexpr auto kLockWait = 3s;
// Reads of a pair that a save switched meanwhile, before the last one stands.
constexpr int kLoadAttempts = 50;
// How deep a directory planted where a file of the record belongs is removed.
constexpr int kPlantedDepth = 8;

const std::string kScore = kScoreFile;
const std::string kHolder = kHolderFile;
const std::string kSpareScore = kScore + ".nuovo";
const std::string kSpareHolder = kHolder + ".nuovo";
// The old score's second name is made last and goes first: while it
// exists, the old pair is the record.
const std::string kOldScore = kScore + ".vecchio";
const std::string kOldHolder = kHolder + ".vecchio";
const std::string kLock = "blocco";

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

Result failed(std::string why)
{
    return {Outcome::Failed, std::move(why)};
}

// Whether name is there, into info; nothing when that cannot be told, which
// a mend must never take for either: a second name taken for missing, or a
// missing one for there, would mix the pair.
std::optional<bool> there(int dir, const std::string &name, Stat &info)
{
    if (::fstatat(dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0)
        return true;
    if (errno == ENOENT)
        return false;
    return std::nullopt;
}

std::optional<bool> there(int dir, const std::string &name)
{
    Stat info{};
    return there(dir, name, info);
}

bool untold(std::string &why)
{
    why = "cannot tell which files of the record are there: " + std::string(std::strerror(errno));
    return false;
}

bool sameState(const Stat &a, const Stat &b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size
            && a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec
            && a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

// A plain file of the directory, never through a link; anything else
// (a link, a directory, a pipe) fails, saying why.
Fd openPlain(int dir, const std::string &name, int flags, Stat &info, std::string &why)
{
    Fd fd(::openat(dir, name.c_str(), flags | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (!fd) {
        fail(why, "cannot open", name);
        return Fd();
    }
    if (::fstat(fd.get(), &info) != 0) {
        fail(why, "cannot read", name);
        return Fd();
    }
    if (!S_ISREG(info.st_mode)) {
        why = name + " is not a plain file";
        return Fd();
    }
    return fd;
}

// A file of the record as its keeper made it: theirs, and open to no
// other account in the ways forbidden says.
Fd openKept(int dir, const std::string &name, int flags, const Keeper &keeper, std::string &why,
            mode_t forbidden = S_IWOTH)
{
    Stat info{};
    Fd fd = openPlain(dir, name, flags, info, why);
    if (!fd)
        return fd;
    if (info.st_uid != keeper.owner) {
        why = name + " belongs to another account";
        return Fd();
    }
    if ((info.st_mode & forbidden) != 0) {
        why = name + " is open to every account";
        return Fd();
    }
    return fd;
}

// At most kReadLimit bytes from the start.
bool readAll(int fd, std::string &bytes, const std::string &name, std::string &why)
{
    bytes.assign(kReadLimit, '\0');
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, off_t(got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            bytes.clear();
            return fail(why, "cannot read", name);
        }
        if (n == 0)
            break;
        got += std::size_t(n);
    }
    bytes.resize(got);
    return true;
}

bool writeAll(int fd, const std::string &bytes, const std::string &name, std::string &why)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return fail(why, "cannot write", name);
        done += std::size_t(n);
    }
    return ::fsync(fd) == 0 || fail(why, "cannot write", name);
}

bool makeMissing(int dir, const std::string &name, mode_t mode, std::string &why)
{
    const Fd fd(::openat(dir, name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                         mode));
    return fd || errno == EEXIST || fail(why, "cannot create", name);
}

bool link(int dir, const std::string &from, const std::string &to, std::string &why)
{
    return ::linkat(dir, from.c_str(), dir, to.c_str(), 0) == 0
            || fail(why, "cannot keep aside", from);
}

bool rename(int dir, const std::string &from, const std::string &to, std::string &why)
{
    return ::renameat(dir, from.c_str(), dir, to.c_str()) == 0 || fail(why, "cannot rename", from);
}

bool removeName(int dir, const std::string &name, std::string &why)
{
    return ::unlinkat(dir, name.c_str(), 0) == 0 || fail(why, "cannot remove", name);
}

bool sync(int dir, std::string &why)
{
    return ::fsync(dir) == 0 || fail(why, "cannot sync the directory of", kScore);
}

// An exclusive lock on fd within kLockWait.
bool lockWithin(int fd)
{
    const auto giveUp = std::chrono::steady_clock::now() + kLockWait;
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        if ((errno != EWOULDBLOCK && errno != EINTR) || std::chrono::steady_clock::now() > giveUp)
            return false;
        std::this_thread::sleep_for(10ms);
    }
    return true;
}

// The lock every save of the directory takes, on a file that no other
// account may even open, so that none can hold it.
Fd lock(int dir, const Keeper &keeper, std::string &why)
{
    Fd fd = openKept(dir, kLock, O_RDONLY, keeper, why, S_IRWXO);
    if (fd && !lockWithin(fd.get())) {
        if (errno == EWOULDBLOCK)
            why = "cannot lock " + kLock + ": another save held it for "
                    + std::to_string(kLockWait.count()) + " s";
        else
            fail(why, "cannot lock", kLock);
        return Fd();
    }
    return fd;
}

// Puts the old file back under its name cur, and the file cur held under
// spare when that name is free, so that no file of the record is lost.
bool putBack(int dir, const std::string &old, const std::string &cur, const std::string &spare,
             std::string &why)
{
    Stat oldInfo{}, curInfo{};
    const auto hasOld = there(dir, old, oldInfo);
    const auto hasCur = there(dir, cur, curInfo);
    const auto hasSpare = there(dir, spare);
    if (!hasOld || !hasCur || !hasSpare)
        return untold(why);
    if (!*hasOld)
        return true;
    if (*hasCur && oldInfo.st_dev == curInfo.st_dev && oldInfo.st_ino == curInfo.st_ino)
        return removeName(dir, old, why);
    if (*hasCur && !*hasSpare && !rename(dir, cur, spare, why))
        return false;
    return rename(dir, old, cur, why);
}

// After an interrupted save: before the new pair stood, the old pair is
// put back, its score last, since that second name marks the
// interruption; after, the old holder becomes the spare one.
bool recover(int dir, std::string &why)
{
    const auto interrupted = there(dir, kOldScore);
    const auto oldHolder = there(dir, kOldHolder);
    const auto spareHolder = there(dir, kSpareHolder);
    if (!interrupted || !oldHolder || !spareHolder)
        return untold(why);
    if (*interrupted)
        return putBack(dir, kOldHolder, kHolder, kSpareHolder, why)
                && putBack(dir, kOldScore, kScore, kSpareScore, why) && sync(dir, why);
    if (!*oldHolder)
        return true;
    const bool kept = *spareHolder ? removeName(dir, kOldHolder, why)
                                   : rename(dir, kOldHolder, kSpareHolder, why);
    return kept && sync(dir, why);
}

// One line of the new record, written over the spare file.
bool writeSpare(int dir, const std::string &name, std::string_view line, const Keeper &keeper,
                std::string &why)
{
    const Fd fd = openKept(dir, name, O_WRONLY, keeper, why);
    if (!fd)
        return false;
    // Written in place, a file of two names would change the other one too.
    Stat info{};
    if (::fstat(fd.get(), &info) != 0)
        return fail(why, "cannot read", name);
    if (info.st_nlink != 1) {
        why = name + " has a second name";
        return false;
    }
    if (::ftruncate(fd.get(), 0) != 0)
        return fail(why, "cannot write", name);
    return writeAll(fd.get(), std::string(line) + "\r\n", name, why);
}

// The spare pair, which holds the new record, switched with the record.
// Once the old score's second name is gone the new pair is the record:
// what is left to tidy then is noted in why, and the next save redoes it.
bool switchPair(int dir, std::string &why)
{
    const bool stands = link(dir, kHolder, kOldHolder, why) && link(dir, kScore, kOldScore, why)
            && sync(dir, why) && rename(dir, kSpareScore, kScore, why)
            && rename(dir, kSpareHolder, kHolder, why) && sync(dir, why)
            && rename(dir, kOldScore, kSpareScore, why);
    if (!stands) {
        std::string ignored;
        recover(dir, ignored);
        return false;
    }
    std::string note;
    const bool tidied = rename(dir, kOldHolder, kSpareHolder, note);
    if (!sync(dir, note) || !tidied)
        why = "stored, but " + note;
    return true;
}

// One file as a load saw it.
struct Seen
{
    std::string name;
    bool present = false;
    Fd fd;
    Stat info{};
    std::string bytes;
};

Seen look(int dir, const std::string &name, std::string &why)
{
    // What cannot be told counts as there, and unread: not whole.
    Seen seen{name, there(dir, name).value_or(true), Fd(), {}, {}};
    if (seen.present)
        seen.fd = openPlain(dir, name, O_RDONLY, seen.info, why);
    if (seen.fd && !readAll(seen.fd.get(), seen.bytes, name, why))
        seen.fd = Fd();
    return seen;
}

// Whether the name still holds, unchanged, the file that was read.
bool unchanged(int dir, const Seen &seen)
{
    Stat now{}, named{};
    if (!seen.fd) // missing or unreadable: nothing to compare but that
        return there(dir, seen.name) == seen.present;
    return ::fstat(seen.fd.get(), &now) == 0 && sameState(now, seen.info)
            && ::fstatat(dir, seen.name.c_str(), &named, AT_SYMLINK_NOFOLLOW) == 0
            && sameState(named, seen.info);
}

// The next character of valid UTF-8 from at, which moves past it; -1 for
// a byte that begins none.
long nextCharacter(std::string_view text, std::size_t &at)
{
    const auto byte = [&text](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned lead = byte(at);
    std::size_t extra = 0;
    unsigned long c = lead;
    unsigned long least = 0;
    if (lead >= 0xF0 && lead < 0xF8)
        extra = 3, c = lead & 0x07u, least = 0x10000;
    else if (lead >= 0xE0 && lead < 0xF0)
        extra = 2, c = lead & 0x0Fu, least = 0x800;
    else if (lead >= 0xC0 && lead < 0xE0)
        extra = 1, c = lead & 0x1Fu, least = 0x80;
    else if (lead >= 0x80)
        return -1;
    if (text.size() - at <= extra)
        return -1;
    for (std::size_t i = 1; i <= extra; ++i) {
        if ((byte(at + i) & 0xC0u) != 0x80u)
            return -1;
        c = (c << 6) | (byte(at + i) & 0x3Fu);
    }
    if (c < least || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))
        return -1; // overlong, beyond Unicode, or a surrogate
    at += extra + 1;
    return long(c);
}

// What a name may not hold, beyond controls and noncharacters: line and
// paragraph separators, bidirectional controls and marks, and the
// default-ignorable code points (invisible), but for the joiners ZWNJ and
// ZWJ (200C, 200D) and the variation selectors (180B-180D, 180F, FE00-FE0F,
// E0100-E01EF).
struct Range
{
    long first, last;
};
constexpr Range kRefused[] = {
        {0x00AD, 0x00AD},   {0x034F, 0x034F},   {0x061C, 0x061C},   {0x115F, 0x1160},
        {0x17B4, 0x17B5},   {0x180E, 0x180E},   {0x200B, 0x200B},   {0x200E, 0x200F},
        {0x2028, 0x202E},   {0x2060, 0x206F},   {0x3164, 0x3164},   {0xFEFF, 0xFEFF},
        {0xFFA0, 0xFFA0},   {0xFFF0, 0xFFF8},   {0x1BCA0, 0x1BCA3}, {0x1D173, 0x1D17A},
        {0xE0000, 0xE00FF}, {0xE01F0, 0xE0FFF},
};

const char *characterProblem(long c)
{
    if (c < 0x20 || (c >= 0x7F && c <= 0x9F))
        return "the name holds a control character";
    if ((c >= 0xFDD0 && c <= 0xFDEF) || (c & 0xFFFE) == 0xFFFE)
        return "the name holds a noncharacter";
    for (const Range &range : kRefused)
        if (c >= range.first && c <= range.last)
            return "the name holds a line break, a bidirectional control or an invisible character";
    return nullptr;
}

// Makes name free: a file or a link removed, and a directory planted there
// with what it holds, never following a link.
bool clear(int dir, const std::string &name, std::string &why, int depth = 0)
{
    if (::unlinkat(dir, name.c_str(), 0) == 0 || errno == ENOENT)
        return true;
    if (errno != EISDIR || depth == kPlantedDepth)
        return fail(why, "cannot remove", name);
    const int sub = ::openat(dir, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    const std::unique_ptr<DIR, int (*)(DIR *)> list(sub < 0 ? nullptr : ::fdopendir(sub),
                                                    ::closedir);
    if (!list) {
        if (sub >= 0)
            ::close(sub);
        return fail(why, "cannot remove", name);
    }
    std::vector<std::string> held;
    while (const dirent *entry = ::readdir(list.get()))
        if (std::string_view(entry->d_name) != "." && std::string_view(entry->d_name) != "..")
            held.emplace_back(entry->d_name);
    for (const std::string &inside : held)
        if (!clear(::dirfd(list.get()), inside, why, depth + 1))
            return false;
    return ::unlinkat(dir, name.c_str(), AT_REMOVEDIR) == 0 || fail(why, "cannot remove", name);
}

// name as the shared record needs it: a plain file of one name, root's and
// the group's, with mode. Otherwise a new file of root's takes its place,
// with the bytes of the old one when that was a plain file.
bool makeRootsOwn(int dir, const std::string &name, gid_t group, mode_t mode, std::string &why)
{
    const std::string fresh = name + ".copia";
    if (!clear(dir, fresh, why)) // left by an earlier run, or planted
        return false;
    Stat info{};
    const bool found = ::fstatat(dir, name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0;
    if (found && S_ISREG(info.st_mode) && info.st_uid == 0 && info.st_gid == group
        && (info.st_mode & 07777) == mode && info.st_nlink == 1)
        return true;
    std::string bytes, ignored;
    if (name != kLock) {
        Stat seen{};
        const Fd old = openPlain(dir, name, O_RDONLY, seen, ignored);
        // A second name may be a link to any file: its bytes are copied only
        // when every account may read them anyway.
        const bool open = seen.st_nlink == 1 || (seen.st_mode & S_IROTH) != 0;
        if (!old || !open || !readAll(old.get(), bytes, name, ignored))
            bytes.clear();
    }
    if (found && S_ISDIR(info.st_mode) && !clear(dir, name, why))
        return false;
    const Fd made(::openat(dir, fresh.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                           0600));
    if (!made)
        return fail(why, "cannot create", fresh);
    if (::fchown(made.get(), 0, group) != 0 || ::fchmod(made.get(), mode) != 0)
        return fail(why, "cannot give root and the group", fresh);
    return writeAll(made.get(), bytes, fresh, why) && rename(dir, fresh, name, why);
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

const char *nameProblem(std::string_view utf8)
{
    std::size_t characters = 0;
    for (std::size_t at = 0; at < utf8.size(); ++characters) {
        if (characters == kMaxNameLength)
            return "the name is too long";
        const long c = nextCharacter(utf8, at);
        if (c < 0)
            return "the name is not valid UTF-8";
        if (const char *problem = characterProblem(c))
            return problem;
    }
    return nullptr;
}

std::string storableName(std::string_view utf8)
{
    std::string name;
    std::size_t characters = 0;
    for (std::size_t at = 0; at < utf8.size() && characters < kMaxNameLength;) {
        const std::size_t from = at;
        const long c = nextCharacter(utf8, at);
        if (c < 0)
            ++at; // a byte of no character
        else if (!characterProblem(c))
            name += utf8.substr(from, at - from), ++characters;
    }
    return name;
}

const char *scoreProblem(std::string_view digits)
{
    int value = 0;
    const char *begin = digits.data();
    const char *end = begin + digits.size();
    const auto [stop, error] = std::from_chars(begin, end, value);
    const bool plain = !digits.empty() && digits.size() <= 5 && digits.front() != '-';
    if (!plain || error != std::errc() || stop != end || value > 32767)
        return "the score is not a number from 0 to 32767";
    return nullptr;
}

Outcome outcomeOfExit(int status)
{
    switch (status) {
    case int(Outcome::Saved):
        return Outcome::Saved;
    case int(Outcome::NotBeaten):
        return Outcome::NotBeaten;
    case int(Outcome::Refused):
        return Outcome::Refused;
    default:
        return Outcome::Failed;
    }
}

Keeper ownFolder()
{
    return {::geteuid(), true};
}

Keeper sharedFolder()
{
    return {0, false};
}

Pair load(const std::string &dir, std::string *why)
{
    std::string cause = "the record kept changing while it was read";
    Pair pair{{}, {}, false};
    const Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!d)
        fail(cause, "cannot open", dir);
    for (int attempt = 0; d && attempt < kLoadAttempts; ++attempt) {
        std::string seen;
        const auto switching = there(d.get(), kOldScore);
        const auto oldHolder = switching.value_or(false) ? there(d.get(), kOldHolder) : false;
        if (!switching || !oldHolder)
            continue; // not told: as good as changed
        const Seen score = look(d.get(), *switching ? kOldScore : kScore, seen);
        const Seen holder = look(d.get(), *oldHolder ? kOldHolder : kHolder, seen);
        // Every name the choice rested on still stands as it was read.
        if (there(d.get(), kOldScore) == switching
            && (!*switching || there(d.get(), kOldHolder) == oldHolder) && unchanged(d.get(), score)
            && unchanged(d.get(), holder)) {
            cause = seen;
            if (seen.empty())
                pair = {score.bytes, holder.bytes, true};
            break;
        }
        std::this_thread::sleep_for(1ms);
    }
    if (why)
        *why = cause;
    return pair;
}

bool ensure(const std::string &dir, std::string &why)
{
    const Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!d)
        return fail(why, "cannot open", dir);
    return makeMissing(d.get(), kScore, 0664, why) && makeMissing(d.get(), kHolder, 0664, why);
}

Result saveIfBeaten(const std::string &dir, std::string_view score, std::string_view holder,
                    const Keeper &keeper)
{
    if (const char *problem = scoreProblem(score))
        return {Outcome::Refused, problem};
    if (const char *problem = nameProblem(holder))
        return {Outcome::Refused, problem};
    std::string why;
    const Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!d)
        return fail(why, "cannot open", dir), failed(why);
    if (keeper.makesFiles && !makeMissing(d.get(), kLock, 0600, why))
        return failed(why);
    const Fd locked = lock(d.get(), keeper, why);
    if (!locked || !recover(d.get(), why))
        return failed(why);
    for (const std::string *name : {&kScore, &kHolder, &kSpareScore, &kSpareHolder})
        if (keeper.makesFiles && !makeMissing(d.get(), *name, 0664, why))
            return failed(why);
    // Both files must read: what cannot be read is never overwritten.
    std::string stored, storedHolder;
    for (auto [name, bytes] : {std::pair{&kScore, &stored}, {&kHolder, &storedHolder}}) {
        const Fd fd = openKept(d.get(), *name, O_RDONLY, keeper, why);
        if (!fd || !readAll(fd.get(), *bytes, *name, why))
            return failed(why);
    }
    if (readNumber(stored) >= readNumber(score))
        return {Outcome::NotBeaten, {}};
    if (!writeSpare(d.get(), kSpareScore, score, keeper, why)
        || !writeSpare(d.get(), kSpareHolder, holder, keeper, why) || !switchPair(d.get(), why))
        return failed(why);
    return {Outcome::Saved, why};
}

bool putAside(const std::string &dir, const Pair &offered, std::string &why)
{
    const Fd d(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!d)
        return fail(why, "cannot open", dir);
    // An earlier version kept its record without a lock file.
    if (!makeMissing(d.get(), kLock, 0600, why))
        return false;
    const Fd locked = openKept(d.get(), kLock, O_RDONLY, ownFolder(), why, S_IRWXO);
    if (!locked)
        return false;
    if (::flock(locked.get(), LOCK_EX | LOCK_NB) != 0)
        return fail(why, "cannot lock", kLock);
    if (!recover(d.get(), why))
        return false;
    const Pair now = load(dir);
    if (!now.whole || now.score != offered.score || now.holder != offered.holder) {
        why = "the record kept changed since it was offered";
        return false;
    }
    // Not synced, on the window's thread: a power cut at worst offers it again.
    return rename(d.get(), kScore, kScore + ".offerto", why)
            && rename(d.get(), kHolder, kHolder + ".offerto", why);
}

const char *parseRequest(std::string_view input, Request &request)
{
    if (input.size() > kMaxRequest)
        return "more than a score and a name";
    const std::size_t scoreEnd = input.find('\n');
    if (scoreEnd == std::string_view::npos || input.find('\n', scoreEnd + 1) != input.size() - 1)
        return "expected two lines: the score and the name";
    request = {input.substr(0, scoreEnd), input.substr(scoreEnd + 1, input.size() - scoreEnd - 2)};
    if (const char *problem = scoreProblem(request.score))
        return problem;
    return nameProblem(request.name);
}

Result prepareShared(const std::string &dir, gid_t group)
{
    std::string why;
    const std::size_t slash = dir.find_last_of('/');
    if (slash == std::string::npos || slash + 1 == dir.size())
        return failed("not a directory's absolute path: " + dir);
    const std::string parent = slash == 0 ? "/" : dir.substr(0, slash);
    const std::string base = dir.substr(slash + 1);
    const Fd up(::open(parent.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!up)
        return fail(why, "cannot open", parent), failed(why);
    const bool made = ::mkdirat(up.get(), base.c_str(), 0700) == 0;
    if (!made && errno != EEXIST)
        return fail(why, "cannot create", dir), failed(why);
    const Fd d(::openat(up.get(), base.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (!d)
        return fail(why, "cannot open", dir), failed(why);
    if (made && (::fchown(d.get(), 0, group) != 0 || ::fchmod(d.get(), 02775) != 0))
        return fail(why, "cannot give root and the group", dir), failed(why);
    // The previous version's saves locked the directory itself; any account
    // may hold that lock, so it is only waited for a while.
    lockWithin(d.get());
    const Keeper root{0, false};
    if (!makeRootsOwn(d.get(), kLock, group, 0640, why))
        return failed(why);
    // Without the lock, which a stopped or starved save may hold for as long
    // as its owner likes, all is done but mending an interrupted save: that
    // is the next save's.
    std::string note;
    const Fd locked = lock(d.get(), root, note);
    if (locked) {
        // A marker is a second name of a plain file: anything else was planted.
        for (const std::string *old : {&kOldScore, &kOldHolder}) {
            Stat info{};
            if (there(d.get(), *old, info).value_or(false) && !S_ISREG(info.st_mode)
                && !clear(d.get(), *old, why))
                return failed(why);
        }
        if (!recover(d.get(), why))
            return failed(why);
    } else {
        note += "; an interrupted save, if any, is left for the next save to mend";
    }
    for (const std::string *name : {&kScore, &kHolder, &kSpareScore, &kSpareHolder})
        if (!makeRootsOwn(d.get(), *name, group, 0664, why))
            return failed(why);
    if (!sync(d.get(), why))
        return failed(why);
    return {Outcome::Saved, locked ? std::string() : note};
}

} // namespace record
