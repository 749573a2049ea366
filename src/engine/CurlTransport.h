#pragma once

// libcurl's process-wide set-up: create one in main before any transport, keep it until exit.
class CurlGlobal
{
public:
    CurlGlobal();
    ~CurlGlobal();
    CurlGlobal(const CurlGlobal &) = delete;
    CurlGlobal &operator=(const CurlGlobal &) = delete;

    bool ok() const { return m_ok; }

private:
    bool m_ok = false;
};
