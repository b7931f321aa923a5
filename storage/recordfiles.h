#pragma once

#include <QString>

#include <cstdint>

// The record survives between games as two one-line files in one fixed
// directory: the score in tavrec8.txt, its holder in ntavrec8.txt.

// The fixed directory, created when missing, ending in a separator.
QString GetSystemDir();

// The file's text, decoded from the local 8-bit encoding. Only the first
// few kilobytes are read: a record is one short line, and a huge or
// binary file must not stall start-up. A missing file reads as empty.
QString Leggifiletxt(const QString &nomefile);

QString scoreFilePath(const QString &cartella);
QString holderFilePath(const QString &cartella);

// Creates each record file, empty, when it is missing; never changes an
// existing one and never fails loudly.
void ensureRecordFiles(const QString &cartella);

enum class SaveOutcome : std::uint8_t { NotBeaten, Saved, Failed };

// Stores scoreText and holder as the new record when the score is
// strictly above both the record shown at start-up and the one on disk
// now (another copy of the game may have stored a better one meanwhile).
// The pair is switched together or not at all.
SaveOutcome saveRecordIfBeaten(const QString &cartella, double shownRecord,
                               const QString &scoreText, const QString &holder);
