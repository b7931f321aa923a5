// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QLoggingCategory>
#include <QString>

#include <cstdint>
#include <utility>

Q_DECLARE_LOGGING_CATEGORY(lcRecords)

// The whole text of a file, decoded from the local 8-bit encoding; only
// its first few kilobytes. A missing file reads as empty.
QString Leggifiletxt(const QString &nomefile);

enum class SaveOutcome : std::uint8_t { NotBeaten, Saved, Failed };

// The record as the game reaches it: two one-line files, the score in
// tavrec8.txt and its holder in ntavrec8.txt, in one fixed directory.
// Failures are logged under brunilla.records, with their cause.
class RecordFiles
{
public:
    virtual ~RecordFiles() = default;
    // The directory, ending in a separator.
    virtual QString GetSystemDir() = 0;
    // Makes sure both files exist before the record is shown.
    virtual void ensureRecordFiles(const QString &cartella) = 0;
    // The score file's text and the holder file's, as they stand; every
    // account may read them.
    std::pair<QString, QString> load(const QString &cartella);
    // Stores the pair when the score beats the record on disk now, which
    // another copy of the game may have raised since this one started.
    virtual SaveOutcome save(const QString &cartella, const QString &score, const QString &holder) = 0;
};

// The player's own record, in a folder of theirs, written directly: the
// game as built, before it is installed.
class OwnRecords final : public RecordFiles
{
public:
    explicit OwnRecords(QString folder) : m_folder(std::move(folder)) {}
    QString GetSystemDir() override;
    void ensureRecordFiles(const QString &cartella) override;
    SaveOutcome save(const QString &cartella, const QString &score, const QString &holder) override;

private:
    QString m_folder;
};

// The record every account on the computer shares, in a directory the
// players may read but not write: a set-group-id helper stores new ones.
class SharedRecords final : public RecordFiles
{
public:
    // ownFolder: where version 1.0.0 kept each player's own record, which
    // is offered to the shared one once.
    SharedRecords(QString folder, QString helper, QString ownFolder);
    QString GetSystemDir() override { return m_folder + u'/'; }
    void ensureRecordFiles(const QString &cartella) override;
    SaveOutcome save(const QString &cartella, const QString &score, const QString &holder) override;

private:
    QString m_folder;
    QString m_helper;
    QString m_ownFolder;
};
