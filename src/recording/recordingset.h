// Recordings shown side by side: up to kMaxRecordings of them, each with its own colour
// family, placed on one common time line. Member 0 is the one opened first; with one member
// the common line is that recording's own seconds and everything behaves as with one file.
#pragma once

#include "recording/recording.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

inline constexpr std::size_t kMaxRecordings = 16;

// How the members are placed on the common line before each one's own offset.
enum class EAlignment
{
    ClockTime, // each at its own first sample's time
    Starts,    // every one starting where member 0 starts
};

struct CSetMember
{
    std::shared_ptr<const CRecording> pRecording;
    std::int64_t nOffset = 0; // seconds added to the member's times, typed by the user
};

class CRecordingSet
{
public:
    std::size_t GetCount() const { return m_members.size(); }
    bool IsEmpty() const { return m_members.empty(); }
    const CSetMember& operator[](std::size_t i) const { return m_members[i]; }
    const CRecording& Recording(std::size_t i) const { return *m_members[i].pRecording; }

    // False, with nothing added, when the set is full or pRecording is null.
    bool Add(std::shared_ptr<const CRecording> pRecording, std::int64_t nOffset = 0);
    // Removes member i; the next one becomes member i.
    void Remove(std::size_t i);
    void Clear() { m_members.clear(); }
    void SetOffset(std::size_t i, std::int64_t nOffset) { m_members[i].nOffset = nOffset; }

    EAlignment GetAlignment() const { return m_eAlignment; }
    void SetAlignment(EAlignment eAlignment) { m_eAlignment = eAlignment; }

    // The common line's time of member i's sample 0, in seconds since 1970-01-01 00:00 UTC:
    // its own first time (by clock time) or member 0's (by starts), plus its offset.
    std::int64_t StartOf(std::size_t i) const;
    // One past the common line's time of member i's last sample.
    std::int64_t EndOf(std::size_t i) const { return StartOf(i) + Recording(i).GetCount(); }
    // The common line: from the earliest member start to the latest member end (exclusive);
    // {0, 0} for an empty set.
    std::pair<std::int64_t, std::int64_t> Span() const;
    // The seconds every member covers, [first, end); first >= end when they share none.
    std::pair<std::int64_t, std::int64_t> CommonSeconds() const;
    // Member i's samples for the common line's seconds [tBegin, tEnd), clamped to what it
    // has; the second tells at which common second the view's sample 0 lies.
    std::pair<CRecordingView, std::int64_t> ViewOf(std::size_t i, std::int64_t tBegin,
                                                   std::int64_t tEnd) const;

private:
    std::vector<CSetMember> m_members;
    EAlignment m_eAlignment = EAlignment::ClockTime;
};
