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

// The calendar fields of t in UTC, for any t (Windows' gmtime_s refuses times before 1970).
inline std::tm UtcFields(std::int64_t t)
{
    std::int64_t nDays = t / 86400;
    std::int64_t nSeconds = t % 86400;
    if (nSeconds < 0) {
        nSeconds += 86400;
        --nDays;
    }
    // Days to a proleptic Gregorian date, with eras of 400 years.
    const std::int64_t z = nDays + 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    const int nMonth = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    std::tm u{};
    u.tm_year = static_cast<int>(yoe + era * 400 + (nMonth <= 2) - 1900);
    u.tm_mon = nMonth - 1;
    u.tm_mday = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    u.tm_hour = static_cast<int>(nSeconds / 3600);
    u.tm_min = static_cast<int>(nSeconds / 60 % 60);
    u.tm_sec = static_cast<int>(nSeconds % 60);
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
