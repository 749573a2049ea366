#pragma once

#include <QHash>
#include <QString>

#include <array>
#include <mutex>

// One lock per key (a feed, an article) out of a fixed set, so that a long-running gateway does
// not gather one per key ever asked for; two keys may share a lock.
class KeyedLocks
{
public:
    std::mutex &lockFor(const QString &key) { return m_locks[qHash(key) % m_locks.size()]; }

private:
    std::array<std::mutex, 64> m_locks;
};
