#include "recorder/recorderloader.h"
#include "recording/recording.h"
#include "recording/sha256.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

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
    for (int c = 0; c < kChannelCount; ++c) {
        EXPECT_EQ(afFirst[c], whole.Channel(kChannels[c])[0]) << "channel " << c;
        EXPECT_EQ(afFirst[c], recording.Samples(kChannels[c])[0]) << "channel " << c;
    }
    EXPECT_EQ(6.0f, whole.pTempSV[1]) << "a gap takes the values of the record that ends it";

    const struct
    {
        std::int64_t nBegin, nEnd, nCount;
        float fFirstHumiSV;
    } stretches[] = {{1, 3, 2, 8.0f}, {-5, 1, 1, 4.5f}, {2, 99, 1, 8.0f}, {3, 9, 0, 0.0f}};
    for (const auto& s : stretches) {
        const CRecordingView view = recording.View(s.nBegin, s.nEnd);
        EXPECT_EQ(s.nCount, view.nCount) << s.nBegin << "-" << s.nEnd;
        if (view.nCount > 0) {
            EXPECT_EQ(s.fFirstHumiSV, view.pHumiSV[0]) << s.nBegin << "-" << s.nEnd;
        }
    }
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
