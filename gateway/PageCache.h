#pragma once

#include "extract/MainText.h"

#include <QDateTime>
#include <QString>

#include <algorithm>
#include <map>
#include <mutex>
#include <optional>

// What asking for an article page came to: its text, or that there was none to be had.
struct PageFetch
{
    bool ok = false;     // a page came and was read; false: the reason was said as a fault
    bool final = true;   // when !ok: whether asking again later is pointless (404, 410)
    MainTextResult text; // when ok
};

// Pages asked for lately, by address without its fragment and text rule: several items of a
// feed (a diary's days, a news list's entries) lead to parts of one page, and the page is asked
// for once. Kept an hour on the gateway's clock, the most recent few only. Safe to use from
// several threads.
class PageCache
{
public:
    std::optional<PageFetch> find(const QString &key, const QDateTime &now)
    {
        std::lock_guard lock(m_mutex);
        const auto found = m_pages.find(key);
        if (found == m_pages.end() || found->second.kept.secsTo(now) >= kKeptSeconds)
            return std::nullopt;
        return found->second.fetch;
    }

    void keep(const QString &key, PageFetch fetch, const QDateTime &now)
    {
        std::lock_guard lock(m_mutex);
        if (m_pages.size() >= kMostPages && !m_pages.contains(key)) {
            const auto oldest =
                std::min_element(m_pages.begin(), m_pages.end(), [](const auto &a, const auto &b) {
                    return a.second.kept < b.second.kept;
                });
            m_pages.erase(oldest);
        }
        m_pages[key] = {std::move(fetch), now};
    }

private:
    static constexpr qint64 kKeptSeconds = 3600;
    static constexpr size_t kMostPages = 32;

    struct Entry
    {
        PageFetch fetch;
        QDateTime kept;
    };
    std::mutex m_mutex;
    std::map<QString, Entry> m_pages;
};
