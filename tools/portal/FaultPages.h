#pragma once

#include <QByteArray>
#include <QtGlobal>

// The bodies the fault routes send, as bytes on the wire.
namespace FaultPages {

// A short article page with the article markers, CR LF line ends, EUC-JP.
QByteArray Article();
// The same page with LF line ends only.
QByteArray ArticleWithLf();
// The same page with a NUL byte in the middle of its article text.
QByteArray ArticleWithNul();
// 4096 pseudo-random bytes, the same on every call.
QByteArray Garbage();
// List page number of a chain without end: its next-page link leads to number + 1.
QByteArray EndlessList(qint64 number);
// List page number of a chain without end, with ten headlines whose articles each take about
// delayMs to answer (/fault/delay/...), and a next-page link to the slow list's number + 1.
QByteArray SlowList(qint64 delayMs, qint64 number);

// The article page grown to an exact size by padding its text, produced piece by piece so a
// page of any size costs no memory.
class PaddedArticle
{
public:
    // A size below the unpadded page gives the unpadded page.
    explicit PaddedArticle(qint64 size);

    qint64 size() const { return m_size; }
    // Up to maxLength bytes of the page starting at offset.
    QByteArray slice(qint64 offset, qint64 maxLength) const;

private:
    QByteArray m_head; // up to and including the start marker's line
    QByteArray m_unit; // one line of filler text
    QByteArray m_tail; // from the end marker on
    qint64 m_spaces = 0;
    qint64 m_padding = 0;
    qint64 m_size = 0;
};

} // namespace FaultPages
