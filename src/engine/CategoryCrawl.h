#pragma once

#include <QString>

class PageFetcher;
struct HeadlineContext;

// Walks one category from its first headline page along the "次ページ" links, recording the
// headlines through ParseHeadlines. The walk stays on the portal: a next page at an address
// outside BaseURL's scheme, host and port, or one already read in this walk, ends it.
// False when the person gave up on a page: the whole run ends.
bool CrawlCategory(const QString &url, PageFetcher &fetcher, HeadlineContext &headlines);
