#pragma once

#include <QString>

class PageFetcher;
struct HeadlineContext;

// Walks one category from its first headline page along the "次ページ" links, recording the
// headlines through ParseHeadlines. The walk stays on the portal: a next page at an address
// outside BaseURL's scheme, host and port, or one already read in this walk, ends it.
// A walk stops after this many list pages: no real category has nearly as many, and a portal
// whose next-page links keep producing new addresses would otherwise never end the run.
inline constexpr int kCategoryPageLimit = 1000;

enum class CrawlEnd {
    Done,      // the walk ended; the run goes on
    GaveUp,    // the person gave up on a page: the whole run ends
    Cancelled, // the person cancelled the run
};

// A walk cut at pageLimit logs the address it did not read and counts it as missed.
CrawlEnd CrawlCategory(const QString &url, PageFetcher &fetcher, HeadlineContext &headlines,
                       int pageLimit = kCategoryPageLimit);
