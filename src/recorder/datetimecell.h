// Reading the date and time cells of other loggers' files while their layout is recognised:
// the forms a cell takes and its numbers, before the date order is known.
#pragma once

#include <cstddef>
#include <string_view>

// A date's three numbers as written, left to right.
struct CDateParts
{
    int anField[3] = {};
    int anDigits[3] = {}; // how many digits each was written with
    // A month written as a name fixes the order by itself: 2 when it is the second field
    // ("01-May-2021", day-month-year), 1 when it is the first ("May 01 2021"); 0: numbers.
    int nMonthNameAt = 0;
};

struct CTimeParts
{
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
    bool bAmPm = false; // written with AM or PM
    bool bPm = false;   // PM
    bool bZone = false; // followed by "Z" or an offset such as "+02:00"
};

// What a cell holds, as far as recognition cares.
enum class ECellKind
{
    Empty,
    Date,
    Time,
    DateTime,
    Number,
    NumberWithUnit, // "13.1 °C", "45 %"
    Text,
};

// A date at the start of text ("2021/05/01", "01.05.2021", "5-1-21", "01-May-2021"):
// the characters it takes, or 0.
std::size_t ReadDate(std::string_view text, CDateParts& date);
// A time at the start of text ("12:00", "12:00:00", "12:00:00.5 PM", "12:00:00+02:00"):
// the characters it takes, or 0.
std::size_t ReadTime(std::string_view text, CTimeParts& time);

// Reads a cell (without its quotes or surrounding blanks) as date, time or both; date and
// time are filled when the cell has them.
ECellKind ClassifyCell(std::string_view cell, CDateParts& date, CTimeParts& time);

// Whether a cell is a number with decDecimal as its decimal mark ("12.5", "-3", "12,5").
bool IsNumberCell(std::string_view cell, char cDecimal);

// Whether the text at pos starts a date: the first line that does is the first record.
bool LineStartsWithDate(std::string_view line);
