#include "recording/recordingset.h"

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

namespace {

// nCount seconds from tFirst on, Temp PV counting 100, 101, ... so that a sample tells which
// second of its recording it is.
std::shared_ptr<const CRecording> Counting(std::int64_t tFirst, std::int64_t nCount)
{
    auto pRecording = std::make_shared<CRecording>();
    pRecording->SetFirstTime(tFirst);
    for (std::int64_t i = 0; i < nCount; ++i) {
        const float afValues[4] = {100.0f + static_cast<float>(i), 0, 0, 0};
        pRecording->AddHeld(afValues, 1);
    }
    return pRecording;
}

struct CMember
{
    std::int64_t tFirst;
    std::int64_t nCount;
    std::int64_t nOffset;
};

struct CSetCase
{
    const char* szName;
    EAlignment eAlignment;
    std::vector<CMember> members;
    std::pair<std::int64_t, std::int64_t> span;
    std::pair<std::int64_t, std::int64_t> common;
    // Member 1's first sample within the common seconds: its Temp PV and common second.
    float fFirstCommon;
    std::int64_t tFirstCommon;
};

TEST(RecordingSet, PlacesMembersOnOneLine)
{
    const CSetCase cases[] = {
        {"by clock, overlapping",
         EAlignment::ClockTime,
         {{1000, 100, 0}, {1050, 100, 0}},
         {1000, 1150},
         {1050, 1100},
         100,
         1050},
        {"by clock, apart",
         EAlignment::ClockTime,
         {{1000, 10, 0}, {2000, 10, 0}},
         {1000, 2010},
         {2000, 1010},
         100,
         2000},
        {"by starts, a week later",
         EAlignment::Starts,
         {{1000, 100, 0}, {605800, 50, 0}},
         {1000, 1100},
         {1000, 1050},
         100,
         1000},
        {"by starts, shifted back",
         EAlignment::Starts,
         {{1000, 100, 0}, {9000, 100, -30}},
         {970, 1100},
         {1000, 1070},
         130,
         1000},
        {"by clock, shifted forward",
         EAlignment::ClockTime,
         {{1000, 100, 0}, {900, 100, 20}},
         {920, 1100},
         {1000, 1020},
         180,
         1000},
    };
    for (const CSetCase& c : cases) {
        SCOPED_TRACE(c.szName);
        CRecordingSet set;
        set.SetAlignment(c.eAlignment);
        for (const CMember& m : c.members)
            ASSERT_TRUE(set.Add(Counting(m.tFirst, m.nCount), m.nOffset));
        EXPECT_EQ(set.Span(), c.span);
        EXPECT_EQ(set.CommonSeconds(), c.common);
        if (c.common.first < c.common.second) {
            const auto [view, tAt] = set.ViewOf(1, c.common.first, c.common.second);
            EXPECT_EQ(view.GetCount(), c.common.second - c.common.first);
            EXPECT_EQ(tAt, c.tFirstCommon);
            EXPECT_EQ(view.Value(EChannel::TempPV, 0), c.fFirstCommon);
        }
    }
}

TEST(RecordingSet, HoldsSixteenAndRemovesInOrder)
{
    CRecordingSet set;
    for (std::size_t i = 0; i < kMaxRecordings; ++i)
        ASSERT_TRUE(set.Add(Counting(static_cast<std::int64_t>(i), 1)));
    EXPECT_FALSE(set.Add(Counting(99, 1)));
    EXPECT_FALSE(CRecordingSet().Add(nullptr));
    set.Remove(0);
    ASSERT_EQ(set.GetCount(), kMaxRecordings - 1);
    EXPECT_EQ(set.Recording(0).GetFirstTime(), 1);
    // By starts, every member begins where the new member 0 does.
    set.SetAlignment(EAlignment::Starts);
    EXPECT_EQ(set.StartOf(5), 1);
}

} // namespace
