// Puts the C library's locale back as it was when a test ends, however it ends.
#pragma once

#include <clocale>
#include <string>

class CLocaleGuard
{
public:
    CLocaleGuard()
    {
        const char* szOld = std::setlocale(LC_ALL, nullptr);
        m_strOld = szOld ? szOld : "C";
    }
    ~CLocaleGuard() { std::setlocale(LC_ALL, m_strOld.c_str()); }
    CLocaleGuard(const CLocaleGuard&) = delete;
    CLocaleGuard& operator=(const CLocaleGuard&) = delete;

    // Puts szName in force; false when the system does not have it.
    bool Use(const char* szName) { return std::setlocale(LC_ALL, szName) != nullptr; }

private:
    std::string m_strOld;
};
