#include "recorder/layout.h"

#include <algorithm>
#include <charconv>
#include <cstdio>

namespace {

constexpr std::string_view kFirstLine = "# Trendora layout";

struct CNamedRole
{
    EColumnRole eRole;
    std::string_view name;
};
constexpr CNamedRole kRoles[] = {
    {EColumnRole::Skip, "skip"},      {EColumnRole::Date, "date"},
    {EColumnRole::Time, "time"},      {EColumnRole::DateTime, "datetime"},
    {EColumnRole::TempPV, "temp-pv"}, {EColumnRole::TempSV, "temp-sv"},
    {EColumnRole::HumiPV, "humi-pv"}, {EColumnRole::HumiSV, "humi-sv"},
};

struct CNamedEncoding
{
    EEncoding eEncoding;
    std::string_view name;    // in the layout file
    std::string_view display; // in the status bar
};
constexpr CNamedEncoding kEncodings[] = {
    {EEncoding::Utf8, "utf-8", "UTF-8"},
    {EEncoding::Utf16LE, "utf-16le", "UTF-16LE"},
    {EEncoding::Utf16BE, "utf-16be", "UTF-16BE"},
    {EEncoding::Windows1252, "windows-1252", "Windows-1252"},
    {EEncoding::MacRoman, "mac-roman", "Mac Roman"},
    {EEncoding::Gbk, "gbk", "GBK"},
    {EEncoding::Big5, "big5", "Big5"},
};

struct CNamedDelimiter
{
    char c;
    std::string_view name;
    std::string_view display;
};
constexpr CNamedDelimiter kDelimiters[] = {
    {',', "comma", "Comma"}, {';', "semicolon", "Semicolon"}, {'\t', "tab", "Tab"},
    {' ', "space", "Space"}, {'|', "pipe", "Vertical bar"},
};

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
        s.remove_prefix(1);
    while (!s.empty() && (s.back() == ' ' || s.back() == '\t' || s.back() == '\r'))
        s.remove_suffix(1);
    return s;
}

// Free text (a name, a header line) on one line of the file: backslashes, control characters
// and blanks at either end are escaped, so that it reads back byte for byte.
std::string EscapeText(std::string_view text)
{
    std::string s;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool bEnd = i == 0 || i + 1 == text.size();
        if (c == '\\')
            s += "\\\\";
        else if (c == '\n')
            s += "\\n";
        else if (c == '\r')
            s += "\\r";
        else if (c == '\t')
            s += "\\t";
        else if (c == ' ' && bEnd)
            s += "\\s";
        else if (c < 0x20 || c == 0x7f) {
            char sz[8];
            std::snprintf(sz, sizeof sz, "\\x%02x", c);
            s += sz;
        } else
            s += static_cast<char>(c);
    }
    return s;
}

int HexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

bool UnescapeText(std::string_view text, std::string& out)
{
    out.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '\\') {
            out += text[i];
            continue;
        }
        if (++i == text.size())
            return false;
        switch (text[i]) {
        case '\\':
            out += '\\';
            break;
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 's':
            out += ' ';
            break;
        case 'x': {
            const int h = i + 2 < text.size() ? HexDigit(text[i + 1]) : -1;
            const int l = h >= 0 ? HexDigit(text[i + 2]) : -1;
            if (l < 0)
                return false;
            out += static_cast<char>(h * 16 + l);
            i += 2;
            break;
        }
        default:
            return false;
        }
    }
    return true;
}

std::string FormatOffset(int nMinutes)
{
    const int nAbs = nMinutes < 0 ? -nMinutes : nMinutes;
    char sz[16];
    std::snprintf(sz, sizeof sz, "%c%02d:%02d", nMinutes < 0 ? '-' : '+', nAbs / 60, nAbs % 60);
    return sz;
}

// "+HH:MM", "-HH:MM", also "+HHMM" and "+HH".
bool ParseOffset(std::string_view s, int& nMinutes)
{
    if (s.size() < 3 || (s[0] != '+' && s[0] != '-'))
        return false;
    const bool bNegative = s[0] == '-';
    s.remove_prefix(1);
    int nHours = 0;
    int nMins = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + std::min<std::size_t>(2, s.size()), nHours);
    if (ec != std::errc() || p != s.data() + 2)
        return false;
    s.remove_prefix(2);
    if (!s.empty() && s.front() == ':')
        s.remove_prefix(1);
    if (!s.empty()) {
        auto [q, ec2] = std::from_chars(s.data(), s.data() + s.size(), nMins);
        if (ec2 != std::errc() || q != s.data() + s.size() || s.size() != 2)
            return false;
    }
    if (nHours > 18 || nMins > 59)
        return false;
    nMinutes = (nHours * 60 + nMins) * (bNegative ? -1 : 1);
    return true;
}

bool ParseCount(std::string_view s, int& n)
{
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), n);
    return ec == std::errc() && p == s.data() + s.size() && n >= 0 && n <= 1000000;
}

bool ParseYesNo(std::string_view s, bool& b)
{
    if (s == "yes")
        b = true;
    else if (s == "no")
        b = false;
    else
        return false;
    return true;
}

bool ParseRoles(std::string_view s, std::vector<EColumnRole>& arrRoles)
{
    arrRoles.clear();
    if (s.empty())
        return true;
    for (;;) {
        const std::size_t nComma = s.find(',');
        const std::string_view name = Trim(s.substr(0, nComma));
        const auto it = std::find_if(std::begin(kRoles), std::end(kRoles),
                                     [&](const CNamedRole& r) { return r.name == name; });
        if (it == std::end(kRoles))
            return false;
        arrRoles.push_back(it->eRole);
        if (nComma == std::string_view::npos)
            return true;
        s.remove_prefix(nComma + 1);
    }
}

// One "key = value" line into layout; false with the reason in strWhy.
bool ParseSetting(std::string_view key, std::string_view value, CLayout& layout,
                  std::string& strWhy)
{
    bool bOk = false;
    if (key == "name") {
        bOk = UnescapeText(value, layout.strName);
    } else if (key == "header") {
        bOk = UnescapeText(value, layout.strHeader);
    } else if (key == "recorder") {
        bOk = ParseYesNo(value, layout.bRecorder);
    } else if (key == "delimiter") {
        for (const CNamedDelimiter& d : kDelimiters)
            if (d.name == value) {
                layout.cDelimiter = d.c;
                bOk = true;
            }
    } else if (key == "decimal") {
        bOk = value == "point" || value == "comma";
        layout.cDecimal = value == "comma" ? ',' : '.';
    } else if (key == "quote") {
        bOk = value == "double" || value == "single" || value == "none";
        layout.cQuote = value == "double" ? '"' : value == "single" ? '\'' : 0;
    } else if (key == "skip lines") {
        bOk = ParseCount(value, layout.nSkipLines);
    } else if (key == "header line") {
        bOk = ParseCount(value, layout.nHeaderLine);
    } else if (key == "columns") {
        bOk = ParseRoles(value, layout.arrRoles);
    } else if (key == "date order") {
        bOk = value == "ymd" || value == "dmy" || value == "mdy";
        layout.eDateOrder = value == "dmy"   ? EDateOrder::DayMonthYear
                            : value == "mdy" ? EDateOrder::MonthDayYear
                                             : EDateOrder::YearMonthDay;
    } else if (key == "clock") {
        bOk = value == "24" || value == "12";
        layout.eClock = value == "12" ? EClock::Hours12 : EClock::Hours24;
    } else if (key == "zone") {
        // The offset belongs to an Offset zone alone, so that a layout reads back as it was.
        if (value == "local" || value == "in-value") {
            layout.eZone = value == "local" ? EZone::Local : EZone::InValue;
            layout.nOffsetMinutes = 0;
            bOk = true;
        } else if (ParseOffset(value, layout.nOffsetMinutes)) {
            layout.eZone = EZone::Offset;
            bOk = true;
        }
    } else if (key == "temperature unit") {
        bOk = value == "C" || value == "F" || value == "K";
        layout.eTempUnit = value == "F"   ? ETempUnit::Fahrenheit
                           : value == "K" ? ETempUnit::Kelvin
                                          : ETempUnit::Celsius;
    } else if (key == "unit in cells") {
        bOk = ParseYesNo(value, layout.bUnitInCells);
    } else if (key == "encoding") {
        for (const CNamedEncoding& e : kEncodings)
            if (e.name == value) {
                layout.eEncoding = e.eEncoding;
                bOk = true;
            }
    } else {
        strWhy = "unknown key \"" + std::string(key) + "\"";
        return false;
    }
    if (!bOk) {
        // Appended piece by piece: GCC 12 warns falsely about "\"" + std::string(...).
        strWhy.assign(1, '"').append(value).append("\" is not a value for ").append(key);
    }
    return bOk;
}

} // namespace

bool CLayout::HasRole(EColumnRole eRole) const
{
    return std::find(arrRoles.begin(), arrRoles.end(), eRole) != arrRoles.end();
}

CLayout RecorderLayout()
{
    CLayout layout;
    layout.strName = "Recorder";
    layout.bRecorder = true;
    layout.cDelimiter = ',';
    layout.cDecimal = '.';
    layout.cQuote = 0; // the recorder never quotes
    layout.nSkipLines = 1;
    layout.nHeaderLine = 1;
    layout.arrRoles = {EColumnRole::Date,   EColumnRole::Time,   EColumnRole::TempPV,
                       EColumnRole::TempSV, EColumnRole::HumiPV, EColumnRole::HumiSV};
    layout.eDateOrder = EDateOrder::YearMonthDay;
    return layout;
}

std::string FormatLayout(const CLayout& layout)
{
    std::string s(kFirstLine);
    s += '\n';
    const auto line = [&s](std::string_view key, std::string_view value) {
        s.append(key).append(" = ").append(value) += '\n';
    };
    line("name", EscapeText(layout.strName));
    line("header", EscapeText(layout.strHeader));
    line("recorder", layout.bRecorder ? "yes" : "no");
    std::string strDelimiter = "comma";
    for (const CNamedDelimiter& d : kDelimiters)
        if (d.c == layout.cDelimiter)
            strDelimiter = d.name;
    line("delimiter", strDelimiter);
    line("decimal", layout.cDecimal == ',' ? "comma" : "point");
    line("quote", layout.cQuote == '"' ? "double" : layout.cQuote == '\'' ? "single" : "none");
    line("skip lines", std::to_string(layout.nSkipLines));
    line("header line", std::to_string(layout.nHeaderLine));
    std::string strColumns;
    for (EColumnRole eRole : layout.arrRoles) {
        if (!strColumns.empty())
            strColumns += ',';
        strColumns += RoleName(eRole);
    }
    line("columns", strColumns);
    line("date order", layout.eDateOrder == EDateOrder::DayMonthYear   ? "dmy"
                       : layout.eDateOrder == EDateOrder::MonthDayYear ? "mdy"
                                                                       : "ymd");
    line("clock", layout.eClock == EClock::Hours12 ? "12" : "24");
    line("zone", layout.eZone == EZone::Local     ? std::string("local")
                 : layout.eZone == EZone::InValue ? std::string("in-value")
                                                  : FormatOffset(layout.nOffsetMinutes));
    line("temperature unit", layout.eTempUnit == ETempUnit::Fahrenheit ? "F"
                             : layout.eTempUnit == ETempUnit::Kelvin   ? "K"
                                                                       : "C");
    line("unit in cells", layout.bUnitInCells ? "yes" : "no");
    line("encoding", EncodingName(layout.eEncoding));
    return s;
}

bool ParseLayout(std::string_view text, CLayout& layout, std::string& strError)
{
    CLayout result;
    // The file is UTF-8; an editor may have put a byte-order mark before it.
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);
    int nLine = 0;
    bool bFirst = true;
    while (!text.empty()) {
        ++nLine;
        const std::size_t nEnd = text.find('\n');
        const std::string_view line = Trim(text.substr(0, nEnd));
        text.remove_prefix(nEnd == std::string_view::npos ? text.size() : nEnd + 1);
        if (bFirst) {
            bFirst = false;
            if (line != kFirstLine) {
                strError = "Line 1: a layout file starts with \"" + std::string(kFirstLine) + "\".";
                return false;
            }
            continue;
        }
        if (line.empty() || line.front() == '#')
            continue;
        const std::size_t nEquals = line.find('=');
        std::string strWhy;
        if (nEquals == std::string_view::npos) {
            strWhy = "a line of a layout file reads \"key = value\"";
        } else if (ParseSetting(Trim(line.substr(0, nEquals)), Trim(line.substr(nEquals + 1)),
                                result, strWhy)) {
            continue;
        }
        strError = "Line " + std::to_string(nLine) + ": " + strWhy + ".";
        return false;
    }
    if (bFirst) {
        strError = "The layout file is empty.";
        return false;
    }
    layout = std::move(result);
    return true;
}

std::string DescribeLayout(const CLayout& layout)
{
    if (layout.bRecorder)
        return "Recorder layout";
    std::string s = "Comma";
    for (const CNamedDelimiter& d : kDelimiters)
        if (d.c == layout.cDelimiter)
            s = d.display;
    if (layout.cDecimal == ',')
        s += ", decimal comma";
    s += layout.eDateOrder == EDateOrder::DayMonthYear   ? ", day-month-year"
         : layout.eDateOrder == EDateOrder::MonthDayYear ? ", month-day-year"
                                                         : ", year-month-day";
    if (layout.eClock == EClock::Hours12)
        s += ", 12-hour clock";
    if (layout.eZone == EZone::Offset)
        s += ", UTC" + FormatOffset(layout.nOffsetMinutes);
    else if (layout.eZone == EZone::InValue)
        s += ", UTC offset in each time";
    if (layout.eTempUnit == ETempUnit::Fahrenheit)
        s += ", \u00b0F shown in \u00b0C";
    else if (layout.eTempUnit == ETempUnit::Kelvin)
        s += ", K shown in \u00b0C";
    if (layout.eEncoding != EEncoding::Utf8)
        for (const CNamedEncoding& e : kEncodings)
            if (e.eEncoding == layout.eEncoding)
                s += ", " + std::string(e.display);
    return s;
}

std::string_view RoleName(EColumnRole eRole)
{
    for (const CNamedRole& r : kRoles)
        if (r.eRole == eRole)
            return r.name;
    return "skip";
}

std::string_view EncodingName(EEncoding eEncoding)
{
    for (const CNamedEncoding& e : kEncodings)
        if (e.eEncoding == eEncoding)
            return e.name;
    return "utf-8";
}
