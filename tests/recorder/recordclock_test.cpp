#include "recorder/recordclock.h"

#include "tzguard.h"

#include <gtest/gtest.h>

#include <ctime>
#include <random>
#include <vector>

namespace {

CRecordFields At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    CRecordFields f;
    f.nYear = y;
    f.nMonth = mo;
    f.nDay = d;
    f.nHour = h;
    f.nMinute = mi;
    f.nSecond = s;
    return f;
}

std::int64_t ReferenceMktime(const CRecordFields& f)
{
    struct tm t = {};
    t.tm_year = f.nYear - 1900;
    t.tm_mon = f.nMonth - 1;
    t.tm_mday = f.nDay;
    t.tm_hour = f.nHour;
    t.tm_min = f.nMinute;
    t.tm_sec = f.nSecond;
    t.tm_isdst = -1;
    return static_cast<std::int64_t>(mktime(&t));
}

// mktime keeps the offset of its previous result as a hint that decides overlaps; put it in
// the same state before the reference run and before the clock's run.
void ResetMktimeHint()
{
    ReferenceMktime(At(2000, 1, 15, 12));
}

CRecordFields FromWall(std::int64_t nWall)
{
    const std::tm u = UtcFields(nWall);
    return At(u.tm_year + 1900, u.tm_mon + 1, u.tm_mday, u.tm_hour, u.tm_min, u.tm_sec);
}

// Record sequences that cross every offset change of a year: second by second through the
// days around each change, forwards and backwards, plus random jumps into and out of the
// changes and days past a month's end.
std::vector<CRecordFields> TransitionSequence(int nYear, std::uint32_t nSeed)
{
    std::vector<CRecordFields> records;
    std::vector<std::int64_t> changes;
    const std::int64_t tStart = CRecordClock::WallSeconds(At(nYear, 1, 1)) - 86400;
    const std::int64_t tEnd = CRecordClock::WallSeconds(At(nYear + 1, 1, 1)) + 86400;
    const auto offsetAt = UtcOffsetAt;
    for (std::int64_t t = tStart; t < tEnd; t += 1800)
        if (offsetAt(t) != offsetAt(t + 1800))
            changes.push_back(t);

    std::mt19937 rng(nSeed);
    for (const std::int64_t tChange : changes) {
        const std::int64_t nWallMid = tChange + offsetAt(tChange);
        for (std::int64_t w = nWallMid - 30 * 3600; w < nWallMid + 30 * 3600; w += 61)
            records.push_back(FromWall(w));
        for (std::int64_t w = nWallMid - 4 * 3600; w < nWallMid + 4 * 3600; w += 1)
            records.push_back(FromWall(w));
        for (std::int64_t w = nWallMid + 3 * 3600; w > nWallMid - 3 * 3600; w -= 7)
            records.push_back(FromWall(w));
        for (int i = 0; i < 1000; ++i) {
            const std::int64_t nJump =
                (rng() % 4 == 0) ? static_cast<std::int64_t>(rng() % 400) * 86400 : 0;
            const std::int64_t w = nWallMid + static_cast<std::int64_t>(rng() % 14400) - 7200 +
                                   (rng() % 2 ? nJump : -nJump);
            records.push_back(FromWall(w));
        }
    }
    for (int i = 0; i < 4000; ++i) {
        // Day 29 to 31 of any month, so days past the month's end get normalised.
        records.push_back(At(1900 + static_cast<int>(rng() % 300), 1 + static_cast<int>(rng() % 12),
                             29 + static_cast<int>(rng() % 3), static_cast<int>(rng() % 24),
                             static_cast<int>(rng() % 60), static_cast<int>(rng() % 60)));
    }
    return records;
}

class RecordClockDifferential : public ::testing::TestWithParam<const char*>
{
};

TEST_P(RecordClockDifferential, MatchesMktimeAcrossOffsetChanges)
{
#if defined(_WIN32)
    GTEST_SKIP() << "named zones and years before 1970, which Windows' C library does not convert";
#endif
    CTzGuard tz(GetParam());
    for (const int nYear : {1916, 1996, 2026, 2150}) {
        SCOPED_TRACE(nYear);
        const std::vector<CRecordFields> records = TransitionSequence(nYear, 7u * nYear);
        std::vector<std::int64_t> expected;
        expected.reserve(records.size());
        ResetMktimeHint();
        for (const CRecordFields& f : records)
            expected.push_back(ReferenceMktime(f));

        ResetMktimeHint();
        CRecordClock clock;
        int nMismatches = 0;
        for (std::size_t i = 0; i < records.size() && nMismatches < 5; ++i) {
            const std::int64_t t = clock.LocalToTime(records[i]);
            if (t != expected[i]) {
                ++nMismatches;
                const CRecordFields& f = records[i];
                ADD_FAILURE() << "record " << i << ": " << f.nYear << "-" << f.nMonth << "-"
                              << f.nDay << " " << f.nHour << ":" << f.nMinute << ":" << f.nSecond
                              << " gave " << t << ", mktime " << expected[i];
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Zones, RecordClockDifferential,
                         ::testing::Values("Europe/Berlin", "America/New_York",
                                           "Australia/Lord_Howe", "UTC", "Pacific/Apia",
                                           "Europe/Dublin"),
                         [](const auto& info) {
                             std::string s = info.param;
                             for (char& c : s)
                                 if (c == '/')
                                     c = '_';
                             return s;
                         });

// Away from summer-time changes, in zones every C library reads (Windows' takes TZ only in
// this form), the clock answers without mktime and agrees with it; at the ends of what the
// C library converts (Windows': 1970 to 3000) it leaves the answer to mktime.
TEST(RecordClock, AnswersAloneAwayFromChangesAndAgreesWithMktime)
{
    ASSERT_TRUE(CRecordClock::CanConvertAlone());
    for (const char* szZone : {"UTC0", "CET-1CEST", "EST5EDT"}) {
        SCOPED_TRACE(szZone);
        CTzGuard tz(szZone);
        CRecordClock fast;
        for (const int nYear : {1971, 2000, 2026, 2100, 2999})
            for (const int nMonth : {1, 7})
                for (std::int64_t w = CRecordClock::WallSeconds(At(nYear, nMonth, 10));
                     w < CRecordClock::WallSeconds(At(nYear, nMonth, 12)); w += 29) {
                    std::int64_t t = 0;
                    std::int64_t nWall = 0;
                    ASSERT_TRUE(fast.TryLocalToTime(FromWall(w), t, nWall)) << "wall " << w;
                    ASSERT_EQ(ReferenceMktime(FromWall(w)), t) << "wall " << w;
                }
        // Around the first and last instants Windows' C library converts.
        CRecordClock clock;
        for (const std::int64_t nFrom :
             {std::int64_t{-3 * 86400}, CRecordClock::WallSeconds(At(3000, 12, 29))})
            for (std::int64_t w = nFrom; w < nFrom + 6 * 86400; w += 599)
                ASSERT_EQ(ReferenceMktime(FromWall(w)), clock.LocalToTime(FromWall(w)))
                    << "wall " << w;
    }
}

TEST(RecordTime, RangeChecksNameTheFirstBadField)
{
    CTzGuard tz("UTC");
    CRecordClock clock;
    std::int64_t t = 0;
    EXPECT_EQ(ERecordFault::Year, RecordTime(clock, At(1899, 12, 31), t));
    EXPECT_EQ(ERecordFault::Month, RecordTime(clock, At(2000, 13, 1), t));
    EXPECT_EQ(ERecordFault::Month, RecordTime(clock, At(2000, 0, 0), t)); // an empty line
    EXPECT_EQ(ERecordFault::Day, RecordTime(clock, At(2000, 1, 32), t));
    EXPECT_EQ(ERecordFault::Hour, RecordTime(clock, At(2000, 1, 1, 24), t));
    EXPECT_EQ(ERecordFault::Minute, RecordTime(clock, At(2000, 1, 1, 0, 60), t));
    EXPECT_EQ(ERecordFault::Second, RecordTime(clock, At(2000, 1, 1, 0, 0, 60), t));
#if defined(_WIN32)
    // Windows' mktime converts no time before 1970.
    EXPECT_EQ(ERecordFault::Conversion, RecordTime(clock, At(1900, 1, 1), t));
#else
    EXPECT_EQ(ERecordFault::None, RecordTime(clock, At(1900, 1, 1), t));
    EXPECT_EQ(-2208988800, t);
#endif
}

TEST(RecordTime, DayPastMonthEndCarriesOver)
{
    CTzGuard tz("UTC");
    CRecordClock clock;
    std::int64_t t31 = 0;
    std::int64_t tMay1 = 0;
    ASSERT_EQ(ERecordFault::None, RecordTime(clock, At(2007, 4, 31), t31));
    ASSERT_EQ(ERecordFault::None, RecordTime(clock, At(2007, 5, 1), tMay1));
    EXPECT_EQ(tMay1, t31);
}

TEST(RecordTime, ResultMinusOneIsAFailedConversion)
{
    CTzGuard tz("UTC");
    CRecordClock clock;
    std::int64_t t = 0;
    EXPECT_EQ(ERecordFault::Conversion, RecordTime(clock, At(1969, 12, 31, 23, 59, 59), t));
}

} // namespace
