// SPDX-License-Identifier: GPL-3.0-or-later
// The record files on a real file system: saving, refusing, failing, being
// stopped half way, being read while saves run, and the helper's input.

#include "storage/record.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <thread>

#include <fcntl.h>
#include <grp.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QStringList kFiles{"blocco", "ntavrec8.txt", "ntavrec8.txt.nuovo", "tavrec8.txt",
                         "tavrec8.txt.nuovo"};

// A process of its own: its exit code, 128 + 9 when it was killed.
int run(const QStringList &command, const QByteArray &input = {}, QByteArray *said = nullptr)
{
    QProcess process;
    process.start(command.first(), command.mid(1));
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(20000);
    if (said)
        *said = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128 + SIGKILL;
}

// This program again, saving as another copy of the game would.
QStringList saver(const QString &dir, const char *score, const char *holder)
{
    return {QCoreApplication::applicationFilePath(), dir, QLatin1String(score), QLatin1String(holder)};
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
    std::string dir() const { return m_dir.toStdString(); }
    QString file(const QString &name) const { return m_dir + u'/' + name; }
    void write(const QString &name, const QByteArray &bytes)
    {
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(out.write(bytes), bytes.size());
    }
    // The next start of the game shows: score|holder
    QByteArray loaded() const
    {
        const record::Pair pair = record::load(dir());
        return QByteArray::fromStdString(pair.score + '|' + pair.holder);
    }
    record::Outcome save(const char *score, const char *holder)
    {
        return record::saveIfBeaten(dir(), score, holder, record::ownFolder()).outcome;
    }
    QStringList entries() const
    {
        return QDir(m_dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_dir = m_tmp->path();
    }

    void saving()
    {
        using record::Outcome;
        // The pair before (none: no files), the one proposed, the outcome, the pair after.
        const std::tuple<const char *, const char *, const char *, Outcome, const char *> rows[] = {
            {nullptr, "3", "Niccol\xc3\xb2", Outcome::Saved, "3\r\n|Niccol\xc3\xb2\r\n"},
            {"|", "0", "Anna", Outcome::NotBeaten, "|"},
            {"12\r\n|Anna\r\n", "12", "Luca", Outcome::NotBeaten, "12\r\n|Anna\r\n"}, // a tie
            {"12\r\n|Anna\r\n", "13", " Luca ", Outcome::Saved, "13\r\n| Luca \r\n"},
            {"record!\r\n|?\r\n", "1", "Anna", Outcome::Saved, "1\r\n|Anna\r\n"}, // no number: 0
            {"7\r\n9\r\n|Eva\r\n", "7", "Anna", Outcome::NotBeaten, "7\r\n9\r\n|Eva\r\n"},
            {"|", "4", "Eva\x1b]0;x\x07", Outcome::Refused, "|"},
        };
        for (const auto &[before, score, holder, outcome, after] : rows) {
            init();
            if (before) {
                write(QStringLiteral("tavrec8.txt"), QByteArray(before).split('|')[0]);
                write(QStringLiteral("ntavrec8.txt"), QByteArray(before).split('|')[1]);
            }
            QVERIFY2(save(score, holder) == outcome, score);
            QCOMPARE(loaded(), QByteArray(after));
        }
        QCOMPARE(save("20", "Marta"), record::Outcome::Saved); // a second save, on the spare pair
        QCOMPARE(loaded(), QByteArray("20\r\n|Marta\r\n"));
        QCOMPARE(entries(), kFiles);
    }

    void names()
    {
        // Each name, and whether a record may hold it.
        const std::pair<QByteArray, bool> rows[] = {
            {"", true},
            {"  Niccol\xc3\xb2 ", true},
            {"\xe6\x9d\x8e\xe5\xa8\x9c", true},                    // CJK
            {"Zo\xc3\xab \xf0\x9f\x98\x80", true},                 // an emoji, four bytes
            {QByteArray(32, 'a'), true},
            {QByteArray(33, 'a'), false},
            {"Eva\tMaria", false},                                 // C0
            {"Eva\x7f", false},                                    // DEL
            {"Eva\xc2\x85", false},                                // C1, NEL
            {"\xe2\x80\xae" "avE", false},                         // right-to-left override
            {"Eva\xe2\x81\xa6", false},                            // left-to-right isolate
            {"Eva\xe2\x80\xa8" "Lu", false},                            // line separator
            {"Eva\xff", false},                                    // no UTF-8
            {"\xc0\xaf", false},                                   // overlong
            {"\xed\xa0\x80", false},                               // a surrogate
            {"Eva\xe2\x82", false},                                // cut short
        };
        for (const auto &[name, storable] : rows)
            QVERIFY2((record::nameProblem(name.toStdString()) == nullptr) == storable, name.toHex().constData());
        // A name the name box fills to its limit with four-byte characters is still one request.
        QByteArray longest;
        for (std::size_t i = 0; i < record::kMaxNameLength; ++i)
            longest += "\xf0\x9f\x98\x80";
        const std::string input = ("32767\n" + longest + '\n').toStdString();
        record::Request request;
        QVERIFY(!record::parseRequest(input, request));
        QCOMPARE(QByteArray::fromStdString(std::string(request.name)), longest);
    }

    void requests()
    {
        // The helper's input, and whether it is a request.
        const std::pair<QByteArray, bool> rows[] = {
            {"12\nEva\n", true},  {"0\n\n", true},          {"32767\nEva\n", true},
            {"", false},          {"12", false},            {"12\n", false},
            {"x12\nEva\n", false}, {" 12\nEva\n", false},   {"-1\nEva\n", false},
            {"32768\nEva\n", false}, {"123456\nEva\n", false}, {"12\nEva", false},
            {"\nEva\n", false},   {"12\nEva\nmore\n", false}, {"12\nE\rva\n", false},
            {QByteArray("12\nE\0va\n", 8), false}, {QByteArray(10000, '7'), false},
        };
        for (const auto &[input, taken] : rows) {
            record::Request request;
            QVERIFY2((record::parseRequest(input.toStdString(), request) == nullptr) == taken, input.left(20).constData());
        }
        record::Request request;
        QVERIFY(!record::parseRequest("42\n Eva \n", request));
        QCOMPARE(std::string(request.score), std::string("42"));
        QCOMPARE(std::string(request.name), std::string(" Eva "));
    }

    void failuresChangeNothing()
    {
        // What is wrong in the directory, the keeper, and the cause the save gives.
        const auto other = record::Keeper{::geteuid() + 1, false};
        const auto strict = record::Keeper{::geteuid(), false};
        const std::tuple<const char *, record::Keeper, const char *> rows[] = {
            {"score-dir", record::ownFolder(), "tavrec8.txt is not a plain file"},
            {"holder-fifo", record::ownFolder(), "ntavrec8.txt is not a plain file"},
            {"score-link", record::ownFolder(), "cannot open tavrec8.txt"},
            {"spare-link", record::ownFolder(), "cannot open tavrec8.txt.nuovo"},
            {"lock-open", record::ownFolder(), "blocco is open to every account"},
            {"", other, "blocco belongs to another account"},
            {"no-spare", strict, "cannot open ntavrec8.txt.nuovo"},
        };
        for (const auto &[wrong, keeper, cause] : rows) {
            init();
            QCOMPARE(save("5", "Anna"), record::Outcome::Saved);
            const QString w = QLatin1String(wrong);
            const auto replace = [this](const char *name) { return QFile::remove(file(QLatin1String(name))); };
            if (w == u"score-dir")
                QVERIFY(replace("tavrec8.txt") && QDir(m_dir).mkdir(QStringLiteral("tavrec8.txt")));
            if (w == u"holder-fifo")
                QVERIFY(replace("ntavrec8.txt") && ::mkfifo(qPrintable(file(QStringLiteral("ntavrec8.txt"))), 0644) == 0);
            if (w == u"score-link")
                QVERIFY(QFile::rename(file(QStringLiteral("tavrec8.txt")), file(QStringLiteral("x")))
                        && QFile::link(QStringLiteral("x"), file(QStringLiteral("tavrec8.txt"))));
            if (w == u"spare-link")
                QVERIFY(replace("tavrec8.txt.nuovo") && QFile::link(QStringLiteral("/dev/null"), file(QStringLiteral("tavrec8.txt.nuovo"))));
            if (w == u"lock-open")
                QVERIFY(::chmod(qPrintable(file(QStringLiteral("blocco"))), 0604) == 0);
            if (w == u"no-spare")
                QVERIFY(replace("ntavrec8.txt.nuovo"));
            const QStringList files = entries();
            const QByteArray before = loaded();
            const record::Result result = record::saveIfBeaten(dir(), "9", "Luca", keeper);
            QVERIFY2(result.outcome == record::Outcome::Failed, wrong);
            QVERIFY2(QByteArray::fromStdString(result.why).startsWith(cause), result.why.c_str());
            QVERIFY2(loaded() == before, wrong);
            QCOMPARE(entries(), files);
        }
    }

    void aHeldLockFailsInTime()
    {
        QCOMPARE(save("5", "Anna"), record::Outcome::Saved);
        const int held = ::open(qPrintable(file(QStringLiteral("blocco"))), O_RDONLY | O_CLOEXEC);
        QVERIFY(::flock(held, LOCK_EX) == 0);
        QElapsedTimer clock;
        clock.start();
        const record::Result result = record::saveIfBeaten(dir(), "9", "Luca", record::ownFolder());
        QCOMPARE(result.outcome, record::Outcome::Failed);
        QVERIFY(result.why.starts_with("cannot lock blocco"));
        QVERIFY(clock.elapsed() < 6000);
        clock.start();
        QCOMPARE(loaded(), QByteArray("5\r\n|Anna\r\n")); // the start-up does not wait
        QVERIFY(clock.elapsed() < 500);
        ::close(held);
    }

    void readingIsBounded()
    {
        write(QStringLiteral("tavrec8.txt"), QByteArray(10 * 1024 * 1024, '9'));
        QCOMPARE(loaded().size(), qsizetype(record::kReadLimit + 1));
        QFile::remove(file(QStringLiteral("tavrec8.txt"))); // a pipe would block a reader
        QCOMPARE(::mkfifo(qPrintable(file(QStringLiteral("tavrec8.txt"))), 0600), 0);
        std::string why;
        QCOMPARE(record::load(dir(), &why).score, std::string());
        QCOMPARE(why, std::string("tavrec8.txt is not a plain file"));
    }

    void concurrentGamesKeepTheHighest()
    {
        // Eight copies of the game, all started on an empty record, end at once.
        std::vector<std::unique_ptr<QProcess>> games;
        for (int score = 1; score <= 8; ++score) {
            games.push_back(std::make_unique<QProcess>());
            const QByteArray holder = "P" + QByteArray::number(score);
            const QStringList command = saver(m_dir, QByteArray::number(score).constData(), holder.constData());
            games.back()->start(command.first(), command.mid(1));
        }
        for (auto &game : games) {
            QVERIFY(game->waitForFinished(20000));
            QVERIFY(game->exitCode() <= int(record::Outcome::NotBeaten));
        }
        QCOMPARE(loaded(), QByteArray("8\r\n|P8\r\n"));
    }

    void loadsNeverSeeAMixedPair()
    {
        // A stream of saves, each holder named after its score, read all the while.
        QCOMPARE(save("1", "P1"), record::Outcome::Saved);
        std::atomic<bool> saving = true;
        std::thread saves([this, &saving] {
            for (int score = 2; score <= 300; ++score) {
                const std::string digits = std::to_string(score);
                record::saveIfBeaten(dir(), digits, std::string(1, 'P').append(digits), record::ownFolder());
            }
            saving = false;
        });
        int reads = 0;
        QByteArray mixed;
        while (saving && mixed.isEmpty()) {
            const QList<QByteArray> pair = loaded().split('|');
            if (pair[0].trimmed().isEmpty() || "P" + pair[0].trimmed() != pair[1].trimmed())
                mixed = pair.join('|');
            ++reads;
        }
        saves.join();
        QCOMPARE(mixed, QByteArray());
        QVERIFY(reads > 50);
        QCOMPARE(loaded(), QByteArray("300\r\n|P300\r\n"));
    }

    void aSaveStoppedAnywhereLeavesAWholePair()
    {
#ifdef __SANITIZE_ADDRESS__
        QSKIP("stopped at each step, the sanitized save takes minutes; the plain build's tests cover it");
#endif
        const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
        if (strace.isEmpty())
            QSKIP("strace, which stops the save at each of its steps, is not installed (see tools/packages)");
        int stops = 0;
        // The save killed at the n-th call of each kind it makes to the file system.
        for (const char *call : {"openat", "write", "fsync", "ftruncate", "linkat", "renameat", "renameat2", "unlinkat"}) {
            for (int n = 1;; ++n, ++stops) {
                init();
                QCOMPARE(save("5", "Anna"), record::Outcome::Saved);
                const QString inject = QStringLiteral("-einject=%1:signal=KILL:when=%2").arg(call).arg(n);
                const int status = run(QStringList{strace, QStringLiteral("-fqqo/dev/null"), inject} + saver(m_dir, "9", "Luca"));
                if (status == 1 && n == 1)
                    QSKIP("strace cannot trace here (no ptrace)");
                const QByteArray where = QStringLiteral("%1 #%2").arg(call).arg(n).toLatin1();
                QVERIFY2(loaded() == "5\r\n|Anna\r\n" || loaded() == "9\r\n|Luca\r\n", where.constData());
                // The next save mends what was left and stores its pair whole.
                QCOMPARE(run(saver(m_dir, "20", "Marta")), int(record::Outcome::Saved));
                QCOMPARE(loaded(), QByteArray("20\r\n|Marta\r\n"));
                QVERIFY2(entries() == kFiles, where.constData());
                if (status != 128 + SIGKILL)
                    break; // the save made fewer such calls: every stop was tried
            }
        }
        QVERIFY2(stops > 20, qPrintable(QString::number(stops)));
    }

    void helperTakesOnlyARecord()
    {
        // Refused before the record directory is touched; a request that arrives
        // in pieces is read whole and taken there (where, built, there is none).
        QByteArray said;
        QCOMPARE(run({QStringLiteral(HELPER)}, "12\nEva\x1b[2J\n", &said), int(record::Outcome::Refused));
        QCOMPARE(said, QByteArray("brunilla-record: input refused: the name holds a control character\n"));
        QProcess helper;
        helper.start(QStringLiteral(HELPER), {});
        for (const char *piece : {"1", "2\nE", "va", "\n"}) {
            helper.write(piece);
            QVERIFY(helper.waitForBytesWritten());
            QTest::qWait(50);
        }
        helper.closeWriteChannel();
        QVERIFY(helper.waitForFinished());
        QCOMPARE(helper.exitCode(), int(record::Outcome::Failed));
    }

    void preparingTheSharedDirectory()
    {
        if (::geteuid() != 0)
            QSKIP("only root gives files to root and a group");
        const group *games = ::getgrnam("games");
        QVERIFY(games);
        const QString target = m_tmp->filePath(QStringLiteral("elsewhere"));
        write(QStringLiteral("elsewhere"), "secret");
        QCOMPARE(::chmod(qPrintable(target), 0600), 0);
        m_dir = m_tmp->filePath(QStringLiteral("brunilla"));
        QVERIFY(record::prepareShared(dir(), games->gr_gid).outcome == record::Outcome::Saved);
        // What stands in the directory before it is prepared again (kept: the
        // bytes a file of one name holds are kept), and what is left there.
        QCOMPARE(::chown(qPrintable(file(QStringLiteral("tavrec8.txt"))), 20001, 20001), 0); // a player's
        write(QStringLiteral("tavrec8.txt"), "7\r\n");
        QVERIFY(QFile::remove(file(QStringLiteral("ntavrec8.txt"))));
        QVERIFY(QFile::link(target, file(QStringLiteral("ntavrec8.txt"))));
        QVERIFY(QFile::remove(file(QStringLiteral("tavrec8.txt.nuovo"))));
        QCOMPARE(::link(qPrintable(target), qPrintable(file(QStringLiteral("tavrec8.txt.nuovo")))), 0);
        QVERIFY(QFile::remove(file(QStringLiteral("blocco"))));
        QCOMPARE(record::prepareShared(dir(), games->gr_gid).outcome, record::Outcome::Saved);
        for (const QString &name : kFiles) {
            struct stat info{};
            QCOMPARE(::lstat(qPrintable(file(name)), &info), 0);
            QVERIFY2(S_ISREG(info.st_mode) && info.st_nlink == 1, qPrintable(name));
            QVERIFY2(info.st_uid == 0 && info.st_gid == games->gr_gid, qPrintable(name));
            QCOMPARE(info.st_mode & 07777, name == u"blocco" ? 0640u : 0664u);
        }
        QCOMPARE(loaded(), QByteArray("7\r\n|"));
        struct stat planted{};
        QCOMPARE(::stat(qPrintable(target), &planted), 0);
        QCOMPARE(planted.st_mode & 07777, 0600u);
        QCOMPARE(planted.st_uid, ::geteuid());
        QCOMPARE(QFile(file(QStringLiteral("tavrec8.txt.nuovo"))).size(), 0); // its bytes unread
    }
};

// With a directory, a score and a name, the test saves them, as another
// copy of the game would, and exits with the outcome.
int main(int argc, char *argv[])
{
    if (argc == 4 && argv[1][0] == '/')
        return int(record::saveIfBeaten(argv[1], argv[2], argv[3], record::ownFolder()).outcome);
    QCoreApplication app(argc, argv);
    TestRecords test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_records.moc"
