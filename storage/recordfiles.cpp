// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/recordfiles.h"

#include "storage/record.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

Q_LOGGING_CATEGORY(lcRecords, "brunilla.records")

namespace {

// The helper itself waits a few seconds at most for another game's save.
constexpr int kHelperWait = 15000; // milliseconds
constexpr int kHelperDidNotRun = -1;

std::string path(const QString &dir)
{
    return QFile::encodeName(dir).toStdString();
}

QString decoded(const std::string &bytes)
{
    return QString::fromLocal8Bit(bytes.data(), qsizetype(bytes.size()));
}

std::pair<QString, QString> decoded(const record::Pair &pair)
{
    return {decoded(pair.score), decoded(pair.holder)};
}

QString firstLine(const QString &text)
{
    return text.section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0);
}

// The helper's exit status, or kHelperDidNotRun; why a record was not
// stored goes to the log.
int runHelper(const QString &helper, const QString &score, const QString &holder)
{
    QProcess process;
    process.start(helper, {});
    process.write(score.toLocal8Bit() + '\n' + holder.toLocal8Bit() + '\n');
    process.closeWriteChannel();
    if (!process.waitForFinished(kHelperWait) || process.exitStatus() != QProcess::NormalExit) {
        qCWarning(lcRecords).noquote() << "record not saved: the helper" << helper << "did not run:"
                                       << process.errorString();
        process.kill();
        process.waitForFinished();
        return kHelperDidNotRun;
    }
    if (process.exitCode() != record::Stored && process.exitCode() != record::NotBeaten)
        qCWarning(lcRecords).noquote() << "record not saved:" << QString::fromLocal8Bit(process.readAllStandardError()).trimmed();
    return process.exitCode();
}

} // namespace

QString Leggifiletxt(const QString &nomefile)
{
    QFile file(nomefile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.read(record::kReadLimit));
}

QString OwnRecords::GetSystemDir()
{
    QString dir = m_folder.trimmed();
    if (!QDir().mkpath(dir))
        qCWarning(lcRecords).noquote() << "cannot make the record folder" << dir;
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

void OwnRecords::ensureRecordFiles(const QString &cartella)
{
    std::string why;
    if (!record::ensure(path(cartella), why))
        qCWarning(lcRecords).noquote() << "the record files cannot be made:" << why.c_str();
}

std::pair<QString, QString> RecordFiles::load(const QString &cartella)
{
    return decoded(record::load(path(cartella)));
}

SaveOutcome OwnRecords::save(const QString &cartella, const QString &score, const QString &holder)
{
    const record::Result result =
        record::saveIfBeaten(path(cartella), score.toLocal8Bit().toStdString(), holder.toLocal8Bit().toStdString());
    switch (result.outcome) {
    case record::Outcome::Saved:
        return SaveOutcome::Saved;
    case record::Outcome::NotBeaten:
        return SaveOutcome::NotBeaten;
    case record::Outcome::Failed:
        break;
    }
    qCWarning(lcRecords).noquote() << "record not saved:" << result.why.c_str();
    return SaveOutcome::Failed;
}

SharedRecords::SharedRecords(QString folder, QString helper, QString ownFolder)
    : m_folder(std::move(folder)), m_helper(std::move(helper)), m_ownFolder(std::move(ownFolder))
{
}

void SharedRecords::ensureRecordFiles(const QString &)
{
    // The maintainer scripts made the files. Left to do: offer, once, the
    // record that version 1.0.0 kept in the player's own folder.
    const QString oldScore = m_ownFolder + QStringLiteral("/tavrec8.txt");
    const QString oldHolder = m_ownFolder + QStringLiteral("/ntavrec8.txt");
    if (!QFile::exists(oldScore))
        return;
    const QString score = firstLine(Leggifiletxt(oldScore));
    const bool digits = QRegularExpression(QStringLiteral("^[0-9]{1,5}$")).match(score).hasMatch();
    const int status = digits ? runHelper(m_helper, score, firstLine(Leggifiletxt(oldHolder))) : record::NotBeaten;
    if (status == kHelperDidNotRun || status == record::NotStored)
        return; // offered again at the next start
    for (const QString &file : {oldScore, oldHolder}) {
        const QString offered = file + QStringLiteral(".offerto");
        QFile::remove(offered);
        QFile::rename(file, offered);
    }
}

// The helper writes only the directory it was built for, which is cartella.
SaveOutcome SharedRecords::save(const QString &, const QString &score, const QString &holder)
{
    switch (runHelper(m_helper, score, holder)) {
    case record::Stored:
        return SaveOutcome::Saved;
    case record::NotBeaten:
        return SaveOutcome::NotBeaten;
    default:
        return SaveOutcome::Failed;
    }
}
