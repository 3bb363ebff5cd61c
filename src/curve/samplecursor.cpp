#include "curve/samplecursor.h"

#include <algorithm>

namespace {

// Seconds of runs taken at a time. A page at an hour a pixel covers millions of seconds; taken
// a piece at a time, records a few seconds apart never fill more than this many runs at once.
constexpr std::int64_t kPieceSeconds = 1 << 16;

} // namespace

const CSampleRun& CSampleCursor::RunAt(std::int64_t i)
{
    if (i < m_nFrom || i >= m_nTo) {
        m_runs.clear();
        m_values.CollectRuns(i, std::min(m_nSize, i + kPieceSeconds), m_runs);
        m_nRunsTaken += static_cast<std::int64_t>(m_runs.size());
        m_nFrom = i;
        m_nTo = m_runs.empty() ? i : m_runs.back().nFirst + m_runs.back().nSeconds;
        m_nRun = 0;
    }
    // Painting walks forward, a run or a few at a time; a step back searches.
    if (m_runs[m_nRun].nFirst > i)
        m_nRun = 0;
    if (m_runs[m_nRun].nFirst + m_runs[m_nRun].nSeconds <= i) {
        const auto it =
            std::upper_bound(m_runs.begin() + static_cast<std::ptrdiff_t>(m_nRun), m_runs.end(), i,
                             [](std::int64_t n, const CSampleRun& run) { return n < run.nFirst; });
        m_nRun = static_cast<std::size_t>(it - m_runs.begin()) - 1;
    }
    return m_runs[m_nRun];
}

float CSampleCursor::Value(std::int64_t i)
{
    const CSampleRun& run = RunAt(i);
    return run.bHeld ? *run.pValues : run.pValues[i - run.nFirst];
}

CColumnPicks CSampleCursor::Column(std::int64_t nBegin, std::int64_t nEnd, bool bSkipNegative)
{
    CColumnScan scan;
    for (std::int64_t i = nBegin; i < nEnd;) {
        const CSampleRun run = RunAt(i);
        const std::int64_t nStop = std::min(nEnd, run.nFirst + run.nSeconds);
        AppendScan(scan, run.bHeld ? ScanHeld(*run.pValues, i, nStop, bSkipNegative)
                                   : ScanColumn(run.pValues + (i - run.nFirst), nStop - i, i,
                                                bSkipNegative));
        i = nStop;
    }
    return PicksOf(scan);
}
