#include "engine/DeferredTransport.h"

DeferredTransport::DeferredTransport(Factory factory)
    : m_factory(std::move(factory))
{}

HttpReply DeferredTransport::get(const QString &url)
{
    return transport().get(url);
}

bool DeferredTransport::originOf(const QString &url, UrlOrigin &origin)
{
    return transport().originOf(url, origin);
}

void DeferredTransport::expect(const QString &url)
{
    transport().expect(url);
}

void DeferredTransport::forgetExpected()
{
    // Nothing made, nothing announced.
    if (HttpTransport *made = this->made())
        made->forgetExpected();
}

void DeferredTransport::hold(bool held)
{
    HttpTransport *made = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        m_held = held;
        made = m_transport.get();
    }
    if (made)
        made->hold(held);
}

void DeferredTransport::abort()
{
    HttpTransport *made = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        m_aborted = true;
        made = m_transport.get();
    }
    if (made)
        made->abort();
}

HttpTransport *DeferredTransport::made() const
{
    const std::lock_guard lock(m_mutex);
    return m_transport.get();
}

HttpTransport &DeferredTransport::transport()
{
    const std::lock_guard lock(m_mutex);
    if (!m_transport) {
        m_transport = m_factory();
        if (m_held)
            m_transport->hold(true);
        if (m_aborted)
            m_transport->abort();
    }
    return *m_transport;
}
