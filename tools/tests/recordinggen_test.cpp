// The generator's text must be what a recorder writes and what Trendora reads back; the
// committed examples must be what the generator makes today.
#include "recorder/recorderloader.h"
#include "recordinggen.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

namespace {

// Record times are local times; every test here reads them in UTC.
class CUtcEnvironment : public ::testing::Environment
{
public:
    void SetUp() override
    {
        setenv("TZ", "UTC", 1);
        tzset();
    }
};
::testing::Environment* const g_pUtc = ::testing::AddGlobalTestEnvironment(new CUtcEnvironment);

std::string Generate(const CRecordingOptions& options)
{
    std::ostringstream out;
    WriteRecording(out, options);
    return out.str();
}

// A chamber already settled at 25 °C and 50 % with no noise: every value is known exactly.
CRecordingOptions QuietChamber()
{
    CRecordingOptions options;
    options.start = {2025, 12, 31, 23, 59, 58};
    options.program = {{3600, 25.0, 50.0}};
    options.fTempNoise = 0.0;
    options.fHumiNoise = 0.0;
    return options;
}

// A channel's per-second series.
std::vector<float> Channel(const CRecording& recording, EChannel eChannel)
{
    std::vector<float> values(static_cast<std::size_t>(recording.GetCount()));
    recording.View().CopyOut(eChannel, 0, recording.GetCount(), values.data());
    return values;
}

TEST(RecordingFormat, TimeFollowsTheCalendar)
{
    EXPECT_EQ(FormatRecordTime({2025, 12, 31, 23, 59, 59}, 1), "2026/01/01,00:00:00");
    EXPECT_EQ(FormatRecordTime({2024, 2, 28, 23, 0, 0}, 3600), "2024/02/29,00:00:00");
    EXPECT_EQ(FormatRecordTime({2100, 2, 28, 12, 0, 0}, 86400), "2100/03/01,12:00:00");
    EXPECT_EQ(FormatRecordTime({2026, 3, 1, 8, 0, 0}, 31 * 86400 + 3723), "2026/04/01,09:02:03");
}

TEST(RecordingFormat, ValuesHaveTwoDecimalsAndNoNegativeZero)
{
    const struct
    {
        double fValue;
        const char* szText;
    } cases[] = {{23.5, "23.50"},  {7.0, "7.00"},      {-20.0, "-20.00"},   {-0.5, "-0.50"},
                 {-0.004, "0.00"}, {99.999, "100.00"}, {125.125, "125.13"}, {0.07, "0.07"}};
    for (const auto& c : cases)
        EXPECT_EQ(FormatRecordValue(c.fValue), c.szText) << c.fValue;
}

TEST(RecordingWriter, WritesHeaderAndRecordsWithTheChosenLineEnd)
{
    CRecordingOptions options = QuietChamber();
    options.nSeconds = 3;
    options.bCrLf = true;
    EXPECT_EQ(Generate(options), "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"
                                 "2025/12/31,23:59:58,25.00,25.00,50.00,50.00\r\n"
                                 "2025/12/31,23:59:59,25.00,25.00,50.00,50.00\r\n"
                                 "2026/01/01,00:00:00,25.00,25.00,50.00,50.00\r\n");
}

TEST(RecordingWriter, RecorderWithoutHumidityWritesTwoValues)
{
    CRecordingOptions options = QuietChamber();
    options.strHeader = "Date,Time,Temp PV,Temp SV";
    options.nSeconds = 1;
    options.bHumidity = false;
    EXPECT_EQ(Generate(options), "Date,Time,Temp PV,Temp SV\n"
                                 "2025/12/31,23:59:58,25.00,25.00\n");
}

TEST(RecordingWriter, IntervalGapsAndRepeatsDecideWhichTimesAreWritten)
{
    CRecordingOptions options = QuietChamber();
    options.start = {2026, 3, 1, 8, 0, 0};
    options.nSeconds = 10;
    options.nInterval = 2;
    options.gaps = {{3, 4}};
    options.repeats = {8};
    options.bHumidity = false;
    EXPECT_EQ(Generate(options), "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\n"
                                 "2026/03/01,08:00:00,25.00,25.00\n"
                                 "2026/03/01,08:00:02,25.00,25.00\n"
                                 "2026/03/01,08:00:08,25.00,25.00\n"
                                 "2026/03/01,08:00:08,25.00,25.00\n");
}

TEST(RecordingWriter, ProgramRampsBetweenTargetsAndRepeats)
{
    CRecordingOptions options = QuietChamber();
    options.start = {2026, 3, 1, 0, 0, 0};
    // Starts settled at the last target, 10; ramps to 30 in 4 s, soaks 2 s, jumps back.
    options.program = {{4, 30.0, 50.0}, {2, 30.0, 50.0}, {0, 10.0, 50.0}};
    options.nSeconds = 8;
    options.fTempTau = 1.0; // PV reaches SV within the second
    const CLoadResult result = LoadRecorderData(Generate(options));
    ASSERT_EQ(result.status, CLoadResult::EStatus::Loaded);
    const float expected[] = {10, 15, 20, 25, 30, 30, 10, 15};
    ASSERT_EQ(result.recording.GetCount(), 8);
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(result.recording.View().Value(EChannel::TempSV, i), expected[i]) << i;
        EXPECT_EQ(result.recording.View().Value(EChannel::TempPV, i), expected[i]) << i;
    }
}

class ExampleFiles : public ::testing::Test
{
protected:
    static const CExampleRecording& Find(const std::string& strName)
    {
        static const std::vector<CExampleRecording> examples = ExampleRecordings();
        const auto it = std::find_if(examples.begin(), examples.end(),
                                     [&](const auto& e) { return e.strFileName == strName; });
        if (it == examples.end())
            throw std::runtime_error("no example " + strName);
        return *it;
    }
};

TEST_F(ExampleFiles, ChamberWeekLoadsEveryMinuteWithCrLf)
{
    const std::string strData = Generate(Find("chamber-week.csv").options);
    const auto nLines = std::count(strData.begin(), strData.end(), '\n');
    EXPECT_EQ(nLines, 1 + 7 * 24 * 60);
    EXPECT_EQ(std::count(strData.begin(), strData.end(), '\r'), nLines);

    const CLoadResult result = LoadRecorderData(strData);
    ASSERT_EQ(result.status, CLoadResult::EStatus::Loaded) << result.strMessage;
    EXPECT_EQ(result.recording.GetCount(), 7 * 86400 - 60 + 1);
    const std::vector<float> sv = Channel(result.recording, EChannel::TempSV);
    const std::vector<float> humi = Channel(result.recording, EChannel::HumiSV);
    EXPECT_EQ(*std::min_element(sv.begin(), sv.end()), -20.0f);
    EXPECT_EQ(*std::max_element(sv.begin(), sv.end()), 85.0f);
    EXPECT_EQ(*std::min_element(humi.begin(), humi.end()), 50.0f);
    EXPECT_EQ(*std::max_element(humi.begin(), humi.end()), 85.0f);
}

TEST_F(ExampleFiles, TemperatureOnlyHasNoHumidityCurves)
{
    const CLoadResult result = LoadRecorderData(Generate(Find("temperature-only.csv").options));
    ASSERT_EQ(result.status, CLoadResult::EStatus::Loaded) << result.strMessage;
    EXPECT_EQ(result.recording.GetCount(), 2 * 86400 - 30 + 1);
    const std::vector<float> humi = Channel(result.recording, EChannel::HumiPV);
    EXPECT_TRUE(std::all_of(humi.begin(), humi.end(), [](float f) { return f == -1.0f; }));
}

TEST_F(ExampleFiles, PowerLossGapCarriesTheFirstRecordAfterIt)
{
    const std::string strData = Generate(Find("power-loss.csv").options);
    EXPECT_EQ(std::count(strData.begin(), strData.end(), '\n'), 1 + 6 * 3600 + 1 - 40 * 60 + 1);
    const auto nRepeat = strData.find("2026/02/12,12:30:00");
    ASSERT_NE(nRepeat, std::string::npos);
    EXPECT_NE(strData.find("2026/02/12,12:30:00", nRepeat + 1), std::string::npos);
    EXPECT_EQ(strData.find("2026/02/12,10:20:00"), std::string::npos);
    EXPECT_NE(strData.find("\n2026/02/12,10:19:59,"), std::string::npos);
    EXPECT_NE(strData.find("\n2026/02/12,11:00:00,"), std::string::npos);

    const CLoadResult result = LoadRecorderData(strData);
    ASSERT_EQ(result.status, CLoadResult::EStatus::Loaded) << result.strMessage;
    EXPECT_EQ(result.recording.GetCount(), 6 * 3600 + 1);
    // Samples 10:20:00 to 11:00:00 all carry the 11:00:00 record's values.
    const std::vector<float> pv = Channel(result.recording, EChannel::TempPV);
    const int nResume = 3 * 3600;
    for (int i = nResume - 40 * 60; i < nResume; ++i)
        ASSERT_EQ(pv[i], pv[nResume]) << i;
    EXPECT_NE(pv[nResume - 40 * 60 - 1], pv[nResume]);
}

TEST_F(ExampleFiles, CommittedFilesAreWhatTheGeneratorMakes)
{
    // After changing the generator: trendora-makerecordings examples/
    for (const CExampleRecording& example : ExampleRecordings()) {
        std::ifstream file(std::string(TRENDORA_EXAMPLES_DIR) + "/" + example.strFileName,
                           std::ios::binary);
        ASSERT_TRUE(file) << example.strFileName << " is missing";
        const std::string strCommitted((std::istreambuf_iterator<char>(file)),
                                       std::istreambuf_iterator<char>());
        EXPECT_TRUE(strCommitted == Generate(example.options))
            << example.strFileName << " differs from the generator's output";
    }
}

} // namespace
