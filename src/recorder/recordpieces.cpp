#include "recorder/recordpieces.h"

#include "recorder/recordparser.h"
#include "recorder/recordseries.h"
#include "recording/floatarray.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <string_view>

namespace {

// Bytes read past a stretch's end for its last line; a longer line is read again.
constexpr std::size_t kLookAhead = 256;
// Bytes read before a stretch for the times of the lines just before it.
constexpr std::size_t kLookBehind = 512;
// Pages of the target are made resident this many samples ahead of the writes, in one call
// per array instead of a page fault per page.
constexpr std::int64_t kPopulateStep = 16384;
// A line is read into a stretch's buffer up to twice the stretch's own bytes or this, if
// more; a longer one is left to the reader in file order, so that each thread's buffer stays
// small whatever the file's longest line.
constexpr std::size_t kLineRoom = 64 * 1024;
// How many lines a stretch reads between looks at whether it is still wanted.
constexpr unsigned kStopCheckLines = 64;

// Another stretch may write the same sample at the same time (a clock set back across both).
void Store(float& f, float fValue)
{
    std::atomic_ref<float>(f).store(fValue, std::memory_order_relaxed);
}

} // namespace

CPieceReader::CPieceReader(const CRecordSource& source, const CPieceTarget& target)
    : m_source(source), m_target(target)
{
}

CPieceSummary CPieceReader::Read(std::uint64_t nBegin, std::uint64_t nEnd, std::uint64_t nDataStart,
                                 std::size_t k, const CPieceStop* pStop)
{
    CPieceSummary s;
    s.bRan = true;
    s.nEnd = nEnd;
    m_nPopulated = 0;
    CWindow window;
    window.nSize = m_source.GetSize();
    window.nAt = nBegin - std::min<std::uint64_t>(nBegin - nDataStart, kLookBehind);
    window.nWant = static_cast<std::size_t>(nEnd - window.nAt) + kLookAhead;
    window.nRoom = std::max(2 * window.nWant, kLineRoom);
    if (!Fill(window, s))
        return s;
    struct CRelease
    {
        CPieceReader& reader;
        std::size_t nKeep;
        ~CRelease()
        {
            if (reader.m_buffer.size() > nKeep)
                reader.ReleaseBuffer();
        }
    } release{*this, window.nWant};

    std::uint64_t nPos = nBegin; // where the next line starts
    if (nBegin > nDataStart && !FindFirstLine(nBegin, nEnd, window.nAt, nPos))
        return s; // no line starts here
    m_tFloor = FloorBefore(static_cast<std::size_t>(nPos - window.nAt), window.nAt == nDataStart);
    ReadLines(nPos, nEnd, window, k, pStop, s);
    return s;
}

bool CPieceReader::Fill(const CWindow& window, CPieceSummary& s)
{
    // The source gives all it has up to its size; less means the file changed meanwhile.
    s.bReadFailed = !m_source.Read(window.nAt, window.nWant, m_buffer, m_nBuffered) ||
                    m_nBuffered < std::min<std::uint64_t>(window.nWant, window.nSize - window.nAt);
    return !s.bReadFailed;
}

bool CPieceReader::FindFirstLine(std::uint64_t nBegin, std::uint64_t nEnd, std::uint64_t nBufferAt,
                                 std::uint64_t& nPos) const
{
    // A line starts at nBegin or later where the byte before it is a line end.
    const char* const pFrom = m_buffer.data() + (nBegin - 1 - nBufferAt);
    const void* pLf = std::memchr(pFrom, '\n', static_cast<std::size_t>(nEnd - nBegin));
    if (!pLf)
        return false;
    nPos = nBegin + static_cast<std::uint64_t>(static_cast<const char*>(pLf) - pFrom);
    return true;
}

void CPieceReader::ReadLines(std::uint64_t nPos, std::uint64_t nEnd, CWindow& window, std::size_t k,
                             const CPieceStop* pStop, CPieceSummary& s)
{
    unsigned nCheck = 0;
    while (nPos < nEnd) {
        if (pStop && ++nCheck % kStopCheckLines == 0 && pStop->After(k)) {
            s.bRan = false; // not wanted any more
            return;
        }
        CLine line;
        switch (FindLine(nPos, window, line)) {
        case ELine::Whole:
            break;
        case ELine::TooLong:
            // Too long to hold here: the reader in file order reads on from this line.
            if (!s.bStopped) {
                s.bStopped = true;
                s.nStopAt = nPos;
            }
            return; // nEnd is the stretch's own end, inside that line
        case ELine::Cut:
            // The line goes on past what was read.
            window.nAt = nPos;
            window.nWant *= 2;
            if (!Fill(window, s))
                return;
            continue;
        }
        if (!s.bStopped) {
            if (ReadLine(line.p, line.nLength, s)) {
                ++s.nLines;
            } else {
                s.bStopped = true;
                s.nStopAt = nPos;
            }
        }
        nPos = line.nNext;
    }
    s.nEnd = nPos;
}

CPieceReader::ELine CPieceReader::FindLine(std::uint64_t nPos, const CWindow& window,
                                           CLine& line) const
{
    const std::size_t i = static_cast<std::size_t>(nPos - window.nAt);
    line.p = m_buffer.data() + i;
    const char* const pLf = static_cast<const char*>(std::memchr(line.p, '\n', m_nBuffered - i));
    if (pLf) {
        line.nLength = static_cast<std::size_t>(pLf - line.p);
        line.nNext = nPos + line.nLength + 1;
        if (line.nLength > 0 && line.p[line.nLength - 1] == '\r')
            --line.nLength;
        return ELine::Whole;
    }
    if (window.nAt + m_nBuffered >= window.nSize) {
        // The last line of the file, without a line end: taken as it stands.
        line.nLength = m_nBuffered - i;
        line.nNext = window.nSize;
        return ELine::Whole;
    }
    return window.nWant >= window.nRoom ? ELine::TooLong : ELine::Cut;
}

std::int64_t CPieceReader::FloorBefore(std::size_t nLinesEnd, bool bLineStart)
{
    // Every record before the stretch leaves the series reaching at least its own time. A
    // repeated time or a short step back across the boundary then adds nothing, as in order.
    std::int64_t tFloor = m_target.tFirst;
    const char* p = m_buffer.data();
    const char* const pEnd = p + nLinesEnd;
    if (!bLineStart && p < pEnd)
        p = static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(pEnd - p))) + 1;
    while (p < pEnd) {
        const char* const pLf =
            static_cast<const char*>(std::memchr(p, '\n', static_cast<std::size_t>(pEnd - p)));
        std::string_view line(p, static_cast<std::size_t>(pLf - p));
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        const CRecordFields f = ParseRecordLine(line);
        std::int64_t t = 0;
        std::int64_t nWall = 0;
        if (CheckRecordFields(f) == ERecordFault::None && m_clock.TryLocalToTime(f, t, nWall))
            tFloor = std::max(tFloor, t);
        p = pLf + 1;
    }
    return tFloor;
}

bool CPieceReader::ReadLine(const char* p, std::size_t nLength, CPieceSummary& s)
{
    const CRecordFields f = m_parser.Parse(std::string_view(p, nLength));
    if (CheckRecordFields(f) != ERecordFault::None) {
        s.bInvalid = true;
        return false;
    }
    std::int64_t t = 0;
    std::int64_t nWall = 0;
    if (!m_clock.TryLocalToTime(f, t, nWall))
        return false;
    if (t == -1) {
        s.bInvalid = true; // mktime's failure value fails in file order too
        return false;
    }
    const std::int64_t tCursor = s.bWrote ? s.tCursor : m_tFloor;
    if (t > tCursor) {
        const std::int64_t nIndex = t - m_target.tFirst;
        if (nIndex >= m_target.nMaxSamples || nIndex >= m_target.nCapacity)
            return false;
        const std::int64_t nCount = s.bWrote ? t - tCursor : 1;
        // Sparse records are kept once each, which the reader in file order does.
        if (nCount > kSampleShare - s.nSamples || nCount > CSeriesBuilder::kHeldAfter)
            return false;
        s.nSamples += nCount;
        const float afValues[4] = {f.fTempPV, f.fTempSV, f.fHumiPV, f.fHumiSV};
        if (!s.bWrote) {
            s.bWrote = true;
            s.tWritten = t;
            std::copy(afValues, afValues + 4, s.afWritten);
            Write(nIndex, nIndex + 1, afValues);
        } else {
            Write(tCursor - m_target.tFirst + 1, nIndex + 1, afValues);
        }
        s.tCursor = t;
    } else {
        ++s.nBehind;
    }
    s.bConverted = true;
    s.nLastWall = nWall;
    s.tLast = t;
    return true;
}

void CPieceReader::Write(std::int64_t nFrom, std::int64_t nTo, const float afValues[4])
{
    if (nTo > m_nPopulated) {
        const std::int64_t nStart = std::max(m_nPopulated, nFrom);
        const std::int64_t nUntil =
            std::min(m_target.nCapacity, std::max(nTo, nStart + kPopulateStep));
        for (float* pData : m_target.apData)
            CFloatArray::PopulateRange(pData + nStart, pData + nUntil);
        m_nPopulated = nUntil;
    }
    for (int i = 0; i < 4; ++i)
        for (std::int64_t n = nFrom; n < nTo; ++n)
            Store(m_target.apData[i][n], afValues[i]);
}

void CPieceReader::ReleaseBuffer()
{
    std::vector<char>().swap(m_buffer);
    m_nBuffered = 0;
}
