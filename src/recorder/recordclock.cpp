#include "recorder/recordclock.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <ctime>
#include <mutex>

namespace {

std::mutex& MktimeMutex()
{
    static std::mutex mutex;
    return mutex;
}

// Calls of mktime by every clock, counted under MktimeMutex().
std::uint64_t& MktimeCalls()
{
    static std::uint64_t nCalls = 0;
    return nCalls;
}

constexpr std::int64_t kDay = 86400;
constexpr std::int64_t kHour = 3600;

// Days since 1970-01-01 of a proleptic Gregorian date (month 1 to 12; day may run past the
// month's end, which carries over exactly as mktime's normalisation does).
std::int64_t DaysFromCivil(std::int64_t y, int m, int d)
{
    y -= m <= 2;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(std::int64_t z, std::int64_t& y, int& m, int& d)
{
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const std::int64_t doe = z - era * 146097;
    const std::int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const std::int64_t mp = (5 * doy + 2) / 153;
    d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    y = yoe + era * 400 + (m <= 2);
}

#if defined(__unix__) || defined(__APPLE__) || defined(_WIN32)
#define TRENDORA_LOCAL_OFFSETS 1
// The span search assumes that a zone's offset never changes twice within this step (the
// tz database keeps changes days apart) and that offsets stay within +-kMaxOffset.
constexpr std::int64_t kProbeStep = 2 * kDay;
constexpr int kProbeSteps = 60;
constexpr std::int64_t kMaxOffset = 30 * kHour;
// Years the arithmetic path serves; others go to mktime.
constexpr int kMaxCachedYear = 100000;
// What OffsetAt gives for an instant the C library cannot convert (Windows' before 1970 and
// after 3000). Such instants lie at the ends of the time line; wall times near them go to
// mktime.
constexpr std::int64_t kNoOffset = INT64_MIN;

// Local time minus UTC at the instant t.
std::int64_t OffsetAt(std::int64_t t)
{
    const time_t tt = static_cast<time_t>(t);
    struct tm tmLocal;
#if defined(_WIN32)
    if (localtime_s(&tmLocal, &tt) != 0)
        return kNoOffset;
    const std::int64_t nWall =
        DaysFromCivil(tmLocal.tm_year + std::int64_t{1900}, tmLocal.tm_mon + 1, tmLocal.tm_mday) *
            kDay +
        tmLocal.tm_hour * kHour + tmLocal.tm_min * 60 + tmLocal.tm_sec;
    return nWall - t;
#else
    if (!localtime_r(&tt, &tmLocal))
        return kNoOffset;
    return tmLocal.tm_gmtoff;
#endif
}

// The first instant after tFrom whose offset differs from nOffset, searching up to the
// probe limit; false if the offset holds throughout.
bool NextChange(std::int64_t tFrom, std::int64_t nOffset, int nDirection, std::int64_t& tChange)
{
    std::int64_t tInside = tFrom;
    for (int i = 1; i <= kProbeSteps; ++i) {
        const std::int64_t tProbe = tFrom + nDirection * i * kProbeStep;
        if (OffsetAt(tProbe) != nOffset) {
            std::int64_t tOutside = tProbe;
            // Bisect to the boundary second between tInside and tOutside.
            while ((tOutside - tInside) * nDirection > 1) {
                const std::int64_t tMid = tInside + (tOutside - tInside) / 2;
                if (OffsetAt(tMid) == nOffset)
                    tInside = tMid;
                else
                    tOutside = tMid;
            }
            tChange = tOutside;
            return true;
        }
        tInside = tProbe;
    }
    return false;
}
#endif

} // namespace

ERecordFault CheckRecordFields(const CRecordFields& f)
{
    if (f.nYear < 1900)
        return ERecordFault::Year;
    if (f.nMonth < 1 || f.nMonth > 12)
        return ERecordFault::Month;
    if (f.nDay < 1 || f.nDay > 31)
        return ERecordFault::Day;
    if (f.nHour < 0 || f.nHour > 23)
        return ERecordFault::Hour;
    if (f.nMinute < 0 || f.nMinute > 59)
        return ERecordFault::Minute;
    if (f.nSecond < 0 || f.nSecond > 59)
        return ERecordFault::Second;
    return ERecordFault::None;
}

ERecordFault RecordTime(CRecordClock& clock, const CRecordFields& fields, std::int64_t& tOut)
{
    const ERecordFault fault = CheckRecordFields(fields);
    if (fault != ERecordFault::None)
        return fault;
    tOut = clock.LocalToTime(fields);
    return tOut == -1 ? ERecordFault::Conversion : ERecordFault::None;
}

CRecordClock::CRecordClock()
{
    tzset();
}

std::int64_t CRecordClock::WallSeconds(const CRecordFields& f)
{
    return DaysFromCivil(f.nYear, f.nMonth, f.nDay) * kDay + f.nHour * kHour + f.nMinute * 60 +
           f.nSecond;
}

bool CRecordClock::CanConvertAlone()
{
#if defined(TRENDORA_LOCAL_OFFSETS)
    return true;
#else
    return false;
#endif
}

std::int64_t CRecordClock::WallOf(const CRecordFields& fields)
{
    if (fields.nDay != m_nLastDay || fields.nMonth != m_nLastMonth || fields.nYear != m_nLastYear) {
        m_nLastYear = fields.nYear;
        m_nLastMonth = fields.nMonth;
        m_nLastDay = fields.nDay;
        m_nLastDays = DaysFromCivil(fields.nYear, fields.nMonth, fields.nDay);
    }
    return m_nLastDays * kDay + fields.nHour * kHour + fields.nMinute * 60 + fields.nSecond;
}

bool CRecordClock::ConvertInSpan([[maybe_unused]] const CRecordFields& fields,
                                 [[maybe_unused]] std::int64_t nWall)
{
#if defined(TRENDORA_LOCAL_OFFSETS)
    if (fields.nYear <= kMaxCachedYear) {
        const bool bInSpan = nWall >= m_nSpanBegin && nWall < m_nSpanEnd;
        const bool bAmbiguous = nWall >= m_nAmbiguousBegin && nWall < m_nAmbiguousEnd;
        return bInSpan || (!bAmbiguous && FindSpan(nWall));
    }
#endif
    return false;
}

std::int64_t CRecordClock::LocalToTime(const CRecordFields& fields)
{
    const std::int64_t nWall = WallOf(fields);
    if (ConvertInSpan(fields, nWall)) {
        m_bHintKnown = true;
        m_bHintFromSpan = true;
        m_bMktimeInStep = m_bMktimeInStep && m_nHintOffset == m_nSpanOffset;
        m_nHintOffset = m_nSpanOffset;
        m_nHintWall = nWall;
        return nWall - m_nSpanOffset;
    }
    // Files read at the same time each have a clock; mktime's hint is the process's, so a
    // clock's priming and its call must not interleave with another's, and a call by another
    // clock since its own leaves the hint unknown.
    const std::lock_guard<std::mutex> lock(MktimeMutex());
    if (m_nOwnMktimeCall != MktimeCalls())
        m_bMktimeInStep = false;
#if defined(__GLIBC__)
    PrimeMktimeHint();
#endif
    return CallMktime(fields, nWall);
}

bool CRecordClock::TryLocalToTime(const CRecordFields& fields, std::int64_t& tOut,
                                  std::int64_t& nWallOut)
{
    nWallOut = WallOf(fields);
    if (!ConvertInSpan(fields, nWallOut))
        return false;
    tOut = nWallOut - m_nSpanOffset;
    return true;
}

bool CRecordClock::GetLastConverted(std::int64_t& nWall, std::int64_t& t) const
{
    if (!m_bHintKnown || !m_bHintFromSpan)
        return false;
    nWall = m_nHintWall;
    t = m_nHintWall - m_nHintOffset;
    return true;
}

void CRecordClock::NoteConverted(std::int64_t nWall, std::int64_t t)
{
    m_bHintKnown = true;
    m_bHintFromSpan = true;
    m_bMktimeInStep = false;
    m_nHintOffset = nWall - t;
    m_nHintWall = nWall;
}

std::int64_t CRecordClock::CallMktime(const CRecordFields& f, std::int64_t nWall)
{
    struct tm tmLocal = {};
    tmLocal.tm_year = f.nYear - 1900;
    tmLocal.tm_mon = f.nMonth - 1;
    tmLocal.tm_mday = f.nDay;
    tmLocal.tm_hour = f.nHour;
    tmLocal.tm_min = f.nMinute;
    tmLocal.tm_sec = f.nSecond;
    tmLocal.tm_isdst = -1;
    const std::int64_t t = static_cast<std::int64_t>(mktime(&tmLocal));
    m_nOwnMktimeCall = ++MktimeCalls();
    // A successful conversion leaves glibc's hint at this result's offset. A failure leaves
    // it alone, and -1 may be either; then the hint is no longer known for certain.
    if (t != -1) {
        m_bHintKnown = true;
        m_bHintFromSpan = false;
        m_bMktimeInStep = true;
        m_nHintOffset = nWall - t;
        m_nHintWall = nWall;
    } else {
        m_bHintKnown = false;
        m_bMktimeInStep = false;
    }
    return t;
}

void CRecordClock::PrimeMktimeHint()
{
    if (!m_bHintKnown || m_bMktimeInStep)
        return;
    // m_nHintWall was answered arithmetically, so its conversion is unambiguous and sets
    // glibc's hint to m_nHintOffset whatever the hint was before.
    CRecordFields prime;
    std::int64_t nDays = m_nHintWall / kDay;
    std::int64_t nSeconds = m_nHintWall % kDay;
    if (nSeconds < 0) {
        nSeconds += kDay;
        --nDays;
    }
    std::int64_t nYear = 0;
    CivilFromDays(nDays, nYear, prime.nMonth, prime.nDay);
    prime.nYear = static_cast<int>(nYear);
    prime.nHour = static_cast<int>(nSeconds / kHour);
    prime.nMinute = static_cast<int>(nSeconds / 60 % 60);
    prime.nSecond = static_cast<int>(nSeconds % 60);
    CallMktime(prime, m_nHintWall);
}

bool CRecordClock::FindSpan(std::int64_t nWall)
{
#if defined(TRENDORA_LOCAL_OFFSETS)
    // Start from the instant that has this wall time under the offset found there, then
    // walk to the neighbouring stretch while the wall time lies beyond the current one.
    const std::int64_t nGuess = OffsetAt(nWall);
    if (nGuess == kNoOffset)
        return false;
    std::int64_t tProbe = nWall - nGuess;
    for (int nTry = 0; nTry < 3; ++nTry) {
        const std::int64_t nOffset = OffsetAt(tProbe);
        if (nOffset == kNoOffset)
            break;
        std::int64_t tPrevChange = 0;
        std::int64_t tNextChange = 0;
        const bool bPrev = NextChange(tProbe, nOffset, -1, tPrevChange);
        const bool bNext = NextChange(tProbe, nOffset, +1, tNextChange);
        // Wall times between the two offsets around a change occur twice or never.
        std::int64_t nBegin = tProbe - kProbeSteps * kProbeStep + kMaxOffset;
        std::int64_t nAmbiguousBefore = nBegin;
        if (bPrev) {
            const std::int64_t tChange = tPrevChange + 1; // first instant at nOffset
            const std::int64_t nOther = OffsetAt(tPrevChange);
            if (nOther == kNoOffset) {
                // Nothing before converts: mktime answers every wall time before a margin.
                nAmbiguousBefore = INT64_MIN / 2;
                nBegin = tChange + nOffset + kMaxOffset;
            } else {
                nAmbiguousBefore = tChange + std::min(nOther, nOffset);
                nBegin = tChange + std::max(nOther, nOffset);
            }
        }
        std::int64_t nEnd = tProbe + kProbeSteps * kProbeStep - kMaxOffset;
        std::int64_t nAmbiguousAfter = nEnd;
        if (bNext) {
            const std::int64_t nOther = OffsetAt(tNextChange);
            if (nOther == kNoOffset) {
                nEnd = tNextChange + nOffset - kMaxOffset;
                nAmbiguousAfter = INT64_MAX / 2;
            } else {
                nEnd = tNextChange + std::min(nOther, nOffset);
                nAmbiguousAfter = tNextChange + std::max(nOther, nOffset);
            }
        }
        if (nWall >= nBegin && nWall < nEnd) {
            m_nSpanBegin = nBegin;
            m_nSpanEnd = nEnd;
            m_nSpanOffset = nOffset;
            return true;
        }
        if (bPrev && nWall >= nAmbiguousBefore && nWall < nBegin) {
            m_nAmbiguousBegin = nAmbiguousBefore;
            m_nAmbiguousEnd = nBegin;
            return false;
        }
        if (bNext && nWall >= nEnd && nWall < nAmbiguousAfter) {
            m_nAmbiguousBegin = nEnd;
            m_nAmbiguousEnd = nAmbiguousAfter;
            return false;
        }
        if (nWall >= nEnd && bNext)
            tProbe = tNextChange;
        else if (nWall < nBegin && bPrev)
            tProbe = tPrevChange;
        else
            break;
    }
#else
    (void)nWall;
#endif
    return false;
}
