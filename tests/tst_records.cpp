// SPDX-License-Identifier: GPL-3.0-or-later
// The record files on a real file system: saving, failing, being stopped
// half way, several games ending at once, and the helper's refusals.

#include "storage/record.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>

#include <sys/stat.h>

namespace {

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

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
    QString file(const char *name) const { return m_dir + u'/' + QLatin1String(name); }
    void write(const char *name, const QByteArray &bytes)
    {
        QFile out(file(name));
        QVERIFY(out.open(QIODevice::WriteOnly | QIODevice::Truncate) && out.write(bytes) == bytes.size());
    }
    void writePair(const QByteArray &pair) // score|holder
    {
        write(record::kScoreFile, pair.split('|')[0]);
        write(record::kHolderFile, pair.split('|')[1]);
    }
    QByteArray loaded() const // what the next start of the game shows: score|holder
    {
        const record::Pair pair = record::load(m_dir.toStdString());
        return QByteArray::fromStdString(pair.score + '|' + pair.holder);
    }
    QStringList entries() const { return QDir(m_dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot); }

private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_dir = m_tmp->path();
    }
    void saving()
    {
        using record::Outcome;
        // The files before (nothing: none at all), the proposed pair, the outcome, the files after.
        const std::tuple<const char *, const char *, const char *, Outcome, const char *> rows[] = {
            {nullptr, "3", "Niccol\xc3\xb2", Outcome::Saved, "3\r\n|Niccol\xc3\xb2\r\n"},
            {"|", "0", "Anna", Outcome::NotBeaten, "|"},
            {"12\r\n|Anna\r\n", "12", "Luca", Outcome::NotBeaten, "12\r\n|Anna\r\n"}, // a tie keeps the record
            {"12\r\n|Anna\r\n", "11", "Luca", Outcome::NotBeaten, "12\r\n|Anna\r\n"},
            {"12\r\n|Anna\r\n", "13", " Luca ", Outcome::Saved, "13\r\n| Luca \r\n"},
            {"record!\r\n|?\r\n", "1", "Anna", Outcome::Saved, "1\r\n|Anna\r\n"}, // no number reads as 0
            {"7\r\n9\r\n|Eva\r\n", "7", "Anna", Outcome::NotBeaten, "7\r\n9\r\n|Eva\r\n"},
        };
        for (const auto &[before, score, holder, outcome, after] : rows) {
            init();
            if (before)
                writePair(before);
            QVERIFY2(record::saveIfBeaten(m_dir.toStdString(), score, holder).outcome == outcome && loaded() == after, score);
            QCOMPARE(entries(), (QStringList{"ntavrec8.txt", "tavrec8.txt"})); // nothing left beside the pair
        }
    }

    void failuresKeepTheOldPair()
    {
        // A directory stands where a file of the save must go.
        for (const char *blocked : {"ntavrec8.txt", "tavrec8.txt.nuovo", "ntavrec8.txt.vecchio"}) {
            init();
            writePair("5\r\n|Anna\r\n");
            QFile::remove(file(blocked));
            QVERIFY(QDir(m_dir).mkpath(QString::fromLatin1(blocked) + QStringLiteral("/x")));
            const QByteArray before = loaded();
            const record::Result result = record::saveIfBeaten(m_dir.toStdString(), "8", "Luca");
            QVERIFY2(result.outcome == record::Outcome::Failed && !result.why.empty() && loaded() == before, blocked);
            QCOMPARE(entries().size(), QByteArray(blocked) == record::kHolderFile ? 2 : 3); // the pair and what blocked it
        }
        const std::string impossible = file(record::kScoreFile).toStdString() + "/brunilla"; // under a file
        std::string why;
        QVERIFY(!record::ensure(impossible, why) && !why.empty());
        QCOMPARE(record::saveIfBeaten(impossible, "4", "Anna").outcome, record::Outcome::Failed);
    }

    void readingIsBounded()
    {
        write(record::kScoreFile, QByteArray(10 * 1024 * 1024, '9'));
        QCOMPARE(loaded().size(), qsizetype(record::kReadLimit + 1));
        QFile::remove(file(record::kScoreFile)); // a pipe would block a reader
        QVERIFY(::mkfifo(QFile::encodeName(file(record::kScoreFile)).constData(), 0600) == 0 && loaded() == "|");
    }

    void concurrentGamesKeepTheHighest()
    {
        // Eight copies of the game, all started on an empty record, end at once.
        std::vector<std::unique_ptr<QProcess>> games;
        for (int score = 1; score <= 8; ++score) {
            games.push_back(std::make_unique<QProcess>());
            games.back()->start(QCoreApplication::applicationFilePath(), {m_dir, QString::number(score), QStringLiteral("P%1").arg(score)});
        }
        for (auto &game : games)
            QVERIFY(game->waitForFinished(20000) && (game->exitCode() == 0 || game->exitCode() == 1));
        QCOMPARE(loaded(), QByteArray("8\r\n|P8\r\n"));
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
        for (const char *call : {"openat", "write", "fsync", "linkat", "renameat", "renameat2", "unlinkat"}) {
            for (int n = 1;; ++n, ++stops) {
                init();
                writePair("5\r\n|Anna\r\n");
                const int status = run({strace, QStringLiteral("-fqqo/dev/null"), QStringLiteral("-einject=%1:signal=KILL:when=%2").arg(call).arg(n),
                                        QCoreApplication::applicationFilePath(), m_dir, QStringLiteral("9"), QStringLiteral("Luca")});
                if (status == 1 && n == 1)
                    QSKIP("strace cannot trace here (no ptrace)");
                QVERIFY2(loaded() == "5\r\n|Anna\r\n" || loaded() == "9\r\n|Luca\r\n", qPrintable(QStringLiteral("%1 #%2").arg(call).arg(n)));
                // The next save mends what was left and stores its pair whole.
                QCOMPARE(run({QCoreApplication::applicationFilePath(), m_dir, QStringLiteral("20"), QStringLiteral("Marta")}), 0);
                QCOMPARE(loaded(), QByteArray("20\r\n|Marta\r\n"));
                QCOMPARE(entries(), (QStringList{"ntavrec8.txt", "tavrec8.txt"}));
                if (status != 128 + SIGKILL)
                    break; // the save made fewer such calls: every stop was tried
            }
        }
        QVERIFY2(stops > 20, qPrintable(QString::number(stops)));
    }

    void helperRefusesAnythingButARecord()
    {
        // Refused before the record directory is touched.
        const QByteArray rows[] = {"", "12", "12\n", "x12\nEva\n", " 12\nEva\n", "-1\nEva\n", "32768\nEva\n", "123456\nEva\n",
                                   "12\nEva", "\nEva\n", "12\nEva\nmore\n", "12\nE\rva\n", QByteArray("12\nE\0va\n", 8),
                                   "12\n" + QByteArray(1001, 'a') + '\n', QByteArray(100000, '7')};
        for (const QByteArray &input : rows) {
            QByteArray said;
            QCOMPARE(run({QStringLiteral(HELPER)}, input, &said), int(record::Refused));
            QVERIFY2(said.startsWith("brunilla-record: input refused: "), input.left(20).constData());
        }
        QVERIFY(run({QStringLiteral(HELPER)}, "0\nEva\n") != int(record::Refused)); // a record: taken to the directory
    }
};

// With a directory, a score and a name, the test saves them, as another
// copy of the game would: exit 0 saved, 1 not beaten, 2 failed.
int main(int argc, char *argv[])
{
    if (argc == 4 && argv[1][0] == '/')
        return int(record::saveIfBeaten(argv[1], argv[2], argv[3]).outcome);
    QCoreApplication app(argc, argv);
    TestRecords test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_records.moc"
