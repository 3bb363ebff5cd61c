#include "recorder/recorderloader.h"
#include "recorder/recordexport.h"

#include "tzguard.h"

#include <gtest/gtest.h>

#include <cstring>

#include <bit>
#include <charconv>
#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace {

std::int64_t LocalTime(int y, int mo, int d, int h, int mi, int s)
{
    std::tm tm{};
    tm.tm_year = y - 1900;
    tm.tm_mon = mo - 1;
    tm.tm_mday = d;
    tm.tm_hour = h;
    tm.tm_min = mi;
    tm.tm_sec = s;
    tm.tm_isdst = -1;
    return std::mktime(&tm);
}

struct CSeriesData
{
    std::vector<float> tempPV, tempSV, humiPV, humiSV;

    CRecordingView Samples() const
    {
        return {tempPV.data(), tempSV.data(), humiPV.data(), humiSV.data(),
                static_cast<std::int64_t>(tempPV.size())};
    }
};

const float kNan = std::numeric_limits<float>::quiet_NaN();

// Values that stress the shortest text: long fractions, tiny and large ones, negative ones.
CSeriesData MakeSeries(std::int64_t n, bool bNoHumidity, bool bNan)
{
    CSeriesData s;
    for (std::int64_t i = 0; i < n; ++i) {
        const float f = static_cast<float>(i);
        s.tempPV.push_back(bNan && i % 7 == 3 ? kNan : 20.0f + f / 3.0f);
        s.tempSV.push_back(i % 5 == 0 ? -40.0f - f * 1e-3f : 1e-7f * f);
        s.humiPV.push_back(bNoHumidity ? -1.0f : (bNan && i % 11 == 5 ? -kNan : 50.0f + f / 7.0f));
        s.humiSV.push_back(bNoHumidity ? -1.0f : 3.4e38f / (f + 1.0f));
    }
    return s;
}

std::vector<std::uint32_t> Bits(const CRecording& recording, EChannel eChannel)
{
    std::vector<std::uint32_t> v;
    const CRecordingView view = recording.View();
    for (std::int64_t i = 0; i < view.GetCount(); ++i)
        v.push_back(std::bit_cast<std::uint32_t>(view.Value(eChannel, i)));
    return v;
}

std::vector<std::uint32_t> Bits(const std::vector<float>& values, std::int64_t nBegin,
                                std::int64_t nCount, std::int64_t nInterval)
{
    // The reader gives each second of a gap the values of the record that ends it.
    std::vector<std::uint32_t> v;
    for (std::int64_t j = 0; j < nCount; ++j)
        v.push_back(std::bit_cast<std::uint32_t>(values[static_cast<std::size_t>(
            nBegin + (j + nInterval - 1) / nInterval * nInterval)]));
    return v;
}

struct CRoundTripCase
{
    const char* szName;
    const char* szZone;
    int anStart[6]; // local time of sample 0
    std::int64_t nSamples;
    std::int64_t nBegin;
    std::int64_t nEnd;
    std::int64_t nInterval;
    bool bNoHumidity;
    bool bNan;
};

class RecordExportRoundTrip : public ::testing::TestWithParam<CRoundTripCase>
{
};

TEST_P(RecordExportRoundTrip, ReadsBackAsTheExportedSamples)
{
    const CRoundTripCase& c = GetParam();
    if (std::strchr(c.szZone, '/'))
        SKIP_WITHOUT_NAMED_ZONES();
    const CTzGuard tz(c.szZone);
    const std::int64_t tFirst = LocalTime(c.anStart[0], c.anStart[1], c.anStart[2], c.anStart[3],
                                          c.anStart[4], c.anStart[5]);
    const CSeriesData data = MakeSeries(c.nSamples, c.bNoHumidity, c.bNan);
    const std::string text =
        FormatRecorderExport(data.Samples(), tFirst, c.nBegin, c.nEnd, c.nInterval);
    const std::int64_t nRecords = ExportRecordCount(c.nBegin, c.nEnd, c.nInterval, c.nSamples);
    ASSERT_EQ(static_cast<std::int64_t>(std::count(text.begin(), text.end(), '\n')), nRecords + 1);

    const CLoadResult r = LoadRecorderData(text);
    ASSERT_EQ(r.status, CLoadResult::EStatus::Loaded) << r.strMessage;
    const std::int64_t nBegin = std::max<std::int64_t>(c.nBegin, 0);
    EXPECT_EQ(r.recording.GetFirstTime(), tFirst + nBegin);
    const std::int64_t nExpected = (nRecords - 1) * c.nInterval + 1;
    ASSERT_EQ(r.GetSampleCount(), nExpected);
    EXPECT_EQ(Bits(r.recording, EChannel::TempPV),
              Bits(data.tempPV, nBegin, nExpected, c.nInterval));
    EXPECT_EQ(Bits(r.recording, EChannel::TempSV),
              Bits(data.tempSV, nBegin, nExpected, c.nInterval));
    EXPECT_EQ(Bits(r.recording, EChannel::HumiPV),
              Bits(data.humiPV, nBegin, nExpected, c.nInterval));
    EXPECT_EQ(Bits(r.recording, EChannel::HumiSV),
              Bits(data.humiSV, nBegin, nExpected, c.nInterval));
}

INSTANTIATE_TEST_SUITE_P(
    Stretches, RecordExportRoundTrip,
    ::testing::Values(
        CRoundTripCase{"WholeSeries", "UTC", {2026, 5, 4, 10, 0, 0}, 500, 0, 500, 1, false, false},
        // Clamped to the series at both ends.
        CRoundTripCase{
            "PastTheEnds", "UTC", {2026, 5, 4, 23, 59, 30}, 200, -5, 900, 1, false, false},
        CRoundTripCase{
            "NoHumiditySensor", "UTC", {2026, 2, 10, 9, 0, 0}, 300, 17, 250, 1, true, false},
        CRoundTripCase{"NanSamples", "UTC", {2026, 2, 10, 9, 0, 0}, 300, 0, 300, 1, false, true},
        // Across the spring gap the wall clock jumps from 01:59:59 to 03:00:00.
        CRoundTripCase{"OverTheSpringGap",
                       "Europe/Berlin",
                       {2026, 3, 29, 1, 50, 0},
                       3600,
                       100,
                       3000,
                       1,
                       false,
                       false},
        // Gaps: one record every 10 s and every minute, not starting on a whole minute.
        CRoundTripCase{"EveryTenSeconds",
                       "Europe/Berlin",
                       {2026, 3, 29, 1, 50, 7},
                       3000,
                       3,
                       2990,
                       10,
                       false,
                       true},
        CRoundTripCase{"EveryMinute",
                       "America/New_York",
                       {2026, 3, 8, 1, 0, 0},
                       7300,
                       1,
                       7300,
                       60,
                       false,
                       false}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST(RecordExport, RecordsReadAsARecorderWritesThem)
{
#if defined(_WIN32)
    GTEST_SKIP() << "Windows' C library takes no summer-time rules in TZ, only the form CET-1CEST";
#endif
    // The clock goes forward in the middle of a minute, from 02:00:29 to 03:00:30: the reader
    // would move a time in the gap forward alike, so only the text shows it.
    const CTzGuard tz("AAA-1BBB,M3.5.0/2:00:30,M10.5.0/3");
    const CSeriesData data{{21.53f, -0.5f}, {25.0f, 1e-10f}, {-1.0f, kNan}, {50.0f, 100.0f}};
    const std::int64_t tFirst = LocalTime(2026, 3, 29, 2, 0, 29);
    EXPECT_EQ(FormatRecorderExport(data.Samples(), tFirst, 0, 2, 1),
              "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"
              "2026/03/29,02:00:29,21.53,25,-1,50\r\n"
              "2026/03/29,03:00:30,-0.5,1e-10,nan,100\r\n");
    // Nothing to write: the header alone.
    EXPECT_EQ(FormatRecorderExport(data.Samples(), tFirst, 2, 2, 1),
              "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n");
}

TEST(RecordExport, CancelAndRefusedWritesStop)
{
    const CSeriesData data = MakeSeries(200000, false, false);
    std::int64_t nPieces = 0;
    const auto count = [&](std::string_view) { return ++nPieces, true; };
    EXPECT_EQ(WriteRecorderExport(data.Samples(), 0, 0, 200000, 1, count,
                                  [](std::int64_t nDone) { return nDone > 0; }),
              EExportStatus::Cancelled);
    EXPECT_EQ(nPieces, 0);
    EXPECT_EQ(WriteRecorderExport(data.Samples(), 0, 0, 200000, 1,
                                  [](std::string_view) { return false; }),
              EExportStatus::WriteFailed);
    nPieces = 0;
    EXPECT_EQ(WriteRecorderExport(data.Samples(), 0, 0, 200000, 1, count), EExportStatus::Written);
    EXPECT_GT(nPieces, 1); // in pieces, not as one text of the whole export
}

TEST(RecordExport, ValuesAreTheShortestTextsToCharsGives)
{
    const CTzGuard tz("UTC");
    // Every two-decimal value below 1000, three-decimal ones, and random bit patterns.
    CSeriesData data;
    std::mt19937 random(28);
    for (int k = -99999; k <= 99999; ++k) {
        data.tempPV.push_back(static_cast<float>(k / 100.0));
        data.tempSV.push_back(static_cast<float>(k / 1000.0));
        data.humiPV.push_back(std::bit_cast<float>(static_cast<std::uint32_t>(random())));
        data.humiSV.push_back(k % 2 ? -0.0f : static_cast<float>(k) * 0.01f);
    }
    const std::string text = FormatRecorderExport(data.Samples(), 0, 0, 1 << 30, 1);
    std::size_t nAt = text.find('\n') + 1;
    for (std::size_t i = 0; i < data.tempPV.size(); ++i) {
        std::string expected = text.substr(nAt, 19); // date and time
        for (const float f : {data.tempPV[i], data.tempSV[i], data.humiPV[i], data.humiSV[i]}) {
            char sz[32];
            expected += ',' + std::string(sz, std::to_chars(sz, sz + sizeof sz, f).ptr);
        }
        const std::size_t nEnd = text.find('\r', nAt);
        ASSERT_EQ(expected, text.substr(nAt, nEnd - nAt)) << "sample " << i;
        nAt = nEnd + 2;
    }
}

} // namespace
