#include "recorder/recordseries.h"

#include <algorithm>
#include <cstdint>

#if defined(_WIN32)
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

constexpr std::int64_t kBytesPerSample = 4 * sizeof(float);
constexpr int kGrowBy = 65536;

std::int64_t PhysicalMemoryBytes()
{
#if defined(_WIN32)
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    if (GlobalMemoryStatusEx(&status))
        return static_cast<std::int64_t>(status.ullTotalPhys);
    return INT64_MAX;
#else
    const long nPages = sysconf(_SC_PHYS_PAGES);
    const long nPageSize = sysconf(_SC_PAGE_SIZE);
    if (nPages <= 0 || nPageSize <= 0)
        return INT64_MAX;
    return static_cast<std::int64_t>(nPages) * nPageSize;
#endif
}

} // namespace

// Samples a fill writes between two questions to the cancel check: 16 MiB, about a
// millisecond.
constexpr std::int64_t kCheckEvery = 1 << 20;

std::int64_t CSeriesBuilder::MaxSamples()
{
    return std::min<std::int64_t>(INT32_MAX, PhysicalMemoryBytes() / kBytesPerSample);
}

CSeriesBuilder::CSeriesBuilder(CRecording& recording, std::int64_t nMaxSamples)
    : m_recording(recording), m_nMaxSamples(std::min(nMaxSamples, MaxSamples()))
{
    // A lowered limit also bounds the first reservation, so that it bounds the memory taken.
    const int nGrowBy = static_cast<int>(std::min<std::int64_t>(kGrowBy, m_nMaxSamples));
    for (EChannel eChannel : kChannels)
        recording.DenseSamples(eChannel).SetGrowBy(nGrowBy);
}

namespace {

void ValuesOf(const CRecordFields& fields, float afValues[4])
{
    afValues[0] = fields.fTempPV;
    afValues[1] = fields.fTempSV;
    afValues[2] = fields.fHumiPV;
    afValues[3] = fields.fHumiSV;
}

} // namespace

EAppendStatus CSeriesBuilder::AppendFirstRecord(const CRecordFields& fields)
{
    std::int64_t t = 0;
    m_fault = RecordTime(m_clock, fields, t);
    if (m_fault != ERecordFault::None)
        return EAppendStatus::InvalidRecord;
    float afValues[4];
    ValuesOf(fields, afValues);
    return AppendFirstAt(t, afValues);
}

EAppendStatus CSeriesBuilder::AppendRecord(const CRecordFields& fields)
{
    std::int64_t t = 0;
    m_fault = RecordTime(m_clock, fields, t);
    if (m_fault != ERecordFault::None)
        return EAppendStatus::InvalidRecord;
    float afValues[4];
    ValuesOf(fields, afValues);
    return AppendAt(t, afValues);
}

EAppendStatus CSeriesBuilder::AppendFirstAt(std::int64_t t, const float afValues[4])
{
    const EAppendStatus status = Append(afValues, 1);
    if (status == EAppendStatus::Appended) {
        m_tFirst = t;
        m_tCursor = t;
        m_recording.SetFirstTime(t);
    }
    return status;
}

EAppendStatus CSeriesBuilder::AppendAt(std::int64_t t, const float afValues[4])
{
    // A repeated time, or one that goes back, adds nothing.
    if (t <= m_tCursor) {
        ++m_nBehind;
        return EAppendStatus::Appended;
    }
    const EAppendStatus status = Append(afValues, t - m_tCursor);
    if (status == EAppendStatus::Appended)
        m_tCursor = t;
    return status;
}

EAppendStatus CSeriesBuilder::Append(const float afValues[4], std::int64_t nCount)
{
    const std::int64_t nSize = m_recording.GetCount();
    // Refused before anything is allocated: a recorder's clock set a century ahead must not
    // exhaust the machine.
    if (nCount > m_nMaxSamples - nSize) {
        m_nRefusedCount = nSize + nCount;
        return EAppendStatus::SpanTooLong;
    }
    if (nCount > kHeldAfter && nSize > 0) {
        if (!m_recording.AddHeld(afValues, nCount))
            return EAppendStatus::OutOfMemory;
        return GoOn(nCount) ? EAppendStatus::Appended : EAppendStatus::Cancelled;
    }
    CFloatArray* const arrays[] = {
        &m_recording.DenseSamples(EChannel::TempPV), &m_recording.DenseSamples(EChannel::TempSV),
        &m_recording.DenseSamples(EChannel::HumiPV), &m_recording.DenseSamples(EChannel::HumiSV)};
    const std::int64_t nDense = arrays[0]->GetSize();
    // Room in all four first, so that a failure leaves them the same length.
    for (CFloatArray* pArray : arrays)
        if (!pArray->ReserveMore(nSize + nCount - nDense))
            return EAppendStatus::OutOfMemory;
    if (nDense == nSize) {
        // Going on from dense samples, the common case of one record a second.
        for (int i = 0; i < 4; ++i)
            arrays[i]->AddRepeated(afValues[i], nCount);
    } else {
        // After a held stretch: its dense pages stay untouched, and so does the room ahead
        // of these few samples until records come a second apart again.
        for (int i = 0; i < 4; ++i) {
            std::fill_n(arrays[i]->GetData() + nSize, nCount, afValues[i]);
            arrays[i]->SetSize(nSize + nCount);
        }
    }
    if (!m_recording.AddDense(nSize + nCount)) {
        for (CFloatArray* pArray : arrays)
            pArray->SetSize(nDense);
        return EAppendStatus::OutOfMemory;
    }
    return GoOn(nCount) ? EAppendStatus::Appended : EAppendStatus::Cancelled;
}

bool CSeriesBuilder::GoOn(std::int64_t nWritten)
{
    m_nUnchecked += nWritten;
    if (m_nUnchecked < kCheckEvery)
        return true;
    m_nUnchecked = 0;
    if (m_fnCancelled && m_fnCancelled())
        m_bCancelled = true;
    return !m_bCancelled;
}

bool CSeriesBuilder::Reserve(std::int64_t nCapacity, bool bNearlyFilled)
{
    nCapacity = std::min(nCapacity, m_nMaxSamples);
    for (EChannel eChannel : kChannels)
        if (!m_recording.DenseSamples(eChannel).Reserve(nCapacity, bNearlyFilled))
            return false;
    return true;
}

bool CSeriesBuilder::AdoptSamples(std::int64_t tWritten, const float afValues[4],
                                  std::int64_t tCursor)
{
    CFloatArray* const arrays[] = {
        &m_recording.DenseSamples(EChannel::TempPV), &m_recording.DenseSamples(EChannel::TempSV),
        &m_recording.DenseSamples(EChannel::HumiPV), &m_recording.DenseSamples(EChannel::HumiSV)};
    const std::int64_t nSize = m_recording.GetCount();
    const std::int64_t nGapEnd = tWritten - m_tFirst;
    if (nGapEnd - nSize >= kHeldAfter) {
        // The gap and the written record's own second hold its values: kept once.
        if (!m_recording.AddHeld(afValues, nGapEnd + 1 - nSize))
            return false;
    } else {
        for (int i = 0; i < 4; ++i)
            std::fill(arrays[i]->GetData() + nSize, arrays[i]->GetData() + nGapEnd, afValues[i]);
    }
    const std::int64_t nEnd = tCursor - m_tFirst + 1;
    if (!m_recording.AddDense(nEnd))
        return false;
    for (int i = 0; i < 4; ++i)
        arrays[i]->SetSize(nEnd);
    m_tCursor = tCursor;
    return true;
}
