#pragma once

#include <QByteArray>
#include <QString>

// One answer of the portal: the status and the page as it goes on the wire (EUC-JP).
struct PageReply
{
    int status = 200;
    QByteArray body;
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
