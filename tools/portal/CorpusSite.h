#pragma once

#include "NewsCorpus.h"
#include "PageSource.h"

#include <QDate>

#include <memory>

// The portal's site over a corpus: "/" (top), "/headlines/..." (list pages of today and the
// previous day, paged) and "/article/..." (article pages). Anything else is not found.
class CorpusSite final : public PageSource
{
public:
    // fixedToday: the day the site treats as today; invalid to follow the local clock.
    CorpusSite(std::unique_ptr<NewsCorpus> corpus, QDate fixedToday);

    PageReply page(const QString &path) const override;

private:
    QDate today() const;
    PageReply listPage(const QString &path, QDate today) const;

    std::unique_ptr<NewsCorpus> m_corpus;
    QDate m_fixedToday;
};

// The not-found answer every page source gives.
PageReply NotFound(const QString &path);
