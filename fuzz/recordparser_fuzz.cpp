// Record lines of any bytes: the parser must read each exactly as the C library's sscanf does
// in the "C" locale, floats bit for bit, and ParseRecordLine must add only the year rule, also
// when lines are read in sequence.
#include "recorder/recordparser.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <string>
#include <string_view>

namespace {

CRecordFields ReferenceScan(const std::string& line)
{
    static const locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
    CRecordFields f;
    // c_str() ends the line at its first NUL byte for sscanf, as the parser ends it there.
    std::sscanf(line.c_str(), "%d/%d/%d,%d:%d:%d,%f,%f,%f,%f", &f.nYear, &f.nMonth, &f.nDay,
                &f.nHour, &f.nMinute, &f.nSecond, &f.fTempPV, &f.fTempSV, &f.fHumiPV, &f.fHumiSV);
    uselocale(previous);
    return f;
}

// A NaN must be the same NaN, and -0 is not 0.
bool SameFields(const CRecordFields& a, const CRecordFields& b)
{
    return a.nYear == b.nYear && a.nMonth == b.nMonth && a.nDay == b.nDay && a.nHour == b.nHour &&
           a.nMinute == b.nMinute && a.nSecond == b.nSecond &&
           std::memcmp(&a.fTempPV, &b.fTempPV, sizeof(float)) == 0 &&
           std::memcmp(&a.fTempSV, &b.fTempSV, sizeof(float)) == 0 &&
           std::memcmp(&a.fHumiPV, &b.fHumiPV, sizeof(float)) == 0 &&
           std::memcmp(&a.fHumiSV, &b.fHumiSV, sizeof(float)) == 0;
}

void PrintFields(const char* szWho, const CRecordFields& f)
{
    std::fprintf(stderr, "%s: %d/%d/%d,%d:%d:%d,%a,%a,%a,%a\n", szWho, f.nYear, f.nMonth, f.nDay,
                 f.nHour, f.nMinute, f.nSecond, static_cast<double>(f.fTempPV),
                 static_cast<double>(f.fTempSV), static_cast<double>(f.fHumiPV),
                 static_cast<double>(f.fHumiSV));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* pData, std::size_t nSize)
{
    const std::string_view line(reinterpret_cast<const char*>(pData), nSize);
    const CRecordFields expected = ReferenceScan(std::string(line));
    const CRecordFields scanned = ScanRecordLine(line);
    if (!SameFields(expected, scanned)) {
        PrintFields("sscanf", expected);
        PrintFields("ScanRecordLine", scanned);
        __builtin_trap();
    }
    CRecordFields withYear = expected;
    if (withYear.nYear >= 0 && withYear.nYear <= 99)
        withYear.nYear += 2000;
    const CRecordFields parsed = ParseRecordLine(line);
    if (!SameFields(withYear, parsed)) {
        PrintFields("expected", withYear);
        PrintFields("ParseRecordLine", parsed);
        __builtin_trap();
    }
    // In sequence after itself, a line reads from its second on; after the same line with
    // its last byte dropped, most of its beginning is shared too.
    CRecordLineParser parser;
    parser.Parse(line.substr(0, line.size() - (line.empty() ? 0 : 1)));
    const CRecordFields afterShorter = parser.Parse(line);
    const CRecordFields afterItself = parser.Parse(line);
    if (!SameFields(withYear, afterShorter) || !SameFields(withYear, afterItself)) {
        PrintFields("expected", withYear);
        PrintFields("after the shorter line", afterShorter);
        PrintFields("after itself", afterItself);
        __builtin_trap();
    }
    return 0;
}
