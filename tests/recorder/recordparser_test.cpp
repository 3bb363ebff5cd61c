#include "recorder/recordparser.h"

#include "localeguard.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <locale.h>
#include <random>
#include <string>

namespace {

struct ParseCase
{
    const char* szName;
    std::string strLine;
    CRecordFields expected;
};

CRecordFields Fields(int y, int mo, int d, int h, int mi, int s, float a, float b, float c, float e)
{
    return {y, mo, d, h, mi, s, a, b, c, e};
}

void ExpectSameFields(const CRecordFields& expected, const CRecordFields& actual,
                      const std::string& line)
{
    const auto bits = [](float f) {
        std::uint32_t n;
        std::memcpy(&n, &f, sizeof n);
        return n;
    };
    SCOPED_TRACE("line: \"" + line + "\"");
    EXPECT_EQ(expected.nYear, actual.nYear);
    EXPECT_EQ(expected.nMonth, actual.nMonth);
    EXPECT_EQ(expected.nDay, actual.nDay);
    EXPECT_EQ(expected.nHour, actual.nHour);
    EXPECT_EQ(expected.nMinute, actual.nMinute);
    EXPECT_EQ(expected.nSecond, actual.nSecond);
    EXPECT_EQ(bits(expected.fTempPV), bits(actual.fTempPV))
        << expected.fTempPV << " vs " << actual.fTempPV;
    EXPECT_EQ(bits(expected.fTempSV), bits(actual.fTempSV))
        << expected.fTempSV << " vs " << actual.fTempSV;
    EXPECT_EQ(bits(expected.fHumiPV), bits(actual.fHumiPV))
        << expected.fHumiPV << " vs " << actual.fHumiPV;
    EXPECT_EQ(bits(expected.fHumiSV), bits(actual.fHumiSV))
        << expected.fHumiSV << " vs " << actual.fHumiSV;
}

void PrintTo(const ParseCase& c, std::ostream* os)
{
    *os << c.szName;
}

class RecordParse : public ::testing::TestWithParam<ParseCase>
{
};

TEST_P(RecordParse, GivesTheRecordFields)
{
    const ParseCase& c = GetParam();
    ExpectSameFields(c.expected, ParseRecordLine(c.strLine), c.strLine);
}

const float kNoHumi = -1.0f;

INSTANTIATE_TEST_SUITE_P(
    Lines, RecordParse,
    ::testing::Values(
        ParseCase{"FullRecord", "2007/04/30,12:00:05,21.53,25,55.5,60",
                  Fields(2007, 4, 30, 12, 0, 5, 21.53f, 25.0f, 55.5f, 60.0f)},
        ParseCase{"TwoDigitYearGets2000", "7/1/2,3:4:5,1,2",
                  Fields(2007, 1, 2, 3, 4, 5, 1.0f, 2.0f, kNoHumi, kNoHumi)},
        ParseCase{"Year99", "99/1/1,0:0:0", Fields(2099, 1, 1, 0, 0, 0, 0, 0, kNoHumi, kNoHumi)},
        ParseCase{"Year100Unchanged", "100/1/1,0:0:0",
                  Fields(100, 1, 1, 0, 0, 0, 0, 0, kNoHumi, kNoHumi)},
        ParseCase{"NegativeYearUnchanged", "-5/1/1,0:0:0",
                  Fields(-5, 1, 1, 0, 0, 0, 0, 0, kNoHumi, kNoHumi)},
        ParseCase{"DateAndTimeOnly", "2020/02/29,23:59:59",
                  Fields(2020, 2, 29, 23, 59, 59, 0.0f, 0.0f, kNoHumi, kNoHumi)},
        ParseCase{"BlankInsteadOfCommaStopsAfterDate", "2020/1/2 10:00:00,5,6,7,8",
                  Fields(2020, 1, 2, 0, 0, 0, 0.0f, 0.0f, kNoHumi, kNoHumi)},
        ParseCase{"BlankBeforeSeparatorStopsParsing", "2020/1/2,10 :00:00,5,6,7,8",
                  Fields(2020, 1, 2, 10, 0, 0, 0.0f, 0.0f, kNoHumi, kNoHumi)},
        ParseCase{"BlanksBeforeNumbersSkipped", " 2020/ 1/\t2, 10: 0:0, 5, +6,\r-7,8",
                  Fields(2020, 1, 2, 10, 0, 0, 5.0f, 6.0f, -7.0f, 8.0f)},
        ParseCase{"LeadingZerosAreDecimal", "2009/09/08,08:09:09,09.5,010,0,0",
                  Fields(2009, 9, 8, 8, 9, 9, 9.5f, 10.0f, 0.0f, 0.0f)},
        ParseCase{"TextAfterTenthFieldIgnored", "2020/1/1,0:0:0,1,2,3,4,5,junk",
                  Fields(2020, 1, 1, 0, 0, 0, 1, 2, 3, 4)},
        ParseCase{"IntegerOverflowKeepsLow32Bits", "4294967297/2147483648/1,0:0:0",
                  Fields(1 + 2000, INT32_MIN, 1, 0, 0, 0, 0, 0, kNoHumi, kNoHumi)},
        ParseCase{"ExponentWithoutDigitsReadsMantissa", "2020/1/1,0:0:0,1e,2E+,3.5e-,4",
                  Fields(2020, 1, 1, 0, 0, 0, 1.0f, 2.0f, 3.5f, 4.0f)},
        ParseCase{"HexadecimalFloat", "2020/1/1,0:0:0,0x1p3,0X.8P1,0x1.8,-0x10",
                  Fields(2020, 1, 1, 0, 0, 0, 8.0f, 1.0f, 1.5f, -16.0f)},
        ParseCase{"NulByteEndsTheLine", std::string("2020/1/1,0:0:0,1\0,2,3,4", 22),
                  Fields(2020, 1, 1, 0, 0, 0, 1.0f, 0.0f, kNoHumi, kNoHumi)},
        ParseCase{"EmptyLineHasNoMonthOrDay", "",
                  Fields(2000, 0, 0, 0, 0, 0, 0, 0, kNoHumi, kNoHumi)}),
    [](const auto& info) { return std::string(info.param.szName); });

// The C library's reading of the same line, in the "C" locale whatever the user's locale.
CRecordFields ReferenceScan(const std::string& line)
{
#if defined(_WIN32)
    const int nMode = _configthreadlocale(_ENABLE_PER_THREAD_LOCALE);
    std::setlocale(LC_ALL, "C");
#else
    static locale_t cLocale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    const locale_t previous = uselocale(cLocale);
#endif
    CRecordFields f;
    std::sscanf(line.c_str(), "%d/%d/%d,%d:%d:%d,%f,%f,%f,%f", &f.nYear, &f.nMonth, &f.nDay,
                &f.nHour, &f.nMinute, &f.nSecond, &f.fTempPV, &f.fTempSV, &f.fHumiPV, &f.fHumiSV);
#if defined(_WIN32)
    _configthreadlocale(nMode);
#else
    uselocale(previous);
#endif
    return f;
}

// glibc's sscanf is the reference: Windows' own saturates integers too large for an int and
// reads numbers of a million digits as infinity.
#if defined(_WIN32)
#define SKIP_WITHOUT_GLIBC_SSCANF()                                                                \
    GTEST_SKIP() << "the reference is glibc's sscanf, which this C library does not match"
#else
#define SKIP_WITHOUT_GLIBC_SSCANF()
#endif

bool SameFields(const CRecordFields& a, const CRecordFields& b)
{
    return a.nYear == b.nYear && a.nMonth == b.nMonth && a.nDay == b.nDay && a.nHour == b.nHour &&
           a.nMinute == b.nMinute && a.nSecond == b.nSecond &&
           std::memcmp(&a.fTempPV, &b.fTempPV, sizeof(float) * 4) == 0;
}

// Counts a mismatch, and reports it, so that a long differential run can stop after a few.
void CountMismatch(const CRecordFields& expected, const CRecordFields& actual,
                   const std::string& line, int& nMismatches)
{
    if (SameFields(expected, actual))
        return;
    ++nMismatches;
    ExpectSameFields(expected, actual, line);
}

// Random pieces that stress each branch of the scanner.
class CLineGenerator
{
public:
    explicit CLineGenerator(std::uint32_t nSeed) : m_rng(nSeed) {}

    std::string Line()
    {
        std::string s = Int() + Sep('/') + Int() + Sep('/') + Int() + Sep(',') + Int() + Sep(':') +
                        Int() + Sep(':') + Int();
        const int nValues = Pick(6); // 0..5: a fifth value is text after the record
        for (int i = 0; i < nValues; ++i)
            s += Sep(',') + Float();
        if (Pick(8) == 0)
            s += Junk(1 + Pick(6));
        return s;
    }

    std::string Mutate(std::string s)
    {
        const int nEdits = 1 + Pick(4);
        for (int i = 0; i < nEdits; ++i) {
            const std::size_t pos = s.empty() ? 0 : Pick(static_cast<int>(s.size()) + 1);
            switch (Pick(3)) {
            case 0:
                s.insert(pos, Junk(1));
                break;
            case 1:
                if (pos < s.size())
                    s.erase(pos, 1);
                break;
            default:
                if (pos < s.size())
                    s[pos] = Junk(1)[0];
                break;
            }
        }
        return s;
    }

private:
    int Pick(int n) { return static_cast<int>(m_rng() % static_cast<std::uint32_t>(n)); }

    std::string Blanks()
    {
        static const char kBlanks[] = {' ', '\t', '\r', '\v', '\f', '\n'};
        std::string s;
        if (Pick(6) == 0)
            for (int n = 1 + Pick(3); n > 0; --n)
                s += kBlanks[Pick(6)];
        return s;
    }

    std::string Sign()
    {
        switch (Pick(10)) {
        case 0:
            return "-";
        case 1:
            return "+";
        default:
            return "";
        }
    }

    std::string Digits(int nMax)
    {
        std::string s;
        for (int n = 1 + Pick(nMax); n > 0; --n)
            s += static_cast<char>('0' + Pick(10));
        return s;
    }

    std::string Int()
    {
        switch (Pick(12)) {
        case 0:
            return Blanks() + Sign() + Digits(25);
        case 1:
            return Blanks() + Sign();
        case 2:
            return "0x" + Digits(2);
        default:
            return Blanks() + Sign() + Digits(Pick(3) == 0 ? 4 : 2);
        }
    }

    std::string Sep(char c)
    {
        switch (Pick(40)) {
        case 0:
            return " " + std::string(1, c);
        case 1:
            return "";
        case 2:
            return std::string(1, ",/:."[Pick(4)]);
        default:
            return std::string(1, c);
        }
    }

    std::string Cased(const char* sz)
    {
        std::string s(sz);
        for (char& c : s)
            if (Pick(2))
                c = static_cast<char>(c - 'a' + 'A');
        return s;
    }

    std::string Float()
    {
        std::string s = Blanks() + Sign();
        switch (Pick(14)) {
        case 0: {
            static const char* kWords[] = {"inf", "infinity", "nan", "infin",  "infinit",  "na",
                                           "in",  "i",        "n",   "nan(1)", "infinityx"};
            return s + Cased(kWords[Pick(11)]);
        }
        case 1: {
            s += Pick(2) ? "0x" : "0X";
            static const char kHex[] = "0123456789abcdefABCDEF";
            for (int n = Pick(8); n > 0; --n)
                s += kHex[Pick(22)];
            if (Pick(2))
                s += "." + std::string(static_cast<std::size_t>(Pick(3)), kHex[Pick(22)]);
            if (Pick(2))
                s += std::string(Pick(2) ? "p" : "P") + Sign() + (Pick(4) ? Digits(3) : "");
            return s;
        }
        case 2:
            return s + Digits(60) + "." + Digits(60); // many digits: rounding
        case 3:
            return s + Digits(2) + "e" + Sign() + Digits(3); // overflow and underflow
        case 4:
            return s + (Pick(2) ? "." : "") + (Pick(2) ? "e" : "") + (Pick(2) ? "5" : "");
        default: {
            s += Digits(3);
            if (Pick(3))
                s += "." + (Pick(4) ? Digits(3) : "");
            if (Pick(5) == 0)
                s += std::string(Pick(2) ? "e" : "E") + Sign() + (Pick(4) ? Digits(2) : "");
            return s;
        }
        }
    }

    std::string Junk(int n)
    {
        static const char kAlphabet[] = "0123456789+-.,/:eEpPxXaAnNiIfFtTyY \t\r\n\v\f(_)\x80\xff";
        std::string s;
        for (; n > 0; --n) {
            const int i = Pick(static_cast<int>(sizeof kAlphabet)); // includes the final NUL
            s += kAlphabet[i];
        }
        return s;
    }

    std::mt19937 m_rng;
};

// The C library is the judge of what a line means: a million generated and mutated lines
// must scan to the same ten fields, bit for bit.
TEST(RecordParseDifferential, MatchesSscanfOnGeneratedAndMutatedLines)
{
    SKIP_WITHOUT_GLIBC_SSCANF();
    CLineGenerator gen(20261207u);
    // Reading in sequence too, where a mutation follows the line it came from: most of
    // their beginnings agree.
    CRecordLineParser parser;
    std::string strPrevious;
    int nMismatches = 0;
    for (int i = 0; i < 1'000'000 && nMismatches < 10; ++i) {
        const std::string line = i % 2 ? gen.Mutate(strPrevious) : gen.Line();
        strPrevious = line;
        CountMismatch(ReferenceScan(line), ScanRecordLine(line), line, nMismatches);
        CountMismatch(ParseRecordLine(line), parser.Parse(line), line, nMismatches);
    }
    EXPECT_EQ(0, nMismatches);
}

// Lines as a recorder writes them, one minute's after another, some with one character of
// their values changed, added or dropped: read in sequence, they must scan as sscanf does.
TEST(RecordParseDifferential, RecorderLinesInSequenceMatchSscanf)
{
    std::mt19937 rng(20261208u);
    const std::string strChanges = "0123456789.,-+eEx \t";
    CRecordLineParser parser;
    int nMismatches = 0;
    for (int i = 0; i < 200'000 && nMismatches < 10; ++i) {
        char sz[64];
        std::snprintf(
            sz, sizeof sz, "2026/01/01,00:%02d:%02d,%02d.%02d,%02d.%02d,%02d.%02d,%02d.%02d",
            i / 60 % 60, i % 60, static_cast<int>(rng() % 100), static_cast<int>(rng() % 100),
            static_cast<int>(rng() % 100), static_cast<int>(rng() % 100),
            static_cast<int>(rng() % 100), static_cast<int>(rng() % 100),
            static_cast<int>(rng() % 100), static_cast<int>(rng() % 100));
        std::string line = sz;
        const std::size_t nAt = 17 + rng() % (line.size() - 16);
        switch (rng() % 8) {
        case 0:
            line[std::min(nAt, line.size() - 1)] = strChanges[rng() % strChanges.size()];
            break;
        case 1:
            line.insert(nAt, 1, strChanges[rng() % strChanges.size()]);
            break;
        case 2:
            line.erase(std::min(nAt, line.size() - 1), 1);
            break;
        default:
            break;
        }
        CountMismatch(ReferenceScan(line), parser.Parse(line), line, nMismatches);
    }
    EXPECT_EQ(0, nMismatches);
}

TEST(RecordParseDifferential, IgnoresTheUserLocale)
{
    // A decimal comma locale, where available, must not change how records read.
    // Windows names it by language.
    CLocaleGuard locale;
    if (!locale.Use("de_DE.UTF-8") && !locale.Use("de_DE.utf8") && !locale.Use("German"))
        GTEST_SKIP() << "no decimal-comma locale installed";
    char buf[16];
    std::snprintf(buf, sizeof buf, "%.2f", 1.5);
    ASSERT_STREQ("1,50", buf) << "the locale in force does not use a decimal comma";
    // Plain decimals, and the forms that go to the C library's conversion.
    const CRecordFields f = ParseRecordLine("2020/1/1,0:0:0,21.53,1.5,0x1.8p1,1.5e39");
    const CRecordFields g = ParseRecordLine("2020/1/1,0:0:0,3.125,-inf,2.5e-50,0X.8P1");
    std::snprintf(buf, sizeof buf, "%.2f", 1.5);
    EXPECT_STREQ("1,50", buf) << "reading a record changed the locale";
    EXPECT_FLOAT_EQ(21.53f, f.fTempPV);
    EXPECT_FLOAT_EQ(1.5f, f.fTempSV);
    EXPECT_FLOAT_EQ(3.0f, f.fHumiPV);
    EXPECT_EQ(HUGE_VALF, f.fHumiSV);
    EXPECT_FLOAT_EQ(3.125f, g.fTempPV);
    EXPECT_EQ(-HUGE_VALF, g.fTempSV);
    EXPECT_EQ(0.0f, g.fHumiPV);
    EXPECT_FLOAT_EQ(1.0f, g.fHumiSV);
}

TEST(RecordParseDifferential, LongLinesAreReadWhole)
{
    SKIP_WITHOUT_GLIBC_SSCANF();
    const std::string digits(2'000'000, '1');
    const std::string line = "2020/1/1,0:0:0,1,2,3," + digits + "e-1999990";
    ExpectSameFields(ReferenceScan(line), ScanRecordLine(line), line.substr(0, 40));
}

} // namespace
