#include "recorder/datetimecell.h"

#include <array>
#include <string_view>

namespace {

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

char Lower(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + ('a' - 'A')) : c;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Up to nMax digits at pos; the count read, 0 when none or when more digits follow.
std::size_t ReadNumber(std::string_view text, std::size_t pos, std::size_t nMax, int& nValue)
{
    std::size_t n = 0;
    nValue = 0;
    while (pos + n < text.size() && IsDigit(text[pos + n])) {
        if (n == nMax)
            return 0;
        nValue = nValue * 10 + (text[pos + n] - '0');
        ++n;
    }
    return n;
}

// An English month name or its three-letter abbreviation at pos: 1 to 12, or 0.
int ReadMonthName(std::string_view text, std::size_t& pos)
{
    static constexpr std::array<std::string_view, 12> kMonths = {
        "jan", "feb", "mar", "apr", "may", "jun", "jul", "aug", "sep", "oct", "nov", "dec"};
    if (pos + 3 > text.size())
        return 0;
    char ach[3] = {Lower(text[pos]), Lower(text[pos + 1]), Lower(text[pos + 2])};
    for (std::size_t i = 0; i < kMonths.size(); ++i) {
        if (std::string_view(ach, 3) == kMonths[i]) {
            pos += 3;
            while (pos < text.size() && (IsLetter(text[pos]) || text[pos] == '.'))
                ++pos;
            return static_cast<int>(i) + 1;
        }
    }
    return 0;
}

} // namespace

std::size_t ReadDate(std::string_view text, CDateParts& date)
{
    date = CDateParts();
    std::size_t pos = 0;
    // "May 01 2021", "May 1, 2021" is left out: its comma is the usual delimiter.
    if (const int nMonth = ReadMonthName(text, pos); nMonth != 0) {
        if (pos >= text.size() || (text[pos] != ' ' && text[pos] != '-' && text[pos] != '/'))
            return 0;
        const char cSep = text[pos++];
        const std::size_t nDay = ReadNumber(text, pos, 2, date.anField[1]);
        if (nDay == 0 || pos + nDay >= text.size() || text[pos + nDay] != cSep)
            return 0;
        pos += nDay + 1;
        const std::size_t nYear = ReadNumber(text, pos, 4, date.anField[2]);
        if (nYear != 2 && nYear != 4)
            return 0;
        date.anField[0] = nMonth;
        date.anDigits[0] = 2;
        date.anDigits[1] = static_cast<int>(nDay);
        date.anDigits[2] = static_cast<int>(nYear);
        date.nMonthNameAt = 1;
        return pos + nYear;
    }

    const std::size_t nFirst = ReadNumber(text, 0, 4, date.anField[0]);
    if (nFirst == 0 || nFirst >= text.size())
        return 0;
    const char cSep = text[nFirst];
    if (cSep != '/' && cSep != '.' && cSep != '-' && cSep != ' ')
        return 0;
    pos = nFirst + 1;
    date.anDigits[0] = static_cast<int>(nFirst);
    std::size_t nSecond = 0;
    if (const int nMonth = ReadMonthName(text, pos); nMonth != 0) {
        date.anField[1] = nMonth;
        date.nMonthNameAt = 2;
        nSecond = 2;
    } else {
        if (cSep == ' ')
            return 0; // numbers apart by blanks are no date
        nSecond = ReadNumber(text, pos, 2, date.anField[1]);
        if (nSecond == 0)
            return 0;
        pos += nSecond;
    }
    date.anDigits[1] = static_cast<int>(nSecond);
    if (pos >= text.size() || text[pos] != cSep)
        return 0;
    ++pos;
    const std::size_t nThird = ReadNumber(text, pos, 4, date.anField[2]);
    if (nThird == 0 || (nFirst != 4 && nThird != 2 && nThird != 4) || (nFirst == 4 && nThird > 2))
        return 0;
    date.anDigits[2] = static_cast<int>(nThird);
    return pos + nThird;
}

std::size_t ReadTime(std::string_view text, CTimeParts& time)
{
    time = CTimeParts();
    std::size_t pos = ReadNumber(text, 0, 2, time.nHour);
    if (pos == 0 || pos >= text.size() || text[pos] != ':')
        return 0;
    ++pos;
    const std::size_t nMinute = ReadNumber(text, pos, 2, time.nMinute);
    if (nMinute != 2)
        return 0;
    pos += nMinute;
    if (pos < text.size() && text[pos] == ':') {
        const std::size_t nSecond = ReadNumber(text, pos + 1, 2, time.nSecond);
        if (nSecond != 2)
            return 0;
        pos += 1 + nSecond;
        if (pos + 1 < text.size() && (text[pos] == '.' || text[pos] == ',') &&
            IsDigit(text[pos + 1])) {
            ++pos;
            while (pos < text.size() && IsDigit(text[pos]))
                ++pos;
        }
    }
    if (time.nHour > 24 || time.nMinute > 59 || time.nSecond > 60)
        return 0;
    // An offset follows the time directly; AM/PM after a blank.
    if (pos < text.size() && (text[pos] == 'Z' || text[pos] == 'z')) {
        time.bZone = true;
        return pos + 1;
    }
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        int nOffset = 0;
        const std::size_t nHours = ReadNumber(text, pos + 1, 4, nOffset);
        if (nHours == 2 || nHours == 4) {
            std::size_t nEnd = pos + 1 + nHours;
            if (nHours == 2 && nEnd + 2 < text.size() && text[nEnd] == ':' &&
                ReadNumber(text, nEnd + 1, 2, nOffset) == 2)
                nEnd += 3;
            time.bZone = true;
            return nEnd;
        }
        return pos;
    }
    std::size_t p = pos;
    while (p < text.size() && text[p] == ' ')
        ++p;
    if (p + 1 < text.size() && (Lower(text[p]) == 'a' || Lower(text[p]) == 'p')) {
        std::size_t q = p + 1;
        if (q < text.size() && text[q] == '.')
            ++q;
        if (q < text.size() && Lower(text[q]) == 'm') {
            ++q;
            if (q < text.size() && text[q] == '.')
                ++q;
            if (q == text.size() || !IsLetter(text[q])) {
                time.bAmPm = true;
                time.bPm = Lower(text[p]) == 'p';
                return q;
            }
        }
    }
    return pos;
}

bool IsNumberCell(std::string_view cell, char cDecimal)
{
    std::size_t pos = 0;
    if (pos < cell.size() && (cell[pos] == '-' || cell[pos] == '+'))
        ++pos;
    bool bDigit = false;
    bool bDecimal = false;
    for (; pos < cell.size(); ++pos) {
        if (IsDigit(cell[pos]))
            bDigit = true;
        else if (cell[pos] == cDecimal && !bDecimal)
            bDecimal = true;
        else
            return false;
    }
    return bDigit;
}

ECellKind ClassifyCell(std::string_view cell, CDateParts& date, CTimeParts& time)
{
    if (cell.empty())
        return ECellKind::Empty;
    if (const std::size_t nDate = ReadDate(cell, date); nDate != 0) {
        std::size_t pos = nDate;
        if (pos == cell.size())
            return ECellKind::Date;
        if (cell[pos] != ' ' && cell[pos] != 'T')
            return ECellKind::Text;
        while (pos < cell.size() && (cell[pos] == ' ' || cell[pos] == 'T'))
            ++pos;
        const std::size_t nTime = ReadTime(cell.substr(pos), time);
        if (nTime == 0)
            return ECellKind::Text;
        pos += nTime;
        while (pos < cell.size() && cell[pos] == ' ')
            ++pos;
        return pos == cell.size() ? ECellKind::DateTime : ECellKind::Text;
    }
    if (const std::size_t nTime = ReadTime(cell, time); nTime != 0) {
        std::size_t pos = nTime;
        while (pos < cell.size() && cell[pos] == ' ')
            ++pos;
        return pos == cell.size() ? ECellKind::Time : ECellKind::Text;
    }
    if (IsNumberCell(cell, '.') || IsNumberCell(cell, ','))
        return ECellKind::Number;
    // A number followed by a blank and a unit that is not a number.
    std::size_t nNumber = 0;
    while (nNumber < cell.size() &&
           (IsDigit(cell[nNumber]) || cell[nNumber] == '.' || cell[nNumber] == ',' ||
            (nNumber == 0 && cell[nNumber] == '-')))
        ++nNumber;
    if (nNumber > 0 && (IsNumberCell(cell.substr(0, nNumber), '.') ||
                        IsNumberCell(cell.substr(0, nNumber), ','))) {
        std::size_t pos = nNumber;
        while (pos < cell.size() && cell[pos] == ' ')
            ++pos;
        if (pos < cell.size() && !IsDigit(cell[pos]) && cell.size() - pos <= 6)
            return ECellKind::NumberWithUnit;
    }
    return ECellKind::Text;
}

bool LineStartsWithDate(std::string_view line)
{
    // The date may follow a quote or a record number ("12,2021-05-01 ..."); a date later in
    // a line ("Started: 2021-05-01") belongs to a line before the records.
    std::size_t pos = 0;
    CDateParts date;
    for (int nCell = 0; nCell < 2 && pos < line.size(); ++nCell) {
        while (pos < line.size() && (line[pos] == '"' || line[pos] == ' '))
            ++pos;
        if (ReadDate(line.substr(pos), date) != 0)
            return true;
        const std::size_t nStart = pos;
        while (pos < line.size() && IsDigit(line[pos]))
            ++pos;
        if (pos == nStart || pos == line.size() ||
            (line[pos] != ',' && line[pos] != ';' && line[pos] != '\t' && line[pos] != ' ' &&
             line[pos] != '"'))
            return false;
        if (line[pos] == '"')
            ++pos;
        if (pos < line.size() && (line[pos] == ',' || line[pos] == ';' || line[pos] == '\t'))
            ++pos;
    }
    return false;
}
