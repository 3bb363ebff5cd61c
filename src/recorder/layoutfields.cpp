#include "recorder/layoutfields.h"

#include <charconv>
#include <cstring>

namespace {

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}
bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}
bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
char ToLower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

std::string_view TrimBlanks(std::string_view s)
{
    while (!s.empty() && IsBlank(s.front()))
        s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back()))
        s.remove_suffix(1);
    return s;
}

// Reads 1 to nMax digits at p; the count read, 0 for none or too many.
int ReadDigits(std::string_view s, std::size_t& i, int nMax, int& nValue)
{
    const std::size_t nStart = i;
    nValue = 0;
    while (i < s.size() && IsDigit(s[i])) {
        if (static_cast<int>(i - nStart) == nMax)
            return 0;
        nValue = nValue * 10 + (s[i] - '0');
        ++i;
    }
    return static_cast<int>(i - nStart);
}

// 1 to 12 for an English month name or its abbreviation of three letters or more ("Sept").
int MonthOfName(std::string_view word)
{
    static constexpr const char* kNames[] = {"january",   "february", "march",    "april",
                                             "may",       "june",     "july",     "august",
                                             "september", "october",  "november", "december"};
    if (!word.empty() && word.back() == '.')
        word.remove_suffix(1);
    if (word.size() < 3 || word.size() > 9)
        return 0;
    char lower[9];
    for (std::size_t i = 0; i < word.size(); ++i)
        lower[i] = ToLower(word[i]);
    for (int m = 0; m < 12; ++m)
        if (std::strlen(kNames[m]) >= word.size() &&
            std::memcmp(kNames[m], lower, word.size()) == 0)
            return m + 1;
    return 0;
}

bool IsDateSeparator(char c)
{
    return c == '/' || c == '-' || c == '.' || c == ' ' || c == ',' || c == '\t';
}

struct CDateToken
{
    int nValue = 0;
    int nDigits = 0; // 0: a month's name
};

int YearOf(const CDateToken& token)
{
    return token.nDigits == 2 ? 2000 + token.nValue : token.nValue;
}
bool CanBeYear(const CDateToken& token)
{
    return token.nDigits == 2 || token.nDigits == 4;
}

} // namespace

void SplitCells(std::string_view line, char cDelimiter, char cQuote,
                std::vector<std::string_view>& cells)
{
    cells.clear();
    const bool bBlanks = cDelimiter == ' ';
    std::size_t i = 0;
    const std::size_t n = line.size();
    if (bBlanks)
        while (i < n && IsBlank(line[i]))
            ++i;
    for (;;) {
        while (i < n && IsBlank(line[i]) && line[i] != cDelimiter)
            ++i;
        std::string_view cell;
        if (cQuote && i < n && line[i] == cQuote) {
            const std::size_t nOpen = ++i;
            while (i < n && !(line[i] == cQuote && (i + 1 == n || line[i + 1] != cQuote)))
                i += (line[i] == cQuote) ? 2 : 1;
            cell = line.substr(nOpen, (i < n ? i : n) - nOpen);
            // Anything between the closing quote and the delimiter is not part of the cell.
            while (i < n && line[i] != cDelimiter && !(bBlanks && IsBlank(line[i])))
                ++i;
        } else {
            const char* p = static_cast<const char*>(
                i < n ? std::memchr(line.data() + i, cDelimiter, n - i) : nullptr);
            std::size_t nEnd = p ? static_cast<std::size_t>(p - line.data()) : n;
            if (bBlanks) {
                // A tab ends a cell too.
                for (std::size_t j = i; j < nEnd; ++j)
                    if (line[j] == '\t') {
                        nEnd = j;
                        break;
                    }
            }
            cell = TrimBlanks(line.substr(i, nEnd - i));
            i = nEnd;
        }
        cells.push_back(cell);
        if (i >= n)
            return;
        ++i; // the delimiter
        if (bBlanks) {
            while (i < n && IsBlank(line[i]))
                ++i;
            if (i >= n)
                return; // blanks at the end of the line separate nothing
        }
    }
}

std::string UnquoteCell(std::string_view cell, char cQuote)
{
    std::string s;
    s.reserve(cell.size());
    for (std::size_t i = 0; i < cell.size(); ++i) {
        s += cell[i];
        if (cQuote && cell[i] == cQuote && i + 1 < cell.size() && cell[i + 1] == cQuote)
            ++i;
    }
    return s;
}

bool ParseDateCell(std::string_view cell, EDateOrder eOrder, int& nYear, int& nMonth, int& nDay)
{
    CDateToken tokens[3];
    int nTokens = 0;
    int nNamed = -1; // the token that is a month's name
    std::size_t i = 0;
    for (;;) {
        while (i < cell.size() && IsDateSeparator(cell[i]))
            ++i;
        if (i == cell.size())
            break;
        if (nTokens == 3)
            return false;
        CDateToken& token = tokens[nTokens];
        if (IsDigit(cell[i])) {
            token.nDigits = ReadDigits(cell, i, 4, token.nValue);
            if (token.nDigits == 0)
                return false;
        } else {
            const std::size_t nStart = i;
            while (i < cell.size() && IsLetter(cell[i]))
                ++i;
            if (i < cell.size() && cell[i] == '.')
                ++i;
            token.nValue = MonthOfName(cell.substr(nStart, i - nStart));
            if (token.nValue == 0 || nNamed >= 0)
                return false;
            nNamed = nTokens;
        }
        if (i < cell.size() && !IsDateSeparator(cell[i]))
            return false;
        ++nTokens;
    }
    if (nTokens != 3)
        return false;

    const CDateToken* pYear = nullptr;
    const CDateToken* pMonth = nullptr;
    const CDateToken* pDay = nullptr;
    if (nNamed >= 0) {
        // The two numbers beside a month's name: a four-digit one is the year, else they
        // stand in the layout's order.
        pMonth = &tokens[nNamed];
        const CDateToken* pFirst = &tokens[nNamed == 0 ? 1 : 0];
        const CDateToken* pSecond = &tokens[nNamed == 2 ? 1 : 2];
        const bool bFirstIsYear =
            pFirst->nDigits > 2 || (pSecond->nDigits <= 2 && eOrder == EDateOrder::YearMonthDay);
        pYear = bFirstIsYear ? pFirst : pSecond;
        pDay = bFirstIsYear ? pSecond : pFirst;
    } else {
        switch (eOrder) {
        case EDateOrder::YearMonthDay:
            pYear = &tokens[0], pMonth = &tokens[1], pDay = &tokens[2];
            break;
        case EDateOrder::DayMonthYear:
            pDay = &tokens[0], pMonth = &tokens[1], pYear = &tokens[2];
            break;
        case EDateOrder::MonthDayYear:
            pMonth = &tokens[0], pDay = &tokens[1], pYear = &tokens[2];
            break;
        }
        if (pMonth->nDigits > 2)
            return false;
    }
    if (!CanBeYear(*pYear) || pDay->nDigits > 2)
        return false;
    nYear = YearOf(*pYear);
    nMonth = pMonth->nValue;
    nDay = pDay->nValue;
    return nMonth >= 1 && nMonth <= 12 && nDay >= 1 && nDay <= 31;
}

namespace {

// "AM", "PM", "a.m.", "p. m.": 0 for AM, 12 for PM, -1 for neither; i moves past it.
int ReadMeridiem(std::string_view s, std::size_t& i)
{
    std::size_t j = i;
    if (j >= s.size())
        return -1;
    const char c = ToLower(s[j]);
    if (c != 'a' && c != 'p')
        return -1;
    ++j;
    if (j < s.size() && s[j] == '.')
        ++j;
    while (j < s.size() && IsBlank(s[j]))
        ++j;
    if (j >= s.size() || ToLower(s[j]) != 'm')
        return -1;
    ++j;
    if (j < s.size() && s[j] == '.')
        ++j;
    if (j < s.size() && IsLetter(s[j]))
        return -1;
    i = j;
    return c == 'a' ? 0 : 12;
}

// "Z", "+02:00", "+0200", "+02", with "UTC" or "GMT" before it allowed.
bool ReadOffset(std::string_view s, std::size_t& i, int& nMinutes)
{
    if (i < s.size() && (s[i] == 'Z' || s[i] == 'z')) {
        ++i;
        nMinutes = 0;
        return true;
    }
    bool bNamed = false;
    if (s.size() - i >= 3) {
        const std::string_view word = s.substr(i, 3);
        if (word == "UTC" || word == "GMT" || word == "utc" || word == "gmt") {
            i += 3;
            bNamed = true;
            while (i < s.size() && IsBlank(s[i]))
                ++i;
            if (i == s.size()) {
                nMinutes = 0;
                return true;
            }
        }
    }
    if (i >= s.size() || (s[i] != '+' && s[i] != '-' && s[i] != '\xE2'))
        return false;
    // U+2212, the minus sign some programs write.
    const bool bNegative = s[i] != '+';
    if (s[i] == '\xE2') {
        if (s.substr(i, 3) != "\xE2\x88\x92")
            return false;
        i += 2;
    }
    ++i;
    int nHours = 0;
    int nMins = 0;
    const int nDigits = ReadDigits(s, i, 4, nHours);
    if (nDigits == 4) {
        nMins = nHours % 100;
        nHours /= 100;
    } else if (nDigits == 1 || nDigits == 2) {
        if (i < s.size() && s[i] == ':') {
            ++i;
            if (ReadDigits(s, i, 2, nMins) != 2)
                return false;
        }
    } else if (!(bNamed && nDigits == 3)) {
        return false;
    } else {
        nMins = nHours % 100;
        nHours /= 100;
    }
    if (nHours > 18 || nMins > 59)
        return false;
    nMinutes = (nHours * 60 + nMins) * (bNegative ? -1 : 1);
    return true;
}

} // namespace

bool ParseTimeCell(std::string_view cell, EClock eClock, CTimeOfDay& time)
{
    time = CTimeOfDay();
    std::size_t i = 0;
    if (ReadDigits(cell, i, 2, time.nHour) == 0 || i >= cell.size() || cell[i] != ':')
        return false;
    ++i;
    if (ReadDigits(cell, i, 2, time.nMinute) == 0)
        return false;
    if (i < cell.size() && cell[i] == ':') {
        ++i;
        if (ReadDigits(cell, i, 2, time.nSecond) == 0)
            return false;
        if (i + 1 < cell.size() && (cell[i] == '.' || cell[i] == ',') && IsDigit(cell[i + 1])) {
            ++i;
            while (i < cell.size() && IsDigit(cell[i]))
                ++i;
        }
    }
    while (i < cell.size() && IsBlank(cell[i]))
        ++i;
    const int nMeridiem = ReadMeridiem(cell, i);
    if (nMeridiem >= 0) {
        // 12 AM is midnight, 12 PM noon.
        if (time.nHour < 1 || time.nHour > 12)
            return false;
        time.nHour = time.nHour % 12 + nMeridiem;
    } else if (eClock == EClock::Hours12) {
        return false;
    }
    while (i < cell.size() && IsBlank(cell[i]))
        ++i;
    if (i < cell.size()) {
        if (!ReadOffset(cell, i, time.nOffsetMinutes))
            return false;
        time.bHasOffset = true;
        while (i < cell.size() && IsBlank(cell[i]))
            ++i;
        if (i < cell.size())
            return false;
    }
    return time.nHour <= 23 && time.nMinute <= 59 && time.nSecond <= 59;
}

bool SplitDateTimeCell(std::string_view cell, std::string_view& date, std::string_view& time)
{
    const std::size_t nColon = cell.find(':');
    if (nColon == std::string_view::npos)
        return false;
    std::size_t nHour = nColon;
    while (nHour > 0 && IsDigit(cell[nHour - 1]))
        --nHour;
    if (nHour == nColon || nHour == 0)
        return false;
    const char cBefore = cell[nHour - 1];
    if (cBefore != ' ' && cBefore != '\t' && cBefore != 'T' && cBefore != 't')
        return false;
    date = TrimBlanks(cell.substr(0, nHour - 1));
    while (!date.empty() && date.back() == ',')
        date.remove_suffix(1);
    time = cell.substr(nHour);
    return !date.empty();
}

bool ParseNumberCell(std::string_view cell, char cDecimal, bool bUnitInCells, float& fOut)
{
    static constexpr float kPow10[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
    const std::size_t n = cell.size();
    std::size_t i = 0;
    const bool bNegative = i < n && cell[i] == '-';
    if (i < n && (cell[i] == '-' || cell[i] == '+'))
        ++i;
    const std::size_t nNumber = i;
    std::uint32_t m = 0;
    int nDigits = 0;
    int nDecimals = 0;
    for (; i < n && IsDigit(cell[i]); ++i, ++nDigits)
        m = nDigits < 9 ? m * 10 + static_cast<unsigned>(cell[i] - '0') : m;
    if (i + 1 < n && cell[i] == cDecimal && IsDigit(cell[i + 1])) {
        for (++i; i < n && IsDigit(cell[i]); ++i, ++nDecimals)
            m = nDigits + nDecimals < 9 ? m * 10 + static_cast<unsigned>(cell[i] - '0') : m;
    } else if (i < n && cell[i] == cDecimal && nDigits > 0) {
        ++i; // "12." is 12
    }
    if (nDigits + nDecimals == 0)
        return false;
    bool bExponent = false;
    if (i < n && (cell[i] == 'e' || cell[i] == 'E')) {
        std::size_t j = i + 1;
        if (j < n && (cell[j] == '-' || cell[j] == '+'))
            ++j;
        if (j < n && IsDigit(cell[j])) {
            while (j < n && IsDigit(cell[j]))
                ++j;
            i = j;
            bExponent = true;
        }
    }
    // What follows the number: nothing, or with units in the cells text without a digit.
    if (i < n) {
        if (!bUnitInCells)
            return false;
        for (std::size_t j = i; j < n; ++j)
            if (IsDigit(cell[j]))
                return false;
    }
    if (!bExponent && nDigits + nDecimals <= 7) {
        // Below 2^24 and divided by an exact power of ten: one rounding, as strtof's.
        const float f = static_cast<float>(m) / kPow10[nDecimals];
        fOut = bNegative ? -f : f;
        return true;
    }
    // Long or with an exponent: from_chars on a copy with a decimal point, which reads the
    // same in every locale.
    char buffer[64];
    const std::size_t nLength = i - nNumber;
    if (nLength >= sizeof buffer)
        return false;
    for (std::size_t j = 0; j < nLength; ++j) {
        const char c = cell[nNumber + j];
        buffer[j] = c == cDecimal ? '.' : c;
    }
    float f = 0.0f;
    const auto [p, ec] = std::from_chars(buffer, buffer + nLength, f);
    if (ec != std::errc() || p != buffer + nLength)
        return false;
    fOut = bNegative ? -f : f;
    return true;
}

std::int64_t DaysFromCivil(std::int64_t nYear, int nMonth, int nDay)
{
    // Eras of 400 years from March 1st, so that February's leap day ends a year.
    const std::int64_t y = nYear - (nMonth <= 2 ? 1 : 0);
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (nMonth + (nMonth > 2 ? -3 : 9)) + 2) / 5 + nDay - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}
