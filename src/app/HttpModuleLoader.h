#pragma once

#include "engine/HttpLibrary.h"

#include <QString>

#include <mutex>

// The executable's HTTP library: loads libcurl's module (HttpModule.h) at the first transport
// and hands on to it. When the module cannot be loaded, that is said once on the terminal and
// every request of every transport fails naming the reason.
class LoadedHttpLibrary final : public HttpLibrary
{
public:
    LoadedHttpLibrary() = default;
    Q_DISABLE_COPY_MOVE(LoadedHttpLibrary)

    // From any thread.
    std::unique_ptr<HttpTransport> makeTransport(std::chrono::milliseconds timeout,
                                                 int connections) override;

private:
    std::once_flag m_once;
    HttpLibrary *m_loaded = nullptr; // the module's, never unloaded
    QString m_failure;
};
