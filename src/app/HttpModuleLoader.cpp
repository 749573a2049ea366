#include "HttpModuleLoader.h"

#include "HttpModule.h"
#include "ProgramModule.h"
#include "util/ErrorLines.h"

using namespace Qt::StringLiterals;

namespace {

// Stands in when the module cannot be loaded, so that every request reports why.
class UnloadedTransport final : public HttpTransport
{
public:
    explicit UnloadedTransport(QString failure)
        : m_failure(std::move(failure))
    {}

    HttpReply get(const QString &url) override
    {
        return {false, {}, url + u": the HTTP library could not be loaded: "_s + m_failure};
    }
    // Without the library no address can be read, so none is the portal's.
    bool originOf(const QString &, UrlOrigin &) override { return false; }

private:
    QString m_failure;
};

} // namespace

std::unique_ptr<HttpTransport> LoadedHttpLibrary::makeTransport(std::chrono::milliseconds timeout,
                                                                int connections)
{
    std::call_once(m_once, [this] {
        const auto function = reinterpret_cast<HttpModuleFunction>(
            LoadModuleEntry(HttpModuleFile, "VarnholtHttpModule", m_failure));
        if (function)
            m_loaded = function();
        else
            WriteErrorLines(u"the HTTP library could not be loaded: "_s + m_failure);
    });
    if (!m_loaded)
        return std::make_unique<UnloadedTransport>(m_failure);
    return m_loaded->makeTransport(timeout, connections);
}
