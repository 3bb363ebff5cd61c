// The arithmetic of pages, time labels and the cursor readout, free of widgets.
#pragma once

#include <QString>

#include <cstdint>
#include <utility>

// Seconds per pixel of the eight scale choices, in list order.
inline constexpr int kScaleSeconds[8] = {1, 5, 10, 20, 40, 120, 840, 3600};
inline constexpr int kMinSecondsPerPixel = 1;
inline constexpr int kMaxSecondsPerPixel = 3600;

// A whole number typed into a box, as the dialog helpers read it: optional blanks, an optional
// minus sign, digits, optional blanks; anything else, or a number beyond 32 bits, reads as 0.
int ReadWholeNumber(const QString& strText);

// The window of page p (1 for the first) at nWidth pixels and s seconds per pixel: samples
// (p - 1) x W x s to p x W x s, rounded to single precision.
std::pair<float, float> PageWindow(int nPage, int nWidth, int nSecondsPerPixel);

// (n - 1) / (W x s) + 1 in signed 32-bit division; one page for an empty series or a plot of
// no width.
int TotalPages(std::int64_t nSamples, int nWidth, int nSecondsPerPixel);

// The first label's offset from the first sample and the spacing of the seven time labels.
struct CLabelSteps
{
    std::int64_t nBase;
    std::int64_t nStep;
};
CLabelSteps TimeLabelSteps(float fStart, float fEnd);

// t (seconds since 1970-01-01 00:00 UTC) in local time formatted with a strftime pattern;
// empty if it cannot be converted or formatted.
QString FormatLocalTime(std::int64_t t, const char* szFormat);
// tFirst + nOffset in 32-bit arithmetic, widened without sign, formatted as FormatLocalTime.
QString FormatRecordTime(std::uint32_t tFirst, std::int64_t nOffset, const char* szFormat);

// Where the pointer at column x of the plot reads: the second shown and the sample read.
struct CCursorPoint
{
    std::int64_t nTimeOffset; // seconds after the first sample
    std::int64_t nIndex;      // sample index; may be negative or past the end
};
CCursorPoint CursorPoint(int x, int nWidth, float fStart, float fEnd);

// The page at nWidth pixels and s seconds per pixel whose samples (as PageSamples shares them
// out) hold sample nIndex of nSamples; 0 for a sample outside the recording or a plot of no
// width.
int PageOfSample(std::int64_t nIndex, int nWidth, int nSecondsPerPixel, std::int64_t nSamples);

// "%.2f" with a '.' whatever the user's locale.
QString FormatValue(float fValue);

// The samples of the page whose window is fStart to fEnd in a series of nSamples: from the
// first whole sample at or after fStart to the last before fEnd, so the pages of a scale
// share out the recording without overlap. Empty past the end.
std::pair<std::int64_t, std::int64_t> PageSamples(float fStart, float fEnd, std::int64_t nSamples);
