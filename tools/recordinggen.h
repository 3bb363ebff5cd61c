// Writes synthetic recorder files: the examples that ship with Trendora and the month the
// benchmarks load. The bytes depend on the options only, never on the time zone or locale.
#pragma once

#include <cstdint>
#include <filesystem>
#include <iosfwd>
#include <string>
#include <vector>

// A date and time as the recorder's clock shows it; no time zone involved.
struct CWallTime
{
    int nYear = 2026;
    int nMonth = 1;
    int nDay = 1;
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
};

// One step of a chamber program: the set values move linearly from where the previous step
// ended to these targets over nSeconds; a step that keeps them is a soak.
struct CProgramStep
{
    std::int64_t nSeconds = 0;
    double fTempSV = 0.0;
    double fHumiSV = 0.0;
};

// Seconds after the start at which the recorder had no power and wrote nothing.
struct CRecordingGap
{
    std::int64_t nOffset = 0;
    std::int64_t nLength = 0;
};

struct CRecordingOptions
{
    std::string strHeader = "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV";
    CWallTime start;
    std::int64_t nSeconds = 0; // records are written at offsets below this
    int nInterval = 1;         // seconds between records
    bool bHumidity = true;     // false: a recorder without humidity sensor, two values a line
    bool bCrLf = false;        // CR LF line ends, as written to a memory card
    std::uint64_t nSeed = 1;

    // Repeats from its first step until the recording ends. The program starts settled at
    // the last step's targets, so that the repeats join without a jump.
    std::vector<CProgramStep> program;
    std::vector<CRecordingGap> gaps;
    // Offsets whose record is written twice; the second copy is measured anew.
    std::vector<std::int64_t> repeats;

    // The chamber's measured values follow the set values as a first-order lag; without
    // power they drift towards the room's conditions.
    double fTempTau = 300.0; // seconds
    double fHumiTau = 120.0;
    double fOffTau = 1800.0;
    double fRoomTemp = 23.0;
    double fRoomHumi = 45.0;
    // Spread of the measurement noise (the sum of two uniform draws, so at most this much).
    double fTempNoise = 0.05;
    double fHumiNoise = 0.3;
};

// Writes the header line and the records. The stream should be binary: the line ends are
// written as the options say.
void WriteRecording(std::ostream& out, const CRecordingOptions& options);
// False if the file could not be created or written.
bool WriteRecordingFile(const std::filesystem::path& path, const CRecordingOptions& options);

// "2026/03/01,08:00:00" for a wall time nOffset seconds after start (calendar arithmetic,
// so it crosses month and leap-year boundaries).
std::string FormatRecordTime(const CWallTime& start, std::int64_t nOffset);
// A value with two decimals and '.' whatever the locale: -0.5 as "-0.50", -0.004 as "0.00".
std::string FormatRecordValue(double fValue);

struct CExampleRecording
{
    std::string strFileName;
    CRecordingOptions options;
};

// The files in examples/.
std::vector<CExampleRecording> ExampleRecordings();
// A month of a damp-heat cyclic test at one record a second: 2,678,400 lines, about 118 MB.
CRecordingOptions BenchmarkMonthOptions();
// The same programme for a year: 31,536,000 lines, about 1.4 GB.
CRecordingOptions BenchmarkYearOptions();
