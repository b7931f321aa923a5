// SPDX-License-Identifier: GPL-3.0-or-later
// The record files on a real file system: saving, reading, failing, being
// stopped half way, several games ending at once.

#include "storage/record.h"
#include "storage/recordfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <random>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

// What the next start of the game shows: score|holder.
QByteArray loaded(const QString &dir)
{
    const record::Pair pair = record::load(dir.toStdString());
    return QByteArray::fromStdString(pair.score + '|' + pair.holder);
}

record::Outcome save(const QString &dir, const char *score, const char *holder)
{
    return record::saveIfBeaten(dir.toStdString(), score, holder).outcome;
}

// Another copy of the game saving, in a process of its own; its exit code.
int saveApart(const QString &dir, const QString &score, const QString &holder, const QStringList &wrapper = {})
{
    QProcess process;
    const QStringList command = wrapper + QStringList{QStringLiteral(RECORD_WRITER), dir, score, holder};
    process.start(command.first(), command.mid(1));
    process.waitForFinished(20000);
    return process.exitStatus() == QProcess::NormalExit ? process.exitCode() : 128 + SIGKILL;
}

} // namespace

Q_DECLARE_METATYPE(record::Outcome)

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        m_tmp = std::make_unique<QTemporaryDir>();
        m_dir = m_tmp->path();
    }

    void saving_data();
    void saving();
    void failuresKeepTheOldPair_data();
    void failuresKeepTheOldPair();
    void readingIsBoundedAndNeverFollowsALink();
    void ownFolderIsMadeWithItsFiles();
    void concurrentGamesKeepTheHighest();
    void aSaveStoppedAnywhereLeavesAWholePair();

private:
    QString file(const char *name) const { return m_dir + u'/' + QLatin1String(name); }
    QStringList entries() const { return QDir(m_dir).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot); }

    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir;
};

void TestRecords::saving_data()
{
    QTest::addColumn<QByteArray>("before"); // score|holder; "-" for no files at all
    QTest::addColumn<QByteArray>("score");
    QTest::addColumn<QByteArray>("holder");
    QTest::addColumn<record::Outcome>("outcome");
    QTest::addColumn<QByteArray>("after");
    using record::Outcome;
    QTest::newRow("first record") << QByteArray("-") << QByteArray("3") << QByteArray("Niccol\xc3\xb2")
                                  << Outcome::Saved << QByteArray("3\r\n|Niccol\xc3\xb2\r\n");
    QTest::newRow("zero never beats") << QByteArray("|") << QByteArray("0") << QByteArray("Anna")
                                      << Outcome::NotBeaten << QByteArray("|");
    QTest::newRow("a tie keeps") << QByteArray("12\r\n|Anna\r\n") << QByteArray("12") << QByteArray("Luca")
                                 << Outcome::NotBeaten << QByteArray("12\r\n|Anna\r\n");
    QTest::newRow("lower keeps") << QByteArray("12\r\n|Anna\r\n") << QByteArray("11") << QByteArray("Luca")
                                 << Outcome::NotBeaten << QByteArray("12\r\n|Anna\r\n");
    QTest::newRow("higher, blanks kept") << QByteArray("12\r\n|Anna\r\n") << QByteArray("13") << QByteArray(" Luca ")
                                         << Outcome::Saved << QByteArray("13\r\n| Luca \r\n");
    QTest::newRow("garbage reads as 0") << QByteArray("record!\r\n|?\r\n") << QByteArray("1") << QByteArray("Anna")
                                        << Outcome::Saved << QByteArray("1\r\n|Anna\r\n");
    QTest::newRow("leading number") << QByteArray("7\r\n9\r\n|Eva\r\n") << QByteArray("7") << QByteArray("Anna")
                                    << Outcome::NotBeaten << QByteArray("7\r\n9\r\n|Eva\r\n");
}

void TestRecords::saving()
{
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, score);
    QFETCH(QByteArray, holder);
    QFETCH(record::Outcome, outcome);
    QFETCH(QByteArray, after);
    if (before != "-") {
        write(file(record::kScoreFile), before.split('|')[0]);
        write(file(record::kHolderFile), before.split('|')[1]);
    }
    QCOMPARE(save(m_dir, score, holder), outcome);
    QCOMPARE(loaded(m_dir), after);
    QCOMPARE(entries(), (QStringList{"ntavrec8.txt", "tavrec8.txt"})); // nothing left beside the pair
}

void TestRecords::failuresKeepTheOldPair_data()
{
    QTest::addColumn<QString>("obstacle"); // a directory where a file should go
    QTest::newRow("holder file") << QStringLiteral("ntavrec8.txt/dentro");
    QTest::newRow("new score file") << QStringLiteral("tavrec8.txt.nuovo/dentro");
    QTest::newRow("old holder's second name") << QStringLiteral("ntavrec8.txt.vecchio/dentro");
}

void TestRecords::failuresKeepTheOldPair()
{
    QFETCH(QString, obstacle);
    write(file(record::kScoreFile), "5\r\n");
    write(file(record::kHolderFile), "Anna\r\n");
    const QString blocked = obstacle.section(u'/', 0, 0);
    QFile::remove(m_dir + u'/' + blocked);
    QVERIFY(QDir(m_dir).mkpath(obstacle));
    const QByteArray before = loaded(m_dir);

    const record::Result result = record::saveIfBeaten(m_dir.toStdString(), "8", "Luca");
    QCOMPARE(result.outcome, record::Outcome::Failed);
    QVERIFY2(!result.why.empty(), "a failure says why");
    QCOMPARE(loaded(m_dir), before);
    QStringList left = entries();
    QStringList pair{"ntavrec8.txt", "tavrec8.txt"};
    left.removeAll(blocked);
    pair.removeAll(blocked);
    QCOMPARE(left, pair);

    // A directory that cannot exist: its parent is a file.
    const QString impossible = file(record::kScoreFile) + QStringLiteral("/brunilla");
    std::string why;
    QVERIFY(!record::ensure(impossible.toStdString(), why) && !why.empty());
    QCOMPARE(loaded(impossible), QByteArray("|"));
    QCOMPARE(save(impossible, "4", "Anna"), record::Outcome::Failed);
}

void TestRecords::readingIsBoundedAndNeverFollowsALink()
{
    write(file(record::kScoreFile), QByteArray(10 * 1024 * 1024, '9'));
    QCOMPARE(loaded(m_dir).size(), qsizetype(record::kReadLimit + 1));
    // Random bytes: whatever the score file holds, the number read from it
    // decides, and a save never fails.
    std::mt19937 engine(8);
    for (int i = 0; i < 300; ++i) {
        QByteArray bytes(int(engine() % 30), '\0');
        for (char &b : bytes)
            b = "0123456789+-.eEdD \t\r\nx\xff"[engine() % 23];
        write(file(record::kScoreFile), bytes);
        const double stored = record::readNumber(std::string_view(bytes.constData(), size_t(bytes.size())));
        QCOMPARE(save(m_dir, "99", "Anna"), stored < 99 ? record::Outcome::Saved : record::Outcome::NotBeaten);
    }

    // A pipe would block a reader; a link could lead anywhere.
    QFile::remove(file(record::kScoreFile));
    QCOMPARE(::mkfifo(QFile::encodeName(file(record::kScoreFile)).constData(), 0600), 0);
    QFile::remove(file(record::kHolderFile));
    write(file("altrove"), "99\r\n");
    QVERIFY(QFile::link(file("altrove"), file(record::kHolderFile)));
    QCOMPARE(loaded(m_dir), QByteArray("|"));
    QFile::remove(file(record::kScoreFile));
    QVERIFY(QFile::link(file("altrove"), file(record::kScoreFile)));
    QVERIFY(QFile::link(file("altrove"), file("tavrec8.txt.nuovo")));
    QCOMPARE(save(m_dir, "5", "Luca"), record::Outcome::Saved);
    QCOMPARE(loaded(m_dir), QByteArray("5\r\n|Luca\r\n"));
    QVERIFY(!QFileInfo(file(record::kScoreFile)).isSymLink());
    QFile target(file("altrove"));
    QVERIFY(target.open(QIODevice::ReadOnly));
    QCOMPARE(target.readAll(), QByteArray("99\r\n"));
}

void TestRecords::ownFolderIsMadeWithItsFiles()
{
    OwnRecords own(m_dir + QStringLiteral("/dati/brunilla"));
    const QString cartella = own.GetSystemDir();
    QCOMPARE(cartella, m_dir + QStringLiteral("/dati/brunilla/"));
    own.ensureRecordFiles(cartella);
    QCOMPARE(own.load(cartella), (std::pair<QString, QString>()));
    QCOMPARE(QDir(cartella).entryList(QDir::Files), (QStringList{"ntavrec8.txt", "tavrec8.txt"}));
    QCOMPARE(own.save(cartella, QStringLiteral("2"), QStringLiteral("Niccolò")), SaveOutcome::Saved);
    own.ensureRecordFiles(cartella); // never empties a record
    QCOMPARE(own.load(cartella), std::make_pair(QStringLiteral("2\r\n"), QStringLiteral("Niccolò\r\n")));
    QCOMPARE(own.save(cartella, QStringLiteral("2"), QStringLiteral("Luca")), SaveOutcome::NotBeaten);
}

void TestRecords::concurrentGamesKeepTheHighest()
{
    // Eight copies of the game, all started on an empty record, end at once.
    std::vector<std::unique_ptr<QProcess>> games;
    for (int score = 1; score <= 8; ++score) {
        games.push_back(std::make_unique<QProcess>());
        games.back()->start(QStringLiteral(RECORD_WRITER),
                            {m_dir, QString::number(score), QStringLiteral("P%1").arg(score)});
    }
    for (auto &game : games) {
        QVERIFY(game->waitForFinished(20000));
        QVERIFY(game->exitCode() == 0 || game->exitCode() == 1);
    }
    QCOMPARE(loaded(m_dir), QByteArray("8\r\n|P8\r\n"));
}

void TestRecords::aSaveStoppedAnywhereLeavesAWholePair()
{
    const QString strace = QStandardPaths::findExecutable(QStringLiteral("strace"));
    if (strace.isEmpty())
        QSKIP("strace, which stops the save at each of its steps, is not installed (see tools/packages)");
    int stops = 0;
    // The save killed at the n-th call of each kind it makes to the file system.
    for (const char *call : {"openat", "write", "fsync", "linkat", "renameat", "renameat2", "unlinkat"}) {
        for (int n = 1;; ++n) {
            init();
            write(file(record::kScoreFile), "5\r\n");
            write(file(record::kHolderFile), "Anna\r\n");
            const QStringList killer{strace, QStringLiteral("-f"), QStringLiteral("-qq"), QStringLiteral("-o"),
                                     QStringLiteral("/dev/null"),
                                     QStringLiteral("-e"), QStringLiteral("inject=%1:signal=KILL:when=%2").arg(call).arg(n)};
            const int status = saveApart(m_dir, QStringLiteral("9"), QStringLiteral("Luca"), killer);
            if (status == 1 && n == 1)
                QSKIP("strace cannot trace here (no ptrace)");
            const QByteArray after = loaded(m_dir);
            QVERIFY2(after == "5\r\n|Anna\r\n" || after == "9\r\n|Luca\r\n",
                     qPrintable(QStringLiteral("stopped at %1 #%2: %3").arg(call).arg(n).arg(QString::fromLatin1(after))));
            // The next save mends what was left and stores its pair whole.
            QCOMPARE(saveApart(m_dir, QStringLiteral("20"), QStringLiteral("Marta")), 0);
            QCOMPARE(loaded(m_dir), QByteArray("20\r\n|Marta\r\n"));
            QCOMPARE(entries(), (QStringList{"ntavrec8.txt", "tavrec8.txt"}));
            if (status != 128 + SIGKILL)
                break; // the save made fewer such calls: every stop was tried
            ++stops;
        }
    }
    QVERIFY2(stops > 20, qPrintable(QString::number(stops)));
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
