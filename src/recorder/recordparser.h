// One recorder record: the ten fields of a line "Y/M/D,h:m:s,TempPV,TempSV,HumiPV,HumiSV".
#pragma once

#include <cstddef>
#include <string_view>

struct CRecordFields
{
    int nYear = 0;
    int nMonth = 0;
    int nDay = 0;
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
    float fTempPV = 0.0f;
    float fTempSV = 0.0f;
    // -1 keeps the humidity curves of a recorder without a humidity sensor from being drawn.
    float fHumiPV = -1.0f;
    float fHumiSV = -1.0f;
};

// Reads a record line exactly as the C library's sscanf with the format
// "%d/%d/%d,%d:%d:%d,%f,%f,%f,%f" in the "C" locale reads it: parsing stops at the first
// character that does not fit and every field from there on keeps its default. A NUL byte
// ends the line. A year from 0 to 99 then gets 2000 added. Never fails.
CRecordFields ParseRecordLine(std::string_view line);

// The same without the year rule: the fields as sscanf leaves them.
CRecordFields ScanRecordLine(std::string_view line);

// How many of the ten fields sscanf converts from the line, 0 to 10: at least 6 when the
// line's date and time read in the recorder's layout.
int CountRecordFields(std::string_view line);

// Reads the lines of a file one after another, each exactly as ParseRecordLine does; a line
// that starts with the same date, hour and minute as the plain line before it (most of a
// recorder's lines) reads only from its second on.
class CRecordLineParser
{
public:
    CRecordFields Parse(std::string_view line);

private:
    std::size_t m_nPrefix = 0; // bytes of the previous line before its second; 0: none
    char m_achPrefix[40] = {};
    CRecordFields m_prefix; // the fields those bytes hold
};
