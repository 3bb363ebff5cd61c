// A read-only stretch of a recording: its four channels side by side, sample i of each
// standing for the same second. A recording keeps a record's values once however long the
// gap it ends, so a view reads them as runs: a dense run holds one value a second, a held run
// one value that stands for every second of it.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <type_traits>

// The channels in the order a recorder writes them on a line.
enum class EChannel
{
    TempPV,
    TempSV,
    HumiPV,
    HumiSV,
};
inline constexpr int kChannelCount = 4;
inline constexpr EChannel kChannels[kChannelCount] = {EChannel::TempPV, EChannel::TempSV,
                                                      EChannel::HumiPV, EChannel::HumiSV};

// Where a stretch of a recording's samples is stored. A segment reaches up to the next one's
// first sample (the last one to the recording's count).
struct CRecordingSegment
{
    std::int64_t nFirst = 0; // the segment's first sample in the recording
    // Dense: where sample nFirst lies in the dense storage. Held: -1 - the index of its one
    // value in the held storage.
    std::int64_t nStorage = 0;

    bool IsHeld() const { return nStorage < 0; }
    std::int64_t HeldIndex() const { return -1 - nStorage; }
};

// Valid while the recording it was taken from lives and keeps its samples. Small, copied by
// value; safe to read from several threads at once.
class CRecordingView
{
public:
    CRecordingView() = default;
    // nCount consecutive per-second values of each channel, in channel order.
    CRecordingView(const float* pTempPV, const float* pTempSV, const float* pHumiPV,
                   const float* pHumiSV, std::int64_t nCount)
        : m_apDense{pTempPV, pTempSV, pHumiPV, pHumiSV}, nCount(nCount)
    {
    }
    // Samples [nBegin, nBegin + nCount) of a recording stored as segments over a dense
    // storage (indexed as the segments say) and a held storage of one value per held segment.
    CRecordingView(const float* const apDense[4], const float* const apHeld[4],
                   const CRecordingSegment* pSegments, std::size_t nSegments, std::int64_t nBegin,
                   std::int64_t nCount)
        : m_apDense{apDense[0], apDense[1], apDense[2], apDense[3]}, m_apHeld{apHeld[0], apHeld[1],
                                                                              apHeld[2], apHeld[3]},
          m_pSegments(pSegments), m_nSegments(nSegments), m_nBegin(nBegin), nCount(nCount)
    {
    }

    std::int64_t GetCount() const { return nCount; }
    bool IsEmpty() const { return nCount == 0; }

    // Samples nBegin to nEnd (exclusive), clamped to this view: sample 0 of the result is
    // sample nBegin here.
    CRecordingView Stretch(std::int64_t nBegin, std::int64_t nEnd) const
    {
        nBegin = std::clamp<std::int64_t>(nBegin, 0, nCount);
        nEnd = std::clamp<std::int64_t>(nEnd, nBegin, nCount);
        CRecordingView stretch = *this;
        stretch.m_nBegin = m_nBegin + nBegin;
        stretch.nCount = nEnd - nBegin;
        return stretch;
    }

    // Sample i (0 <= i < GetCount()) of a channel.
    float Value(EChannel eChannel, std::int64_t i) const
    {
        const int c = static_cast<int>(eChannel);
        const std::int64_t n = m_nBegin + i;
        if (!m_pSegments)
            return m_apDense[c][n];
        const CRecordingSegment& segment = m_pSegments[FindSegment(n)];
        return segment.IsHeld() ? m_apHeld[c][segment.HeldIndex()]
                                : m_apDense[c][segment.nStorage + (n - segment.nFirst)];
    }

    // Calls f(nFirst, nSeconds, apValues, bHeld) for the runs of the view in order; nFirst is
    // the run's first sample in the view. A dense run's apValues[c] point at nSeconds values
    // of channel c, one a second; a held run's at the one value each of its seconds has. When
    // f returns bool, false stops the iteration (and ForEachRun returns false).
    template <class F> bool ForEachRun(F&& f) const
    {
        if (nCount <= 0)
            return true;
        if (!m_pSegments) {
            const float* const apValues[4] = {m_apDense[0] + m_nBegin, m_apDense[1] + m_nBegin,
                                              m_apDense[2] + m_nBegin, m_apDense[3] + m_nBegin};
            return Call(f, 0, nCount, apValues, false);
        }
        const std::int64_t nEnd = m_nBegin + nCount;
        for (std::size_t k = FindSegment(m_nBegin); k < m_nSegments; ++k) {
            const CRecordingSegment& segment = m_pSegments[k];
            if (segment.nFirst >= nEnd)
                break;
            const std::int64_t nFrom = std::max(segment.nFirst, m_nBegin);
            const std::int64_t nTo =
                k + 1 < m_nSegments ? std::min(m_pSegments[k + 1].nFirst, nEnd) : nEnd;
            if (nTo <= nFrom)
                continue;
            const bool bHeld = segment.IsHeld();
            const std::int64_t nAt =
                bHeld ? segment.HeldIndex() : segment.nStorage + (nFrom - segment.nFirst);
            const float* const* const apBase = bHeld ? m_apHeld : m_apDense;
            const float* const apValues[4] = {apBase[0] + nAt, apBase[1] + nAt, apBase[2] + nAt,
                                              apBase[3] + nAt};
            if (!Call(f, nFrom - m_nBegin, nTo - nFrom, apValues, bHeld))
                return false;
        }
        return true;
    }

    // Writes samples nBegin to nEnd (exclusive, clamped to the view) of a channel to pOut,
    // one a second.
    void CopyOut(EChannel eChannel, std::int64_t nBegin, std::int64_t nEnd, float* pOut) const
    {
        const int c = static_cast<int>(eChannel);
        Stretch(nBegin, nEnd)
            .ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds,
                            const float* const apValues[4], bool bHeld) {
                if (bHeld)
                    std::fill_n(pOut + nFirst, nSeconds, *apValues[c]);
                else
                    std::copy_n(apValues[c], nSeconds, pOut + nFirst);
            });
    }

private:
    // The segment that holds sample n of the recording.
    std::size_t FindSegment(std::int64_t n) const
    {
        const CRecordingSegment* const pEnd = m_pSegments + m_nSegments;
        const CRecordingSegment* const p =
            std::upper_bound(m_pSegments, pEnd, n, [](std::int64_t m, const CRecordingSegment& s) {
                return m < s.nFirst;
            });
        return p == m_pSegments ? 0 : static_cast<std::size_t>(p - m_pSegments - 1);
    }

    template <class F>
    static bool Call(F& f, std::int64_t nFirst, std::int64_t nSeconds,
                     const float* const apValues[4], bool bHeld)
    {
        if constexpr (std::is_same_v<decltype(f(nFirst, nSeconds, apValues, bHeld)), bool>) {
            return f(nFirst, nSeconds, apValues, bHeld);
        } else {
            f(nFirst, nSeconds, apValues, bHeld);
            return true;
        }
    }

    const float* m_apDense[4] = {};
    const float* m_apHeld[4] = {};
    const CRecordingSegment* m_pSegments = nullptr; // none: the whole view is dense
    std::size_t m_nSegments = 0;
    std::int64_t m_nBegin = 0; // the recording's sample that is sample 0 here

public:
    std::int64_t nCount = 0; // samples in the view, as GetCount() says
};
