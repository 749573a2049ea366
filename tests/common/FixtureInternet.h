#pragma once

#include <QByteArray>
#include <QElapsedTimer>
#include <QList>
#include <QMap>
#include <QString>

#include <httplib.h>
#include <mutex>
#include <thread>

// A stand-in for one host of the internet: a loopback HTTP server whose answers the test sets
// per path, recording every request it gets (when, which headers, how many ran at once).
class FixtureHost
{
public:
    struct Answer
    {
        int status = 200;
        QByteArray body;
        QByteArray contentType = "text/html; charset=UTF-8";
        QMap<QByteArray, QByteArray> headers;
        int delayMs = 0;
        // Answered 304 when the request carries this ETag in If-None-Match.
        QByteArray etag;
    };
    struct Hit
    {
        QString path;
        qint64 startMs = 0; // since the host started
        qint64 endMs = 0;
        QByteArray userAgent;
        QByteArray ifNoneMatch;
        QByteArray ifModifiedSince;
        int status = 0;
    };

    FixtureHost()
    {
        m_clock.start();
        m_server.Get(".*", [this](const httplib::Request &request, httplib::Response &response) {
            answer(request, response);
        });
        m_port = m_server.bind_to_any_port("127.0.0.1");
        m_thread = std::thread([this] { m_server.listen_after_bind(); });
        // stop() does nothing to a server that is not listening yet: a host that the test ends
        // with at once would keep its thread in accept() for ever.
        while (!m_server.is_running())
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ~FixtureHost()
    {
        m_server.stop();
        m_thread.join();
    }
    Q_DISABLE_COPY_MOVE(FixtureHost)

    QString base() const { return QStringLiteral("http://127.0.0.1:") + QString::number(m_port); }
    QString url(const QString &path) const { return base() + path; }

    void set(const QString &path, const Answer &answer)
    {
        std::lock_guard lock(m_mutex);
        m_answers.insert(path, answer);
    }
    void remove(const QString &path)
    {
        std::lock_guard lock(m_mutex);
        m_answers.remove(path);
    }
    QList<Hit> hits() const
    {
        std::lock_guard lock(m_mutex);
        return m_hits;
    }
    int hitCount(const QString &path) const
    {
        std::lock_guard lock(m_mutex);
        int count = 0;
        for (const Hit &hit : m_hits)
            count += hit.path == path ? 1 : 0;
        return count;
    }
    int mostAtOnce() const
    {
        std::lock_guard lock(m_mutex);
        return m_mostActive;
    }

private:
    void answer(const httplib::Request &request, httplib::Response &response)
    {
        Hit hit;
        Answer answer;
        bool found = false;
        {
            std::lock_guard lock(m_mutex);
            hit.path = QString::fromStdString(request.path);
            hit.startMs = m_clock.elapsed();
            hit.userAgent = QByteArray::fromStdString(request.get_header_value("User-Agent"));
            hit.ifNoneMatch = QByteArray::fromStdString(request.get_header_value("If-None-Match"));
            hit.ifModifiedSince =
                QByteArray::fromStdString(request.get_header_value("If-Modified-Since"));
            m_mostActive = std::max(m_mostActive, ++m_active);
            found = m_answers.contains(hit.path);
            if (found)
                answer = m_answers.value(hit.path);
        }
        if (answer.delayMs > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(answer.delayMs));
        if (!found) {
            response.status = 404;
            response.set_content("not here", "text/plain");
        } else if (!answer.etag.isEmpty() && hit.ifNoneMatch == answer.etag) {
            response.status = 304;
        } else {
            response.status = answer.status;
            for (auto it = answer.headers.cbegin(); it != answer.headers.cend(); ++it)
                response.set_header(it.key().toStdString(), it.value().toStdString());
            if (!answer.etag.isEmpty())
                response.set_header("ETag", answer.etag.toStdString());
            response.set_content(answer.body.toStdString(), answer.contentType.toStdString());
        }
        std::lock_guard lock(m_mutex);
        --m_active;
        hit.endMs = m_clock.elapsed();
        hit.status = response.status;
        m_hits.append(hit);
    }

    mutable std::mutex m_mutex;
    QMap<QString, Answer> m_answers;
    QList<Hit> m_hits;
    int m_active = 0;
    int m_mostActive = 0;
    QElapsedTimer m_clock;
    httplib::Server m_server;
    int m_port = 0;
    std::thread m_thread;
};
