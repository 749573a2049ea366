#pragma once

#include "util/FileResult.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QDate>
#include <QHash>
#include <QString>

#include <optional>

// The addresses that earlier runs saved, each with the last day it was saved. Stored as a UTF-8
// file, one "address<TAB>yyyy-mm-dd" per line, replaced whole on every save; a backslash, tab,
// CR or LF inside an address is written as \\, \t, \r or \n so that every line splits cleanly.
class SavedAddresses
{
public:
    // Entries older than this many days are dropped when the record is read.
    static constexpr int KeepDays = 60;

    // The record of bytes read from a file; nullopt when they are not such a record, with the
    // first bad line and what is wrong with it in problem.
    static std::optional<SavedAddresses> parse(QByteArrayView bytes, QDate today,
                                               QString *problem = nullptr);

    bool contains(const QString &address) const { return m_days.contains(address); }
    qsizetype count() const { return m_days.size(); }
    // Saved on day: a known address takes the later of the two days.
    void add(const QString &address, QDate day);

    // The file's bytes: oldest day first, addresses in code-unit order within a day.
    QByteArray serialized() const;

private:
    QHash<QString, QDate> m_days;
};

// How a run found the record in the settings folder.
struct OpenedRecord
{
    SavedAddresses addresses;
    bool skip = false;     // false: the file was damaged, this run leaves nothing out
    bool writable = false; // false: a damaged file could not be set aside, so it is not replaced
    QString problem;       // what to tell the person; empty when all was well
};

// Reads the record at path (a missing file is an empty record). A file that cannot be read or
// parsed is renamed beside itself (".damaged", or ".damaged2" and on when that is taken), so
// that this run starts a new record and the old one stays for a person to look at.
OpenedRecord OpenSavedRecord(const QString &path, QDate today);

// Replaces the file at path with the record, atomically.
FileResult SaveSavedRecord(const QString &path, const SavedAddresses &record);
