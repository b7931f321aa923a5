// SPDX-License-Identifier: GPL-3.0-or-later
#include "storage/recordfiles.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTimer>

#include <memory>

Q_LOGGING_CATEGORY(lcRecords, "brunilla.records")

namespace {

std::string path(const QString &dir)
{
    return QFile::encodeName(dir).toStdString();
}

QString firstLine(const QString &text)
{
    return text.section(QRegularExpression(QStringLiteral("[\r\n]")), 0, 0);
}

void logFailure(const record::Result &result)
{
    if (result.outcome == record::Outcome::Failed || result.outcome == record::Outcome::Refused)
        qCWarning(lcRecords).noquote() << "record not saved:" << result.why.c_str();
    else if (!result.why.empty())
        qCInfo(lcRecords).noquote() << result.why.c_str();
}

} // namespace

QString decodedText(std::string_view bytes)
{
    // QString::fromUtf8 would drop a leading byte-order mark.
    QStringDecoder decoder(QStringConverter::Utf8, QStringConverter::Flag::ConvertInitialBom);
    return decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
}

QString Leggifiletxt(const QString &nomefile)
{
    QFile file(nomefile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.read(record::kReadLimit);
    return decodedText(std::string_view(bytes.constData(), std::size_t(bytes.size())));
}

RecordFiles::Shown RecordFiles::load(const QString &cartella)
{
    std::string why;
    const record::Pair pair = record::load(path(cartella), &why);
    if (!why.empty())
        qCWarning(lcRecords).noquote() << "the record is not shown whole:" << why.c_str();
    return {decodedText(pair.score), decodedText(pair.holder)};
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

SharedRecords::SharedRecords(QString folder, QString helper, QString ownFolder, int limit)
    : m_folder(std::move(folder)), m_helper(std::move(helper)), m_ownFolder(std::move(ownFolder)),
      m_limit(limit), m_kept(m_ownFolder)
{
    // At the first chance, in the background: while the name is asked.
    QTimer::singleShot(0, this, [this] { storeKept([](record::Outcome) {}); });
}

SharedRecords::~SharedRecords()
{
    // A save under way is let finish: stopped half way, it would be undone.
    for (QProcess *process : findChildren<QProcess *>()) {
        disconnect(process, nullptr, this, nullptr);
        process->waitForFinished(m_limit);
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
    QTimer::singleShot(m_limit, process, [this, process] {
        if (process->state() == QProcess::NotRunning)
            return; // it has answered, and the box that tells it may still be open
        qCWarning(lcRecords) << "the record helper took more than" << m_limit << "ms";
        process->kill();
    });
    process->setStandardOutputFile(QProcess::nullDevice());
    process->start(m_helper, {});
    process->write(score.toUtf8() + '\n' + holder.toUtf8() + '\n');
    process->closeWriteChannel();
}

void SharedRecords::ensureRecordFiles(const QString &)
{
    // The maintainer scripts made them.
}

void SharedRecords::storeKept(Done then)
{
    m_afterKept.push_back(std::move(then));
    if (m_afterKept.size() > 1)
        return; // the record kept is on its way: then follows it
    const auto finish = [this](record::Outcome outcome) {
        for (const Done &next : std::exchange(m_afterKept, {}))
            next(outcome);
    };
    // The record kept in the player's own folder: one this version could not
    // store, or one that version 1.0.0 kept there.
    if (!QFile::exists(m_ownFolder + QStringLiteral("/tavrec8.txt")))
        return finish(record::Outcome::NotBeaten);
    // Read as any record, since this version keeps it as one.
    const record::Pair kept = record::load(path(m_ownFolder));
    // Stored, or beaten already, it is put aside; otherwise kept for the next chance.
    const auto settle = [this, kept, finish](record::Outcome outcome) {
        std::string why;
        if ((outcome == record::Outcome::Saved || outcome == record::Outcome::NotBeaten)
            && !record::putAside(path(m_ownFolder), kept, why))
            qCInfo(lcRecords).noquote()
                    << "the record kept stays for the next chance:" << why.c_str();
        if (outcome == record::Outcome::Saved)
            emit changed();
        finish(outcome);
    };
    const QString score = firstLine(decodedText(kept.score));
    if (record::scoreProblem(score.toStdString()))
        return settle(record::Outcome::NotBeaten); // no record to store
    // A name an earlier version took may hold what a record may not.
    const std::string holder =
            record::storableName(firstLine(decodedText(kept.holder)).toStdString());
    runHelper(score, QString::fromStdString(holder), settle);
}

// The helper writes only the directory it was built for, which is cartella.
void SharedRecords::save(const QString &, const QString &score, const QString &holder, Done done)
{
    // A record kept by an earlier game goes first.
    storeKept([this, score, holder, done = std::move(done)](record::Outcome) {
        runHelper(score, holder, [this, score, holder, done](record::Outcome outcome) {
            if (outcome != record::Outcome::Failed)
                return done(outcome);
            // Not stored now, for whatever reason: kept until it can be.
            m_kept.save(m_kept.GetSystemDir(), score, holder, [done](record::Outcome kept) {
                const bool safe =
                        kept == record::Outcome::Saved || kept == record::Outcome::NotBeaten;
                done(safe ? record::Outcome::Kept : record::Outcome::Failed);
            });
        });
    });
}
