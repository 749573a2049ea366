#pragma once

#include "GatewayClock.h"
#include "RobotsRules.h"
#include "Upstream.h"

#include <QDateTime>
#include <QUrl>

#include <map>
#include <memory>
#include <mutex>

// Each host's robots.txt, fetched on the first article from that host and kept for a day (an
// hour when it could not be read). A missing robots.txt (4xx) allows everything; an unreachable
// or failing one (5xx) allows nothing until it is read again.
class RobotsCache
{
public:
    // Whether robots.txt lets the gateway fetch a page, or what forbade it.
    struct Permission
    {
        bool ok = true;
        QString error; // naming the page or its robots.txt
    };

    // upstream and clock outlive the cache.
    RobotsCache(Upstream &upstream, QString agent, const GatewayClock &clock);
    Q_DISABLE_COPY_MOVE(RobotsCache)

    Permission allows(const QUrl &url);

private:
    struct Entry
    {
        std::mutex mutex; // one fetch per host at a time
        RobotsRules rules;
        QDateTime expires;
        QString failure;
    };
    Entry &entryFor(const QString &host);

    Upstream &m_upstream;
    QString m_agent;
    const GatewayClock &m_clock;
    std::mutex m_mutex;
    std::map<QString, std::unique_ptr<Entry>> m_entries;
};
