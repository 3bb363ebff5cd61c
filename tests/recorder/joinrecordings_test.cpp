#include "recorder/joinrecordings.h"
#include "recorder/openrecordings.h"
#include "recorder/recorderloader.h"

#include "tempfolder.h"
#include "tzguard.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

const char kHeader[] = "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\n";
const char kAutumn[] = "2024/10/27"; // the repeated hour is 02:00 to 03:00 in Berlin

// Records of one day from wall time nFrom (seconds after midnight) every nStep seconds,
// nCount of them, with values counting up from fValue.
std::string Records(const char* szDate, int nFrom, int nStep, int nCount, float fValue)
{
    std::string strLines = kHeader;
    for (int i = 0; i < nCount; ++i) {
        const int s = nFrom + i * nStep;
        char szLine[80];
        std::snprintf(szLine, sizeof szLine, "%s,%02d:%02d:%02d,%.1f,20.0,%.1f,50.0\n", szDate,
                      s / 3600, s / 60 % 60, s % 60, fValue + i, 40.0f + i);
        strLines += szLine;
    }
    return strLines;
}

std::string WithoutLastLineEnd(std::string strText)
{
    strText.pop_back();
    return strText;
}

int At(int h, int m, int s)
{
    return h * 3600 + m * 60 + s;
}

// The files' text one after the other, every later header line dropped.
std::string Concatenate(const std::vector<std::string>& files,
                        const std::vector<std::size_t>& order)
{
    std::string strAll;
    for (std::size_t i : order) {
        if (!strAll.empty() && strAll.back() != '\n')
            strAll += '\n';
        strAll += strAll.empty() ? files[i] : files[i].substr(files[i].find('\n') + 1);
    }
    return strAll;
}

std::vector<float> Values(const CRecording& recording, EChannel eChannel)
{
    std::vector<float> values(static_cast<std::size_t>(recording.GetCount()));
    recording.View().CopyOut(eChannel, 0, recording.GetCount(), values.data());
    return values;
}

struct CBorder
{
    CJoinBorder::EKind eKind;
    std::size_t nFile;
    int nFirst; // seconds into the last sample's UTC day
    int nLast;
};

struct CJoinCase
{
    const char* szName;
    const char* szZone;
    std::vector<std::string> files; // in the order given
    bool bFollow;
    std::vector<CBorder> borders;
};

class RecordingJoin : public ::testing::TestWithParam<CJoinCase>
{
};

} // namespace

TEST_P(RecordingJoin, EqualsReadingTheFilesOneAfterTheOther)
{
    const CJoinCase& c = GetParam();
    if (std::string(c.szZone) != "UTC")
        SKIP_WITHOUT_NAMED_ZONES();
    CTzGuard tz(c.szZone);
    std::vector<CRecording> parts;
    std::vector<FileSpan> spans;
    for (const std::string& strFile : c.files) {
        // glibc answers a wall time of the repeated hour by the offset of the process's
        // previous conversion: after one in winter time, a file alone reads the repeated
        // hour as winter time, as in a program that read other files before.
        LoadRecorderData(Records(kAutumn, At(3, 30, 0), -3600, 2, 0));
        CLoadResult load = LoadRecorderData(strFile);
        ASSERT_EQ(load.status, CLoadResult::EStatus::Loaded);
        spans.push_back({load.recording.GetFirstTime(),
                         load.recording.GetFirstTime() + load.recording.GetCount()});
        parts.push_back(std::move(load.recording));
    }
    EXPECT_EQ(FilesFollowOneAnother(spans), c.bFollow);
    const std::vector<std::size_t> order = JoinOrder(spans);

    const JoinReread reread = [&](std::size_t nEarlier,
                                  std::size_t nLater) -> std::optional<CRereadPart> {
        if (!NearClockChange(spans[nLater].first))
            return std::nullopt;
        return ReadOneAfterOther(c.files[nEarlier], c.files[nLater], RecorderLayout(),
                                 spans[nEarlier].second);
    };
    const CJoinResult join = JoinRecordings(std::move(parts), reread);
    ASSERT_EQ(join.status, CJoinResult::EStatus::Joined) << join.strMessage;
    const CLoadResult whole = LoadRecorderData(Concatenate(c.files, order));
    ASSERT_EQ(whole.status, CLoadResult::EStatus::Loaded);
    EXPECT_EQ(join.recording.GetFirstTime(), whole.recording.GetFirstTime());
    for (EChannel eChannel : kChannels)
        EXPECT_EQ(Values(join.recording, eChannel), Values(whole.recording, eChannel));
    EXPECT_EQ(join.recording.GetSources().size(), c.files.size());

    // Border times are given as seconds of the last sample's UTC day.
    const std::int64_t tLast = whole.recording.GetFirstTime() + whole.recording.GetCount() - 1;
    const std::int64_t tMidnight = tLast - tLast % 86400;
    const std::vector<CJoinBorder>& borders = join.recording.GetBorders();
    ASSERT_EQ(borders.size(), c.borders.size());
    for (std::size_t i = 0; i < borders.size(); ++i) {
        EXPECT_EQ(borders[i].eKind, c.borders[i].eKind) << i;
        EXPECT_EQ(borders[i].nFile, c.borders[i].nFile) << i;
        EXPECT_EQ(borders[i].tFirst - tMidnight, c.borders[i].nFirst) << i;
        EXPECT_EQ(borders[i].tLast - tMidnight, c.borders[i].nLast) << i;
    }

    // The same files opened from disk give the same recording: read on threads, two at a
    // time, a file near a clock change read again after the one before it, ahead of the join.
    if (!c.bFollow)
        return;
    CTempFolder folder;
    std::vector<std::filesystem::path> paths;
    for (std::size_t i = 0; i < c.files.size(); ++i) {
        paths.push_back(folder.Path() / ("part-" + std::to_string(i) + ".csv"));
        std::ofstream(paths.back(), std::ios::binary) << c.files[i];
    }
    const COpenFilesResult opened = OpenRecordingFiles(paths, nullptr);
    ASSERT_TRUE(opened.bJoined);
    ASSERT_EQ(opened.recordings.size(), 1u);
    const CRecording& fromDisk = opened.recordings[0];
    EXPECT_EQ(fromDisk.GetFirstTime(), whole.recording.GetFirstTime());
    for (EChannel eChannel : kChannels)
        EXPECT_EQ(Values(fromDisk, eChannel), Values(whole.recording, eChannel));
    ASSERT_EQ(fromDisk.GetBorders().size(), borders.size());
    for (std::size_t i = 0; i < borders.size(); ++i) {
        EXPECT_EQ(fromDisk.GetBorders()[i].eKind, borders[i].eKind) << i;
        EXPECT_EQ(fromDisk.GetBorders()[i].nFile, borders[i].nFile) << i;
        EXPECT_EQ(fromDisk.GetBorders()[i].tFirst, borders[i].tFirst) << i;
        EXPECT_EQ(fromDisk.GetBorders()[i].tLast, borders[i].tLast) << i;
    }
    ASSERT_EQ(fromDisk.GetSources().size(), c.files.size());
    for (std::size_t i = 0; i < c.files.size(); ++i) {
        const CRecordingSource& source = fromDisk.GetSources()[i];
        EXPECT_EQ(source.path, paths[order[i]]) << i;
        EXPECT_EQ(source.nSize, c.files[order[i]].size()) << i;
        // A file alone that starts in a repeated hour reads it as glibc's last answer had it.
        if (std::string(c.szZone) == "UTC") {
            EXPECT_EQ(source.tFirst, join.recording.GetSources()[i].tFirst) << i;
            EXPECT_EQ(source.tLast, join.recording.GetSources()[i].tLast) << i;
        }
    }
}

namespace {

constexpr auto kGap = CJoinBorder::EKind::Gap;
constexpr auto kOverlap = CJoinBorder::EKind::Overlap;
const char kDay[] = "2024/06/01";

} // namespace

INSTANTIATE_TEST_SUITE_P(
    Files, RecordingJoin,
    ::testing::Values(
        // Given later file first; an hour without records between minute files.
        CJoinCase{"GapGivenOutOfOrder",
                  "UTC",
                  {Records(kDay, At(12, 0, 0), 60, 31, 5), Records(kDay, At(10, 0, 0), 60, 60, 1)},
                  true,
                  {{kGap, 1, At(10, 59, 1), At(11, 59, 59)}}},
        // One record missed at a border is no gap; three seconds without records at 1 Hz
        // are, filled second by second.
        CJoinCase{"ShortGapsAtOneHertz",
                  "UTC",
                  {Records(kDay, At(10, 0, 0), 1, 30, 1), Records(kDay, At(10, 0, 31), 1, 30, 2),
                   Records(kDay, At(10, 1, 4), 1, 30, 3)},
                  true,
                  {{kGap, 2, At(10, 1, 1), At(10, 1, 3)}}},
        // The first file's clock was set back before its end: its seconds still reach its
        // latest record, not its last line.
        CJoinCase{"ClockSetBackInAFile",
                  "UTC",
                  {Records(kDay, At(10, 0, 0), 60, 31, 1) +
                       Records(kDay, At(10, 10, 0), 60, 5, 100).substr(sizeof kHeader - 1),
                   Records(kDay, At(11, 0, 0), 60, 30, 2)},
                  true,
                  {{kGap, 1, At(10, 30, 1), At(10, 59, 59)}}},
        // A last line without its line end still ends before the next file's first record.
        CJoinCase{"LastLineWithoutLineEnd",
                  "UTC",
                  {WithoutLastLineEnd(Records(kDay, At(10, 0, 0), 60, 30, 1)),
                   Records(kDay, At(10, 30, 0), 60, 30, 2)},
                  true,
                  {}},
        CJoinCase{"Overlap",
                  "UTC",
                  {Records(kDay, At(10, 0, 0), 10, 61, 1), Records(kDay, At(10, 5, 0), 10, 91, 2)},
                  true,
                  {{kOverlap, 1, At(10, 5, 0), At(10, 10, 0)}}},
        // The middle file lies wholly inside the first; the last follows within its
        // interval.
        CJoinCase{"FileInsideAnother",
                  "UTC",
                  {Records(kDay, At(10, 0, 0), 60, 61, 1), Records(kDay, At(10, 20, 0), 60, 11, 2),
                   Records(kDay, At(11, 1, 0), 60, 30, 3)},
                  false,
                  {{kOverlap, 1, At(10, 20, 0), At(10, 30, 0)}}},
        // The first file ends in the repeated hour, in summer time; the second starts in it.
        // After the first file's records the second's read as summer time too, then jump an
        // hour at 03:00 winter time. (Times in UTC: 00:20 is 02:20 summer time.)
        CJoinCase{
            "AutumnChangeAtBorder",
            "Europe/Berlin",
            {Records(kAutumn, At(1, 50, 0), 60, 31, 1), Records(kAutumn, At(2, 40, 0), 60, 61, 2)},
            true,
            {{kGap, 1, At(0, 20, 1), At(0, 39, 59)}}},
        // Files on either side of the repeated hour: the gap holds it too. (UTC: the first
        // file ends at 23:30 the day before.)
        CJoinCase{
            "AcrossAutumnChange",
            "Europe/Berlin",
            {Records(kAutumn, At(0, 30, 0), 60, 61, 1), Records(kAutumn, At(3, 30, 0), 60, 31, 2)},
            true,
            {{kGap, 1, -At(0, 29, 59), At(2, 29, 59)}}}),
    [](const ::testing::TestParamInfo<CJoinCase>& info) { return info.param.szName; });
