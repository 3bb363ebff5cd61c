#include "view/paging.h"

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <ctime>
#include <limits>

int ReadWholeNumber(const QString& strText)
{
    const QString s = strText.trimmed();
    int i = 0;
    bool bNegative = false;
    if (i < s.size() && s[i] == QLatin1Char('-')) {
        bNegative = true;
        ++i;
    }
    if (i == s.size())
        return 0;
    std::int64_t n = 0;
    for (; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
        n = n * 10 + (c.unicode() - '0');
        if (n > 2147483648LL)
            return 0;
    }
    if (bNegative)
        n = -n;
    if (n < INT32_MIN || n > INT32_MAX)
        return 0;
    return static_cast<int>(n);
}

std::pair<float, float> PageWindow(int nPage, int nWidth, int nSecondsPerPixel)
{
    const long double span = static_cast<long double>(nWidth) * nSecondsPerPixel;
    const auto p = static_cast<std::uint32_t>(nPage);
    return {static_cast<float>(span * static_cast<std::uint32_t>(p - 1)),
            static_cast<float>(span * p)};
}

int TotalPages(std::int64_t nSamples, int nWidth, int nSecondsPerPixel)
{
    const std::int64_t nPerPage = static_cast<std::int64_t>(nWidth) * nSecondsPerPixel;
    if (nPerPage <= 0)
        return 1;
    return static_cast<int>((nSamples - 1) / nPerPage + 1);
}

CLabelSteps TimeLabelSteps(float fStart, float fEnd)
{
    const double step = std::trunc((static_cast<double>(fEnd) - fStart) / 6.0);
    return {static_cast<std::int64_t>(std::trunc(static_cast<double>(fStart))),
            static_cast<std::int64_t>(step)};
}

QString FormatRecordTime(std::uint32_t tFirst, std::int64_t nOffset, const char* szFormat)
{
    return FormatLocalTime(tFirst + static_cast<std::uint32_t>(nOffset), szFormat);
}

QString FormatLocalTime(std::int64_t tTime, const char* szFormat)
{
    if constexpr (sizeof(std::time_t) < sizeof(std::int64_t)) {
        if (tTime < std::numeric_limits<std::time_t>::min() ||
            tTime > std::numeric_limits<std::time_t>::max())
            return QString();
    }
    const std::time_t t = static_cast<std::time_t>(tTime);
    struct tm tmLocal;
#if defined(_WIN32)
    if (localtime_s(&tmLocal, &t) != 0)
        return QString();
#else
    if (!localtime_r(&t, &tmLocal))
        return QString();
#endif
    char sz[128];
    const std::size_t n = std::strftime(sz, sizeof sz, szFormat, &tmLocal);
    return n == 0 ? QString() : QString::fromLocal8Bit(sz, static_cast<qsizetype>(n));
}

CCursorPoint CursorPoint(int x, int nWidth, float fStart, float fEnd)
{
    const float spp = nWidth != 0 ? (fEnd - fStart) / static_cast<float>(nWidth) : 0.0f;
    // The last column of a 720-pixel plot shows the window's end, like the last time label.
    const long long nEnd = static_cast<long long>(std::trunc(fEnd));
    int c = x;
    if (nEnd != 0 && ((static_cast<long long>(x) + 1) % nEnd) % 720 == 0)
        c = x + 1;
    auto at = [&](int col) {
        const long double v = static_cast<long double>(col) * spp + fStart;
        if (!(v > -9.2e18L && v < 9.2e18L))
            return std::int64_t(-1);
        return static_cast<std::int64_t>(std::trunc(v));
    };
    return {at(c), at(x)};
}

QString FormatValue(float fValue)
{
    char sz[64];
    const auto [p, ec] =
        std::to_chars(sz, sz + sizeof sz, static_cast<double>(fValue), std::chars_format::fixed, 2);
    if (ec != std::errc())
        return QString();
    return QString::fromLatin1(sz, p - sz);
}

std::pair<std::int64_t, std::int64_t> PageSamples(float fStart, float fEnd, std::int64_t nSamples)
{
    auto sample = [nSamples](float f) {
        const double d = std::ceil(static_cast<double>(f));
        if (!(d > 0.0))
            return std::int64_t(0);
        return d >= static_cast<double>(nSamples) ? nSamples : static_cast<std::int64_t>(d);
    };
    const std::int64_t nBegin = sample(fStart);
    return {nBegin, std::max(nBegin, sample(fEnd))};
}

int PageOfSample(std::int64_t nIndex, int nWidth, int nSecondsPerPixel, std::int64_t nSamples)
{
    const std::int64_t nPerPage = static_cast<std::int64_t>(nWidth) * nSecondsPerPixel;
    if (nIndex < 0 || nIndex >= nSamples || nPerPage <= 0)
        return 0;
    // Far into a long recording the pages' windows are rounded to single precision, which
    // may move a boundary by a few seconds.
    const std::int64_t nPage = nIndex / nPerPage + 1;
    for (const std::int64_t p : {nPage, nPage - 1, nPage + 1}) {
        if (p < 1 || p > INT_MAX)
            continue;
        const auto [fStart, fEnd] = PageWindow(static_cast<int>(p), nWidth, nSecondsPerPixel);
        const auto [nBegin, nEnd] = PageSamples(fStart, fEnd, nSamples);
        if (nIndex >= nBegin && nIndex < nEnd)
            return static_cast<int>(p);
    }
    return static_cast<int>(std::min<std::int64_t>(nPage, INT_MAX));
}
