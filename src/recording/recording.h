// A recording as a value of its own, apart from every window: the per-second samples of its
// four channels, the first sample's time and the file it was read from. The readers make
// one; the analysis, the export, the report runs and the plot read it.
#pragma once

#include "recording/floatarray.h"
#include "recording/recordingview.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>

// Where a recording came from, as it was when it was read.
struct CRecordingSource
{
    std::filesystem::path path; // empty for a recording read from memory
    std::uint64_t nSize = 0;    // bytes
};

class CRecording
{
public:
    CRecording() = default;
    CRecording(const CRecording&) = delete;
    CRecording& operator=(const CRecording&) = delete;
    CRecording(CRecording&&) noexcept = default;
    CRecording& operator=(CRecording&&) noexcept = default;

    // Sample i of every channel stands for GetFirstTime() + i seconds.
    std::int64_t GetCount() const { return m_arrChannels[0].GetSize(); }
    bool IsEmpty() const { return GetCount() == 0; }
    // Seconds since 1970-01-01 00:00 UTC of sample 0.
    std::int64_t GetFirstTime() const { return m_tFirst; }
    void SetFirstTime(std::int64_t t) { m_tFirst = t; }

    CRecordingView View() const { return View(0, GetCount()); }
    // Samples nBegin to nEnd (exclusive), clamped to the recording.
    CRecordingView View(std::int64_t nBegin, std::int64_t nEnd) const;

    // Whether the file had the channel at all. A channel it did not have keeps the value a
    // recorder writes for a missing field (0 for temperature, -1 for humidity) at every
    // sample, and is neither drawn nor read out nor judged.
    bool HasChannel(EChannel eChannel) const { return m_abPresent[Index(eChannel)]; }
    void SetChannelPresent(EChannel eChannel, bool bPresent)
    {
        m_abPresent[Index(eChannel)] = bPresent;
    }
    // Whether it has a set value to judge against: Temp SV or Humi SV.
    bool HasSetValues() const
    {
        return HasChannel(EChannel::TempSV) || HasChannel(EChannel::HumiSV);
    }

    const CRecordingSource& GetSource() const { return m_source; }
    void SetSource(CRecordingSource source) { m_source = std::move(source); }
    // The source file's name without its folder, in UTF-8; empty for a recording read from
    // memory.
    std::string GetSourceName() const;
    // The SHA-256 of the source file read afresh, in lowercase hex; empty with the reason in
    // strError when it cannot be read, or when its size is no longer the size that was read.
    std::string SourceSha256(std::string& strError) const;

    // For the readers that fill it: a channel's samples. The four grow together; samples
    // written past the count through GetData() count once SetSize takes them.
    CFloatArray& Samples(EChannel eChannel) { return m_arrChannels[Index(eChannel)]; }
    const CFloatArray& Samples(EChannel eChannel) const { return m_arrChannels[Index(eChannel)]; }
    // Gives back the memory of the room left after the last sample.
    void ReleaseUnusedPages();

private:
    static std::size_t Index(EChannel eChannel) { return static_cast<std::size_t>(eChannel); }

    std::array<CFloatArray, kChannelCount> m_arrChannels;
    std::int64_t m_tFirst = 0;
    std::array<bool, kChannelCount> m_abPresent = {true, true, true, true};
    CRecordingSource m_source;
};
