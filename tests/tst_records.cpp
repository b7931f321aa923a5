// The record files on a real file system.

#include "game/rules.h"
#include "storage/recordfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

namespace {

QByteArray bytesOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

void write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(bytes);
}

} // namespace

class TestRecords : public QObject
{
    Q_OBJECT
private slots:
    void init();

    void systemDirEndsInSeparatorAndExists();
    void ensureCreatesEmptyFilesAndKeepsExistingOnes();
    void readingIsWholeAndBounded();
    void accentedNamesRoundTrip();
    void tieWritesNothingHigherRewritesBoth();
    void garbageReadsAsZero();
    void fileOnDiskBeatsTheShownRecord();
    void concurrentGamesKeepTheHighest();
    void failedSecondWriteKeepsTheOldPair();
    void failedFirstWriteKeepsTheOldPair();
    void unwritableDirectoryNeverCrashes();
    void readOnlyDirectoryAsOrdinaryUser();

private:
    std::unique_ptr<QTemporaryDir> m_tmp;
    QString m_dir; // as the game holds it, ending in a separator
    QString score() const { return scoreFilePath(m_dir); }
    QString holder() const { return holderFilePath(m_dir); }
};

void TestRecords::init()
{
    m_tmp = std::make_unique<QTemporaryDir>();
    m_dir = m_tmp->path() + u'/';
}

void TestRecords::systemDirEndsInSeparatorAndExists()
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toLocal8Bit());
    const QString dir = GetSystemDir();
    QCOMPARE(dir, home.path() + QStringLiteral("/brunilla/"));
    QVERIFY(QFileInfo(dir).isDir());
}

void TestRecords::ensureCreatesEmptyFilesAndKeepsExistingOnes()
{
    ensureRecordFiles(m_dir);
    QCOMPARE(bytesOf(score()), QByteArray());
    QCOMPARE(bytesOf(holder()), QByteArray());
    QCOMPARE(Leggifiletxt(score()), QString());

    write(score(), "12\r\n");
    write(holder(), "Anna\r\n");
    ensureRecordFiles(m_dir);
    QCOMPARE(bytesOf(score()), QByteArray("12\r\n"));
    QCOMPARE(bytesOf(holder()), QByteArray("Anna\r\n"));
}

void TestRecords::readingIsWholeAndBounded()
{
    write(score(), "7\r\n9\r\n");
    QCOMPARE(Leggifiletxt(score()), QStringLiteral("7\r\n9\r\n"));
    QCOMPARE(Leggifiletxt(m_dir + QStringLiteral("/nessuno.txt")), QString());

    QByteArray huge(10 * 1024 * 1024, '9');
    write(score(), huge);
    const QString text = Leggifiletxt(score());
    QVERIFY(text.size() <= 4096 && text.size() > 1000);
    QVERIFY(text.startsWith(QStringLiteral("999")));

    QByteArray binary;
    for (int i = 0; i < 5000; ++i)
        binary.append(char(i * 37));
    write(score(), binary);
    QVERIFY(Leggifiletxt(score()).size() <= 4096);
}

void TestRecords::accentedNamesRoundTrip()
{
    ensureRecordFiles(m_dir);
    QCOMPARE(saveRecordIfBeaten(m_dir, 0, QStringLiteral("3"), QStringLiteral("Niccolò")), SaveOutcome::Saved);
    QCOMPARE(bytesOf(holder()), QByteArray("Niccol\xc3\xb2\r\n"));
    QCOMPARE(Leggifiletxt(holder()), QStringLiteral("Niccolò\r\n"));
}

void TestRecords::tieWritesNothingHigherRewritesBoth()
{
    write(score(), "12\r\n");
    write(holder(), "Anna\r\n");
    QCOMPARE(saveRecordIfBeaten(m_dir, 12, QStringLiteral("12"), QStringLiteral("Luca")), SaveOutcome::NotBeaten);
    QCOMPARE(saveRecordIfBeaten(m_dir, 12, QStringLiteral("11"), QStringLiteral("Luca")), SaveOutcome::NotBeaten);
    QCOMPARE(bytesOf(score()), QByteArray("12\r\n"));
    QCOMPARE(bytesOf(holder()), QByteArray("Anna\r\n"));

    QCOMPARE(saveRecordIfBeaten(m_dir, 12, QStringLiteral("13"), QStringLiteral(" Luca ")), SaveOutcome::Saved);
    QCOMPARE(bytesOf(score()), QByteArray("13\r\n"));
    QCOMPARE(bytesOf(holder()), QByteArray(" Luca \r\n"));
    // Nothing is left beside the pair.
    QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden),
             (QStringList{"ntavrec8.txt", "tavrec8.txt"}));
}

void TestRecords::garbageReadsAsZero()
{
    write(score(), "record!\r\n");
    write(holder(), "?\r\n");
    const double shown = readNumber(Leggifiletxt(score()));
    QCOMPARE(shown, 0.0);
    QCOMPARE(saveRecordIfBeaten(m_dir, shown, QStringLiteral("0"), QStringLiteral("Anna")), SaveOutcome::NotBeaten);
    QCOMPARE(saveRecordIfBeaten(m_dir, shown, QStringLiteral("1"), QStringLiteral("Anna")), SaveOutcome::Saved);
    QCOMPARE(bytesOf(score()), QByteArray("1\r\n"));
}

void TestRecords::fileOnDiskBeatsTheShownRecord()
{
    // Two games start with record 5; the first ends with 20, the second with 9.
    write(score(), "5\r\n");
    write(holder(), "Anna\r\n");
    QCOMPARE(saveRecordIfBeaten(m_dir, 5, QStringLiteral("20"), QStringLiteral("Luca")), SaveOutcome::Saved);
    QCOMPARE(saveRecordIfBeaten(m_dir, 5, QStringLiteral("9"), QStringLiteral("Marta")), SaveOutcome::NotBeaten);
    QCOMPARE(bytesOf(score()), QByteArray("20\r\n"));
    QCOMPARE(bytesOf(holder()), QByteArray("Luca\r\n"));
}

void TestRecords::concurrentGamesKeepTheHighest()
{
    // Eight copies of the game, all started on an empty record, end at once.
    ensureRecordFiles(m_dir);
    std::vector<std::unique_ptr<QProcess>> games;
    for (int score = 1; score <= 8; ++score) {
        games.push_back(std::make_unique<QProcess>());
        games.back()->start(QStringLiteral(RECORD_WRITER),
                            {m_dir, QString::number(score), QStringLiteral("P%1").arg(score), QStringLiteral("0")});
    }
    for (auto &game : games) {
        QVERIFY(game->waitForFinished(20000));
        QCOMPARE(game->exitCode(), 0);
    }
    QCOMPARE(bytesOf(score()), QByteArray("8\r\n"));
    QCOMPARE(bytesOf(holder()), QByteArray("P8\r\n"));
}

void TestRecords::failedSecondWriteKeepsTheOldPair()
{
    write(score(), "5\r\n");
    // A directory where the holder file should be: its replacement fails.
    QVERIFY(QDir(m_dir).mkdir(QStringLiteral("ntavrec8.txt")));
    QVERIFY(QDir(m_dir).mkpath(QStringLiteral("ntavrec8.txt/dentro")));
    QCOMPARE(saveRecordIfBeaten(m_dir, 5, QStringLiteral("8"), QStringLiteral("Luca")), SaveOutcome::Failed);
    QCOMPARE(bytesOf(score()), QByteArray("5\r\n"));
    QVERIFY(QFileInfo(holder()).isDir());
    QCOMPARE(QDir(m_dir).entryList(QDir::Files | QDir::Hidden), (QStringList{"tavrec8.txt"}));
}

void TestRecords::failedFirstWriteKeepsTheOldPair()
{
    write(score(), "5\r\n");
    write(holder(), "Anna\r\n");
    // The file written aside cannot be made.
    QVERIFY(QDir(m_dir).mkdir(QStringLiteral("tavrec8.txt.nuovo")));
    QCOMPARE(saveRecordIfBeaten(m_dir, 5, QStringLiteral("8"), QStringLiteral("Luca")), SaveOutcome::Failed);
    QCOMPARE(bytesOf(score()), QByteArray("5\r\n"));
    QCOMPARE(bytesOf(holder()), QByteArray("Anna\r\n"));
}

void TestRecords::unwritableDirectoryNeverCrashes()
{
    // A directory that cannot exist: its parent is a file.
    write(m_dir + QStringLiteral("/file"), "x");
    const QString impossible = m_dir + QStringLiteral("/file/brunilla/");
    ensureRecordFiles(impossible);
    QCOMPARE(Leggifiletxt(scoreFilePath(impossible)), QString());
    QCOMPARE(saveRecordIfBeaten(impossible, 0, QStringLiteral("0"), QStringLiteral("Anna")), SaveOutcome::NotBeaten);
    QCOMPARE(saveRecordIfBeaten(impossible, 0, QStringLiteral("4"), QStringLiteral("Anna")), SaveOutcome::Failed);
}

void TestRecords::readOnlyDirectoryAsOrdinaryUser()
{
    if (::geteuid() == 0)
        QSKIP("permissions do not bind the superuser; the cases above cover the failures");
    write(score(), "5\r\n");
    write(holder(), "Anna\r\n");
    QFile::setPermissions(m_tmp->path(), QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    const SaveOutcome outcome = saveRecordIfBeaten(m_dir, 5, QStringLiteral("8"), QStringLiteral("Luca"));
    QFile::setPermissions(m_tmp->path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    QCOMPARE(outcome, SaveOutcome::Failed);
    QCOMPARE(bytesOf(score()), QByteArray("5\r\n"));
    QCOMPARE(bytesOf(holder()), QByteArray("Anna\r\n"));
}

QTEST_GUILESS_MAIN(TestRecords)
#include "tst_records.moc"
