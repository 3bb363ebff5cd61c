#include "recording/recordingset.h"

#include <algorithm>
#include <limits>

bool CRecordingSet::Add(std::shared_ptr<const CRecording> pRecording, std::int64_t nOffset)
{
    if (!pRecording || m_members.size() >= kMaxRecordings)
        return false;
    m_members.push_back({std::move(pRecording), nOffset});
    return true;
}

void CRecordingSet::Remove(std::size_t i)
{
    if (i < m_members.size())
        m_members.erase(m_members.begin() + static_cast<std::ptrdiff_t>(i));
}

std::int64_t CRecordingSet::StartOf(std::size_t i) const
{
    const std::int64_t tBase = m_eAlignment == EAlignment::ClockTime ? Recording(i).GetFirstTime()
                                                                     : Recording(0).GetFirstTime();
    return tBase + m_members[i].nOffset;
}

std::pair<std::int64_t, std::int64_t> CRecordingSet::Span() const
{
    if (m_members.empty())
        return {0, 0};
    std::int64_t tFirst = std::numeric_limits<std::int64_t>::max();
    std::int64_t tEnd = std::numeric_limits<std::int64_t>::min();
    for (std::size_t i = 0; i < m_members.size(); ++i) {
        tFirst = std::min(tFirst, StartOf(i));
        tEnd = std::max(tEnd, EndOf(i));
    }
    return {tFirst, tEnd};
}

std::pair<std::int64_t, std::int64_t> CRecordingSet::CommonSeconds() const
{
    if (m_members.empty())
        return {0, 0};
    std::int64_t tFirst = std::numeric_limits<std::int64_t>::min();
    std::int64_t tEnd = std::numeric_limits<std::int64_t>::max();
    for (std::size_t i = 0; i < m_members.size(); ++i) {
        tFirst = std::max(tFirst, StartOf(i));
        tEnd = std::min(tEnd, EndOf(i));
    }
    return {tFirst, tEnd};
}

std::pair<CRecordingView, std::int64_t> CRecordingSet::ViewOf(std::size_t i, std::int64_t tBegin,
                                                              std::int64_t tEnd) const
{
    const std::int64_t tStart = StartOf(i);
    const CRecordingView view = Recording(i).View(tBegin - tStart, tEnd - tStart);
    return {view, std::max(tBegin, tStart)};
}
