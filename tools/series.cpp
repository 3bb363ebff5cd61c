// trendora-series: prints the per-second series Trendora reads from a recorder file, one
// line per sample, or a summary of it. For comparing loaders and checking recorder files.
#include "app/reportmode.h"
#include "recorder/recorderloader.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <limits>
#include <memory>
#include <new>
#include <stdexcept>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#if defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <shellapi.h> // after windows.h, which it needs
#endif

namespace {

void PrintUsage(std::FILE* pOut)
{
    std::fputs("usage: trendora-series [--summary] FILE\n"
               "\n"
               "Prints the series read from the recorder file FILE, one line per second:\n"
               "  index,YYYY-MM-DD,HH:MM:SS,tempPV,tempSV,humiPV,humiSV\n"
               "in local time (set TZ to choose the zone).\n"
               "--summary: prints the sample count, the first and last time, and the\n"
               "           minimum, maximum and mean of each curve instead.\n"
               "Times are the ones the viewer shows: the first is the first record's own time,\n"
               "the others count from its low 32 bits, as the time labels do.\n"
               "\n"
               "Exit status: 0 read, 1 stopped at an invalid record, 2 cannot open, 3 fewer\n"
               "than two lines, 4 stopped at a record whose gap makes the series too long,\n"
               "5 out of memory (after 1, 4 and 5 the samples before that record are\n"
               "printed), 64 usage, 74 write error.\n",
               pOut);
}

// Collects output in a large block: two and a half million lines through stdio one at a
// time would cost more than the formatting.
class COutBuffer
{
public:
    // The block is not cleared: its pages are only taken as output reaches them.
    COutBuffer() : m_buffer(new char[kSize]) {}
    ~COutBuffer() { Flush(); }

    // Room for at least nBytes; the caller writes there and then calls Commit.
    char* Reserve(std::size_t nBytes)
    {
        if (m_nUsed + nBytes > kSize)
            Flush();
        return m_buffer.get() + m_nUsed;
    }
    void Commit(const char* pEnd) { m_nUsed = static_cast<std::size_t>(pEnd - m_buffer.get()); }
    void Append(std::string_view text)
    {
        if (text.size() > kSize) {
            Flush();
            WriteOut(text.data(), text.size());
            return;
        }
        char* p = Reserve(text.size());
        text.copy(p, text.size());
        Commit(p + text.size());
    }

    void Flush()
    {
        WriteOut(m_buffer.get(), m_nUsed);
        m_nUsed = 0;
    }
    bool Failed() const { return m_bFailed; }

private:
    static constexpr std::size_t kSize = 1 << 20;

    void WriteOut(const char* p, std::size_t n)
    {
        if (n > 0 && !m_bFailed && std::fwrite(p, 1, n, stdout) != n)
            m_bFailed = true;
    }

    std::unique_ptr<char[]> m_buffer;
    std::size_t m_nUsed = 0;
    bool m_bFailed = false;
};

// Sample times count from the first record's time taken as an unsigned 32-bit number, as the
// view stores it, so that the printed times are the ones the view labels its axis with.
std::time_t SampleTime(const CLoadResult& result, std::int64_t nIndex)
{
    return static_cast<std::time_t>(static_cast<std::uint32_t>(result.recording.GetFirstTime())) +
           static_cast<std::time_t>(nIndex);
}

char* PutTwoDigits(char* p, int n)
{
    *p++ = static_cast<char>('0' + n / 10);
    *p++ = static_cast<char>('0' + n % 10);
    return p;
}

// "YYYY-MM-DD,HH:MM:SS" (cSeparator between the two) in local time, as strftime's "%Y-%m-%d"
// and "%H:%M:%S" give it; both parts empty where the conversion fails. localtime_r runs for
// every sample: an offset carried from one sample to the next would be wrong across a
// daylight-saving change. Only the date text is kept while the converted day stays the same.
bool LocalFields(std::time_t t, std::tm& tm)
{
#if defined(_WIN32)
    return localtime_s(&tm, &t) == 0;
#else
    return localtime_r(&t, &tm) != nullptr;
#endif
}

class CLocalTimeText
{
public:
    char* Put(char* p, std::time_t t, char cSeparator)
    {
        std::tm tm{};
        if (!LocalFields(t, tm)) {
            *p++ = cSeparator;
            return p;
        }
        if (tm.tm_mday != m_nDay || tm.tm_mon != m_nMonth || tm.tm_year != m_nYear) {
            m_nDateLen = std::strftime(m_szDate, sizeof m_szDate, "%Y-%m-%d", &tm);
            m_nDay = tm.tm_mday;
            m_nMonth = tm.tm_mon;
            m_nYear = tm.tm_year;
        }
        p = std::copy_n(m_szDate, m_nDateLen, p);
        *p++ = cSeparator;
        // tm_sec can be 60 for a leap second; two digits still hold it.
        p = PutTwoDigits(p, tm.tm_hour);
        *p++ = ':';
        p = PutTwoDigits(p, tm.tm_min);
        *p++ = ':';
        return PutTwoDigits(p, tm.tm_sec);
    }

private:
    char m_szDate[64] = {};
    std::size_t m_nDateLen = 0;
    int m_nDay = -1;
    int m_nMonth = -1;
    int m_nYear = -1;
};

// printf's "%.9g" without printf: to_chars with a precision is specified to give exactly
// that, and it never consults the locale.
char* PutValue(char* p, float f)
{
    return std::to_chars(p, p + 32, static_cast<double>(f), std::chars_format::general, 9).ptr;
}

// The text of a column's previous value: set values stay for hours and a gap repeats every
// value, and formatting with a precision costs more than all the rest of a line.
class CValueText
{
public:
    char* Put(char* p, float f)
    {
        std::uint32_t nBits = 0;
        std::memcpy(&nBits, &f, sizeof nBits);
        if (nBits != m_nBits || m_nLen == 0) {
            m_nLen = static_cast<std::size_t>(PutValue(m_szText, f) - m_szText);
            m_nBits = nBits;
        }
        return std::copy_n(m_szText, m_nLen, p);
    }

private:
    char m_szText[32] = {};
    std::size_t m_nLen = 0;
    std::uint32_t m_nBits = 0;
};

void PrintSeries(const CLoadResult& result, COutBuffer& out)
{
    const CRecordingView s = result.recording.View();
    CValueText texts[4];
    CLocalTimeText timeText;
    s.ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds, const float* const apValues[4],
                     bool bHeld) {
        for (std::int64_t i = nFirst; i < nFirst + nSeconds; ++i) {
            const std::int64_t k = bHeld ? 0 : i - nFirst;
            char* const pStart = out.Reserve(320);
            char* p = std::to_chars(pStart, pStart + 24, i).ptr;
            *p++ = ',';
            p = timeText.Put(p, SampleTime(result, i), ',');
            for (int c = 0; c < 4; ++c) {
                *p++ = ',';
                p = texts[c].Put(p, apValues[c][k]);
            }
            *p++ = '\n';
            out.Commit(p);
        }
    });
}

void PrintSummary(const CLoadResult& result, COutBuffer& out)
{
    const CRecordingView s = result.recording.View();
    const std::int64_t nCount = s.GetCount();
    char sz[256];
    char* p = sz + std::snprintf(sz, sizeof sz, "samples  %lld\n", static_cast<long long>(nCount));
    out.Append(std::string_view(sz, p - sz));
    if (nCount == 0)
        return;
    p = sz + std::snprintf(sz, sizeof sz, "first    ");
    CLocalTimeText timeText;
    // The first record's own time, as the view's date and time readouts show it after File
    // Open; the later times count from its low 32 bits as the labels and the pointer readout do.
    p = timeText.Put(p, static_cast<std::time_t>(result.recording.GetFirstTime()), ' ');
    p += std::snprintf(p, 32, "\nlast     ");
    p = timeText.Put(p, SampleTime(result, nCount - 1), ' ');
    *p++ = '\n';
    out.Append(std::string_view(sz, p - sz));

    out.Append("curve    key   min              max              mean\n");
    struct CRow
    {
        const char* szName;
        const char* szKey;
    };
    const CRow rows[] = {
        {"TempPV", "!100"}, {"TempSV", "!101"}, {"HumiPV", "!200"}, {"HumiSV", "!201"}};
    struct CStats
    {
        float fMin = std::numeric_limits<float>::infinity();
        float fMax = -std::numeric_limits<float>::infinity();
        double fSum = 0.0;
    };
    CStats stats[4];
    const auto scan = [&](int nRow) {
        CStats& st = stats[nRow];
        s.ForEachRun(
            [&](std::int64_t, std::int64_t nSeconds, const float* const apValues[4], bool bHeld) {
                const float* const pValues = apValues[nRow];
                if (bHeld) {
                    st.fMin = pValues[0] < st.fMin ? pValues[0] : st.fMin;
                    st.fMax = pValues[0] > st.fMax ? pValues[0] : st.fMax;
                    st.fSum += static_cast<double>(pValues[0]) * static_cast<double>(nSeconds);
                    return;
                }
                for (std::int64_t i = 0; i < nSeconds; ++i) {
                    st.fMin = pValues[i] < st.fMin ? pValues[i] : st.fMin;
                    st.fMax = pValues[i] > st.fMax ? pValues[i] : st.fMax;
                    st.fSum += pValues[i];
                }
            });
    };
    // Each curve is summed in order as before; the curves share out over two threads.
    {
        std::thread other([&] { scan(2), scan(3); });
        scan(0), scan(1);
        other.join();
    }
    for (int nRow = 0; nRow < 4; ++nRow) {
        const CRow& row = rows[nRow];
        const float fMin = stats[nRow].fMin;
        const float fMax = stats[nRow].fMax;
        const double fSum = stats[nRow].fSum;
        char szMin[32];
        char szMax[32];
        char szMean[48];
        *PutValue(szMin, fMin) = '\0';
        *PutValue(szMax, fMax) = '\0';
        *std::to_chars(szMean, szMean + 47, fSum / static_cast<double>(nCount),
                       std::chars_format::fixed, 4)
             .ptr = '\0';
        const int n = std::snprintf(sz, sizeof sz, "%-8s %-5s %-16s %-16s %s\n", row.szName,
                                    row.szKey, szMin, szMax, szMean);
        out.Append(std::string_view(sz, static_cast<std::size_t>(n)));
    }
}

// The file named by argument i. On Windows argv holds the arguments in the ANSI code page, which
// loses the characters it lacks (a Chinese name on a Western desktop): the path is taken from the
// wide command line instead.
std::filesystem::path FileArgument([[maybe_unused]] int i, const char* sz)
{
#if defined(_WIN32)
    int nArgs = 0;
    std::unique_ptr<LPWSTR, decltype(&LocalFree)> args(
        CommandLineToArgvW(GetCommandLineW(), &nArgs), &LocalFree);
    if (args && i < nArgs)
        return std::filesystem::path(args.get()[i]);
#endif
    return std::filesystem::path(sz);
}

int Run(int argc, char** argv)
{
#if defined(_WIN32)
    // The same bytes as everywhere else: no line feed becomes CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
#endif
    bool bSummary = false;
    const char* szFile = nullptr;
    int nFile = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--help" || arg == "-h") {
            PrintUsage(stdout);
            return 0;
        }
        if (arg == "--summary" && !bSummary) {
            bSummary = true;
        } else if (!arg.starts_with("-") && !szFile) {
            szFile = argv[i];
            nFile = i;
        } else {
            PrintUsage(stderr);
            return kReportUsage;
        }
    }
    if (!szFile) {
        PrintUsage(stderr);
        return kReportUsage;
    }

    const std::filesystem::path file = FileArgument(nFile, szFile);
    const std::u8string strName8 = file.u8string();
    const std::string strName(strName8.begin(), strName8.end()); // UTF-8, as the output is
    const CLoadResult result = LoadRecorderFile(file);
    using EStatus = CLoadResult::EStatus;
    switch (result.status) {
    case EStatus::CannotOpen:
        std::fprintf(stderr, "trendora-series: %s\n", result.strMessage.c_str());
        return kReportCannotOpen;
    case EStatus::TooFewLines:
        std::fprintf(stderr, "trendora-series: %s: %s\n", strName.c_str(),
                     result.strMessage.c_str());
        return kReportTooFewLines;
    default:
        break;
    }

    {
        COutBuffer out;
        if (bSummary)
            PrintSummary(result, out);
        else
            PrintSeries(result, out);
        out.Flush();
        if (out.Failed() || std::fflush(stdout) != 0) {
            std::fprintf(stderr, "trendora-series: cannot write the output\n");
            return kReportCannotWrite;
        }
    }

    if (result.status != EStatus::Loaded) {
        std::fprintf(stderr, "%s:%lld: %s\n", strName.c_str(), static_cast<long long>(result.nLine),
                     result.strMessage.c_str());
        return result.status == EStatus::SpanTooLong   ? kReportSpanTooLong
               : result.status == EStatus::OutOfMemory ? kReportOutOfMemory
                                                       : kReportInvalidRecord;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    try {
        return Run(argc, argv);
    } catch (const std::bad_alloc&) {
        std::fputs("trendora-series: memory ran out\n", stderr);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "trendora-series: %s\n", e.what());
    }
    return kReportOutOfMemory;
}
