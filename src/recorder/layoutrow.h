// One line of a file read by its layout: the cells split, the date and time and the values
// taken from the columns the layout names, and what was wrong with a line that does not read.
#pragma once

#include "recorder/layout.h"
#include "recorder/layoutfields.h"
#include "recorder/recordclock.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class CLayoutRowReader
{
public:
    enum class ERow
    {
        Record,  // a date, a time and at least one value
        Skipped, // an empty line, or an event row: a time but no value
        Fault,   // see DescribeFault
    };

    explicit CLayoutRowReader(const CLayout& layout);

    // Whether the layout names the columns a record needs (a date and a value); the reason
    // in English if not.
    bool CanRead(std::string& strWhy) const;
    // Whether the layout has a column for channel i (channel order).
    bool HasChannel(int i) const { return m_anValue[i] >= 0; }

    // Reads a line into m_fields (local wall time, values in °C); an empty value cell takes
    // the value of the previous record.
    ERow Read(std::string_view line);
    const CRecordFields& Fields() const { return m_fields; }
    // The time of the record as UTC seconds when the layout gives the offset; false for a
    // local time, which the caller converts.
    bool UtcTime(std::int64_t& t) const;
    // "Line 17, column 3 (Temp PV): \"abc\" is not a number."; eEncoding: the cells'.
    std::string DescribeFault(std::int64_t nLine, EEncoding eEncoding) const;
    // The cells of the last line read.
    const std::vector<std::string_view>& Cells() const { return m_cells; }

private:
    bool Fail(int nColumn, std::string_view what);

    const CLayout& m_layout;
    int m_nDate = -1;
    int m_nTime = -1;
    int m_nDateTime = -1;
    int m_anValue[4] = {-1, -1, -1, -1};
    float m_afLast[4] = {0.0f, 0.0f, -1.0f, -1.0f}; // a recorder's values for a missing field
    std::vector<std::string_view> m_cells;
    CRecordFields m_fields;
    CTimeOfDay m_time;
    // The fault of the last line: its 0-based column and what is wrong with the cell.
    int m_nFaultColumn = -1;
    std::string_view m_fault;
};

// English names of the roles for messages: "Temp PV", "Date and time".
std::string_view RoleTitle(EColumnRole eRole);
