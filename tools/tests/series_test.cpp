// Runs trendora-series on small files in UTC and compares its whole output.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define TRENDORA_SANITIZED
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define TRENDORA_SANITIZED
#endif
#endif

namespace {

namespace fs = std::filesystem;

struct CRun
{
    std::string strOut;
    std::string strErr;
    int nExit = -1;
};

std::string ReadAll(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Two records three seconds apart across a month end, a repeated and an earlier time that add nothing, and
// values whose "%.9g" text shows float rounding and the exponent form.
const char* const kRecording = "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"
                               "2026/02/28,23:59:59,23.50,25.00,45.20,50.00\r\n"
                               "2026/03/01,00:00:02,23.75,25.00,45.10,50.00\r\n"
                               "2026/03/01,00:00:02,99.00,99.00,99.00,99.00\r\n"
                               "2026/03/01,00:00:01,88.00,88.00,88.00,88.00\r\n"
                               "2026/03/01,00:00:03,0.1,-5,-1,1e10\r\n";

class SeriesTool : public ::testing::Test
{
protected:
    void SetUp() override
    {
        std::string strTemplate = (fs::temp_directory_path() / "trendora-series-XXXXXX").string();
        ASSERT_NE(mkdtemp(strTemplate.data()), nullptr);
        m_dir = strTemplate;
    }
    void TearDown() override { fs::remove_all(m_dir); }

    std::string Write(const std::string& strName, const std::string& strContent)
    {
        std::ofstream(m_dir / strName, std::ios::binary) << strContent;
        return (m_dir / strName).string();
    }

    CRun Run(const std::string& strArgs, const std::string& strBefore = std::string())
    {
        const fs::path out = m_dir / "stdout";
        const fs::path err = m_dir / "stderr";
        const std::string strCommand = strBefore + "TZ=UTC '" TRENDORA_SERIES_EXE "' " + strArgs +
                                       " >'" + out.string() + "' 2>'" + err.string() + "'";
        const int nStatus = std::system(strCommand.c_str());
        CRun run;
        run.strOut = ReadAll(out);
        run.strErr = ReadAll(err);
        run.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
        return run;
    }

    fs::path m_dir;
};

TEST_F(SeriesTool, PrintsOneLinePerSecondFilledFromTheLaterRecord)
{
    const CRun run = Run(Write("a.csv", kRecording));
    EXPECT_EQ(run.nExit, 0);
    EXPECT_EQ(run.strErr, "");
    EXPECT_EQ(run.strOut, "0,2026-02-28,23:59:59,23.5,25,45.2000008,50\n"
                          "1,2026-03-01,00:00:00,23.75,25,45.0999985,50\n"
                          "2,2026-03-01,00:00:01,23.75,25,45.0999985,50\n"
                          "3,2026-03-01,00:00:02,23.75,25,45.0999985,50\n"
                          "4,2026-03-01,00:00:03,0.100000001,-5,-1,1e+10\n");
}

TEST_F(SeriesTool, SummaryGivesCountTimesAndRangeOfEachCurve)
{
    const CRun run = Run("--summary " + Write("a.csv", kRecording));
    EXPECT_EQ(run.nExit, 0);
    EXPECT_EQ(run.strOut, "samples  5\n"
                          "first    2026-02-28 23:59:59\n"
                          "last     2026-03-01 00:00:03\n"
                          "curve    key   min              max              mean\n"
                          "TempPV   !100  0.100000001      23.75            18.9700\n"
                          "TempSV   !101  -5               25               19.0000\n"
                          "HumiPV   !200  -1               45.2000008       35.9000\n"
                          "HumiSV   !201  50               1e+10            2000000040.0000\n");
}

TEST_F(SeriesTool, TimesCountFromTheFirstTimeTakenAsUnsigned32Bits)
{
    // 1902-01-01 is -2,145,916,800 s; as an unsigned 32-bit count that is 2038-02-06.
    const CRun run = Run(Write("old.csv", "header\n1902/01/01,00:00:00,1,2\n"));
    EXPECT_EQ(run.nExit, 0);
    EXPECT_EQ(run.strOut, "0,2038-02-06,06:28:16,1,2,-1,-1\n");
    // The summary's first time is the record's own, as the view's readouts show it on opening.
    const CRun summary = Run("--summary " + Write("old2.csv", "header\n1902/01/01,00:00:00,1,2\n"));
    EXPECT_TRUE(summary.strOut.starts_with("samples  1\n"
                                           "first    1902-01-01 00:00:00\n"
                                           "last     2038-02-06 06:28:16\n"))
        << summary.strOut;
}

TEST_F(SeriesTool, InvalidRecordPrintsTheSamplesBeforeItAndExits1)
{
    const std::string strFile = Write("bad.csv", "header\n"
                                                 "2026/03/01,08:00:00,1,2,3,4\n"
                                                 "2026/03/01,08:00:01,5,6,7,8\n"
                                                 "2026/13/01,08:00:02,9,9,9,9\n"
                                                 "2026/03/01,08:00:03,9,9,9,9\n");
    const CRun run = Run(strFile);
    EXPECT_EQ(run.nExit, 1);
    EXPECT_EQ(run.strOut, "0,2026-03-01,08:00:00,1,2,3,4\n"
                          "1,2026-03-01,08:00:01,5,6,7,8\n");
    EXPECT_EQ(run.strErr.rfind(strFile + ":4: Line 4", 0), 0u) << run.strErr;
    EXPECT_NE(run.strErr.find("month 13"), std::string::npos) << run.strErr;

    const CRun summary = Run("--summary " + strFile);
    EXPECT_EQ(summary.nExit, 1);
    EXPECT_EQ(summary.strOut.rfind("samples  2\n", 0), 0u) << summary.strOut;
}

TEST_F(SeriesTool, GapTooLongForTheSeriesPrintsTheSamplesBeforeItAndExits4)
{
    const CRun run = Run(Write("gap.csv", "header\n"
                                          "2000/01/01,00:00:00,1,2,3,4\n"
                                          "2100/01/01,00:00:00,5,6,7,8\n"));
    EXPECT_EQ(run.nExit, 4);
    EXPECT_EQ(run.strOut, "0,2000-01-01,00:00:00,1,2,3,4\n");
    EXPECT_NE(run.strErr.find(":3: Line 3"), std::string::npos) << run.strErr;
}

// A card file a logger preallocated: records, then zero bytes and no line end. Memory runs
// out in the reader, which keeps the records before.
TEST_F(SeriesTool, MemoryRunningOutExits5AndPrintsTheSamplesBefore)
{
#ifdef TRENDORA_SANITIZED
    GTEST_SKIP() << "a sanitizer's shadow memory needs more address space than the limit";
#else
    const std::string strFile = Write("card.csv", "header\n"
                                                  "2026/03/01,08:00:00,1,2,3,4\n"
                                                  "2026/03/01,08:00:01,5,6,7,8\n");
    fs::resize_file(strFile, 600u << 20); // sparse: the zeros take no disk
    const CRun run = Run(strFile, "ulimit -v 262144; ");
    EXPECT_EQ(run.nExit, 5) << run.strErr;
    EXPECT_EQ(run.strOut, "0,2026-03-01,08:00:00,1,2,3,4\n"
                          "1,2026-03-01,08:00:01,5,6,7,8\n");
    EXPECT_NE(run.strErr.find(strFile + ":4: Memory ran out at line 4"), std::string::npos)
        << run.strErr;
#endif
}

TEST_F(SeriesTool, FileWithoutRecordsExits3AndPrintsNothing)
{
    for (const char* szContent : {"", "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"}) {
        const CRun run = Run(Write("short.csv", szContent));
        EXPECT_EQ(run.nExit, 3) << '"' << szContent << '"';
        EXPECT_EQ(run.strOut, "");
        EXPECT_NE(run.strErr, "");
    }
}

TEST_F(SeriesTool, MissingFileExits2)
{
    const CRun run = Run("'" + (m_dir / "missing.csv").string() + "'");
    EXPECT_EQ(run.nExit, 2);
    EXPECT_NE(run.strErr.find("missing.csv"), std::string::npos) << run.strErr;
}

TEST_F(SeriesTool, UsageErrorsExit64)
{
    const std::string strFile = Write("a.csv", kRecording);
    const std::string args[] = {"", "--bogus " + strFile, strFile + " " + strFile, "--summary"};
    for (const std::string& strArgs : args) {
        const CRun run = Run(strArgs);
        EXPECT_EQ(run.nExit, 64) << strArgs;
        EXPECT_EQ(run.strOut, "") << strArgs;
        EXPECT_NE(run.strErr.find("usage:"), std::string::npos) << strArgs;
    }
}

} // namespace
