#include "recorder/recorderloader.h"

#include "tempfolder.h"
#include "tzguard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>
#include <vector>

namespace {

const char kHeader[] = "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\n";

// A channel's per-second series.
std::vector<float> Values(const CRecording& recording, EChannel eChannel)
{
    std::vector<float> values(static_cast<std::size_t>(recording.GetCount()));
    recording.View().CopyOut(eChannel, 0, recording.GetCount(), values.data());
    return values;
}

void ExpectSameResult(const CLoadResult& expected, const CLoadResult& r, const std::string& strHow)
{
    EXPECT_EQ(expected.status, r.status) << strHow;
    EXPECT_EQ(expected.nLine, r.nLine) << strHow;
    EXPECT_EQ(expected.strMessage, r.strMessage) << strHow;
    EXPECT_EQ(expected.bHaveFirstRecord, r.bHaveFirstRecord) << strHow;
    EXPECT_EQ(expected.recording.GetFirstTime(), r.recording.GetFirstTime()) << strHow;
    EXPECT_EQ(Values(expected.recording, EChannel::TempPV), Values(r.recording, EChannel::TempPV))
        << strHow;
    EXPECT_EQ(Values(expected.recording, EChannel::HumiPV), Values(r.recording, EChannel::HumiPV))
        << strHow;
    EXPECT_EQ(Values(expected.recording, EChannel::TempSV), Values(r.recording, EChannel::TempSV))
        << strHow;
    EXPECT_EQ(Values(expected.recording, EChannel::HumiSV), Values(r.recording, EChannel::HumiSV))
        << strHow;
}

// Reads data in file order, then on several threads in stretches so small that their
// boundaries fall on every line, from memory and from a file, and fed in odd-sized parts;
// all must agree. Returns the
// result in file order.
CLoadResult LoadAllWays(std::string_view data,
                        std::int64_t nMaxSamples = CSeriesBuilder::MaxSamples())
{
    CLoadResult single = LoadRecorderData(data, nMaxSamples, CReadOptions{1, 1 << 20});
    for (const CReadOptions options :
         {CReadOptions{3, 1}, CReadOptions{2, 13}, CReadOptions{4, 300}, CReadOptions{2, 4096}}) {
        const std::string strHow = "threads " + std::to_string(options.nThreads) + ", stretch " +
                                   std::to_string(options.nPieceBytes);
        ExpectSameResult(single, LoadRecorderData(data, nMaxSamples, options), strHow);
    }
    if (nMaxSamples == CSeriesBuilder::MaxSamples()) {
        const CTempFolder dir;
        const std::filesystem::path strPath = dir.FilePath("all-ways.csv");
        std::ofstream(strPath, std::ios::binary) << data;
        ExpectSameResult(single, LoadRecorderFile(strPath, LoadProgress(), CReadOptions{2, 13}),
                         "from a file");
    }
    CRecorderReader reader(nMaxSamples);
    for (std::size_t i = 0; i < data.size(); i += 1001)
        reader.Feed(data.data() + i, std::min<std::size_t>(1001, data.size() - i));
    ExpectSameResult(single, reader.Finish(), "fed in parts");
    return single;
}

class RecorderLoad : public ::testing::Test
{
protected:
    CTzGuard m_tz{"UTC"};
};

TEST_F(RecorderLoad, GapIsFilledWithTheLaterRecordsValues)
{
    const CLoadResult r = LoadAllWays(std::string(kHeader) + "2020/01/01,12:00:00,1,2,3,4\n"
                                                             "2020/01/01,12:00:10,5,6,7,8\n");
    ASSERT_EQ(CLoadResult::EStatus::Loaded, r.status) << r.strMessage;
    EXPECT_EQ(1577880000, r.recording.GetFirstTime());
    ASSERT_EQ(11, r.GetSampleCount());
    std::vector<float> temp(11, 5.0f);
    temp[0] = 1.0f;
    EXPECT_EQ(temp, Values(r.recording, EChannel::TempPV));
    EXPECT_EQ(8.0f, r.recording.View().Value(EChannel::HumiSV, 1));
    EXPECT_EQ(6.0f, r.recording.View().Value(EChannel::TempSV, 10));
    EXPECT_EQ(7.0f, r.recording.View().Value(EChannel::HumiPV, 10));
}

TEST_F(RecorderLoad, RepeatedAndEarlierTimesAddNothing)
{
    const CLoadResult r = LoadAllWays(std::string(kHeader) + "2020/01/01,12:00:10,1,0,0,0\n"
                                                             "2020/01/01,12:00:10,2,0,0,0\n"
                                                             "2020/01/01,12:00:05,3,0,0,0\n"
                                                             "2020/01/01,12:00:12,4,0,0,0\n");
    ASSERT_EQ(CLoadResult::EStatus::Loaded, r.status);
    EXPECT_EQ((std::vector<float>{1, 4, 4}), Values(r.recording, EChannel::TempPV));
}

TEST_F(RecorderLoad, DateAndTimeOnlyGivesNoHumidity)
{
    const CLoadResult r = LoadAllWays(std::string(kHeader) + "2020/01/01,00:00:00\n");
    ASSERT_EQ(1, r.GetSampleCount());
    EXPECT_EQ(0.0f, r.recording.View().Value(EChannel::TempPV, 0));
    EXPECT_EQ(-1.0f, r.recording.View().Value(EChannel::HumiPV, 0));
    EXPECT_EQ(-1.0f, r.recording.View().Value(EChannel::HumiSV, 0));
}

TEST_F(RecorderLoad, LineEndsAndAMissingFinalLineEnd)
{
    const CLoadResult crlf = LoadAllWays("h\r\n2020/1/1,0:0:0,1,2,3,4\r\n2020/1/1,0:0:1,5,6,7,8");
    ASSERT_EQ(CLoadResult::EStatus::Loaded, crlf.status) << crlf.strMessage;
    EXPECT_EQ((std::vector<float>{4, 8}), Values(crlf.recording, EChannel::HumiSV));
}

TEST_F(RecorderLoad, TooFewLinesLoadsNothing)
{
    for (const char* sz : {"", "header only", "header\n", "header\r\n"}) {
        const CLoadResult r = LoadAllWays(sz);
        EXPECT_EQ(CLoadResult::EStatus::TooFewLines, r.status) << '"' << sz << '"';
        EXPECT_EQ(0, r.GetSampleCount());
        EXPECT_FALSE(r.strMessage.empty());
    }
}

TEST_F(RecorderLoad, InvalidRecordKeepsWhatCameBeforeAndNamesItsLine)
{
    const CLoadResult r = LoadAllWays(std::string(kHeader) + "2020/01/01,00:00:00,1,1,1,1\n"
                                                             "2020/01/01,00:00:02,2,2,2,2\n"
                                                             "\n"
                                                             "2020/01/01,00:00:09,3,3,3,3\n");
    EXPECT_EQ(CLoadResult::EStatus::InvalidRecord, r.status);
    EXPECT_EQ(4, r.nLine);
    EXPECT_TRUE(r.bHaveFirstRecord);
    EXPECT_EQ(3, r.GetSampleCount());
    EXPECT_NE(std::string::npos, r.strMessage.find("Line 4 is empty")) << r.strMessage;
}

TEST_F(RecorderLoad, MessagesNameTheBadField)
{
    const struct
    {
        const char* szRecord;
        const char* szExpected;
    } cases[] = {
        {"2020/13/01,00:00:00", "the month 13 is not between 1 and 12"},
        {"2020/12/00,00:00:00", "the day 0 is not between 1 and 31"},
        {"100/12/01,00:00:00", "the year 100 is before 1900"},
        {"2020/12/01,24:00:00", "the hour 24"},
        {"2020/12/01,23:60:00", "the minute 60"},
        {"2020/12/01,23:59:60", "the second 60"},
        {"Date,Time", "the month 0"},
    };
    for (const auto& c : cases) {
        const CLoadResult r = LoadAllWays(std::string(kHeader) + c.szRecord + "\n");
        EXPECT_EQ(CLoadResult::EStatus::InvalidRecord, r.status) << c.szRecord;
        EXPECT_EQ(2, r.nLine);
        EXPECT_FALSE(r.bHaveFirstRecord);
        EXPECT_EQ(0, r.GetSampleCount());
        EXPECT_NE(std::string::npos, r.strMessage.find(c.szExpected)) << r.strMessage;
        EXPECT_NE(std::string::npos, r.strMessage.find("Line 2")) << r.strMessage;
    }
}

TEST_F(RecorderLoad, SpanLongerThanTheSeriesCanHoldIsRefusedBeforeAllocating)
{
    const CLoadResult r = LoadAllWays(std::string(kHeader) + "2000/01/01,00:00:00,1,1,1,1\n"
                                                             "2000/01/01,00:00:01,2,2,2,2\n"
                                                             "2100/01/01,00:00:00,3,3,3,3\n");
    EXPECT_EQ(CLoadResult::EStatus::SpanTooLong, r.status);
    EXPECT_EQ(4, r.nLine);
    EXPECT_EQ(2, r.GetSampleCount());
    EXPECT_LT(r.recording.DenseSamples(EChannel::TempPV).GetCapacity(), 1 << 20);
    EXPECT_NE(std::string::npos, r.strMessage.find("3,155,760,001 samples")) << r.strMessage;
    EXPECT_NE(std::string::npos, r.strMessage.find("Line 4")) << r.strMessage;
}

TEST_F(RecorderLoad, ALowerSampleLimitHoldsToTheSampleAndBoundsTheMemory)
{
    const std::string data = std::string(kHeader) + "2020/01/01,00:00:00,1,1,1,1\n"
                                                    "2020/01/01,00:00:09,2,2,2,2\n";
    const CLoadResult fits = LoadAllWays(data, 10);
    EXPECT_EQ(CLoadResult::EStatus::Loaded, fits.status) << fits.strMessage;
    EXPECT_EQ(10, fits.GetSampleCount());

    const CLoadResult refused = LoadAllWays(data, 9);
    EXPECT_EQ(CLoadResult::EStatus::SpanTooLong, refused.status);
    EXPECT_EQ(3, refused.nLine);
    EXPECT_EQ(1, refused.GetSampleCount());
    EXPECT_LE(refused.recording.DenseSamples(EChannel::TempPV).GetCapacity(), 9);
    EXPECT_NE(std::string::npos, refused.strMessage.find("10 samples, more than the 9"))
        << refused.strMessage;
}

TEST_F(RecorderLoad, PiecesSplitAnywhereReadAlike)
{
    const std::string data = std::string(kHeader) + "2020/01/01,00:00:00,1,2,3,4\r\n" +
                             std::string(5000, ' ') + "2020/01/01,00:00:03,5,6,7,8\r\n" +
                             "2020/01/01,00:00:04,9,10,11,12";
    const CLoadResult whole = LoadAllWays(data);
    ASSERT_EQ(CLoadResult::EStatus::Loaded, whole.status) << whole.strMessage;
    for (const std::size_t nPiece : {1, 2, 7, 4096}) {
        CRecorderReader reader;
        for (std::size_t i = 0; i < data.size(); i += nPiece)
            reader.Feed(data.data() + i, std::min(nPiece, data.size() - i));
        const CLoadResult r = reader.Finish();
        EXPECT_EQ(Values(whole.recording, EChannel::HumiSV), Values(r.recording, EChannel::HumiSV))
            << nPiece;
        EXPECT_EQ(5, r.GetSampleCount());
    }
}

// A straightforward expansion with mktime per record and one append per sample, to check
// the bulk appends and the time cache on messy generated files.
std::vector<float> NaiveTempSeries(const std::vector<std::string>& records)
{
    std::vector<float> out;
    long long p = 0;
    for (std::size_t i = 0; i < records.size(); ++i) {
        int y, mo, d, h, mi, s;
        float a = 0;
        std::sscanf(records[i].c_str(), "%d/%d/%d,%d:%d:%d,%f", &y, &mo, &d, &h, &mi, &s, &a);
        struct tm t = {};
        t.tm_year = y - 1900;
        t.tm_mon = mo - 1;
        t.tm_mday = d;
        t.tm_hour = h;
        t.tm_min = mi;
        t.tm_sec = s;
        t.tm_isdst = -1;
        const long long c = mktime(&t);
        if (i == 0) {
            p = c;
            out.push_back(a);
        }
        for (; c > p; ++p)
            out.push_back(a);
    }
    return out;
}

TEST(RecorderLoadDifferential, MatchesAStraightforwardExpansion)
{
    SKIP_WITHOUT_NAMED_ZONES();
    CTzGuard tz("Europe/Berlin");
    std::mt19937 rng(99);
    // The first files also step back, which makes stretches overlap; the others go forward
    // only, so that the stretches' own samples are kept.
    for (int nFile = 0; nFile < 12; ++nFile) {
        std::vector<std::string> records;
        struct tm t = {};
        // Into the spring gap, or into the repeated autumn hour.
        t.tm_year = 2026 - 1900;
        t.tm_mon = nFile % 2 ? 9 : 2;
        t.tm_mday = nFile % 2 ? 24 : 28;
        t.tm_hour = 23;
        std::int64_t w = UtcTime(t);
        for (int i = 0; i < 3000; ++i) {
            const int nStep = static_cast<int>(rng() % 100);
            const bool bBack = nFile < 8 && nStep >= 90 && nStep < 95;
            w += nStep < 80 ? 1 : nStep < 90 ? 0 : bBack ? -5 : 600 + rng() % 4000;
            const std::tm u = UtcFields(w);
            char sz[80];
            std::snprintf(sz, sizeof sz, "%04d/%02d/%02d,%02d:%02d:%02d,%d.5,1,2,3",
                          u.tm_year + 1900, u.tm_mon + 1, u.tm_mday, u.tm_hour, u.tm_min, u.tm_sec,
                          i);
            records.emplace_back(sz);
        }
        std::string data = kHeader;
        for (const std::string& s : records)
            data += s + "\n";
        const std::vector<float> expected = NaiveTempSeries(records);
        const CLoadResult r = LoadAllWays(data);
        ASSERT_EQ(CLoadResult::EStatus::Loaded, r.status) << r.strMessage;
        ASSERT_EQ(expected, Values(r.recording, EChannel::TempPV)) << "file " << nFile;
    }
}

TEST(RecorderLoadFile, ReadsAFileAndReportsProgress)
{
    const CTempFolder dir;
    const std::filesystem::path path = dir.FilePath("a.csv");
    {
        std::ofstream out(path, std::ios::binary);
        out << kHeader;
        for (int i = 0; i < 100000; ++i)
            out << "2020/01/01,00:00:00,1,2,3,4\n";
    }
    std::uint64_t nLastDone = 0;
    std::uint64_t nTotal = 0;
    const CLoadResult r = LoadRecorderFile(path, [&](std::uint64_t nDone, std::uint64_t n) {
        nLastDone = nDone;
        nTotal = n;
        return true;
    });
    EXPECT_EQ(CLoadResult::EStatus::Loaded, r.status);
    EXPECT_EQ(1, r.GetSampleCount());
    EXPECT_EQ(nTotal, nLastDone);
    EXPECT_GT(nTotal, 2'000'000u);

    const CLoadResult cancelled =
        LoadRecorderFile(path, [](std::uint64_t, std::uint64_t) { return false; });
    EXPECT_EQ(CLoadResult::EStatus::Cancelled, cancelled.status);
}

// Two records sixty days apart make five million samples from one line: Cancel is heard
// while they are written, not only between the file's chunks.
TEST(RecorderLoadFile, CancelIsHeardWhileALongGapIsFilled)
{
    const CTempFolder dir;
    const std::filesystem::path path = dir.FilePath("gap.csv");
    {
        std::ofstream out(path, std::ios::binary);
        out << kHeader << "2020/01/01,00:00:00,1,2,3,4\n"
            << "2020/03/01,00:00:00,5,6,7,8\n";
    }
    for (const CReadOptions& options : {CReadOptions{1, 256 * 1024}, CReadOptions{2, 16}}) {
        int nCalls = 0;
        const CLoadResult r = LoadRecorderFile(
            path, [&](std::uint64_t, std::uint64_t) { return ++nCalls < 2; }, options);
        EXPECT_EQ(CLoadResult::EStatus::Cancelled, r.status) << options.nThreads;
        EXPECT_EQ(2, nCalls) << options.nThreads;
    }
}

TEST(RecorderLoadFile, MissingFileAndFolderAreReported)
{
    const CTempFolder dir;
    const CLoadResult missing = LoadRecorderFile(dir.FilePath("none.csv"));
    EXPECT_EQ(CLoadResult::EStatus::CannotOpen, missing.status);
    EXPECT_NE(std::string::npos, missing.strMessage.find("none.csv")) << missing.strMessage;
    const CLoadResult folder = LoadRecorderFile(dir.Path());
    EXPECT_EQ(CLoadResult::EStatus::CannotOpen, folder.status);
    EXPECT_NE(std::string::npos, folder.strMessage.find("folder")) << folder.strMessage;
}

// Recordings named in Chinese with spaces, as a Chinese desktop saves them: they open, and a
// message about one names it in UTF-8 (Windows' narrow names cannot hold these characters).
TEST(RecorderLoadFile, ChineseNamesWithSpacesOpenAndAreNamedInUtf8)
{
    const CTempFolder dir;
    for (const char8_t* szName :
         {u8"溫度 記錄.csv", u8"温度 记录 2026.CSV", u8"資料夾 一/試驗.csv"}) {
        const std::filesystem::path path = dir.Path() / szName;
        std::filesystem::create_directories(path.parent_path());
        {
            std::ofstream out(path, std::ios::binary);
            out << kHeader << "2020/01/01,00:00:00,1,2,3,4\n2020/01/01,00:00:09,5,6,7,8\n";
        }
        const std::string strName(reinterpret_cast<const char*>(szName));
        const CLoadResult loaded = LoadRecorderFile(path);
        EXPECT_EQ(CLoadResult::EStatus::Loaded, loaded.status) << strName;
        EXPECT_EQ(10, loaded.recording.GetCount()) << strName;

        std::filesystem::remove(path);
        const CLoadResult missing = LoadRecorderFile(path);
        EXPECT_EQ(CLoadResult::EStatus::CannotOpen, missing.status) << strName;
        const std::string strFile = strName.substr(strName.find('/') + 1);
        EXPECT_NE(std::string::npos, missing.strMessage.find(strFile)) << missing.strMessage;
    }
}

} // namespace

namespace {

// Records at one a second from wall time w (UTC), each with its own value.
std::string Seconds(std::int64_t w, int nCount, int& nValue)
{
    std::string s;
    for (int i = 0; i < nCount; ++i, ++w) {
        const std::tm u = UtcFields(w);
        char sz[80];
        std::snprintf(sz, sizeof sz, "%04d/%02d/%02d,%02d:%02d:%02d,%d,1,2,3\n", u.tm_year + 1900,
                      u.tm_mon + 1, u.tm_mday, u.tm_hour, u.tm_min, u.tm_sec, nValue++);
        s += sz;
    }
    return s;
}

struct CHostileFile
{
    const char* szName;
    std::string strData;
    double fMaxInOrder; // share of the file the calling thread may read after the stretches
};

} // namespace

// Files that once made reading in stretches slow, hungry or racy: whatever they hold, the
// stretches write about one sample per line plus what is kept, and the reader in file order
// reads no byte twice.
TEST(RecorderLoadBound, HostileFilesCostAboutOnePass)
{
    CTzGuard tz("UTC");
    const std::int64_t w2000 = 946684800;
    int v = 0;
    std::vector<CHostileFile> files;
    std::string restart = kHeader; // a logger's clock restarting at 2000/01/01 after power cycles
    for (int i = 0; i < 6; ++i)
        restart += Seconds(w2000, 3000, v);
    files.push_back({"clock restarts", restart, 1.0});
    // A block of records appended to itself.
    const std::string block = Seconds(w2000 + 86400, 4000, v);
    files.push_back({"appended", kHeader + block + block + block, 1.0});
    // An invalid record, then a month's jump: nothing after the record matters.
    files.push_back({"invalid then jump",
                     kHeader + Seconds(w2000, 3000, v) + "2000/13/01,00:00:00\n" +
                         Seconds(w2000 + 3000, 3, v) + Seconds(w2000 + 31 * 86400, 6000, v),
                     1.0});
    // A clock set back across many stretches at once.
    files.push_back(
        {"set back", kHeader + Seconds(w2000, 4000, v) + Seconds(w2000 + 2000, 4000, v), 1.0});
    // Lines longer than a stretch may hold.
    files.push_back({"long lines",
                     kHeader + Seconds(w2000, 2000, v) + "2000/01/01,01:00:00,1" +
                         std::string(70000, ' ') + "\n" + Seconds(w2000 + 3601, 2000, v) +
                         "2000/01/01,03:00:00,2" + std::string(150000, '0') + "\n" +
                         Seconds(w2000 + 3 * 3600 + 1, 2000, v),
                     1.0});
    // And a plain one, most of which the stretches must decide alone.
    files.push_back({"plain", kHeader + Seconds(w2000, 12000, v), 0.1});

    for (const CHostileFile& file : files) {
        SCOPED_TRACE(file.szName);
        const CLoadResult expected = LoadAllWays(file.strData);
        CReadStats stats;
        const CLoadResult r =
            LoadRecorderData(file.strData, CSeriesBuilder::MaxSamples(), {2, 4096, &stats});
        ExpectSameResult(expected, r, "with stats");
        ASSERT_FALSE(stats.bWholeInOrder);
        const std::int64_t nLines = std::count(file.strData.begin(), file.strData.end(), '\n');
        EXPECT_LE(stats.nPieceSamples, nLines + r.GetSampleCount());
        EXPECT_LE(stats.nBytesInOrder, file.strData.size() * file.fMaxInOrder);
    }
}
