#pragma once

#include "engine/CurlTransport.h"
#include "engine/HttpLibrary.h"

// libcurl as the program's HTTP library: set up for as long as the object lives.
class CurlLibrary final : public HttpLibrary
{
public:
    CurlLibrary() = default;
    Q_DISABLE_COPY_MOVE(CurlLibrary)

    std::unique_ptr<HttpTransport> makeTransport(std::chrono::milliseconds timeout,
                                                 int connections) override
    {
        return MakeCurlTransport(timeout, connections);
    }

private:
    CurlGlobal m_global;
};
