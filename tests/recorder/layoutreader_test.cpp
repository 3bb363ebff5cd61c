#include "recorder/layoutreader.h"

#include "tzguard.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// Each case's layout is written as the lines of its layout file after the first.
CLayout MakeLayout(const std::string& strKeys)
{
    CLayout layout;
    std::string strError;
    EXPECT_TRUE(ParseLayout("# Trendora layout\n" + strKeys, layout, strError)) << strError;
    return layout;
}

// ASCII and U+00B0 as UTF-16LE with its byte-order mark.
std::string Utf16LE(std::string_view text)
{
    std::string s = "\xFF\xFE";
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.substr(i, 2) == "\u00b0") {
            s += std::string("\xB0\x00", 2);
            ++i;
        } else {
            s += text[i];
            s += '\0';
        }
    }
    return s;
}

std::int64_t Utc(int y, int mo, int d, int h, int mi, int s)
{
    std::tm u{};
    u.tm_year = y - 1900;
    u.tm_mon = mo - 1;
    u.tm_mday = d;
    u.tm_hour = h;
    u.tm_min = mi;
    u.tm_sec = s;
    return UtcTime(u);
}

struct CSample
{
    std::int64_t nIndex;
    EChannel eChannel;
    float fValue;
};

int Absent(std::initializer_list<EChannel> channels)
{
    int n = 0;
    for (EChannel eChannel : channels)
        n |= 1 << static_cast<int>(eChannel);
    return n;
}

struct CLayoutCase
{
    const char* szName;
    std::string strLayout;
    std::string strText;
    CLoadResult::EStatus eStatus;
    std::int64_t nLine;     // of the fault, or 0
    std::string strMessage; // a part of the message; empty: none expected
    std::int64_t tFirst;    // UTC
    std::int64_t nCount;
    std::vector<CSample> arrSamples;
    int nAbsent;            // a bit for each channel the file lacks; -1: unchecked
    std::string strColumn3; // the third column's name in the preview, in UTF-8; empty: unchecked
};

const CLayoutCase kCases[] = {
    {"SemicolonDecimalCommaDayMonthYear",
     "delimiter = semicolon\ndecimal = comma\ncolumns = date,time,temp-pv,humi-pv\n"
     "date order = dmy\n",
     "Datum;Zeit;Temperatur;Feuchte\n01.03.2024;12:00:00;21,5;45,0\n"
     "01.03.2024;12:01:00;21,7;46,5\n01.03.2024;12:01:10;-1,25;\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     71,
     {{0, EChannel::TempPV, 21.5f},
      {1, EChannel::TempPV, 21.7f},
      {60, EChannel::HumiPV, 46.5f},
      {70, EChannel::TempPV, -1.25f},
      {70, EChannel::HumiPV, 46.5f},
      {70, EChannel::TempSV, 0.0f},
      {70, EChannel::HumiSV, -1.0f}},
     Absent({EChannel::TempSV, EChannel::HumiSV}),
     "Temperatur"},
    {"TabWithLinesBeforeTheHeader",
     "delimiter = tab\nskip lines = 3\nheader line = 3\ncolumns = date,time,temp-pv,humi-pv\n",
     "Logger: cellar\nSerial: 4711\nDate\tTime\tTemp\tRH\n2024-03-01\t12:00\t20.0\t50\n"
     "2024-03-01\t12:00:10\t20.5\t51\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     11,
     {{10, EChannel::HumiPV, 51.0f}},
     Absent({EChannel::TempSV, EChannel::HumiSV}),
     "Temp"},
    {"IsoTimesWithTheirOffsets",
     "columns = datetime,temp-pv\nzone = in-value\n",
     "Time,Temp\n2024-03-01T12:00:00+02:00,20.0\n2024-03-01T10:00:05Z,21.0\n"
     "2024-03-01T05:00:06.250-05:00,22.0\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 10, 0, 0),
     7,
     {{5, EChannel::TempPV, 21.0f}, {6, EChannel::TempPV, 22.0f}},
     -1,
     ""},
    {"IsoTimeWithoutOffsetWhereEachNeedsOne",
     "columns = datetime,temp-pv\nzone = in-value\n",
     "Time,Temp\n2024-03-01T12:00:00+02:00,20.0\n2024-03-01T12:00:05,21.0\n",
     CLoadResult::EStatus::InvalidRecord,
     3,
     "Line 3, column 1 (Date and time)",
     Utc(2024, 3, 1, 10, 0, 0),
     1,
     {},
     -1,
     ""},
    {"OffsetFromTheHeader",
     "columns = datetime,temp-pv\nzone = -04:00\n",
     "Time (GMT-04:00),Temp\n2024-03-01 08:00:00,20\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 12, 0, 0),
     1,
     {},
     -1,
     ""},
    {"TwelveHourClock",
     "columns = date,time,temp-pv\nclock = 12\ndate order = mdy\n",
     "Date,Time,Temp\n2/29/24,11:59:59 PM,20\n3/1/24,12:00:01 a.m.,21\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 2, 29, 22, 59, 59),
     3,
     {{2, EChannel::TempPV, 21.0f}},
     -1,
     ""},
    {"MonthNames",
     "delimiter = semicolon\ncolumns = datetime,temp-pv\ndate order = dmy\n",
     "When;Temp\n30-Sep-2024 23:59:58;20\nSept 30, 2024 23:59:59;21\n1 OCT 24 00:00:00;22\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 9, 30, 21, 59, 58),
     3,
     {{1, EChannel::TempPV, 21.0f}, {2, EChannel::TempPV, 22.0f}},
     -1,
     ""},
    {"Fahrenheit",
     "columns = date,time,temp-pv,temp-sv\ntemperature unit = F\n",
     "Date,Time,T,Set\n2024-03-01,12:00:00,212,32\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     1,
     {{0, EChannel::TempPV, 100.0f}, {0, EChannel::TempSV, 0.0f}},
     Absent({EChannel::HumiPV, EChannel::HumiSV}),
     ""},
    {"Kelvin",
     "columns = date,time,temp-pv\ntemperature unit = K\n",
     "Date,Time,T\n2024-03-01,12:00:00,300.15\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     1,
     {{0, EChannel::TempPV, 27.0f}},
     -1,
     ""},
    {"UnitInCells",
     "columns = date,time,temp-pv,humi-pv\nunit in cells = yes\n",
     "Date,Time,T,RH\n2024-03-01,12:00:00,13.1 \u00b0C,45 %RH\n2024-03-01,12:00:01,-2\u00b0C,46%\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     2,
     {{0, EChannel::TempPV, 13.1f}, {0, EChannel::HumiPV, 45.0f}, {1, EChannel::TempPV, -2.0f}},
     -1,
     ""},
    {"UnitWithADigitIsNoNumber",
     "columns = date,time,temp-pv\nunit in cells = yes\n",
     "Date,Time,T\n2024-03-01,12:00:00,13.1 C2\n",
     CLoadResult::EStatus::InvalidRecord,
     2,
     "column 3 (Temp PV): \"13.1 C2\" is not a number",
     0,
     0,
     {},
     -1,
     ""},
    {"QuotedCellsHoldTheDelimiter",
     "decimal = comma\ncolumns = skip,date,time,temp-pv\n",
     "\"Note\",\"Date\",\"Time\",\"Temp, \"\"inside\"\"\"\n\"a, b\",\"2024-03-01\",\"12:00:00\","
     "\"21,5\"\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     1,
     {{0, EChannel::TempPV, 21.5f}},
     -1,
     "Time"},
    {"TrailingDelimiter",
     "delimiter = semicolon\ncolumns = date,time,temp-pv\n",
     "Date;Time;T;\n2024-03-01;12:00:00;20;\n2024-03-01;12:00:01;21;\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     2,
     {},
     -1,
     "T"},
    {"EventRowsAreSkipped",
     "columns = datetime,temp-pv,humi-pv,skip\n",
     "Time,T,RH,Event\n2024-03-01 12:00:00,20.0,40,\n2024-03-01 12:00:05,,,Button pressed\n"
     "\n2024-03-01 12:00:10,21.0,41,\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     11,
     {{5, EChannel::TempPV, 21.0f}},
     -1,
     ""},
    {"InvalidValueStopsWithItsLine",
     "columns = date,time,temp-pv\n",
     "Date,Time,T\n2024-03-01,12:00:00,20\n2024-03-01,12:00:02,21\n2024-03-01,12:00:04,abc\n"
     "2024-03-01,12:00:06,22\n",
     CLoadResult::EStatus::InvalidRecord,
     4,
     "Line 4, column 3 (Temp PV): \"abc\" is not a number.",
     Utc(2024, 3, 1, 11, 0, 0),
     3,
     {{2, EChannel::TempPV, 21.0f}},
     -1,
     ""},
    {"InvalidDateStopsWithItsLine",
     "columns = date,time,temp-pv\ndate order = dmy\n",
     "Date,Time,T\n01.03.2024,12:00:00,20\n32.03.2024,12:00:02,21\n",
     CLoadResult::EStatus::InvalidRecord,
     3,
     "Line 3, column 1 (Date): \"32.03.2024\" is not a date in day-month-year order",
     Utc(2024, 3, 1, 11, 0, 0),
     1,
     {},
     -1,
     ""},
    {"Utf16LittleEndianWithBom",
     "delimiter = semicolon\ndecimal = comma\ncolumns = datetime,temp-pv\ndate order = dmy\n",
     Utf16LE("Zeit;Temp \u00b0C;x\r\n01.03.2024 12:00:00;20,5\r\n01.03.2024 12:00:03;21,5\r\n"),
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     4,
     {{0, EChannel::TempPV, 20.5f}, {3, EChannel::TempPV, 21.5f}},
     -1,
     "x"},
    {"Windows1252HeaderWithDegreeSign",
     "columns = date,time,temp-pv\nencoding = windows-1252\n",
     "Date,Time,Temp \xB0"
     "C\r\n2024-03-01,12:00:00,20\r\n2024-03-01,12:00:01,21\r\n",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     2,
     {},
     -1,
     "Temp \u00b0C"},
    {"MacRomanWithCarriageReturns",
     "columns = date,time,temp-pv\nencoding = mac-roman\n",
     "Date,Time,Temp \xA1"
     "C\r2024-03-01,12:00:00,20\r2024-03-01,12:00:01,21\r",
     CLoadResult::EStatus::Loaded,
     0,
     "",
     Utc(2024, 3, 1, 11, 0, 0),
     2,
     {{1, EChannel::TempPV, 21.0f}},
     -1,
     "Temp \u00b0C"},
    {"NoTemperatureNorHumidityColumn",
     "columns = date,time,temp-sv\n",
     "Date,Time,Set\n2024-03-01,12:00:00,20\n",
     CLoadResult::EStatus::TooFewLines,
     0,
     "neither a temperature nor a humidity column",
     0,
     0,
     {},
     -1,
     ""},
};

void PrintTo(const CLayoutCase& c, std::ostream* pStream)
{
    *pStream << c.szName;
}

class LayoutReader : public testing::TestWithParam<CLayoutCase>
{
};

TEST_P(LayoutReader, ReadsTheCase)
{
    // Central European time: a local time is an hour ahead of UTC in winter, two in summer.
    CTzGuard tz("CET-1CEST");
    const CLayoutCase& c = GetParam();
    const CLayout layout = MakeLayout(c.strLayout);
    const CLoadResult r = LoadLayoutData(c.strText, layout);
    EXPECT_EQ(c.eStatus, r.status) << r.strMessage;
    EXPECT_EQ(c.nLine, r.nLine);
    if (c.strMessage.empty()) {
        EXPECT_EQ("", r.strMessage);
    } else {
        EXPECT_NE(std::string::npos, r.strMessage.find(c.strMessage)) << r.strMessage;
    }
    ASSERT_EQ(c.nCount, r.GetSampleCount());
    if (c.nCount > 0) {
        EXPECT_EQ(c.tFirst, r.recording.GetFirstTime());
    }
    for (const CSample& sample : c.arrSamples)
        EXPECT_NEAR(sample.fValue, r.recording.View().Value(sample.eChannel, sample.nIndex), 1e-4)
            << "sample " << sample.nIndex << " of channel " << static_cast<int>(sample.eChannel);
    for (EChannel eChannel : kChannels) {
        if (c.nAbsent >= 0) {
            EXPECT_EQ(!(c.nAbsent >> static_cast<int>(eChannel) & 1),
                      r.recording.HasChannel(eChannel))
                << static_cast<int>(eChannel);
        }
    }
    EXPECT_EQ(c.strText.size(), r.recording.GetSource().nSize);

    // The preview reads the first records as the load does.
    const CLayoutPreview preview = PreviewLayout(c.strText, layout);
    if (!c.strColumn3.empty()) {
        ASSERT_GE(preview.arrColumnNames.size(), 3u);
        EXPECT_EQ(c.strColumn3, preview.arrColumnNames[2]);
    }
    if (r.status == CLoadResult::EStatus::Loaded) {
        ASSERT_FALSE(preview.arrRecords.empty());
        EXPECT_EQ(c.tFirst, preview.arrRecords[0].t);
        EXPECT_TRUE(preview.arrFaults.empty()) << preview.arrFaults[0].strWhat;
    } else if (r.status == CLoadResult::EStatus::InvalidRecord) {
        ASSERT_FALSE(preview.arrFaults.empty());
        EXPECT_EQ(c.nLine, preview.arrFaults[0].nLine);
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, LayoutReader, testing::ValuesIn(kCases),
                         [](const testing::TestParamInfo<CLayoutCase>& info) {
                             return std::string(info.param.szName);
                         });

TEST(LayoutReaderFile, ReadsInPiecesAcrossMegabytes)
{
    // Lines cut at the megabyte boundaries, and UTF-16 characters cut there too.
    CTzGuard tz("UTC");
    std::string strText = "Time;Temp\r\n";
    constexpr int kRecords = 60000;
    for (int i = 0; i < kRecords; ++i)
        strText += "2024-03-01 " + std::to_string(i / 3600) + ":" + std::to_string(i / 60 % 60) +
                   ":" + std::to_string(i % 60) + ";" + std::to_string(i % 100) + ",5\r\n";
    const CLayout layout =
        MakeLayout("delimiter = semicolon\ndecimal = comma\ncolumns = datetime,temp-pv\n");
    for (const std::string& data : {strText, Utf16LE(strText)}) {
        int nReports = 0;
        const CLoadResult r = LoadLayoutData(data, layout, [&](std::uint64_t, std::uint64_t) {
            ++nReports;
            return true;
        });
        ASSERT_EQ(CLoadResult::EStatus::Loaded, r.status) << r.strMessage;
        ASSERT_EQ(kRecords, r.GetSampleCount());
        EXPECT_EQ(99.5f, r.recording.View().Value(EChannel::TempPV, kRecords - 1));
        EXPECT_GT(nReports, 1);
        const CLoadResult cancelled =
            LoadLayoutData(data, layout, [](std::uint64_t, std::uint64_t) { return false; });
        EXPECT_EQ(CLoadResult::EStatus::Cancelled, cancelled.status);
    }
}

TEST(LayoutFile, RoundTripsAndNamesABadLine)
{
    CLayout layout;
    layout.strName = " Cellar \\ logger ";
    layout.strHeader = "Datum;Zeit;Temp \u00b0C\tRH";
    layout.cDelimiter = ';';
    layout.cDecimal = ',';
    layout.cQuote = 0;
    layout.nSkipLines = 3;
    layout.nHeaderLine = 2;
    layout.arrRoles = {EColumnRole::Skip, EColumnRole::Date, EColumnRole::Time, EColumnRole::TempPV,
                       EColumnRole::HumiSV};
    layout.eDateOrder = EDateOrder::DayMonthYear;
    layout.eZone = EZone::Offset;
    layout.nOffsetMinutes = -330;
    layout.eTempUnit = ETempUnit::Fahrenheit;
    layout.bUnitInCells = true;
    layout.eEncoding = EEncoding::Big5;
    for (const CLayout& original : {layout, RecorderLayout(), CLayout()}) {
        CLayout read;
        std::string strError;
        ASSERT_TRUE(ParseLayout(FormatLayout(original), read, strError)) << strError;
        EXPECT_EQ(original, read) << FormatLayout(original);
    }
    EXPECT_EQ("Semicolon, decimal comma, day-month-year, UTC-05:30, \u00b0F shown in \u00b0C, Big5",
              DescribeLayout(layout));

    CLayout read;
    std::string strError;
    EXPECT_FALSE(ParseLayout("# Trendora layout\nname = x\n\ncolour = red\n", read, strError));
    EXPECT_EQ("Line 4: unknown key \"colour\".", strError);
    EXPECT_FALSE(ParseLayout("# Trendora layout\ndelimiter = colon\n", read, strError));
    EXPECT_NE(std::string::npos, strError.find("Line 2")) << strError;
}

} // namespace
