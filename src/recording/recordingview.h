// A read-only stretch of a recording: its four channels side by side, sample i of each
// standing for the same second.
#pragma once

#include <algorithm>
#include <cstdint>

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

// Valid while the recording it was taken from lives and keeps its samples.
struct CRecordingView
{
    const float* pTempPV = nullptr;
    const float* pTempSV = nullptr;
    const float* pHumiPV = nullptr;
    const float* pHumiSV = nullptr;
    std::int64_t nCount = 0;

    const float* Channel(EChannel eChannel) const
    {
        switch (eChannel) {
        case EChannel::TempPV:
            return pTempPV;
        case EChannel::TempSV:
            return pTempSV;
        case EChannel::HumiPV:
            return pHumiPV;
        case EChannel::HumiSV:
            return pHumiSV;
        }
        return nullptr;
    }

    // Samples nBegin to nEnd (exclusive), clamped to this view: sample 0 of the result is
    // sample nBegin here.
    CRecordingView Stretch(std::int64_t nBegin, std::int64_t nEnd) const
    {
        nBegin = std::clamp<std::int64_t>(nBegin, 0, nCount);
        nEnd = std::clamp<std::int64_t>(nEnd, nBegin, nCount);
        if (nCount == 0)
            return {};
        return {pTempPV + nBegin, pTempSV + nBegin, pHumiPV + nBegin, pHumiSV + nBegin,
                nEnd - nBegin};
    }
};
