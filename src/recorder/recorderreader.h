// Reads a recorder file's lines in order into a recording: the header, the first record and
// every further record, stopping at the first that cannot be taken.
#pragma once

#include "recorder/recordpieces.h"
#include "recorder/recordseries.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

struct CLoadResult
{
    enum class EStatus
    {
        Loaded,        // every line was read
        TooFewLines,   // no header line or no first record: nothing to show
        CannotOpen,    // the file could not be opened or read
        InvalidRecord, // a record's date or time is invalid; the records before it stay
        SpanTooLong,   // a record's gap would make the series too long; the records before stay
        OutOfMemory,   // memory ran out while appending; the records before it stay
        Cancelled,     // the progress callback asked to stop
    };

    EStatus status = EStatus::TooFewLines;
    // What was read, also when the reading stopped; its source is set by LoadRecorderFile.
    CRecording recording;
    bool bHaveFirstRecord = false; // line 2 was a valid record: the recording's first time
    std::int64_t nLine = 0;        // the 1-based file line that stopped the reading, or 0
    std::string strMessage;        // what went wrong, for the user; empty when Loaded
    // Records whose time was not later than the latest before them, which added nothing
    // (a repeated time, a clock set back).
    std::int64_t nBehind = 0;

    std::int64_t GetSampleCount() const { return recording.GetCount(); }
};

// Line 1 is a header and is skipped; line 2 is the first record; every further line is a
// record. Lines end with LF or CR LF and may have any length.
class CRecorderReader
{
public:
    // nMaxSamples: see CSeriesBuilder.
    explicit CRecorderReader(std::int64_t nMaxSamples = CSeriesBuilder::MaxSamples());

    // Feeds the next piece of the file; false once reading has stopped on a fault.
    bool Feed(const char* pData, std::size_t nSize);
    // Ends the input: a last line without a line end is a line too.
    CLoadResult Finish();

    bool HasStopped() const { return m_result.status != CLoadResult::EStatus::Loaded; }
    // Asked while long gaps are filled; true cancels the reading.
    void SetCancelCheck(std::function<bool()> fnCancelled)
    {
        m_builder.SetCancelCheck(std::move(fnCancelled));
    }
    bool WasCancelled() const { return m_builder.WasCancelled(); }

    // For reading a file in stretches on several threads: the series' storage, with room
    // for nCapacity samples, once the first record is read. bDense: the samples will nearly
    // fill it (see CFloatArray::Reserve).
    bool PrepareTarget(std::int64_t nCapacity, bool bDense, CPieceTarget& target);
    // Takes the next stretch's lines, up to its nStopAt if it stopped (feed the rest); false,
    // with nothing taken, where its samples do not follow the ones before.
    bool AdoptPiece(const CPieceSummary& piece);
    std::int64_t GetSampleCount() const { return m_result.recording.GetCount(); }
    // Whether the input fed so far ends inside a line.
    bool HasPartialLine() const { return !m_strPending.empty(); }

private:
    bool ReadLines(const char* p, const char* pEnd);
    bool ReadLine(std::string_view line);
    void StopOutOfMemory();
    bool Stop(CLoadResult::EStatus status, std::string strMessage);
    std::string DescribeInvalidRecord(std::string_view line, const CRecordFields& fields) const;

    CLoadResult m_result;
    CSeriesBuilder m_builder;
    CRecordLineParser m_parser;
    std::string m_strPending; // the start of a line that continues in the next piece
    std::int64_t m_nLine = 0;
};

// The message for a record whose gap the builder refused: "Line N<strQuoted> lies about 3
// years after the first record: ..."; strQuoted may quote the line, or be empty.
std::string SpanTooLongMessage(std::int64_t nLine, const std::string& strQuoted,
                               const CSeriesBuilder& builder);

// 1234567 as "1,234,567", for messages.
std::string FormatWithThousands(std::int64_t n);
