#pragma once

#include "ArticleSource.h"
#include "FaultLog.h"
#include "FeedRefresher.h"
#include "PageSource.h"
#include "archive/Archive.h"
#include "feeds/FeedsFile.h"

#include <QDate>
#include <QString>

#include <functional>

class GatewayClock;
class Upstream;

// The portal's pages made from real feeds. The router: "/" is the top page, a list page refreshes
// its category's feeds (the first page only) and shows the archive's items of its day, an article
// page shows what the article source gives for the item. A list page of a day the archive holds
// nothing for while every feed of the category fails, and any page the archive cannot be read
// for, is 503 with Retry-After: never an empty day that is not one.
class Gateway
{
public:
    // upstream and clock outlive the gateway; say: where faults and notices go, one line each.
    Gateway(FeedsConfig config, Upstream &upstream, const GatewayClock &clock,
            std::function<void(const QString &)> say);
    Q_DISABLE_COPY_MOVE(Gateway)

    // Opens (or creates) the archive in folder.
    FileResult open(const QString &folder);

    // Called from several server threads at once.
    PageReply page(const QString &path);

private:
    PageReply listPage(const QString &path, QDate today);
    PageReply articlePage(qint64 id);
    // 503 with Retry-After until nextTry: every feed of code failed and day holds nothing.
    PageReply sourcesFailed(const QString &code, QDate day, const QDateTime &nextTry);
    // 503: error (naming the archive file) is said once.
    PageReply archiveFailed(const QString &error);

    FeedsConfig m_config;
    const GatewayClock &m_clock;
    FaultLog m_faults;
    // Each piece locks for itself.
    Archive m_archive;
    GatewayParts m_parts;
    FeedRefresher m_refresher;
    ArticleSource m_articles;
};
