#pragma once

#include "upstream/Upstream.h"

#include <QList>
#include <QMap>

#include <mutex>

// The sources as a table: the reply for each address (404 for the rest), and every request
// asked, in order.
class ScriptedUpstream final : public Upstream
{
public:
    static UpstreamReply reply(int status, const QByteArray &body = {},
                               const QString &contentType = QStringLiteral("text/html"))
    {
        UpstreamReply reply;
        reply.ok = true;
        reply.status = status;
        reply.body = body;
        reply.contentType = contentType;
        return reply;
    }
    static UpstreamReply failure(const QString &error)
    {
        UpstreamReply reply;
        reply.error = error;
        return reply;
    }

    void set(const QString &url, UpstreamReply reply)
    {
        const std::lock_guard lock(m_mutex);
        m_replies.insert(keyOf(QUrl(url)), std::move(reply));
    }

    UpstreamReply get(const UpstreamRequest &request) override
    {
        const std::lock_guard lock(m_mutex);
        m_asked.append(request);
        UpstreamReply answer = m_replies.value(keyOf(request.url), reply(404, "not here"));
        answer.finalUrl = request.url;
        return answer;
    }

    QList<UpstreamRequest> asked() const
    {
        const std::lock_guard lock(m_mutex);
        return m_asked;
    }
    int count(const QString &url) const
    {
        const std::lock_guard lock(m_mutex);
        return int(std::count_if(m_asked.cbegin(), m_asked.cend(), [&](const UpstreamRequest &r) {
            return keyOf(r.url) == keyOf(QUrl(url));
        }));
    }

private:
    // "http://a:80/x" and "http://a/x" are one address.
    static QString keyOf(QUrl url)
    {
        if (url.port() == (url.scheme() == QStringLiteral("https") ? 443 : 80))
            url.setPort(-1);
        return url.toString();
    }

    mutable std::mutex m_mutex;
    QMap<QString, UpstreamReply> m_replies;
    QList<UpstreamRequest> m_asked;
};
