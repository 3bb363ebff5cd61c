#include "view/paging.h"

#include "../recorder/localeguard.h"
#include "../recorder/tzguard.h"

#include <gtest/gtest.h>

#include <clocale>

namespace {

TEST(Paging, PageWindowCoversWidthTimesSecondsPerPixel)
{
    EXPECT_EQ(std::make_pair(0.0f, 720.0f), PageWindow(1, 720, 1));
    EXPECT_EQ(std::make_pair(1440.0f, 2160.0f), PageWindow(3, 720, 1));
    EXPECT_EQ(std::make_pair(86400.0f, 172800.0f), PageWindow(2, 720, 120));
    EXPECT_EQ(std::make_pair(0.0f, 2592000.0f), PageWindow(1, 720, 3600));
    // Ends are single precision: beyond 2^24 they fall on multiples of two.
    EXPECT_EQ(16777216.0f, PageWindow(2, 16777217, 1).first);
}

TEST(Paging, TotalPagesTruncatesTowardZero)
{
    EXPECT_EQ(1, TotalPages(0, 720, 1));
    EXPECT_EQ(1, TotalPages(720, 720, 1));
    EXPECT_EQ(2, TotalPages(721, 720, 1));
    EXPECT_EQ(2, TotalPages(86401, 720, 120));
    EXPECT_EQ(1, TotalPages(86400, 720, 120));
    EXPECT_EQ(1, TotalPages(1000, 0, 1)); // a plot of no width never divides by zero
}

// Far into a year the windows' ends are rounded to single precision, so the page of a sample
// is not simply its index over the page's span: every sample must land on the page that shows
// it, and none outside the recording on any.
TEST(Paging, PageOfSampleIsThePageWhoseSamplesHoldIt)
{
    const std::int64_t nYear = 365LL * 86400;
    for (const int w : {720, 721}) {
        for (const int s : {1, 5, 840}) {
            const std::int64_t nSpan = std::int64_t{w} * s;
            for (const std::int64_t nBoundary :
                 {nSpan, 39999 * nSpan / s, (nYear / nSpan - 1) * nSpan}) {
                for (std::int64_t i = nBoundary - 3; i <= nBoundary + 3; ++i) {
                    const int nPage = PageOfSample(i, w, s, nYear);
                    ASSERT_GT(nPage, 0) << i;
                    const auto [fStart, fEnd] = PageWindow(nPage, w, s);
                    const auto [nBegin, nEnd] = PageSamples(fStart, fEnd, nYear);
                    EXPECT_TRUE(i >= nBegin && i < nEnd)
                        << "sample " << i << " at " << w << " px, " << s << " s/px";
                }
            }
        }
    }
    EXPECT_EQ(0, PageOfSample(-1, 720, 1, nYear));
    EXPECT_EQ(0, PageOfSample(nYear, 720, 1, nYear));
    EXPECT_EQ(0, PageOfSample(5, 0, 1, nYear));
}

TEST(Paging, TimeLabelsAreSixEqualStepsOfTheWindow)
{
    const CLabelSteps steps = TimeLabelSteps(1440.0f, 2160.0f);
    EXPECT_EQ(1440, steps.nBase);
    EXPECT_EQ(120, steps.nStep);
    EXPECT_EQ(1440 + 6 * 120, steps.nBase + 6 * steps.nStep);
    EXPECT_EQ(14400, TimeLabelSteps(0.0f, 86400.0f).nStep);
    EXPECT_EQ(1, TimeLabelSteps(0.0f, 11.0f).nStep); // 11 / 6 truncated
}

TEST(Paging, RecordTimeWrapsIn32BitsAndFormatsLocalTime)
{
    CTzGuard tz("UTC");
    EXPECT_EQ("2026-03-01", FormatRecordTime(1772323200u, 0, "%Y-%m-%d"));
    EXPECT_EQ("00:24:00", FormatRecordTime(1772323200u, 1440, "%H:%M:%S"));
    // The sum wraps like the 32-bit count it is, then widens without sign.
    EXPECT_EQ("1970-01-01 00:00:04", FormatRecordTime(0xFFFFFFFFu, 5, "%Y-%m-%d %H:%M:%S"));
    EXPECT_EQ("2106-02-07", FormatRecordTime(0xFFFFFF00u, 0, "%Y-%m-%d"));
}

TEST(Paging, WholeNumberOrZero)
{
    const struct
    {
        const char* sz;
        int n;
    } cases[] = {{"1", 1},          {" 42 ", 42},
                 {"-3", -3},        {"", 0},
                 {"abc", 0},        {"12abc", 0},
                 {"+5", 0},         {"2147483647", 2147483647},
                 {"2147483648", 0}, {"-2147483648", INT32_MIN},
                 {"1 2", 0},        {"-", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(c.n, ReadWholeNumber(QString::fromLatin1(c.sz))) << '"' << c.sz << '"';
}

TEST(CursorReadout, LastColumnShowsTheWindowsEnd)
{
    // 1 s per pixel, page 1: x = 719 reads sample 719 at the time of sample 720.
    const CCursorPoint last = CursorPoint(719, 720, 0.0f, 720.0f);
    EXPECT_EQ(719, last.nIndex);
    EXPECT_EQ(720, last.nTimeOffset);
    const CCursorPoint first = CursorPoint(0, 720, 0.0f, 720.0f);
    EXPECT_EQ(0, first.nIndex);
    EXPECT_EQ(0, first.nTimeOffset);
    // Page 2: the last column again shows the end, 1440.
    EXPECT_EQ(1440, CursorPoint(719, 720, 720.0f, 1440.0f).nTimeOffset);
}

TEST(CursorReadout, ScaledColumnsAndAZeroWindow)
{
    const CCursorPoint pt = CursorPoint(10, 720, 0.0f, 86400.0f); // 120 s per pixel
    EXPECT_EQ(1200, pt.nIndex);
    EXPECT_EQ(1200, pt.nTimeOffset);
    const CCursorPoint zero = CursorPoint(5, 720, 0.0f, 0.0f); // no division by zero
    EXPECT_EQ(0, zero.nIndex);
}

TEST(CursorReadout, ValuesUseAPointWhateverTheLocale)
{
    EXPECT_EQ("-5.01", FormatValue(-5.006f));
    EXPECT_EQ("21.53", FormatValue(21.53f));
    EXPECT_EQ("0.00", FormatValue(0.0f));
    CLocaleGuard locale;
    if (locale.Use("de_DE.UTF-8")) {
        EXPECT_EQ("21.53", FormatValue(21.53f));
    }
}

} // namespace
