#pragma once

#include <QString>

#include <functional>
#include <map>
#include <mutex>

// The key the archive's faults go under: one line per new reason until a page reads it again.
inline constexpr QStringView ArchiveFaults = u"archive";

// Says each fault of an address once: again only after the address worked in between or the
// reason changed.
class FaultLog
{
public:
    explicit FaultLog(std::function<void(const QString &)> say)
        : m_say(std::move(say))
    {}

    // message: the whole line, naming the address and the reason.
    void fault(const QString &address, const QString &message)
    {
        std::lock_guard lock(m_mutex);
        QString &last = m_last[address];
        if (last == message)
            return;
        last = message;
        m_say(message);
    }
    void worked(const QString &address)
    {
        std::lock_guard lock(m_mutex);
        m_last.erase(address);
    }
    // Said every time: news of something done, not a state that lasts.
    void note(const QString &message)
    {
        std::lock_guard lock(m_mutex);
        m_say(message);
    }

private:
    std::function<void(const QString &)> m_say;
    std::mutex m_mutex;
    std::map<QString, QString> m_last;
};
