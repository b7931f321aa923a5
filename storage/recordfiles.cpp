#include "storage/recordfiles.h"

#include "game/rules.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QStandardPaths>

#include <filesystem>
#include <unistd.h>

namespace {

constexpr qint64 kReadLimit = 4096;

std::filesystem::path fsPath(const QString &path)
{
    return std::filesystem::path(QFile::encodeName(path).toStdString());
}

QByteArray recordLine(const QString &value)
{
    return value.toLocal8Bit() + "\r\n";
}

bool writeDurably(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const bool written = file.write(bytes) == bytes.size() && file.flush()
                      && ::fsync(file.handle()) == 0;
    file.close();
    if (!written)
        QFile::remove(path);
    return written;
}

bool replace(const QString &from, const QString &to)
{
    std::error_code error;
    std::filesystem::rename(fsPath(from), fsPath(to), error);
    return !error;
}

// The old file under a second name, to put back if need be: a hard link
// costs no copy, a copy serves where links are not to be had.
bool keepAside(const QString &path, const QString &aside)
{
    QFile::remove(aside);
    std::error_code error;
    std::filesystem::create_hard_link(fsPath(path), fsPath(aside), error);
    return !error || QFile::copy(path, aside);
}

// Writes both new files aside first, so that only renames remain, which
// need no space; if the second rename fails the score file is put back.
// QSaveFile replaces one file atomically but cannot switch two together.
bool replacePair(const QString &cartella, const QString &scoreText, const QString &holder)
{
    const QString score = scoreFilePath(cartella);
    const QString name = holderFilePath(cartella);
    const QString newScore = score + QStringLiteral(".nuovo");
    const QString newName = name + QStringLiteral(".nuovo");
    const QString oldScore = score + QStringLiteral(".vecchio");

    const bool hadScore = QFileInfo(score).isFile();
    const bool prepared = writeDurably(newScore, recordLine(scoreText))
                       && writeDurably(newName, recordLine(holder))
                       && (!hadScore || keepAside(score, oldScore));
    if (prepared && replace(newScore, score)) {
        if (replace(newName, name)) {
            QFile::remove(oldScore);
            return true;
        }
        if (hadScore)
            replace(oldScore, score);
        else
            QFile::remove(score);
    }
    QFile::remove(newScore);
    QFile::remove(newName);
    QFile::remove(oldScore);
    return false;
}

} // namespace

QString GetSystemDir()
{
#ifdef BRUNILLA_RECORD_DIR
    QString dir = QStringLiteral(BRUNILLA_RECORD_DIR);
#else
    QString dir = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)
                + QStringLiteral("/brunilla");
#endif
    dir = dir.trimmed();
    QDir().mkpath(dir);
    if (!dir.endsWith(u'/'))
        dir += u'/';
    return dir;
}

QString Leggifiletxt(const QString &nomefile)
{
    QFile file(nomefile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLocal8Bit(file.read(kReadLimit));
}

QString scoreFilePath(const QString &cartella)
{
    return cartella + QStringLiteral("/tavrec8.txt");
}

QString holderFilePath(const QString &cartella)
{
    return cartella + QStringLiteral("/ntavrec8.txt");
}

void ensureRecordFiles(const QString &cartella)
{
    for (const QString &path : {scoreFilePath(cartella), holderFilePath(cartella)}) {
        QFile file(path);
        if (file.open(QIODevice::Append))
            file.close();
    }
}

SaveOutcome saveRecordIfBeaten(const QString &cartella, double shownRecord,
                               const QString &scoreText, const QString &holder)
{
    const double score = readNumber(scoreText);
    if (shownRecord >= score)
        return SaveOutcome::NotBeaten;

    QLockFile lock(cartella + QStringLiteral("/tavrec8.lock"));
    if (!lock.tryLock(5000))
        return SaveOutcome::Failed;
    if (readNumber(Leggifiletxt(scoreFilePath(cartella))) >= score)
        return SaveOutcome::NotBeaten;
    return replacePair(cartella, scoreText, holder) ? SaveOutcome::Saved : SaveOutcome::Failed;
}
