#include "ArticleSource.h"

#include "FaultLog.h"
#include "GatewayClock.h"
#include "archive/Archive.h"
#include "extract/ExtractionAcceptance.h"
#include "extract/MainText.h"
#include "upstream/LocalAddress.h"
#include "upstream/UpstreamClient.h"

using namespace Qt::StringLiterals;

namespace {

// A fallback stored after a failed fetch is served this long before the page is tried again.
constexpr qint64 kRetryFailedSeconds = 3600;

QStringList lines(const QString &text)
{
    QStringList out;
    for (const QString &line : text.split(u'\n')) {
        if (!line.trimmed().isEmpty())
            out.append(line);
    }
    return out;
}

} // namespace

ArticleSource::ArticleSource(const GatewayParts &parts)
    : m_parts(parts)
    , m_robots(parts.upstream, GatewayUserAgent(parts.config.settings.contact), parts.clock)
{
    for (const CategoryFeeds &category : std::as_const(m_parts.config.categories)) {
        for (const QUrl &feed : category.feeds)
            m_localFeeds = m_localFeeds || IsLocalHost(feed.host());
    }
}

QStringList ArticleSource::paragraphs(const ArchivedItem &item)
{
    std::lock_guard lock(m_locks.lockFor(QString::number(item.id)));
    const QDateTime now = m_parts.clock.now();
    const auto stored = m_parts.archive.article(item.id);
    if (stored && (stored->complete || stored->fetched.secsTo(now) < kRetryFailedSeconds)) {
        QStringList paragraphs = stored->paragraphs;
        paragraphs.removeAll(QString()); // no text at all is stored as one empty line
        return paragraphs;
    }
    const ArticleText text = articleText(item);
    m_parts.archive.storeArticle(item.id, {text.paragraphs, now, text.complete});
    return text.paragraphs;
}

ArticleText ArticleSource::articleText(const ArchivedItem &item)
{
    TextRule rule = item.codes.isEmpty() ? TextRule{}
                                         : m_parts.config.categories.value(item.codes.first()).text;
    // A host that must not be read (a consent screen, terms of use) gets the feed's text.
    if (m_parts.config.settings.feedTextHosts.contains(item.link.host().toLower()))
        rule = {TextRule::Kind::Feed, {}};
    const QStringList fromFeed = lines(item.content.isEmpty() ? item.description : item.content);
    ArticleText text;
    if (rule.kind != TextRule::Kind::Feed) {
        text = pageText(item, rule);
        if (!text.paragraphs.isEmpty())
            return text;
    }
    // Without a summary either, no text: the page says so with the item's address.
    return {fromFeed, text.complete};
}

ArticleText ArticleSource::pageText(const ArchivedItem &item, const TextRule &rule)
{
    const QString address = item.link.toString(QUrl::FullyEncoded);
    const QString host = HostKey(item.link);
    // A public feed must not make the gateway read pages of this machine's own network.
    if (IsLocalHost(item.link.host()) && !m_localFeeds) {
        m_parts.faults.fault(
            host, u"article %1: a local address in a public feed, not fetched"_s.arg(address));
        return {};
    }
    if (const RobotsCache::Permission robots = m_robots.allows(item.link); !robots.ok) {
        m_parts.faults.fault(u"robots "_s + host, u"article "_s + robots.error);
        return {{}, false};
    }
    UpstreamRequest request;
    request.url = item.link;
    const UpstreamReply reply = m_parts.upstream.get(request);
    if (!reply.ok || reply.status < 200 || reply.status >= 300) {
        m_parts.faults.fault(
            host,
            u"article "_s + (reply.ok ? u"%1: answered HTTP %2"_s.arg(address).arg(reply.status)
                                      : reply.error));
        // A page that is gone stays gone; anything else may work later.
        return {{}, reply.ok && (reply.status == 404 || reply.status == 410)};
    }
    m_parts.faults.worked(host);
    const MainTextResult result =
        rule.kind == TextRule::Kind::XPath
            ? ExtractByXPath(reply.body, reply.contentType, rule.xpath)
            : ExtractMainText(reply.body, reply.contentType, reply.finalUrl);
    QStringList paragraphs;
    for (const QString &paragraph : result.paragraphs) {
        const QString text = QString(paragraph).replace(u'\n', u' ').trimmed();
        if (!text.isEmpty())
            paragraphs.append(text);
    }
    if (rule.kind == TextRule::Kind::Auto && !AcceptsExtraction(result, item.description))
        return {};
    return {paragraphs, true};
}
