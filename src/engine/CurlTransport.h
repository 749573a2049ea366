#pragma once

// libcurl's process-wide set-up: create one in main before any transport, keep it until exit.
// Where libcurl can, it sets itself up when the first handle is made; the clean-up is here.
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
