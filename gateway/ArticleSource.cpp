#include "ArticleSource.h"

#include "FaultLog.h"
#include "GatewayClock.h"
#include "archive/Archive.h"
#include "extract/ExtractionAcceptance.h"
#include "extract/MainText.h"
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
{}

QStringList ArticleSource::paragraphs(const ArchivedItem &item)
{
    // Items that lead to one page wait for each other: the page is asked for once.
    std::lock_guard lock(m_locks.lockFor(item.link.adjusted(QUrl::RemoveFragment).toString()));
    const QDateTime now = m_parts.clock.now();
    const ArchiveRead<std::optional<StoredArticle>> stored = m_parts.archive.article(item.id);
    // An archive that cannot be read or written does not keep the article from the person.
    if (!stored.ok) {
        m_parts.faults.fault(ArchiveFaults.toString(), stored.error);
    } else if (const auto &kept = stored.value;
               kept && (kept->complete || kept->fetched.secsTo(now) < kRetryFailedSeconds)) {
        QStringList paragraphs = kept->paragraphs;
        paragraphs.removeAll(QString()); // no text at all is stored as one empty line
        return paragraphs;
    }
    const ArticleText text = articleText(item);
    if (const FileResult kept =
            m_parts.archive.storeArticle(item.id, {text.paragraphs, now, text.complete});
        !kept)
        m_parts.faults.fault(ArchiveFaults.toString(), kept.error);
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
    const PageFetch page = fetchPage(item.link.adjusted(QUrl::RemoveFragment), rule);
    if (!page.ok)
        return {{}, page.final};
    QStringList paragraphs;
    for (const QString &paragraph : page.text.paragraphs) {
        const QString text = QString(paragraph).replace(u'\n', u' ').trimmed();
        if (!text.isEmpty())
            paragraphs.append(text);
    }
    if (rule.kind == TextRule::Kind::Auto && !AcceptsExtraction(page.text, item.description))
        return {};
    return {paragraphs, true};
}

PageFetch ArticleSource::fetchPage(const QUrl &page, const TextRule &rule)
{
    const QDateTime now = m_parts.clock.now();
    const QString key = page.toString(QUrl::FullyEncoded) + u' ' +
                        (rule.kind == TextRule::Kind::XPath ? rule.xpath : QString());
    if (std::optional<PageFetch> kept = m_pages.find(key, now))
        return *std::move(kept);
    PageFetch fetch;
    const auto done = [&] {
        m_pages.keep(key, fetch, now);
        return fetch;
    };
    const QString address = page.toString(QUrl::FullyEncoded);
    const QString host = HostKey(page);
    if (const RobotsCache::Permission robots = m_robots.allows(page); !robots.ok) {
        m_parts.faults.fault(u"robots "_s + host, u"article "_s + robots.error);
        fetch.final = false;
        return done();
    }
    UpstreamRequest request;
    request.url = page;
    const UpstreamReply reply = m_parts.upstream.get(request);
    if (!reply.ok || reply.status < 200 || reply.status >= 300) {
        m_parts.faults.fault(
            host,
            u"article "_s + (reply.ok ? u"%1: answered HTTP %2"_s.arg(address).arg(reply.status)
                                      : reply.error));
        // A page that is gone stays gone; anything else may work later.
        fetch.final = reply.ok && (reply.status == 404 || reply.status == 410);
        return done();
    }
    m_parts.faults.worked(host);
    fetch.ok = true;
    fetch.text = rule.kind == TextRule::Kind::XPath
                     ? ExtractByXPath(reply.body, reply.contentType, rule.xpath)
                     : ExtractMainText(reply.body, reply.contentType, reply.finalUrl);
    return done();
}
