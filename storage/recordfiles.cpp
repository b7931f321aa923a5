// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/recordfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTimer>

#include <memory>

Q_LOGGING_CATEGORY(lcRecords, "brunilla.records")

namespace {

// The helper waits a few seconds at most for another game's save; past
// this it is stopped, and the record reported not saved.
constexpr int kHelperLimit = 10000; // milliseconds

std::string path(const QString &dir)
{
    return QFile::encodeName(dir).toStdString();
}

QString decoded(const std::string &bytes)
{
    return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
}

QString firstLine(const QString &text)
{
    return text.section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0);
}

void logFailure(const record::Result &result)
{
    if (result.outcome == record::Outcome::Failed || result.outcome == record::Outcome::Refused)
        qCWarning(lcRecords).noquote() << "record not saved:" << result.why.c_str();
}

} // namespace

QString Leggifiletxt(const QString &nomefile)
{
    QFile file(nomefile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.read(record::kReadLimit));
}

std::pair<QString, QString> RecordFiles::load(const QString &cartella)
{
    std::string why;
    const record::Pair pair = record::load(path(cartella), &why);
    if (!why.empty())
        qCWarning(lcRecords).noquote() << "the record is not shown whole:" << why.c_str();
    return {decoded(pair.score), decoded(pair.holder)};
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

OwnRecords::~OwnRecords()
{
    if (m_saving.joinable())
        m_saving.join();
}

void OwnRecords::save(const QString &cartella, const QString &score, const QString &holder,
                      Done done)
{
    if (m_saving.joinable())
        m_saving.join();
    // Off the window's thread: another copy of the game may hold the lock.
    m_saving = std::thread([this, dir = path(cartella), score = score.toStdString(),
                            holder = holder.toStdString(), done = std::move(done)] {
        const record::Result result = record::saveIfBeaten(dir, score, holder, record::ownFolder());
        QMetaObject::invokeMethod(
                this,
                [result, done] {
                    logFailure(result);
                    done(result.outcome);
                },
                Qt::QueuedConnection);
    });
}

SharedRecords::SharedRecords(QString folder, QString helper, QString ownFolder)
    : m_folder(std::move(folder)), m_helper(std::move(helper)), m_ownFolder(std::move(ownFolder))
{}

SharedRecords::~SharedRecords()
{
    // A save under way is let finish: stopped half way, it would be undone.
    for (QProcess *process : findChildren<QProcess *>()) {
        disconnect(process, nullptr, this, nullptr);
        process->waitForFinished(kHelperLimit);
    }
}

void SharedRecords::runHelper(const QString &score, const QString &holder, Done done)
{
    auto *process = new QProcess(this);
    auto answered = std::make_shared<bool>(false);
    auto answer = [process, done = std::move(done), answered](const record::Result &result) {
        if (std::exchange(*answered, true))
            return;
        logFailure(result);
        process->deleteLater();
        done(result.outcome);
    };
    connect(process, &QProcess::finished, this,
            [process, answer](int code, QProcess::ExitStatus how) {
                const QString said = QString::fromUtf8(process->readAllStandardError()).trimmed();
                if (how != QProcess::NormalExit)
                    answer({record::Outcome::Failed,
                            "the helper was stopped: " + process->errorString().toStdString()});
                else
                    answer({record::outcomeOfExit(code), said.toStdString()});
            });
    connect(process, &QProcess::errorOccurred, this,
            [this, process, answer](QProcess::ProcessError error) {
                if (error == QProcess::FailedToStart)
                    answer({record::Outcome::Failed,
                            "the helper " + m_helper.toStdString()
                                    + " did not start: " + process->errorString().toStdString()});
            });
    QTimer::singleShot(kHelperLimit, process, [process] {
        if (process->state() == QProcess::NotRunning)
            return; // it has answered, and the box that tells it may still be open
        qCWarning(lcRecords) << "the record helper took more than" << kHelperLimit / 1000 << "s";
        process->kill();
    });
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(m_helper, {});
    process->write(score.toUtf8() + '\n' + holder.toUtf8() + '\n');
    process->closeWriteChannel();
}

void SharedRecords::ensureRecordFiles(const QString &)
{
    // The maintainer scripts made the files. Left to do: offer, once, the
    // record that version 1.0.0 kept in the player's own folder.
    const QString oldScore = m_ownFolder + QStringLiteral("/tavrec8.txt");
    const QString oldHolder = m_ownFolder + QStringLiteral("/ntavrec8.txt");
    if (std::exchange(m_offered, true) || !QFile::exists(oldScore))
        return;
    const auto retire = [this, oldScore, oldHolder](record::Outcome outcome) {
        if (outcome == record::Outcome::Failed)
            return; // offered again at the next start
        for (const QString &file : {oldScore, oldHolder}) {
            const QString offered = file + QStringLiteral(".offerto");
            QFile::remove(offered);
            QFile::rename(file, offered);
        }
        if (outcome == record::Outcome::Saved)
            emit changed();
    };
    const QString score = firstLine(Leggifiletxt(oldScore));
    if (record::scoreProblem(score.toStdString()))
        return retire(record::Outcome::NotBeaten); // no record to offer
    runHelper(score, firstLine(Leggifiletxt(oldHolder)), retire);
}

// The helper writes only the directory it was built for, which is cartella.
void SharedRecords::save(const QString &, const QString &score, const QString &holder, Done done)
{
    runHelper(score, holder, std::move(done));
}
