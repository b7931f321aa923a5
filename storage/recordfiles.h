// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "storage/record.h"

#include <QLoggingCategory>
#include <QObject>
#include <QString>

#include <functional>
#include <thread>
#include <utility>
#include <vector>

Q_DECLARE_LOGGING_CATEGORY(lcRecords)

// A record file's bytes as the game shows and reads them: UTF-8, with a
// byte-order mark kept as a character, so that the game reads the score the
// helper reads from the same bytes.
QString decodedText(std::string_view bytes);

// The whole text of a file, decoded as above; only its first few
// kilobytes. A missing file reads as empty.
QString Leggifiletxt(const QString &nomefile);

// The record as the game reaches it: two one-line files, the score in
// tavrec8.txt and its holder in ntavrec8.txt, in one fixed directory.
// Failures are logged under brunilla.records, with their cause.
class RecordFiles : public QObject
{
    Q_OBJECT
public:
    using Done = std::function<void(record::Outcome)>;

    // The directory, ending in a separator.
    virtual QString GetSystemDir() = 0;
    // Makes sure both files exist before the record is shown.
    virtual void ensureRecordFiles(const QString &cartella) = 0;
    struct Shown
    {
        QString score;
        QString holder; // both empty when they were not read whole
    };
    // The score file's text and the holder file's, as they stand, at once:
    // a save under way never delays them.
    Shown load(const QString &cartella);
    // Stores the pair, in the background, when the score beats the record
    // on disk then, which another game may have raised since this one
    // started. done gets the outcome later, on this thread, within seconds.
    virtual void save(const QString &cartella, const QString &score, const QString &holder,
                      Done done) = 0;

signals:
    // The record was changed in the background: shown, it is out of date.
    void changed();
};

// The player's own record, in a folder of theirs, written directly: the
// game as built, before it is installed.
class OwnRecords final : public RecordFiles
{
    Q_OBJECT
public:
    explicit OwnRecords(QString folder) : m_folder(std::move(folder)) {}
    ~OwnRecords() override;
    QString GetSystemDir() override;
    void ensureRecordFiles(const QString &cartella) override;
    void save(const QString &cartella, const QString &score, const QString &holder,
              Done done) override;

private:
    QString m_folder;
    std::thread m_saving;
};

// The record every account on the computer shares, in a directory the
// players may read but not write: a set-group-id helper stores new ones.
class SharedRecords final : public RecordFiles
{
    Q_OBJECT
public:
    // ownFolder: the player's own folder, where a record that could not be
    // stored is kept (as version 1.0.0 kept each player's record there) and
    // stored at the next chance: at the next start, in the background, and
    // before any later save. It is put aside once the shared record holds
    // it, or one at least as high.
    // limit: the milliseconds the helper may take. It waits a few seconds at
    // most for another game's save; past the limit it is stopped, and the
    // record kept.
    SharedRecords(QString folder, QString helper, QString ownFolder, int limit = 10000);
    ~SharedRecords() override;
    QString GetSystemDir() override { return m_folder + u'/'; }
    void ensureRecordFiles(const QString &cartella) override;
    void save(const QString &cartella, const QString &score, const QString &holder,
              Done done) override;

private:
    void runHelper(const QString &score, const QString &holder, Done done);
    // Stores the record kept in the player's own folder, if there is one,
    // then calls then; one such store at a time.
    void storeKept(Done then);

    QString m_folder;
    QString m_helper;
    QString m_ownFolder;
    int m_limit;
    OwnRecords m_kept; // what could not be stored yet, in the player's own folder
    std::vector<Done> m_afterKept;
};
