#include "recorder/recorderloader.h"
#include "recorder/recordseries.h"
#include "recording/recording.h"
#include "recording/sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct CShaCase
{
    const char* szName;
    std::string strInput;
    std::size_t nPiece; // bytes added at a time
    const char* szDigest;
};

// The FIPS 180-4 examples, fed in pieces that cross the 64-byte blocks in every way.
TEST(Sha256, DigestsOfTheStandardsExamplesInAnyPieces)
{
    const std::string strTwoBlocks = "abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq";
    const std::string strMillion(1000000, 'a');
    const CShaCase cases[] = {
        {"empty", "", 1, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
        {"abc", "abc", 1, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
        {"two blocks", strTwoBlocks, 7,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"two blocks whole", strTwoBlocks, 1000,
         "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
        {"a million a", strMillion, 61,
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
        {"a million a at once", strMillion, strMillion.size(),
         "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
    };
    for (const CShaCase& c : cases) {
        CSha256 hash;
        for (std::size_t i = 0; i < c.strInput.size(); i += c.nPiece)
            hash.Add(c.strInput.data() + i, std::min(c.nPiece, c.strInput.size() - i));
        EXPECT_EQ(c.szDigest, hash.HexDigest()) << c.szName;
    }
}

// Each column of the file lands in its own channel, and a stretch is clamped to the samples.
TEST(Recording, ChannelsInTheFilesOrderAndStretchesClamped)
{
    const CLoadResult result = LoadRecorderData("Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"
                                                "2026/03/01,00:00:00,1.5,2.5,3.5,4.5\r\n"
                                                "2026/03/01,00:00:02,5,6,7,8\r\n");
    ASSERT_EQ(CLoadResult::EStatus::Loaded, result.status);
    const CRecording& recording = result.recording;
    ASSERT_EQ(3, recording.GetCount());
    const CRecordingView whole = recording.View();
    const float afFirst[] = {1.5f, 2.5f, 3.5f, 4.5f};
    for (int c = 0; c < kChannelCount; ++c)
        EXPECT_EQ(afFirst[c], whole.Value(kChannels[c], 0)) << "channel " << c;
    EXPECT_EQ(6.0f, whole.Value(EChannel::TempSV, 1))
        << "a gap takes the values of the record that ends it";

    const struct
    {
        std::int64_t nBegin, nEnd, nCount;
        float fFirstHumiSV;
    } stretches[] = {{1, 3, 2, 8.0f}, {-5, 1, 1, 4.5f}, {2, 99, 1, 8.0f}, {3, 9, 0, 0.0f}};
    for (const auto& s : stretches) {
        const CRecordingView view = recording.View(s.nBegin, s.nEnd);
        EXPECT_EQ(s.nCount, view.nCount) << s.nBegin << "-" << s.nEnd;
        if (view.nCount > 0) {
            EXPECT_EQ(s.fFirstHumiSV, view.Value(EChannel::HumiSV, 0)) << s.nBegin << "-" << s.nEnd;
        }
    }
}

// Records as (time, value) pairs; every channel of a record holds value + channel / 8.
using CRecordTimes = std::vector<std::pair<std::int64_t, float>>;

std::vector<float> Built(const CRecordTimes& records, CRecording& recording)
{
    CSeriesBuilder builder(recording);
    for (std::size_t k = 0; k < records.size(); ++k) {
        const float f = records[k].second;
        const float afValues[4] = {f, f + 0.125f, f + 0.25f, f + 0.375f};
        const EAppendStatus status = k == 0 ? builder.AppendFirstAt(records[k].first, afValues)
                                            : builder.AppendAt(records[k].first, afValues);
        EXPECT_EQ(EAppendStatus::Appended, status) << "record " << k;
    }
    // The plain expansion of channel 0: a record fills its gap and its own second.
    std::vector<float> expected;
    std::int64_t tCursor = 0;
    for (std::size_t k = 0; k < records.size(); ++k) {
        const auto [t, f] = records[k];
        if (k > 0 && t <= tCursor)
            continue;
        expected.insert(expected.end(), k == 0 ? 1 : static_cast<std::size_t>(t - tCursor), f);
        tCursor = t;
    }
    return expected;
}

// However a recording stores its records, every way of reading it gives the per-second series.
TEST(Recording, ValueRunsAndCopiesAgreeWithThePerSecondExpansion)
{
    const struct
    {
        const char* szName;
        CRecordTimes records;
    } cases[] = {
        {"dense", {{100, 1}, {101, 2}, {102, 3}, {103, 4}}},
        {"gaps of 1 to 5 s", {{0, 1}, {1, 2}, {3, 3}, {6, 4}, {10, 5}, {15, 6}, {16, 7}}},
        {"long gaps", {{0, 1}, {600, 2}, {1200, 3}, {1201, 4}, {1202, 5}, {90000, 6}}},
        {"a repeated time", {{0, 1}, {10, 2}, {10, 3}, {11, 4}, {11, 5}, {30, 6}}},
        {"a time going back", {{0, 1}, {50, 2}, {20, 3}, {51, 4}, {49, 5}, {60, 6}}},
        {"a long gap at the start", {{0, 1}, {3600, 2}, {3601, 3}, {3602, 4}}},
        {"a long gap at the end", {{0, 1}, {1, 2}, {2, 3}, {7200, 4}}},
        {"a single record", {{5, 1}}},
        {"alternating 1 s and 10 s", {{0, 1}, {1, 2}, {11, 3}, {12, 4}, {22, 5}, {23, 6}}},
    };
    for (const auto& c : cases) {
        CRecording recording;
        const std::vector<float> expected = Built(c.records, recording);
        const std::int64_t n = static_cast<std::int64_t>(expected.size());
        ASSERT_EQ(n, recording.GetCount()) << c.szName;
        const CRecordingView view = recording.View();
        for (int ch = 0; ch < kChannelCount; ++ch) {
            const float fOffset = 0.125f * static_cast<float>(ch);
            std::vector<float> values, runs(expected.size(), -99.0f);
            for (std::int64_t i = 0; i < n; ++i)
                values.push_back(view.Value(kChannels[ch], i) - fOffset);
            EXPECT_EQ(expected, values) << c.szName << ", Value, channel " << ch;
            std::int64_t nNext = 0;
            view.ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds,
                                const float* const apValues[4], bool bHeld) {
                EXPECT_EQ(nNext, nFirst) << c.szName;
                for (std::int64_t i = 0; i < nSeconds; ++i)
                    runs[nFirst + i] = apValues[ch][bHeld ? 0 : i] - fOffset;
                nNext = nFirst + nSeconds;
            });
            EXPECT_EQ(n, nNext) << c.szName;
            EXPECT_EQ(expected, runs) << c.szName << ", ForEachRun, channel " << ch;
            for (std::int64_t nBegin = 0; nBegin < n; nBegin += std::max<std::int64_t>(1, n / 7)) {
                const std::int64_t nEnd = nBegin + (n - nBegin + 1) / 2;
                std::vector<float> copy(static_cast<std::size_t>(nEnd - nBegin));
                view.CopyOut(kChannels[ch], nBegin, nEnd, copy.data());
                for (float& f : copy)
                    f -= fOffset;
                EXPECT_EQ(std::vector<float>(expected.begin() + nBegin, expected.begin() + nEnd),
                          copy)
                    << c.szName << ", CopyOut " << nBegin << "-" << nEnd << ", channel " << ch;
                EXPECT_EQ(expected[static_cast<std::size_t>(nBegin)] + fOffset,
                          view.Stretch(nBegin, nEnd).Value(kChannels[ch], 0))
                    << c.szName;
            }
        }
    }
}

// Three years of records ten minutes apart hold their records, not their seconds; a month a
// second apart its seconds.
TEST(Recording, MemoryFollowsRecordsNotSeconds)
{
    CRecordTimes sparse;
    for (std::int64_t k = 0; k < 3 * 365 * 144; ++k)
        sparse.push_back({k * 600, static_cast<float>(k % 1000)});
    CRecording recording;
    Built(sparse, recording);
    EXPECT_EQ(3 * 365 * 144 * 600 - 599, recording.GetCount());
    EXPECT_LT(recording.GetMemoryBytes(), 64 * static_cast<std::int64_t>(sparse.size()));

    CRecordTimes dense;
    for (std::int64_t k = 0; k < 86400; ++k)
        dense.push_back({k, 1.0f});
    CRecording day;
    Built(dense, day);
    EXPECT_LE(day.GetMemoryBytes(), 18 * 86400);
}

// The file a report names is the file that was read: read again, or refused when it changed
// or is gone.
TEST(Recording, SourceHashIsOfTheFileAsItWasRead)
{
    const std::filesystem::path path =
        std::filesystem::temp_directory_path() / "trendora-recording-test.csv";
    const std::string strText = "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV\r\n"
                                "2026/03/01,00:00:00,1,2,3,4\r\n";
    std::ofstream(path, std::ios::binary) << strText;
    const CLoadResult result = LoadRecorderFile(path);
    ASSERT_EQ(CLoadResult::EStatus::Loaded, result.status);
    EXPECT_EQ("trendora-recording-test.csv", result.recording.GetSourceName());
    EXPECT_EQ(strText.size(), result.recording.GetSource().nSize);
    CSha256 expected;
    expected.Add(strText.data(), strText.size());
    std::string strError;
    EXPECT_EQ(expected.HexDigest(), result.recording.SourceSha256(strError));

    std::ofstream(path, std::ios::binary | std::ios::app) << "2026/03/01,00:00:01,1,2,3,4\r\n";
    EXPECT_EQ("", result.recording.SourceSha256(strError));
    EXPECT_NE(std::string::npos, strError.find("changed")) << strError;
    std::filesystem::remove(path);
    strError.clear();
    EXPECT_EQ("", result.recording.SourceSha256(strError));
    EXPECT_FALSE(strError.empty());

    strError.clear();
    EXPECT_EQ("", LoadRecorderData(strText).recording.SourceSha256(strError));
    EXPECT_FALSE(strError.empty()) << "a recording read from memory has no file to read";
}

} // namespace
