#pragma once

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <QUrl>

#include <optional>

// One item of a feed, as plain text (entities decoded, markup stripped).
struct FeedItem
{
    QString title;
    QUrl link;           // absolute, http or https, with its fragment
    QString id;          // the guid, Atom id or rdf:about as the feed writes it; may be empty
    QString identity;    // what tells it from every other item: see ItemIdentity.h
    QString description; // paragraphs joined by "\n"
    QString content;     // the item's full content when the feed carries one, same form
    QDateTime published; // invalid when the feed gives no readable date
};

// Where a feed stops being well-formed XML, as libxml2 says it: the line and the reason.
struct FeedBreak
{
    int line = 0;
    QString reason;
};

struct FeedParseResult
{
    bool ok = false;
    QString source; // the feed's own title
    QList<FeedItem> items;
    QString error;
    // A feed that is ok but breaks part-way: the items read before the break are kept.
    std::optional<FeedBreak> broken;
};

// RSS 2.0, RSS 1.0 (RDF) or Atom. contentType: the reply's header value, used for the charset
// when the document names none; address: the feed's own address, for relative links.
FeedParseResult ParseFeed(const QByteArray &bytes, const QString &contentType, const QUrl &address);
