// The executable's side of the HTTP module: the engine's entry points into libcurl, handed on to
// the module, which is loaded at the first of them.
#include "HttpModule.h"
#include "ProgramModule.h"
#include "engine/CurlTransport.h"
#include "util/ErrorLines.h"

#include <mutex>

using namespace Qt::StringLiterals;

namespace {

struct LoadedModule
{
    const HttpModuleEntry *entry = nullptr;
    QString failure;
};

// Loaded once per process and never changed after: the module stays for the process's life,
// like libcurl's own process-wide state it carries.
LoadedModule &httpModule(bool load = true)
{
    static std::once_flag once;
    static LoadedModule loaded;
    if (!load)
        return loaded;
    std::call_once(once, [] {
        const auto function = reinterpret_cast<HttpModuleFunction>(
            LoadModuleEntry(HttpModuleFile, "VarnholtHttpModule", loaded.failure));
        if (function)
            loaded.entry = function();
        else
            WriteErrorLines(u"the HTTP library could not be loaded: "_s + loaded.failure);
    });
    return loaded;
}

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

private:
    QString m_failure;
};

} // namespace

std::unique_ptr<HttpTransport> MakeCurlTransport(std::chrono::milliseconds timeout, int connections)
{
    const LoadedModule &module = httpModule();
    if (!module.entry)
        return std::make_unique<UnloadedTransport>(module.failure);
    return module.entry->makeTransport(timeout, connections);
}

bool OriginOf(const QString &url, UrlOrigin &origin)
{
    const LoadedModule &module = httpModule();
    return module.entry && module.entry->originOf(url, origin);
}

// libcurl is set up as the module loads; a process that never loaded it has nothing to clean.
CurlGlobal::CurlGlobal()
    : m_ok(true)
{}

CurlGlobal::~CurlGlobal()
{
    const LoadedModule &module = httpModule(false);
    if (module.entry)
        module.entry->cleanUp();
}
