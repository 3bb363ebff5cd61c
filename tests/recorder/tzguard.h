// Sets TZ for the lifetime of a test and restores it afterwards, and the calendar functions
// the tests need, named as each C library names them.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

// Windows' C library reads TZ only in the form "CET-1CEST" (with fixed summer-time rules);
// it knows no named zones such as Europe/Berlin.
inline bool HasNamedZones()
{
#if defined(_WIN32)
    return false;
#else
    return true;
#endif
}

#define SKIP_WITHOUT_NAMED_ZONES()                                                                 \
    if (!HasNamedZones())                                                                          \
    GTEST_SKIP() << "this C library knows no named time zones (TZ=Europe/Berlin)"

inline std::tm UtcFields(std::int64_t t)
{
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm u{};
#if defined(_WIN32)
    gmtime_s(&u, &tt);
#else
    gmtime_r(&tt, &u);
#endif
    return u;
}

inline std::int64_t UtcTime(std::tm u)
{
#if defined(_WIN32)
    return _mkgmtime(&u);
#else
    return timegm(&u);
#endif
}

// Local time minus UTC at the instant t, in seconds.
inline std::int64_t UtcOffsetAt(std::int64_t t)
{
    const std::time_t tt = static_cast<std::time_t>(t);
    std::tm l{};
#if defined(_WIN32)
    localtime_s(&l, &tt);
    return UtcTime(l) - t;
#else
    localtime_r(&tt, &l);
    return l.tm_gmtoff;
#endif
}

class CTzGuard
{
public:
    explicit CTzGuard(const char* szZone)
    {
        if (const char* szOld = std::getenv("TZ"))
            m_strOld = szOld;
        SetZone(szZone);
    }
    ~CTzGuard() { SetZone(m_strOld ? m_strOld->c_str() : nullptr); }
    CTzGuard(const CTzGuard&) = delete;
    CTzGuard& operator=(const CTzGuard&) = delete;

private:
    static void SetZone(const char* szZone)
    {
#if defined(_WIN32)
        _putenv_s("TZ", szZone ? szZone : ""); // an empty value removes it
        _tzset();
#else
        if (szZone)
            setenv("TZ", szZone, 1);
        else
            unsetenv("TZ");
        tzset();
#endif
    }

    std::optional<std::string> m_strOld;
};
