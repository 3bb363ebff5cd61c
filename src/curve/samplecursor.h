// Reads a curve's samples for one paint, walking from left to right: a sample's value and a
// pixel column's extremes, from the curve's own samples or from the runs of a recording it
// shows, without ever laying the recording out a value per second.
#pragma once

#include "curve/columnextremes.h"
#include "curve/curvevalues.h"

#include <cstdint>
#include <vector>

class CSampleCursor
{
public:
    explicit CSampleCursor(const CCurveValues& values) : m_values(values), m_nSize(values.GetSize())
    {
    }

    std::int64_t GetSize() const { return m_nSize; }
    // Sample i, 0 <= i < GetSize().
    float Value(std::int64_t i);
    // The picks of samples nBegin to nEnd (exclusive) as ColumnExtremes gives them over
    // per-second values; a held run answers at once, whatever its length.
    CColumnPicks Column(std::int64_t nBegin, std::int64_t nEnd, bool bSkipNegative);
    // How many runs were taken from the samples so far: a paint's cost grows with it.
    std::int64_t GetRunsTaken() const { return m_nRunsTaken; }

private:
    const CSampleRun& RunAt(std::int64_t i);

    const CCurveValues& m_values;
    std::int64_t m_nSize;
    // The runs that hold samples m_nFrom to m_nTo - 1, and the one last read.
    std::vector<CSampleRun> m_runs;
    std::int64_t m_nFrom = 0;
    std::int64_t m_nTo = 0;
    std::size_t m_nRun = 0;
    std::int64_t m_nRunsTaken = 0;
};
