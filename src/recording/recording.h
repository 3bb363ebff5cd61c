// A recording as a value of its own, apart from every window: the per-second series of its
// four channels, the first sample's time and the file it was read from. The readers make
// one; the analysis, the export, the report runs and the plot read it through a view.
//
// It stores what the file holds: a stretch of records a second or a few apart lies in the
// dense storage, one value a second at the sample's own position (so that readers on several
// threads can write there straight); a record that ends a longer gap keeps its values once,
// in the held storage, for every second of the gap. A table of segments says which stretch
// lies where.
#pragma once

#include "recording/floatarray.h"
#include "recording/recordingview.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Where a recording came from, as it was when it was read.
struct CRecordingSource
{
    std::filesystem::path path; // empty for a recording read from memory
    std::uint64_t nSize = 0;    // bytes
    // For a file joined with others: its first and last second as read alone (UTC
    // seconds, both included); tLast < tFirst where it gave no sample.
    std::int64_t tFirst = 0;
    std::int64_t tLast = -1;
};

// Where two files of a joined recording meet: seconds no file covers, or seconds two files
// both cover (the later file's samples there were dropped).
struct CJoinBorder
{
    enum class EKind
    {
        Gap,
        Overlap,
    };
    EKind eKind = EKind::Gap;
    std::size_t nFile = 0;   // the later file's index in GetSources()
    std::int64_t tFirst = 0; // first second, UTC seconds
    std::int64_t tLast = 0;  // last second, included
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
    std::int64_t GetCount() const { return m_nCount; }
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

    // The first file it was read from (of several where files were joined).
    const CRecordingSource& GetSource() const;
    void SetSource(CRecordingSource source) { m_sources.assign(1, std::move(source)); }
    // Every file it was read from, in the order of their first times.
    const std::vector<CRecordingSource>& GetSources() const { return m_sources; }
    void SetSources(std::vector<CRecordingSource> sources) { m_sources = std::move(sources); }
    // Where the files of a joined recording meet with a gap or an overlap, in time order.
    const std::vector<CJoinBorder>& GetBorders() const { return m_borders; }
    void SetBorders(std::vector<CJoinBorder> borders) { m_borders = std::move(borders); }
    bool IsJoined() const { return m_sources.size() > 1; }

    // The source file's name without its folder, in UTF-8; empty for a recording read from
    // memory. Of a joined recording, the first file's name and how many more there are:
    // "A.csv + 3 files".
    std::string GetSourceName() const;
    // Source nSource's file name without its folder, in UTF-8.
    std::string SourceName(std::size_t nSource) const;
    // The SHA-256 of source nSource's file read afresh, in lowercase hex; empty with the
    // reason in strError when it cannot be read, or when its size is no longer the size that
    // was read.
    std::string SourceSha256(std::size_t nSource, std::string& strError) const;
    std::string SourceSha256(std::string& strError) const { return SourceSha256(0, strError); }

    // Appends a view's samples (of another recording) after the last sample, keeping its
    // held stretches held; false when memory ran out (the samples taken so far stay).
    bool AppendView(const CRecordingView& view);

    // For the readers that fill it: a channel's dense storage, where sample i lies at index
    // i. The four grow together; what is written there counts once AddDense takes it.
    CFloatArray& DenseSamples(EChannel eChannel) { return m_arrDense[Index(eChannel)]; }
    const CFloatArray& DenseSamples(EChannel eChannel) const { return m_arrDense[Index(eChannel)]; }
    // Samples GetCount() to nEnd (exclusive) were written to the dense storage at their own
    // positions; false when memory ran out for the segment table (nothing taken).
    bool AddDense(std::int64_t nEnd);
    // The next nCount samples all have afValues (channel order), kept once; false when
    // memory ran out (nothing taken).
    bool AddHeld(const float afValues[4], std::int64_t nCount);
    // Gives back the memory of the room left after the last sample, and of the dense storage
    // under long held stretches.
    void ReleaseUnusedPages();
    // Bytes the series' storage holds: dense samples in use, held values and the segment
    // table, with their growth room.
    std::int64_t GetMemoryBytes() const;

private:
    static std::size_t Index(EChannel eChannel) { return static_cast<std::size_t>(eChannel); }

    std::array<CFloatArray, kChannelCount> m_arrDense;
    std::array<CFloatArray, kChannelCount> m_arrHeld;
    std::vector<CRecordingSegment> m_segments;
    std::int64_t m_nCount = 0;
    std::int64_t m_nDenseInUse = 0; // samples of dense segments
    std::int64_t m_tFirst = 0;
    std::array<bool, kChannelCount> m_abPresent = {true, true, true, true};
    std::vector<CRecordingSource> m_sources;
    std::vector<CJoinBorder> m_borders;
};
