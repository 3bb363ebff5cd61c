// Reading stretches of a recorder file on their own threads, each writing its samples
// straight into the series' storage.
#pragma once

#include "recorder/recordclock.h"
#include "recorder/recordparser.h"

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <vector>

// Random access to the bytes of a recorder file, from any thread.
class CRecordSource
{
public:
    virtual ~CRecordSource() = default;
    virtual std::uint64_t GetSize() const = 0;
    // Reads up to nBytes from nOffset to the start of buffer, which grows as needed but never
    // shrinks; nRead is less than nBytes only at the end of the source. False when reading
    // fails.
    virtual bool Read(std::uint64_t nOffset, std::size_t nBytes, std::vector<char>& buffer,
                      std::size_t& nRead) const = 0;

protected:
    // nBytes cut to what lies between nOffset and the source's end, with room for them at
    // the start of buffer.
    std::size_t MakeRoom(std::uint64_t nOffset, std::size_t nBytes,
                         std::vector<char>& buffer) const
    {
        const std::uint64_t nSize = GetSize();
        nBytes = static_cast<std::size_t>(
            std::min<std::uint64_t>(nBytes, nSize - std::min(nOffset, nSize)));
        if (buffer.size() < nBytes)
            buffer.resize(nBytes);
        return nBytes;
    }
};

// The series' storage as a stretch sees it: sample i stands for time tFirst + i.
struct CPieceTarget
{
    float* apData[4] = {}; // TempPV, TempSV, HumiPV, HumiSV: the channels in their order
    std::int64_t nCapacity = 0;
    std::int64_t tFirst = 0;
    std::int64_t nMaxSamples = 0;
};

// What a stretch did. Its samples are right only if its first written record comes after
// every record before the stretch: the reader in file order checks that, fills the gap
// before them, and reads the lines from nStopAt on itself.
struct CPieceSummary
{
    bool bRan = false;        // read to its end, not left early as no longer wanted
    bool bReadFailed = false; // the source failed or changed: nothing else here holds
    std::int64_t nLines = 0;  // lines read, not counting the one at nStopAt
    bool bStopped = false;    // the line at nStopAt needs the reader in file order, and so do
                              // the lines after it up to nEnd
    bool bInvalid = false;    // that line is an invalid record whatever came before it
    std::uint64_t nStopAt = 0;
    std::uint64_t nEnd = 0; // just past the stretch's last line

    bool bWrote = false;       // samples were written:
    std::int64_t tWritten = 0; // the first written record's time,
    float afWritten[4] = {};   // its values, in the target's order,
    std::int64_t tCursor = 0;  // and the last sample's time

    bool bConverted = false; // some record's time was converted: the last one's
    std::int64_t nLastWall = 0;
    std::int64_t tLast = 0;

    std::int64_t nSamples = 0; // samples written, gaps included
    std::int64_t nBehind = 0;  // records not later than the one before, which add nothing
};

// What lets the stretches still running stop early: once one of them met an invalid record,
// no stretch after it matters; a cancelled load needs none of them.
struct CPieceStop
{
    std::atomic<std::size_t> nFirstInvalid{SIZE_MAX};
    std::atomic<bool> bCancel{false};

    bool After(std::size_t k) const
    {
        return bCancel.load(std::memory_order_relaxed) ||
               k > nFirstInvalid.load(std::memory_order_relaxed);
    }
};

// Reads the lines that start in [nBegin, nEnd) of the source. Records whose time is not
// later than every time before them in the stretch (or than the first record's, or than
// those of the lines just before the stretch) add nothing; the others expand into the target
// as in file order, except that the first of them writes its own sample only. A line that
// needs more than the stretch can know (an invalid record, a time that occurs twice or never,
// a span beyond the limit or the capacity, a gap of more than a few seconds, whose record is
// kept once) stops the expansion, and so does one that would
// take the stretch past its share of samples or of buffer: the reader in file order goes on
// from there, so that no stretch costs more than a bounded amount whatever the file holds.
// Stretches may write the same samples when a clock was set back: the writes are relaxed
// atomic stores, and the reader in file order keeps no sample that two stretches wrote.
// One reader per thread: its clock remembers time spans.
class CPieceReader
{
public:
    CPieceReader(const CRecordSource& source, const CPieceTarget& target);

    // nDataStart: where the records after the first one start, which is a line start; the
    // stretch's first line is the first to start at nBegin or later.
    // k: the stretch's place in the file, for pStop.
    CPieceSummary Read(std::uint64_t nBegin, std::uint64_t nEnd, std::uint64_t nDataStart,
                       std::size_t k = 0, const CPieceStop* pStop = nullptr);

    // Samples one stretch may write, gaps included (a day at one record a second takes 86,400):
    // 16 bytes each. A stretch of sparse records needs more and is read on in file order.
    static constexpr std::int64_t kSampleShare = 1 << 18;

private:
    // The bytes of the source in m_buffer: nWant of them from nAt. A line longer than that
    // doubles nWant, up to nRoom.
    struct CWindow
    {
        std::uint64_t nAt = 0;
        std::size_t nWant = 0;
        std::size_t nRoom = 0;
        std::uint64_t nSize = 0; // the source's
    };
    // A line in the buffer, without its line end, and where the next one starts.
    struct CLine
    {
        const char* p = nullptr;
        std::size_t nLength = 0;
        std::uint64_t nNext = 0;
    };
    enum class ELine
    {
        Whole,
        Cut,     // goes on past the window: read again with a larger one
        TooLong, // longer than the window may grow
    };

    // Reads the window into m_buffer; false, and s.bReadFailed, when the source failed or
    // changed.
    bool Fill(const CWindow& window, CPieceSummary& s);
    // The first line to start at nBegin or later, before nEnd; false when none does.
    bool FindFirstLine(std::uint64_t nBegin, std::uint64_t nEnd, std::uint64_t nBufferAt,
                       std::uint64_t& nPos) const;
    // Reads the lines from nPos up to the first to start at nEnd or later into s.
    void ReadLines(std::uint64_t nPos, std::uint64_t nEnd, CWindow& window, std::size_t k,
                   const CPieceStop* pStop, CPieceSummary& s);
    ELine FindLine(std::uint64_t nPos, const CWindow& window, CLine& line) const;
    std::int64_t FloorBefore(std::size_t nLinesEnd, bool bLineStart);
    bool ReadLine(const char* p, std::size_t nLength, CPieceSummary& s);
    void ReleaseBuffer();
    void Write(std::int64_t nFrom, std::int64_t nTo, const float afValues[4]);

    const CRecordSource& m_source;
    CPieceTarget m_target;
    CRecordClock m_clock;
    CRecordLineParser m_parser;
    std::vector<char> m_buffer;
    std::size_t m_nBuffered = 0;
    std::int64_t m_nPopulated = 0; // samples below this index have resident pages
    std::int64_t m_tFloor = 0;     // the series reaches at least this time before the stretch
};
