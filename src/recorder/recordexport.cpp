#include "recorder/recordexport.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <ctime>

namespace {

constexpr std::size_t kPieceBytes = 1 << 20;
// A record is at most 20 bytes of time and four values of at most 15 bytes each.
constexpr std::size_t kMaxRecordBytes = 128;

bool LocalFields(std::int64_t t, std::tm& out)
{
    const std::time_t tt = static_cast<std::time_t>(t);
    if (static_cast<std::int64_t>(tt) != t)
        return false;
#if defined(_WIN32)
    return localtime_s(&out, &tt) == 0;
#else
    return localtime_r(&tt, &out) != nullptr;
#endif
}

// Local calendar fields of consecutive seconds: the rest of a wall-clock hour is converted at
// its ends, and the seconds between follow arithmetically. Where the two ends agree, the UTC
// offset cannot have changed between them (offsets never change twice within an hour); where
// they do not, the rest of the minute is tried the same way, and then the second alone.
class CLocalClock
{
public:
    bool Get(std::int64_t t, std::tm& out)
    {
        if (t < m_tBegin || t >= m_tEnd) {
            if (!LocalFields(t, m_tm))
                return false;
            m_tBegin = t;
            m_tEnd = t + 1;
            const int nIntoHour = m_tm.tm_min * 60 + m_tm.tm_sec;
            for (const int nLeft : {3599 - nIntoHour, 59 - m_tm.tm_sec}) {
                if (nLeft > 0 && Agrees(t + nLeft, nIntoHour + nLeft)) {
                    m_tEnd = t + nLeft + 1;
                    break;
                }
            }
        }
        const int nIntoHour = m_tm.tm_min * 60 + m_tm.tm_sec + static_cast<int>(t - m_tBegin);
        out = m_tm;
        out.tm_min = nIntoHour / 60;
        out.tm_sec = nIntoHour % 60;
        return true;
    }

private:
    // Whether t shows the wall clock of the hour of m_tm at nIntoHour seconds into it.
    bool Agrees(std::int64_t t, int nIntoHour) const
    {
        std::tm tm{};
        return LocalFields(t, tm) && tm.tm_year == m_tm.tm_year && tm.tm_mon == m_tm.tm_mon &&
               tm.tm_mday == m_tm.tm_mday && tm.tm_hour == m_tm.tm_hour &&
               tm.tm_min * 60 + tm.tm_sec == nIntoHour;
    }

    std::int64_t m_tBegin = 0;
    std::int64_t m_tEnd = 0;
    std::tm m_tm{};
};

char* Digits(char* p, int nValue, int nWidth)
{
    for (int i = nWidth - 1; i >= 0; --i) {
        p[i] = static_cast<char>('0' + nValue % 10);
        nValue /= 10;
    }
    return p + nWidth;
}

// Recorders write two decimals. Below 1000 such a value has at most five significant digits,
// and decimals of up to six name distinct floats, so where its two-decimal text (without
// trailing zeros) reads back as the float, no shorter text does: it is what to_chars gives,
// without to_chars' search for the shortest digits.
char* Value(char* p, char* pEnd, float fValue)
{
    *p++ = ',';
    if (std::fabs(fValue) < 1000.0f) {
        const long nHundredths = std::lround(static_cast<double>(fValue) * 100.0);
        // The quotient is the double nearest the decimal, and no two-decimal number lies close
        // enough to a float's rounding boundary for its rounding to float to differ from
        // reading the text.
        if (std::bit_cast<std::uint32_t>(static_cast<float>(nHundredths / 100.0)) ==
            std::bit_cast<std::uint32_t>(fValue)) {
            long n = nHundredths;
            if (n < 0) {
                *p++ = '-';
                n = -n;
            }
            p = std::to_chars(p, pEnd, n / 100).ptr;
            const int nCents = static_cast<int>(n % 100);
            if (nCents != 0) {
                *p++ = '.';
                *p++ = static_cast<char>('0' + nCents / 10);
                if (nCents % 10 != 0)
                    *p++ = static_cast<char>('0' + nCents % 10);
            }
            return p;
        }
    }
    return std::to_chars(p, pEnd, fValue).ptr;
}

} // namespace

std::int64_t ExportRecordCount(std::int64_t nBegin, std::int64_t nEnd, std::int64_t nInterval,
                               std::int64_t nCount)
{
    nBegin = std::max<std::int64_t>(nBegin, 0);
    nEnd = std::min(nEnd, nCount);
    if (nEnd <= nBegin)
        return 0;
    nInterval = std::max<std::int64_t>(nInterval, 1);
    return (nEnd - nBegin - 1) / nInterval + 1;
}

EExportStatus WriteRecorderExport(const CRecordingView& series, std::int64_t tFirst,
                                  std::int64_t nBegin, std::int64_t nEnd, std::int64_t nInterval,
                                  const ExportWriter& write, const ExportCancel& cancelled)
{
    nInterval = std::max<std::int64_t>(nInterval, 1);
    nBegin = std::max<std::int64_t>(nBegin, 0);
    nEnd = std::min(nEnd, series.GetCount());
    std::string buffer;
    buffer.reserve(kPieceBytes + kMaxRecordBytes);
    buffer.append(kRecorderHeader);
    buffer.append("\r\n");
    CLocalClock clock;
    std::int64_t nDone = 0;
    char record[kMaxRecordBytes];
    EExportStatus status = EExportStatus::Written;
    // Sample i of the recording, its values in channel order; false stops the export.
    const auto writeLine = [&](std::int64_t i, const float afValues[4]) {
        std::tm tm{};
        if (!clock.Get(tFirst + i, tm)) {
            status = EExportStatus::BadTime;
            return false;
        }
        char* p = record;
        char* const pEnd = record + sizeof record;
        const int nYear = tm.tm_year + 1900;
        p = nYear >= 1000 && nYear <= 9999 ? Digits(p, nYear, 4)
                                           : std::to_chars(p, pEnd, nYear).ptr;
        *p++ = '/';
        p = Digits(p, tm.tm_mon + 1, 2);
        *p++ = '/';
        p = Digits(p, tm.tm_mday, 2);
        *p++ = ',';
        p = Digits(p, tm.tm_hour, 2);
        *p++ = ':';
        p = Digits(p, tm.tm_min, 2);
        *p++ = ':';
        p = Digits(p, tm.tm_sec, 2);
        for (int c = 0; c < kChannelCount; ++c)
            p = Value(p, pEnd, afValues[c]);
        *p++ = '\r';
        *p++ = '\n';
        buffer.append(record, static_cast<std::size_t>(p - record));
        ++nDone;
        if (buffer.size() >= kPieceBytes) {
            if (cancelled && cancelled(nDone)) {
                status = EExportStatus::Cancelled;
                return false;
            }
            if (!write(buffer)) {
                status = EExportStatus::WriteFailed;
                return false;
            }
            buffer.clear();
        }
        return true;
    };
    // Every nInterval-th second from nBegin on, run by run: a held run's values are the same
    // on each of its lines.
    series.Stretch(nBegin, nEnd)
        .ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds, const float* const apValues[4],
                        bool bHeld) {
            const std::int64_t nFrom = (nFirst + nInterval - 1) / nInterval * nInterval;
            for (std::int64_t j = nFrom; j < nFirst + nSeconds; j += nInterval) {
                const std::int64_t k = bHeld ? 0 : j - nFirst;
                const float afValues[4] = {apValues[0][k], apValues[1][k], apValues[2][k],
                                           apValues[3][k]};
                if (!writeLine(nBegin + j, afValues))
                    return false;
            }
            return true;
        });
    if (status != EExportStatus::Written)
        return status;
    if (cancelled && cancelled(nDone))
        return EExportStatus::Cancelled;
    return write(buffer) ? EExportStatus::Written : EExportStatus::WriteFailed;
}

std::string FormatRecorderExport(const CRecordingView& series, std::int64_t tFirst,
                                 std::int64_t nBegin, std::int64_t nEnd, std::int64_t nInterval)
{
    std::string text;
    const EExportStatus status =
        WriteRecorderExport(series, tFirst, nBegin, nEnd, nInterval, [&](std::string_view piece) {
            text.append(piece);
            return true;
        });
    return status == EExportStatus::Written ? text : std::string();
}
