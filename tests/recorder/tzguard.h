// Sets TZ for the lifetime of a test and restores it afterwards.
#pragma once

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

class CTzGuard
{
public:
    explicit CTzGuard(const char* szZone)
    {
        if (const char* szOld = std::getenv("TZ"))
            m_strOld = szOld;
        setenv("TZ", szZone, 1);
        tzset();
    }
    ~CTzGuard()
    {
        if (m_strOld)
            setenv("TZ", m_strOld->c_str(), 1);
        else
            unsetenv("TZ");
        tzset();
    }
    CTzGuard(const CTzGuard&) = delete;
    CTzGuard& operator=(const CTzGuard&) = delete;

private:
    std::optional<std::string> m_strOld;
};
