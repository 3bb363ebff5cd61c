#include "recordinggen.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <ostream>

namespace {

constexpr std::int64_t kSecondsPerDay = 86400;
constexpr std::int64_t kHour = 3600;
constexpr std::size_t kFlushSize = 1 << 20;

// Days since 1970-01-01 of a proleptic Gregorian date, and back (H. Hinnant's algorithms):
// the recorder's clock knows nothing of time zones, so neither does the generator.
std::int64_t DaysFromCivil(std::int64_t y, unsigned m, unsigned d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, unsigned& m, unsigned& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp < 10 ? mp + 3 : mp - 9;
    y = static_cast<std::int64_t>(yoe) + era * 400 + (m <= 2);
}

std::int64_t WallSeconds(const CWallTime& t)
{
    return DaysFromCivil(t.nYear, static_cast<unsigned>(t.nMonth), static_cast<unsigned>(t.nDay)) *
               kSecondsPerDay +
           t.nHour * kHour + t.nMinute * 60 + t.nSecond;
}

char* PutDigits(char* p, std::uint64_t n, int nMinWidth)
{
    char sz[24];
    int nLen = 0;
    do {
        sz[nLen++] = static_cast<char>('0' + n % 10);
        n /= 10;
    } while (n != 0);
    for (int i = nLen; i < nMinWidth; ++i)
        *p++ = '0';
    while (nLen > 0)
        *p++ = sz[--nLen];
    return p;
}

char* PutTime(char* p, std::int64_t nWall)
{
    std::int64_t nDays = nWall / kSecondsPerDay;
    std::int64_t nSecond = nWall % kSecondsPerDay;
    if (nSecond < 0) {
        nSecond += kSecondsPerDay;
        --nDays;
    }
    std::int64_t nYear = 0;
    unsigned nMonth = 0;
    unsigned nDay = 0;
    CivilFromDays(nDays, nYear, nMonth, nDay);
    if (nYear < 0) {
        *p++ = '-';
        nYear = -nYear;
    }
    p = PutDigits(p, static_cast<std::uint64_t>(nYear), 4);
    *p++ = '/';
    p = PutDigits(p, nMonth, 2);
    *p++ = '/';
    p = PutDigits(p, nDay, 2);
    *p++ = ',';
    p = PutDigits(p, static_cast<std::uint64_t>(nSecond / kHour), 2);
    *p++ = ':';
    p = PutDigits(p, static_cast<std::uint64_t>(nSecond / 60 % 60), 2);
    *p++ = ':';
    return PutDigits(p, static_cast<std::uint64_t>(nSecond % 60), 2);
}

// Rounds to hundredths as an integer first, so that the text never depends on printf's
// locale and a value just below zero does not come out as "-0.00".
char* PutValue(char* p, double fValue)
{
    long long nHundredths = std::llround(fValue * 100.0);
    if (nHundredths < 0) {
        *p++ = '-';
        nHundredths = -nHundredths;
    }
    p = PutDigits(p, static_cast<std::uint64_t>(nHundredths / 100), 1);
    *p++ = '.';
    return PutDigits(p, static_cast<std::uint64_t>(nHundredths % 100), 2);
}

// splitmix64: the same numbers on every platform, unlike the standard distributions.
class CNoise
{
public:
    explicit CNoise(std::uint64_t nSeed) : m_nState(nSeed) {}

    double Uniform()
    {
        std::uint64_t z = (m_nState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        z ^= z >> 31;
        return static_cast<double>(z >> 11) * 0x1.0p-53;
    }

    // Triangular around 0, at most fSpread either way: closer to real sensor noise than a
    // uniform draw, and needs no transcendental functions whose last bit varies by libm.
    double Spread(double fSpread) { return (Uniform() + Uniform() - 1.0) * fSpread; }

private:
    std::uint64_t m_nState;
};

struct CSetValues
{
    double fTemp = 0.0;
    double fHumi = 0.0;
};

CSetValues ProgramAt(const CRecordingOptions& o, std::int64_t nOffset)
{
    const std::vector<CProgramStep>& steps = o.program;
    if (steps.empty())
        return {o.fRoomTemp, o.fRoomHumi};
    std::int64_t nCycle = 0;
    for (const CProgramStep& step : steps)
        nCycle += step.nSeconds;
    std::int64_t t = nCycle > 0 ? nOffset % nCycle : 0;
    CSetValues from{steps.back().fTempSV, steps.back().fHumiSV};
    for (const CProgramStep& step : steps) {
        if (t < step.nSeconds) {
            const double f = static_cast<double>(t) / static_cast<double>(step.nSeconds);
            return {from.fTemp + (step.fTempSV - from.fTemp) * f,
                    from.fHumi + (step.fHumiSV - from.fHumi) * f};
        }
        t -= step.nSeconds;
        from = {step.fTempSV, step.fHumiSV};
    }
    return from;
}

bool IsPowered(const CRecordingOptions& o, std::int64_t nOffset)
{
    return std::none_of(o.gaps.begin(), o.gaps.end(), [nOffset](const CRecordingGap& gap) {
        return nOffset >= gap.nOffset && nOffset < gap.nOffset + gap.nLength;
    });
}

} // namespace

std::string FormatRecordTime(const CWallTime& start, std::int64_t nOffset)
{
    char sz[48];
    return std::string(sz, PutTime(sz, WallSeconds(start) + nOffset));
}

std::string FormatRecordValue(double fValue)
{
    char sz[32];
    return std::string(sz, PutValue(sz, fValue));
}

void WriteRecording(std::ostream& out, const CRecordingOptions& o)
{
    const char* const szEol = o.bCrLf ? "\r\n" : "\n";
    std::string buffer;
    buffer.reserve(kFlushSize + 256);
    buffer += o.strHeader;
    buffer += szEol;

    CNoise noise(o.nSeed);
    const std::int64_t nStartWall = WallSeconds(o.start);
    const int nInterval = std::max(o.nInterval, 1);
    const CSetValues settled = ProgramAt(o, 0);
    double fTempPV = settled.fTemp;
    double fHumiPV = settled.fHumi;

    auto appendRecord = [&](std::int64_t nOffset, const CSetValues& sv) {
        char sz[160];
        char* p = PutTime(sz, nStartWall + nOffset);
        *p++ = ',';
        p = PutValue(p, fTempPV + noise.Spread(o.fTempNoise));
        *p++ = ',';
        p = PutValue(p, sv.fTemp);
        if (o.bHumidity) {
            *p++ = ',';
            p = PutValue(p, std::clamp(fHumiPV + noise.Spread(o.fHumiNoise), 0.0, 100.0));
            *p++ = ',';
            p = PutValue(p, sv.fHumi);
        }
        buffer.append(sz, p);
        buffer += szEol;
    };

    for (std::int64_t nOffset = 0; nOffset < o.nSeconds; ++nOffset) {
        const bool bPowered = IsPowered(o, nOffset);
        const CSetValues sv = ProgramAt(o, nOffset);
        const double fTempTarget = bPowered ? sv.fTemp : o.fRoomTemp;
        const double fHumiTarget = bPowered ? sv.fHumi : o.fRoomHumi;
        fTempPV += (fTempTarget - fTempPV) / (bPowered ? o.fTempTau : o.fOffTau);
        fHumiPV += (fHumiTarget - fHumiPV) / (bPowered ? o.fHumiTau : o.fOffTau);
        if (!bPowered || nOffset % nInterval != 0)
            continue;
        appendRecord(nOffset, sv);
        if (std::find(o.repeats.begin(), o.repeats.end(), nOffset) != o.repeats.end())
            appendRecord(nOffset, sv);
        if (buffer.size() >= kFlushSize) {
            out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
            buffer.clear();
        }
    }
    out.write(buffer.data(), static_cast<std::streamsize>(buffer.size()));
}

bool WriteRecordingFile(const std::filesystem::path& path, const CRecordingOptions& options)
{
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    if (!file)
        return false;
    WriteRecording(file, options);
    file.close();
    return !file.fail();
}

std::vector<CExampleRecording> ExampleRecordings()
{
    std::vector<CExampleRecording> examples;

    // A climate-chamber program, one record a minute, as copied from the recorder's card.
    CRecordingOptions week;
    week.start = {2026, 2, 2, 8, 0, 0};
    week.nSeconds = 7 * kSecondsPerDay;
    week.nInterval = 60;
    week.bCrLf = true;
    week.nSeed = 20260202;
    week.program = {
        {2 * kHour, 25.0, 50.0},  {3 * kHour, 85.0, 85.0},  {8 * kHour, 85.0, 85.0},
        {4 * kHour, -20.0, 50.0}, {4 * kHour, -20.0, 50.0}, {3 * kHour, 25.0, 50.0},
    };
    examples.push_back({"chamber-week.csv", week});

    // A thermal-cycling chamber whose recorder has no humidity sensor.
    CRecordingOptions cycling;
    cycling.strHeader = "Date,Time,Temp PV,Temp SV";
    cycling.start = {2026, 2, 10, 9, 0, 0};
    cycling.nSeconds = 2 * kSecondsPerDay;
    cycling.nInterval = 30;
    cycling.bHumidity = false;
    cycling.nSeed = 20260210;
    cycling.fTempTau = 120.0;
    cycling.fTempNoise = 0.2;
    cycling.program = {
        {30 * 60, -40.0, 0.0},
        {20 * 60, 125.0, 0.0},
        {30 * 60, 125.0, 0.0},
        {20 * 60, -40.0, 0.0},
    };
    examples.push_back({"temperature-only.csv", cycling});

    // One record a second from 08:00 to 14:00; the power fails from 10:20:00 to 10:59:59,
    // and the record of 12:30:00 is written twice.
    CRecordingOptions outage;
    outage.start = {2026, 2, 12, 8, 0, 0};
    outage.nSeconds = 6 * kHour + 1;
    outage.nInterval = 1;
    outage.nSeed = 20260212;
    outage.program = {
        {1 * kHour, 23.0, 50.0},
        {30 * 60, 30.0, 60.0},
        {4 * kHour, 30.0, 60.0},
        {30 * 60, 23.0, 50.0},
    };
    outage.gaps = {{2 * kHour + 20 * 60, 40 * 60}};
    outage.repeats = {4 * kHour + 30 * 60};
    examples.push_back({"power-loss.csv", outage});

    return examples;
}

CRecordingOptions BenchmarkMonthOptions()
{
    // Damp heat, cyclic: 24-hour cycles between 25 °C and 55 °C at high humidity. Every
    // value keeps two digits before the point, so each line is 44 bytes.
    CRecordingOptions month;
    month.start = {2026, 1, 1, 0, 0, 0};
    month.nSeconds = 31 * kSecondsPerDay;
    month.nInterval = 1;
    month.nSeed = 20260101;
    month.program = {
        {3 * kHour, 55.0, 95.0}, {0, 55.0, 93.0}, {9 * kHour, 55.0, 93.0}, {0, 55.0, 95.0},
        {3 * kHour, 25.0, 95.0}, {0, 25.0, 97.0}, {9 * kHour, 25.0, 97.0},
    };
    return month;
}

CRecordingOptions BenchmarkYearOptions()
{
    CRecordingOptions year = BenchmarkMonthOptions();
    year.nSeconds = 365 * kSecondsPerDay;
    return year;
}
