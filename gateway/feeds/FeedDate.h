#pragma once

#include <QDateTime>
#include <QString>

// A feed's date as written in RSS 2.0 (RFC 822, with named zones and two-digit years), Atom and
// RSS 1.0 (RFC 3339 / dc:date). A date without a zone is read in the machine's zone. Invalid
// when the text is no such date.
QDateTime ParseFeedDate(const QString &text);
