#include "recorder/layoutrecognition.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using EResult = CRecognition::EResult;
using R = EColumnRole;

// A file's text and what recognition must make of it. For Layout every field given is
// checked; for Doubt and Unknown, a word of the reason (and the layout fields given).
struct CCase
{
    const char* szName;
    std::string strText;
    EResult eResult;
    const char* szReason = nullptr;
    std::vector<EColumnRole> arrRoles = {};
    char cDelimiter = 0;
    char cDecimal = 0;
    std::optional<EDateOrder> eDateOrder = {};
    std::optional<EClock> eClock = {};
    std::optional<EZone> eZone = {};
    int nOffsetMinutes = 0;
    std::optional<ETempUnit> eTempUnit = {};
    bool bUnitInCells = false;
    std::optional<EEncoding> eEncoding = {};
    int nSkipLines = -1;
};

std::string Utf16LE(std::string_view ascii)
{
    std::string str = "\xFF\xFE";
    for (char c : ascii) {
        str += c;
        str += '\0';
    }
    return str;
}

// Days of May in a record layout; day-first dates from the 13th on decide the order.
std::string Lines(const char* szFormat, int nFrom, int nTo)
{
    std::string str;
    char ach[128];
    for (int d = nFrom; d <= nTo; ++d) {
        std::snprintf(ach, sizeof ach, szFormat, d);
        str += ach;
    }
    return str;
}

const std::vector<CCase>& Cases()
{
    static const std::vector<CCase> cases = {
        {"RecorderFile",
         "Date,Time,TempPV,TempSV,HumiPV,HumiSV\n2021/05/01,12:00:00,20.5,21.0,45.0,50.0\n"
         "2021/05/01,12:00:10,20.6,21.0,45.1,50.0\n",
         EResult::Recorder},
        {"RecorderTwoValues", "h\r\n2021/05/01,12:00:00,20.5,21.0\r\n2021/05/01,12:01:00,20.5\r\n",
         EResult::Recorder},
        {"RecorderSingleRecord", "header\n21/5/1,8:00:00\n", EResult::Recorder},
        {"EmptyFileIsLeftToTheRecorderReader", "", EResult::Recorder},
        // Its first record reads its time: it opens as it always did, with the cut line's
        // message, though half of its records do not read theirs.
        {"RecorderFirstRecordThenACutLine", "h\n2021/05/01,12:00:00,20.5\n2021/05/01,12:0",
         EResult::Recorder},
        // A blank where the recorder writes a comma: the times do not read its way.
        {"BlankBeforeTimeIsAnotherLayout",
         "Time,Temperature\n2021/05/01 12:00:00,75.2\n2021/05/01 12:00:10,75.3\n",
         EResult::Layout,
         nullptr,
         {R::DateTime, R::TempPV},
         ',',
         '.',
         EDateOrder::YearMonthDay,
         EClock::Hours24,
         EZone::Local,
         0,
         ETempUnit::Celsius,
         false,
         EEncoding::Utf8,
         1},
        {"GermanSemicolonDecimalCommaDayAbove12",
         "Datum;Zeit;Temperatur [°C];Feuchte [%rH]\n" +
             Lines("%02d.05.2021;12:00:00;21,5;45,2\n", 10, 14),
         EResult::Layout,
         nullptr,
         {R::Date, R::Time, R::TempPV, R::HumiPV},
         ';',
         ',',
         EDateOrder::DayMonthYear},
        {"MonthFirstDecidedByADayAbove12Late",
         "Date,Time,Temperature,Humidity,Set Temp\n" +
             Lines("05/%02d/2021,08:00,20.0,40,21\n", 1, 14),
         EResult::Layout,
         nullptr,
         {R::Date, R::Time, R::TempPV, R::HumiPV, R::TempSV},
         ',',
         '.',
         EDateOrder::MonthDayYear},
        {"NoDayAbove12AndTimesForwardEitherWayIsDoubt",
         "Date Time,Temp\n01/05/2021 10:00,20\n01/05/2021 11:00,21\n", EResult::Doubt,
         "day-month-year or month-day-year"},
        // Day-first runs 11 Jan, 12 Jan, 1 Feb, 2 Feb; month-first would jump back a year.
        {"TimesRunningForwardDecide",
         "Date Time,Temp\n11/01/2021 23:00,20\n12/01/2021 23:00,20\n01/02/2021 00:00,20\n"
         "02/02/2021 00:00,20\n",
         EResult::Layout,
         nullptr,
         {R::DateTime, R::TempPV},
         ',',
         '.',
         EDateOrder::DayMonthYear},
        {"TwelveHourClockAndMonthName",
         "Time\tTemp (F)\tRH\n01-May-2021 01:00:00 PM\t70.1\t40\n01-May-2021 01:00:10 "
         "PM\t70.2\t40\n",
         EResult::Layout,
         nullptr,
         {R::DateTime, R::TempPV, R::HumiPV},
         '\t',
         '.',
         EDateOrder::DayMonthYear,
         EClock::Hours12,
         EZone::Local,
         0,
         ETempUnit::Fahrenheit},
        // 0xB0 is the degree sign in Windows-1252: the bytes are not UTF-8.
        {"FahrenheitWithWindows1252Degree",
         "Date,Time,Temp \xB0"
         "F\n2021-05-01,12:00:00,75.2\n2021-05-01,12:00:10,75.3\n",
         EResult::Layout,
         nullptr,
         {R::Date, R::Time, R::TempPV},
         ',',
         '.',
         EDateOrder::YearMonthDay,
         EClock::Hours24,
         EZone::Local,
         0,
         ETempUnit::Fahrenheit,
         false,
         EEncoding::Windows1252},
        {"IsoTimesWithOffsetAndUnitInCells",
         "Timestamp,Temperature,Humidity\n2021-05-01T12:00:00+02:00,13.1 °C,45 %\n"
         "2021-05-01T12:01:00Z,13.2 °C,46 %\n",
         EResult::Layout,
         nullptr,
         {R::DateTime, R::TempPV, R::HumiPV},
         ',',
         '.',
         EDateOrder::YearMonthDay,
         EClock::Hours24,
         EZone::InValue,
         0,
         ETempUnit::Celsius,
         true},
        {"ZoneInHeaderRecordNumberAndDewPointSkipped",
         "Serial: 1001\nNo.,Date,Time (GMT-04:00),Temperature (°C),Dew Point (°C),RH (%)\n"
         "1,2021-05-01,12:00:00,21.5,10.2,45.0\n2,2021-05-01,12:00:10,21.6,10.2,45.0\n",
         EResult::Layout,
         nullptr,
         {R::Skip, R::Date, R::Time, R::TempPV, R::Skip, R::HumiPV},
         ',',
         '.',
         EDateOrder::YearMonthDay,
         EClock::Hours24,
         EZone::Offset,
         -240,
         ETempUnit::Celsius,
         false,
         EEncoding::Utf8,
         2},
        // The event row's month-first date would rule day-first out if it were read.
        {"EventRowsIgnored",
         "Date;Time;Temp;RH\n13.05.2021;12:00;21,5;45\n05/14/2021;12:03;;\n"
         "13.05.2021;12:05;21,6;45\n13.05.2021;12:06;Door opened\n",
         EResult::Layout,
         nullptr,
         {R::Date, R::Time, R::TempPV, R::HumiPV},
         ';',
         ',',
         EDateOrder::DayMonthYear},
        // "溫度", "濕度", "設定" and "℃" in Big5; "温度", "湿度" and "℃" in GBK.
        {"Big5Header",
         "Time,\xB7\xC5\xAB\xD7(\xA2\x4A),\xB7\xC5\xAB\xD7\xB3\x5D\xA9\x77,\xC0\xE3\xAB\xD7\n" +
             Lines("2021/05/%02d 12:00:00,20.5,21,40\n", 1, 3),
         EResult::Layout,
         nullptr,
         {R::DateTime, R::TempPV, R::TempSV, R::HumiPV},
         ',',
         '.',
         EDateOrder::YearMonthDay,
         EClock::Hours24,
         EZone::Local,
         0,
         ETempUnit::Celsius,
         false,
         EEncoding::Big5},
        {"GbkHeader",
         "Date;Time;\xCE\xC2\xB6\xC8\xA1\xE6;\xCA\xAA\xB6\xC8\n" +
             Lines("2021-05-%02d;12:00:00;20,5;40\n", 1, 3),
         EResult::Layout,
         nullptr,
         {R::Date, R::Time, R::TempPV, R::HumiPV},
         ';',
         ',',
         EDateOrder::YearMonthDay,
         EClock::Hours24,
         EZone::Local,
         0,
         ETempUnit::Celsius,
         false,
         EEncoding::Gbk},
        {"Utf16LittleEndian",
         Utf16LE("Date;Time;Temperatur;Feuchte\r\n13.05.2021;12:00:00;21,5;45\r\n"
                 "13.05.2021;12:00:10;21,5;45\r\n"),
         EResult::Layout,
         nullptr,
         {R::Date, R::Time, R::TempPV, R::HumiPV},
         ';',
         ',',
         EDateOrder::DayMonthYear,
         EClock::Hours24,
         EZone::Local,
         0,
         ETempUnit::Celsius,
         false,
         EEncoding::Utf16LE},
        {"TwoTemperaturesIsDoubt",
         "Date,Time,Temp 1,Temp 2\n2021-05-01,12:00,20,21\n2021-05-01,12:01,20,21\n",
         EResult::Doubt, "more than one temperature column: \"Temp 1\" and \"Temp 2\""},
        {"HeaderWithoutWordsIsDoubt",
         "a,b,c,d\n2021-05-01,12:00:00,20.5,45\n",
         EResult::Doubt,
         "does not name",
         {R::Date, R::Time, R::TempPV, R::HumiPV}},
        {"NoDateIsUnknown", "x,y\n1,2\n3,4\n", EResult::Unknown, "date"},
        {"NoChannelNamedIsUnknown", "Date,Time,Lux\n2021-05-01,12:00,300\n", EResult::Unknown,
         "temperature"},
    };
    return cases;
}

void PrintTo(const CCase& c, std::ostream* pOut)
{
    *pOut << c.szName;
}

class LayoutRecognition : public testing::TestWithParam<CCase>
{
};

TEST_P(LayoutRecognition, RecognisesAsExpected)
{
    const CCase& c = GetParam();
    const CRecognition r = RecogniseLayout(c.strText);
    ASSERT_EQ(r.eResult, c.eResult) << r.strDoubt;
    if (c.szReason) {
        EXPECT_NE(r.strDoubt.find(c.szReason), std::string::npos) << r.strDoubt;
    }
    const CLayout& l = r.layout;
    if (c.eResult == EResult::Recorder) {
        EXPECT_TRUE(l.bRecorder);
        return;
    }
    if (!c.arrRoles.empty()) {
        EXPECT_EQ(l.arrRoles, c.arrRoles);
    }
    if (c.cDelimiter) {
        EXPECT_EQ(l.cDelimiter, c.cDelimiter);
    }
    if (c.cDecimal) {
        EXPECT_EQ(l.cDecimal, c.cDecimal);
    }
    if (c.eDateOrder) {
        EXPECT_EQ(l.eDateOrder, *c.eDateOrder);
    }
    if (c.eClock) {
        EXPECT_EQ(l.eClock, *c.eClock);
    }
    if (c.eZone) {
        EXPECT_EQ(l.eZone, *c.eZone);
        EXPECT_EQ(l.nOffsetMinutes, c.nOffsetMinutes);
    }
    if (c.eTempUnit) {
        EXPECT_EQ(l.eTempUnit, *c.eTempUnit);
        EXPECT_EQ(l.bUnitInCells, c.bUnitInCells);
    }
    if (c.eEncoding) {
        EXPECT_EQ(l.eEncoding, *c.eEncoding);
    }
    if (c.nSkipLines >= 0) {
        EXPECT_EQ(l.nSkipLines, c.nSkipLines);
        EXPECT_EQ(l.nHeaderLine, c.nSkipLines);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, LayoutRecognition, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<CCase>& info) {
                             return std::string(info.param.szName);
                         });

// The header in UTF-8 finds a saved layout again, whatever the file's encoding.
TEST(LayoutRecognitionHeader, IsUtf8)
{
    EXPECT_EQ(RecogniseLayout("Datum;Temp\n2021-05-01 12:00;1\n").strHeader, "Datum;Temp");
    EXPECT_EQ(RecogniseLayout(Utf16LE("Zeit;Temperatur\n2021-05-01 12:00;1\n")).strHeader,
              "Zeit;Temperatur");
}

// A file longer than the piece the structure is read from: the date that decides the order
// comes after the first megabyte, and the order is still found.
TEST(LayoutRecognitionDateOrder, ReadsEveryDate)
{
    std::string strText = "Date;Time;Temperature\n";
    while (strText.size() < 3 * 1024 * 1024)
        strText += "01/05/2021;12:00:00;20.5\n";
    strText += "01/13/2021;12:00:00;20.5\n";
    const CRecognition r = RecogniseLayout(strText);
    ASSERT_EQ(r.eResult, EResult::Layout) << r.strDoubt;
    EXPECT_EQ(r.layout.eDateOrder, EDateOrder::MonthDayYear);
}

} // namespace
