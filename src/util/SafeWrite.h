#pragma once

#include "util/FileResult.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

class QIODevice;

// Writers that never leave a file half-written. Every one checks that each byte reached the
// file (write counts, the flush, the device's error state) and answers with the path and the
// reason when one did not.
//
// The QIODevice forms read the source from its current position to its end, in chunks, so a
// large spool file never has to fit in memory; the source must be open for reading. A read
// error of the source counts as a failed write.
//
// Test seam: when the environment variable VARNHOLT_TEST_WRITE_PAUSE_MS holds a number, the
// replacing and the journaled appending writers sleep that many milliseconds after every
// 64 KiB chunk, so that a test can kill the process in the middle of a write. The bytes written
// are the same either way.

// Replaces the file's contents through QSaveFile: a kill or a full disk leaves the old file whole
// (or no file, when there was none).
FileResult WriteFileAtomically(const QString &path, const QByteArray &bytes);
FileResult WriteFileAtomically(const QString &path, QIODevice &source);

// Adds all of the bytes to the end of the file or none of them, also across a kill.
//
// A missing file is created whole, as WriteFileAtomically does. For an existing file a journal,
// AppendJournalPath(path), records the file's old length and identity (device, inode and a
// checksum of the bytes before the end) and is synced, with its folder, before the first byte is
// appended; the appended bytes are synced before the journal is removed. A failed write cuts the
// file back at once; a kill leaves the journal, and the next call for the same path (or
// RollBackAppendsIn over its folder) cuts the file back to the recorded length. While the
// journal is in use it is locked, so a second process neither rolls back a live append nor
// appends at the same time (it fails with a reason instead).
//
// A file that is not an ordinary file (a device, a pipe) gets a plain checked append.
FileResult AppendAllOrNothing(const QString &path, const QByteArray &bytes);
FileResult AppendAllOrNothing(const QString &path, QIODevice &source);

// The journal beside an output file: path + ".journal".
QString AppendJournalPath(const QString &path);

// Finishes what a killed append left: when a journal of this program stands beside path, the
// file is cut back to its recorded length (only when it is still the same file holding the same
// bytes there) and the journal removed. note, when given, receives a sentence for the person
// when something was mended or left alone. Fails when another process holds the journal, or a
// file of that name that is not this program's journal is in the way.
FileResult RollBackInterruptedAppend(const QString &path, QString *note = nullptr);
// The same for every output file (.qfw, .qfb, .qfk, .csv) in folder that has a journal; one
// note per file mended, left alone or failed.
QStringList RollBackAppendsIn(const QString &folder);

// Appends without a journal: a short or failed write is cut back at once, but a kill may leave
// part of the bytes. For the debug log, whose lines are worth no sync.
FileResult AppendUnjournaled(const QString &path, const QByteArray &bytes);
