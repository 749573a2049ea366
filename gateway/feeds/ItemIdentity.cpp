#include "ItemIdentity.h"

#include <QHash>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

QString ownIdentity(const FeedItem &item, const QUrl &feed)
{
    if (item.id.isEmpty())
        return item.link.toString(QUrl::FullyEncoded);
    // "urn:uuid:…", "tag:…" and addresses name themselves; anything else only within its site.
    const QUrl asAddress(item.id);
    if (asAddress.isValid() && !asAddress.isRelative())
        return item.id;
    return feed.host().toLower() + u' ' + item.id;
}

} // namespace

int AssignIdentities(QList<FeedItem> &items, const QUrl &feed)
{
    QHash<QString, QSet<QString>> titles; // the titles each identity comes with
    for (FeedItem &item : items) {
        item.identity = ownIdentity(item, feed);
        titles[item.identity].insert(item.title);
    }
    QSet<QString> seen;
    int repeats = 0;
    QList<FeedItem> kept;
    kept.reserve(items.size());
    for (FeedItem &item : items) {
        if (titles.value(item.identity).size() > 1)
            item.identity += u'\n' + item.title;
        if (seen.contains(item.identity)) {
            ++repeats;
            continue;
        }
        seen.insert(item.identity);
        kept.append(std::move(item));
    }
    items = std::move(kept);
    return repeats;
}

QString IdentityOf(const FeedItem &item)
{
    return item.identity.isEmpty() ? item.link.toString(QUrl::FullyEncoded) : item.identity;
}
