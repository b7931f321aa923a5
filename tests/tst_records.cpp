// SPDX-License-Identifier: GPL-3.0-or-later
// The record files on a real file system: saving, refusing, failing, being
// read while saves run, and the helper. Every input the helper may take, and
// saves failing or stopped at each call, are the fuzz targets' (fuzz/), which
// run over their seeds among these tests. The shared directory, prepared by
// root and attacked by other accounts, is the package's test
// (debian/tests/shared-record).

#include "storage/record.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>
#include <csignal>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using namespace std::string_literals;
using record::Outcome;

namespace {

const QStringList kFiles{"blocco", "ntavrec8.txt", "ntavrec8.txt.nuovo", "tavrec8.txt",
                         "tavrec8.txt.nuovo"};

// A process of its own, in dir: its exit code, 128 + 9 when it was killed; what it
// wrote on standard error, into said.
int run(const QStringList &command, const QByteArray &input = {}, const QString &dir = {},
        QByteArray *said = nullptr)
{
    QProcess process;
    process.setWorkingDirectory(dir);
    process.start(command.first(), command.mid(1));
    process.write(input);
    process.closeWriteChannel();
    process.waitForFinished(20000);
    if (said)
        *said = process.readAllStandardError();
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128 + SIGKILL;
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    std::string m_dir;
    // Runs a shell command in the directory.
    int shell(const QString &command) const
    {
        return run({"sh", "-c", command}, {}, m_tmp->path());
    }
    // What the next start of the game shows: score|holder
    QByteArray loaded() const
    {
        const record::Pair pair = record::load(m_dir);
        return QByteArray::fromStdString(pair.score + '|' + pair.holder);
    }
    Outcome save(const char *score, const char *holder) const
    {
        return record::saveIfBeaten(m_dir, score, holder, record::ownFolder()).outcome;
    }
    // This program again, saving as another copy of the game would.
    QStringList saver(const char *score, const char *holder) const
    {
        return {QCoreApplication::applicationFilePath(), m_tmp->path(), score, holder};
    }
    QStringList entries() const
    {
        return QDir(m_tmp->path())
                .entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot);
    }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_dir = m_tmp->path().toStdString();
    }

    void failuresChangeNothing()
    {
        // What is wrong (a shell's words), the files' keeper, and the cause the save gives.
        const auto mine = record::ownFolder();
        const std::tuple<const char *, record::Keeper, const char *> rows[] = {
                {"rm tavrec8.txt; mkdir tavrec8.txt", mine, "tavrec8.txt is not a plain file"},
                {"rm ntavrec8.txt; mkfifo ntavrec8.txt", mine, "ntavrec8.txt is not a plain file"},
                {"ln -sf /dev/null tavrec8.txt.nuovo", mine, "cannot open tavrec8.txt.nuovo"},
                {"ln -f ntavrec8.txt tavrec8.txt.nuovo", mine,
                 "tavrec8.txt.nuovo has a second name"},
                {"chmod 604 blocco", mine, "blocco is open to every account"},
                {"flock blocco sleep 5 & sleep 0.2", mine,
                 "cannot lock blocco: another save held it"},
                {"", {::geteuid() + 1, false}, "blocco belongs to another account"},
                {"rm ntavrec8.txt.nuovo", {::geteuid(), false}, "cannot open ntavrec8.txt.nuovo"},
        };
        for (const auto &[wrong, keeper, cause] : rows) {
            init();
            QCOMPARE(save("5", "Anna"), Outcome::Saved);
            QCOMPARE(shell(QLatin1String(wrong)), 0);
            const QStringList files = entries();
            const QByteArray before = loaded();
            const record::Result result = record::saveIfBeaten(m_dir, "9", "Luca", keeper);
            QCOMPARE(result.outcome, Outcome::Failed);
            QVERIFY2(result.why.starts_with(cause), result.why.c_str());
            QCOMPARE(loaded(), before);
            QCOMPARE(entries(), files);
        }
    }

    void aKeptRecordIsPutAsideOnlyAsOffered()
    {
        // What happens once the pair is offered (a shell's words), and whether it is put aside.
        const std::pair<const char *, bool> rows[] = {
                {"", true},
                {"printf '9\\r\\n' > tavrec8.txt", false},
                {"flock blocco sleep 5 & sleep 0.2", false},
        };
        for (const auto &[meanwhile, aside] : rows) {
            init();
            QCOMPARE(save("5", "Anna"), Outcome::Saved);
            const record::Pair offered = record::load(m_dir);
            QCOMPARE(shell(QLatin1String(meanwhile)), 0);
            const QByteArray before = loaded();
            std::string why;
            QCOMPARE(record::putAside(m_dir, offered, why), aside);
            QCOMPARE(loaded(), aside ? "|"_ba : before);
            QCOMPARE(QFile::exists(m_tmp->filePath(u"ntavrec8.txt.offerto"_s)), aside);
        }
    }

    void concurrentGamesKeepTheHighest()
    {
        // Eight copies of the game, all started on an empty record, end at once.
        std::vector<std::unique_ptr<QProcess>> games;
        for (const char *score : {"1", "2", "3", "4", "5", "6", "7", "8"}) {
            games.push_back(std::make_unique<QProcess>());
            const QStringList command = saver(score, score);
            games.back()->start(command.first(), command.mid(1));
        }
        for (auto &game : games)
            QVERIFY(game->waitForFinished(20000) && game->exitCode() <= int(Outcome::NotBeaten));
        QCOMPARE(loaded(), QByteArray("8\r\n|8\r\n"));
    }

    void loadsNeverSeeAMixedPair()
    {
        // A stream of saves, each holder named after its score, read all the while; each
        // save first mends one interrupted after it gave the pair its second names.
        QCOMPARE(save("1", "1"), Outcome::Saved);
        std::atomic<bool> saving = true;
        std::thread saves([this, &saving] {
            for (int score = 2; score <= 2000; ++score) {
                for (const std::string name : {"/ntavrec8.txt", "/tavrec8.txt"})
                    ::link((m_dir + name).c_str(), (m_dir + name + ".vecchio").c_str());
                save(std::to_string(score).c_str(), std::to_string(score).c_str());
            }
            saving = false;
        });
        int reads = 0;
        QByteArray mixed;
        for (; saving && mixed.isEmpty(); ++reads)
            if (const QList<QByteArray> pair = loaded().split('|'); pair[0] != pair[1])
                mixed = pair.join('|');
        saves.join();
        QCOMPARE(mixed, QByteArray());
        QVERIFY(reads > 50);
    }

    void theSetupReplacesWhatWasPlanted()
    {
        if (::geteuid() != 0)
            QSKIP("the setup runs as root");
        // What was planted (a shell's words, beside a file f of a directory of its own), and the
        // score after: trees of directories go; a second name keeps its bytes only when every
        // account may read them, and f is left as it was, with one name again.
        QTemporaryDir beside;
        const QString f = beside.filePath(u"f"_s);
        const std::pair<const char *, const char *> rows[] = {
                {"mkdir -p tavrec8.txt/1/2/3/4/5/6/7 tavrec8.txt.copia/a/b/c/d/e", "|"},
                {"chmod 644 f; ln f tavrec8.txt", "12\n|"},
                {"chmod 640 f; ln f tavrec8.txt", "|"},
                {"chmod 664 f; ln f tavrec8.txt", "12\n|"},
                // An interrupted save, undone.
                {"echo 13 > tavrec8.txt; echo 12 > tavrec8.txt.vecchio", "12\n|"},
                // Another account's, as root's would be.
                {"echo 12 > tavrec8.txt; chmod 664 tavrec8.txt; chown 1 tavrec8.txt", "12\n|"},
        };
        for (const auto &[planted, after] : rows) {
            init();
            QString words = "echo 12 > f; chmod 600 f; "_L1 + QLatin1String(planted);
            QCOMPARE(shell(words.replace(u" f"_s, u' ' + f)), 0);
            struct stat before = {}, now = {};
            QCOMPARE(::stat(qPrintable(f), &before), 0);
            QCOMPARE(record::prepareShared(m_dir, ::getegid()).outcome, Outcome::Saved);
            QCOMPARE(entries(), kFiles);
            QCOMPARE(loaded(), after);
            QCOMPARE(::stat(qPrintable(f), &now), 0);
            QCOMPARE(now.st_mode, before.st_mode);
            QCOMPARE(now.st_nlink, nlink_t(1));
            // Root's, whoever made it.
            QCOMPARE(::stat(qPrintable(m_tmp->filePath(u"tavrec8.txt"_s)), &now), 0);
            QCOMPARE(now.st_uid, uid_t(0));
        }
        // A tree planted deeper than the record could need is not followed down; it says where.
        init();
        QCOMPARE(shell(u"mkdir -p tavrec8.txt/1/2/3/4/5/6/7/8"_s), 0);
        QCOMPARE(record::prepareShared(m_dir, ::getegid()).why, "cannot remove 8: Is a directory");
        // Given no absolute path of a directory, it touches nothing.
        for (const std::string &dir : {"relative"s, m_dir + "/"})
            QCOMPARE(record::prepareShared(dir, 1).why, "not a directory's absolute path: " + dir);
        // A missing directory is made, the group's to write.
        const std::string made = m_dir + "/made";
        QCOMPARE(record::prepareShared(made, 1).outcome, Outcome::Saved);
        struct stat info = {};
        QCOMPARE(::stat(made.c_str(), &info), 0);
        QCOMPARE(info.st_mode & 07777, mode_t(02775));
        QCOMPARE(info.st_gid, gid_t(1));
        // Run again, as every upgrade does, it keeps the files it made.
        QCOMPARE(::stat((made + "/tavrec8.txt").c_str(), &info), 0);
        QCOMPARE(record::prepareShared(made, 1).outcome, Outcome::Saved);
        struct stat again = {};
        QCOMPARE(::stat((made + "/tavrec8.txt").c_str(), &again), 0);
        QCOMPARE(again.st_ino, info.st_ino);
    }

    void names()
    {
        // A character at an edge of a rule, and whether a name may hold it.
        const std::pair<char32_t, bool> rows[] = {
                {U' ', true},     {U'~', true},    {0xA0, true},    {0xE8, true},
                {0x200D, true},   {0xFDCF, true},  {0xFDF0, true},  {0x800, true},
                {0x10000, true},  {0x1F, false},   {0x7F, false},   {0x9F, false},
                {0xAD, false},    {0x202E, false}, {0x2060, false}, {0x206F, false},
                {0xFDD0, false},  {0xFDEF, false}, {0xFFFE, false}, {0x1FFFF, false},
                {0xE0001, false},
        };
        for (const auto &[c, taken] : rows) {
            const QByteArray name = QString::fromUcs4(&c, 1).toUtf8();
            QVERIFY2(!record::nameProblem(name.toStdString()) == taken,
                     qPrintable(QString::number(c, 16)));
        }
    }

    void scores()
    {
        // A score at an edge of the rule, and whether a record may hold it.
        const std::pair<const char *, bool> rows[] = {
                {"0", true}, {"00000", true}, {"32767", true}, {"000001", false}, {"32768", false},
                {"", false}, {"-0", false},   {"+1", false},   {" 1", false},     {"1a", false},
        };
        for (const auto &[score, taken] : rows)
            QVERIFY2(!record::scoreProblem(score) == taken, score);
    }

    void theInstalledProgramsKeepTheSharedRecord()
    {
        if (::geteuid() != 0)
            QSKIP("the setup runs as root");
        // On a /var of their own: the setup makes the shared directory, then the helper stores
        // a record there and turns down one that does not beat it; the setup fails where there is
        // no group games. Their exit codes, the directory's mode, owner and group, then its files.
        QString words = u"mount -t tmpfs brunilla /var || exit 1; mkdir -p $(dirname %3); "
                        "%1; s=$?; printf '5\\nEva\\n' | %2; a=$?; printf '3\\nLia\\n' | %2; "
                        "b=$?; d=$(stat -c %a:%U:%G %3); cat %3/*.txt > files; "
                        "mount --bind /dev/null /etc/group && %1; echo $s $a $b $? $d > result"_s;
        words = words.arg(SETUP, HELPER, SHARED);
        if (run({"unshare", "--mount", "sh", "-c", words}, {}, m_tmp->path()) != 0)
            QSKIP("no mount namespace here");
        QFile result(m_tmp->filePath(u"result"_s)), files(m_tmp->filePath(u"files"_s));
        QVERIFY(result.open(QIODevice::ReadOnly));
        const QList<QByteArray> got = result.readAll().trimmed().split(' ');
        const std::pair<const char *, const char *> wanted[] = {
                {"setup", "0"},
                {"a record stored", "0"},
                {"a lower one", "1"},
                {"no group games", "1"},
                {"the directory", "2775:root:games"},
        };
        for (qsizetype i = 0; i < qsizetype(std::size(wanted)); ++i)
            QVERIFY2(got.value(i) == wanted[i].second, wanted[i].first + ": "_ba + got.value(i));
        QVERIFY(files.open(QIODevice::ReadOnly));
        QCOMPARE(files.readAll(), "Eva\r\n5\r\n");
    }

    void theHelperTakesOnlyARecord()
    {
        // The longest request, arriving in pieces, is read whole and taken to the
        // shared directory, if there is one: with a score of 0, which beats no record.
        QProcess helper;
        helper.start(QStringLiteral(HELPER), {});
        for (const QByteArray &piece :
             {"00000\n"_ba, QByteArray("\xf0\x9f\x98\x80").repeated(32), "\n"_ba}) {
            helper.write(piece);
            QVERIFY(helper.waitForBytesWritten());
            QTest::qWait(50);
        }
        helper.closeWriteChannel();
        QVERIFY(helper.waitForFinished());
        QVERIFY(helper.exitCode() != int(Outcome::Refused));
        // Turned down, with the cause said.
        QByteArray said;
        QCOMPARE(run({HELPER}, "0\nEva\x1b[2J\n", {}, &said), int(Outcome::Refused));
        QCOMPARE(said, "brunilla-record: input refused: the name holds a control character\n");
        // The setup refuses to run with arguments, or as an account.
        QCOMPARE(run({SETUP, "x"}), 2);
        const QStringList account{"setpriv", "--reuid=1", "--regid=1", "--clear-groups", SETUP};
        QCOMPARE(run(::geteuid() == 0 ? account : QStringList{SETUP}), 2);
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
