#include "engine/PipelinedTransport.h"

#include "engine/CurlTransport.h"
#include "engine/CurlUrl.h"

#include <algorithm>

namespace {

// Replies asked ahead are held until the run reaches them. The run reads every list page before
// the first article, each list page waiting for the one before it: the other connections must
// stay busy with articles for all that time, so the count is generous; the bytes stay bounded
// whatever the pages weigh.
constexpr qsizetype kAheadPerConnection = 64;
constexpr qsizetype kMaxHeldBytes = qsizetype(4) * 1024 * 1024;
// A wait for the network wakes at least this often; abort() wakes it at once.
constexpr int kPollMilliseconds = 1000;

} // namespace

PipelinedTransport::PipelinedTransport(std::chrono::milliseconds timeout, int connections)
    : m_timeout(timeout)
    , m_connections(std::max(connections, 1))
    , m_multi(curl_multi_init())
{
    if (!m_multi)
        return;
    curl_multi_setopt(m_multi, CURLMOPT_MAX_HOST_CONNECTIONS, long(m_connections));
    curl_multi_setopt(m_multi, CURLMOPT_MAX_TOTAL_CONNECTIONS, long(m_connections));
    curl_multi_setopt(m_multi, CURLMOPT_MAXCONNECTS, long(m_connections));
    curl_multi_setopt(m_multi, CURLMOPT_PIPELINING, long(CURLPIPE_MULTIPLEX));
}

PipelinedTransport::~PipelinedTransport()
{
    if (!m_multi)
        return;
    endEverything();
    m_idle.clear();
    curl_multi_cleanup(m_multi);
}

void PipelinedTransport::abort()
{
    m_aborted = true;
    if (m_multi)
        curl_multi_wakeup(m_multi);
}

void PipelinedTransport::hold(bool held)
{
    m_held = held;
    // A wait under way takes up asking ahead again at once.
    if (!held && m_multi)
        curl_multi_wakeup(m_multi);
}

void PipelinedTransport::expect(const QString &url)
{
    if (m_aborted)
        return;
    m_expected.push_back(url);
    askAhead();
}

HttpReply PipelinedTransport::get(const QString &url)
{
    const auto request = [this](const QString &address) {
        return requestNow(address);
    };
    HttpReply reply = ReplyOf(FollowRedirects(url, takeFirstHop(url), request, &SameOriginOnly));
    askAhead();
    return reply;
}

bool PipelinedTransport::originOf(const QString &url, UrlOrigin &origin)
{
    return OriginOf(url, origin);
}

Hop PipelinedTransport::takeFirstHop(const QString &url)
{
    const auto found = std::find_if(m_ahead.begin(), m_ahead.end(),
                                    [&url](const Transfer &t) { return t.url == url; });
    if (found == m_ahead.end()) {
        // Not announced, or announced but not asked yet: the address stays announced for the
        // later get() it stands for.
        return requestNow(url);
    }
    waitFor(*found);
    if (m_aborted)
        return Hop::cancelled(url);
    Hop hop = std::move(found->hop);
    m_heldBytes -= hop.body.size();
    m_ahead.erase(found);
    return hop;
}

Hop PipelinedTransport::requestNow(const QString &url)
{
    if (m_aborted)
        return Hop::cancelled(url);
    m_slotWanted = true;
    collectFinished();
    while (m_underWay >= m_connections && !m_aborted) {
        curl_multi_poll(m_multi, nullptr, 0, kPollMilliseconds, nullptr);
        collectFinished();
    }
    m_slotWanted = false;
    Transfer transfer;
    transfer.url = url;
    if (!m_aborted) {
        start(transfer);
        m_asked = &transfer;
    }
    waitFor(transfer);
    m_asked = nullptr;
    if (m_aborted)
        return Hop::cancelled(url);
    return std::move(transfer.hop);
}

void PipelinedTransport::start(Transfer &transfer)
{
    if (!m_idle.empty()) {
        transfer.request = std::move(m_idle.back());
        m_idle.pop_back();
    } else {
        transfer.request = CurlRequest::make(EngineCurlSettings(m_timeout), &m_aborted);
    }
    if (!transfer.request) {
        transfer.done = true;
        transfer.hop = Hop::failure(
            transfer.url,
            QStringLiteral("the HTTP library could not give a handle for the request"));
        return;
    }
    transfer.request->prepare(transfer.url);
    CURL *handle = transfer.request->handle();
    curl_easy_setopt(handle, CURLOPT_PRIVATE, &transfer);
    if (curl_multi_add_handle(m_multi, handle) != CURLM_OK) {
        transfer.done = true;
        transfer.hop =
            Hop::failure(transfer.url, QStringLiteral("the HTTP library refused the request"));
        m_idle.push_back(std::move(transfer.request));
        return;
    }
    ++m_underWay;
}

void PipelinedTransport::waitFor(const Transfer &transfer)
{
    collectFinished();
    while (!transfer.done && !m_aborted) {
        curl_multi_poll(m_multi, nullptr, 0, kPollMilliseconds, nullptr);
        collectFinished();
    }
    if (m_aborted)
        endEverything();
}

void PipelinedTransport::collectFinished()
{
    // Until nothing new starts: a transfer that ends inside the last perform must be collected
    // now, since no socket event will ever report it and a wait would sit out its timeout.
    do {
        int running = 0;
        curl_multi_perform(m_multi, &running);
        collectMessages();
    } while (askAhead(false));
}

void PipelinedTransport::collectMessages()
{
    int queued = 0;
    while (CURLMsg *message = curl_multi_info_read(m_multi, &queued)) {
        if (message->msg != CURLMSG_DONE)
            continue;
        CURL *handle = message->easy_handle;
        Transfer *transfer = nullptr;
        curl_easy_getinfo(handle, CURLINFO_PRIVATE, &transfer);
        curl_multi_remove_handle(m_multi, handle);
        --m_underWay;
        transfer->hop = transfer->request->finish(message->data.result);
        transfer->done = true;
        m_idle.push_back(std::move(transfer->request));
        if (transfer->ahead)
            m_heldBytes += transfer->hop.body.size();
    }
}

bool PipelinedTransport::isAheadOrUnderWay(const QString &url) const
{
    return std::any_of(m_ahead.begin(), m_ahead.end(),
                       [&url](const Transfer &t) { return t.url == url; });
}

bool PipelinedTransport::askAhead(bool send)
{
    const qsizetype most = kAheadPerConnection * m_connections;
    bool started = false;
    while (!m_aborted && !m_held && !m_slotWanted && !m_expected.empty() &&
           m_underWay < m_connections && qsizetype(m_ahead.size()) < most &&
           m_heldBytes < kMaxHeldBytes) {
        // A second request for an address waits until the run has taken the first reply, so
        // that the server sees the requests for one address in the run's order.
        if (isAheadOrUnderWay(m_expected.front()))
            break;
        Transfer &transfer = m_ahead.emplace_back();
        transfer.ahead = true;
        transfer.url = std::move(m_expected.front());
        m_expected.pop_front();
        start(transfer);
        started = true;
    }
    if (started && send) {
        int running = 0;
        curl_multi_perform(m_multi, &running);
    }
    return started;
}

void PipelinedTransport::forgetExpected()
{
    endEverything();
}

void PipelinedTransport::endEverything()
{
    if (m_asked && m_asked->request) {
        curl_multi_remove_handle(m_multi, m_asked->request->handle());
        m_idle.push_back(std::move(m_asked->request));
    }
    for (Transfer &transfer : m_ahead) {
        if (transfer.request) {
            curl_multi_remove_handle(m_multi, transfer.request->handle());
            m_idle.push_back(std::move(transfer.request));
        }
    }
    m_ahead.clear();
    m_expected.clear();
    m_heldBytes = 0;
    m_underWay = 0;
}
