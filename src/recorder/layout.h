// A file layout as a value: how a logger writes its records as delimited text. The recorder's
// own layout is one of them; every other logger is a layout, not a code path. A layout is
// kept as a small text file (FormatLayout / ParseLayout) that users can keep and share.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// What a column holds. Date and Time are two columns; DateTime is one column with both.
enum class EColumnRole
{
    Skip, // not read: a record number, a dew point, light, CO2, ...
    Date,
    Time,
    DateTime,
    TempPV,
    TempSV,
    HumiPV,
    HumiSV,
};

enum class EDateOrder
{
    YearMonthDay,
    DayMonthYear,
    MonthDayYear,
};

enum class EClock
{
    Hours24,
    Hours12, // with AM/PM
};

enum class EZone
{
    Local,  // local wall time, converted as the recorder's times are
    Offset, // a fixed offset from UTC stated in the header ("GMT-04:00"): nOffsetMinutes
    InValue // each time carries its offset ("+02:00", "Z")
};

enum class ETempUnit
{
    Celsius,
    Fahrenheit,
    Kelvin,
};

// The encoding of the file's text. Numbers and dates are ASCII in all of them; the legacy
// code pages matter only for the header's words.
enum class EEncoding
{
    Utf8, // with or without a byte-order mark
    Utf16LE,
    Utf16BE,
    Windows1252,
    MacRoman,
    Gbk,
    Big5,
};

struct CLayout
{
    std::string strName;   // the name it is saved under; empty for one not saved
    std::string strHeader; // the header line (UTF-8) of the files it was saved for, by
                           // which a saved layout is found again; empty: none

    // The recorder's own layout: read by the recorder reader with all of its rules.
    bool bRecorder = false;

    char cDelimiter = ',';    // ',', ';', '\t' or ' ' (a run of blanks is one delimiter)
    char cDecimal = '.';      // '.' or ','
    char cQuote = '"';        // 0: values are never quoted
    int nSkipLines = 1;       // lines before the first record, header lines included
    int nHeaderLine = 1;      // the 1-based line that names the columns; 0: none
    std::vector<EColumnRole> arrRoles; // one per column, from the left; missing ones: Skip

    EDateOrder eDateOrder = EDateOrder::YearMonthDay;
    EClock eClock = EClock::Hours24;
    EZone eZone = EZone::Local;
    int nOffsetMinutes = 0; // with EZone::Offset: local = UTC + this
    ETempUnit eTempUnit = ETempUnit::Celsius;
    bool bUnitInCells = false; // cells may carry a unit after the number ("13.1 °C", "45 %")
    EEncoding eEncoding = EEncoding::Utf8;

    bool operator==(const CLayout&) const = default;

    bool HasRole(EColumnRole eRole) const;
};

// The recorder's own layout.
CLayout RecorderLayout();

// The layout as its text file: "key = value" lines, UTF-8.
std::string FormatLayout(const CLayout& layout);
// Reads a layout's text file; false with what is wrong and its line in strError.
bool ParseLayout(std::string_view text, CLayout& layout, std::string& strError);

// For the status bar and messages, in English: "Semicolon, decimal comma, day-month-year,
// °F shown in °C".
std::string DescribeLayout(const CLayout& layout);

// The names used in the layout file and on the command line, and back.
std::string_view RoleName(EColumnRole eRole);
std::string_view EncodingName(EEncoding eEncoding);
