#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// One answer of the portal: the status and the page as it goes on the wire (EUC-JP), with any
// header lines beyond the usual ones ("Retry-After").
struct PageReply
{
    int status = 200;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers = {};
};

// Where the portal's pages come from: the sample corpus, a generated one or a folder. Called
// from several server threads at once, so implementations answer from immutable state.
class PageSource
{
public:
    virtual ~PageSource() = default;
    // path: the decoded request path without its query, starting with "/".
    virtual PageReply page(const QString &path) const = 0;
};
