// The cell readers of the layout reader: a line split into cells, and a cell read as a date,
// a time of day or a number. Plain functions on string views that allocate nothing and never
// consult the C library's locale.
#pragma once

#include "recorder/layout.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Splits a line into cells, trimmed of blanks, reusing cells' storage. A quoted cell may hold
// the delimiter; its view is what stands between the quotes, doubled quotes still doubled
// (see UnquoteCell). With ' ' as the delimiter a run of blanks and tabs separates two cells.
void SplitCells(std::string_view line, char cDelimiter, char cQuote,
                std::vector<std::string_view>& cells);
// A cell's text with its doubled quotes made single.
std::string UnquoteCell(std::string_view cell, char cQuote);

// "01.03.2024", "3/1/24", "2024-03-01", "01-Mar-2024", "Mar 1, 2024": numbers in the
// layout's order, or a month's English name or abbreviation wherever it stands. Two-digit
// years are 2000 and later. False unless month and day are in range.
bool ParseDateCell(std::string_view cell, EDateOrder eOrder, int& nYear, int& nMonth, int& nDay);

struct CTimeOfDay
{
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
    bool bHasOffset = false; // "Z", "+02:00", "-0500", "UTC+1" after the time
    int nOffsetMinutes = 0;  // local = UTC + this
};
// "h:m" or "h:m:s", fractions of a second dropped, then "AM"/"PM" ("a.m.") and a UTC offset,
// each optional; with EClock::Hours12 the AM or PM is needed. False unless in range.
bool ParseTimeCell(std::string_view cell, EClock eClock, CTimeOfDay& time);

// A cell with a date and then a time, separated by a blank or 'T': the time starts with the
// hour before the first ':'. False where there is no ':' or nothing before the time.
bool SplitDateTimeCell(std::string_view cell, std::string_view& date, std::string_view& time);

// A decimal number with the layout's decimal mark and an optional sign and exponent. With
// bUnitInCells text after the number is allowed if it holds no digit ("13.1 °C", "45 %RH").
bool ParseNumberCell(std::string_view cell, char cDecimal, bool bUnitInCells, float& fOut);

// Days from 1970-01-01 to the proleptic Gregorian date; days past a month's end carry on into
// the next month, as mktime counts them.
std::int64_t DaysFromCivil(std::int64_t nYear, int nMonth, int nDay);
