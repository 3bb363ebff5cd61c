// The rule that expands a recorder file's records into a recording of one sample a second.
#pragma once

#include "recorder/recordclock.h"
#include "recorder/recordparser.h"
#include "recording/recording.h"

#include <cstdint>
#include <functional>

enum class EAppendStatus
{
    Appended,      // the record added its samples, or none where its time was not later
    InvalidRecord, // its date or time is out of range or cannot be converted
    SpanTooLong,   // its gap would make the series longer than it can hold
    OutOfMemory,
    Cancelled, // the cancel check asked to stop during a long gap; the samples are partial
};

// Expands records into a recording: every second from the first record's time to the latest
// time reached gets one sample, carrying the values of the record that ends its gap.
class CSeriesBuilder
{
public:
    // nMaxSamples can lower the limit below what the machine holds, never raise it.
    explicit CSeriesBuilder(CRecording& recording, std::int64_t nMaxSamples = MaxSamples());

    EAppendStatus AppendFirstRecord(const CRecordFields& fields);
    EAppendStatus AppendRecord(const CRecordFields& fields);
    // The same for a record whose time its reader has worked out (a time with a stated
    // offset, which no local clock converts); afValues in channel order.
    EAppendStatus AppendFirstAt(std::int64_t t, const float afValues[4]);
    EAppendStatus AppendAt(std::int64_t t, const float afValues[4]);

    std::int64_t GetFirstTime() const { return m_tFirst; }
    // Time of the last sample appended.
    std::int64_t GetCursor() const { return m_tCursor; }
    // After InvalidRecord: which field was wrong.
    ERecordFault GetFault() const { return m_fault; }
    // After SpanTooLong: the sample count the record asked for.
    std::int64_t GetRefusedCount() const { return m_nRefusedCount; }
    std::int64_t GetMaxSamples() const { return m_nMaxSamples; }
    // Records that added nothing, their time not later than the latest reached; records
    // read elsewhere (see AdoptSamples) are counted by AddBehind.
    std::int64_t GetBehind() const { return m_nBehind; }
    void AddBehind(std::int64_t nRecords) { m_nBehind += nRecords; }

    // A record whose time lies more than this many seconds after the latest reached keeps
    // its values once for its whole gap; a shorter gap is written out second by second, so
    // that a file of one record a second with a second missed here and there stays dense.
    static constexpr std::int64_t kHeldAfter = 4;

    // What a series can hold: 2^31 - 1 samples, and 16 bytes each within physical memory.
    static std::int64_t MaxSamples();

    // For samples written straight into the series' storage (see CPieceTarget): makes room
    // for nCapacity samples in all; bNearlyFilled: the samples will nearly fill it.
    bool Reserve(std::int64_t nCapacity, bool bNearlyFilled = true);
    // Takes samples written there: the record at time tWritten, later than the cursor, was
    // written at its own sample, and the samples up to tCursor after it. The gap before
    // tWritten gets its values, as AppendRecord would have given it. False, with nothing
    // taken, when memory ran out.
    bool AdoptSamples(std::int64_t tWritten, const float afValues[4], std::int64_t tCursor);
    // Asked now and then as samples are written; true stops the reading, and the series is
    // then incomplete.
    void SetCancelCheck(std::function<bool()> fnCancelled)
    {
        m_fnCancelled = std::move(fnCancelled);
    }
    bool WasCancelled() const { return m_bCancelled; }
    // Records were converted elsewhere; the last had wall time nWall and time t.
    void NoteConverted(std::int64_t nWall, std::int64_t t) { m_clock.NoteConverted(nWall, t); }

private:
    EAppendStatus Append(const float afValues[4], std::int64_t nCount);
    // Counts samples written; every kCheckEvery of them asks the cancel check.
    bool GoOn(std::int64_t nWritten);

    CRecording& m_recording;
    CRecordClock m_clock;
    std::int64_t m_tFirst = 0;
    std::int64_t m_tCursor = 0;
    std::int64_t m_nBehind = 0;
    ERecordFault m_fault = ERecordFault::None;
    std::int64_t m_nRefusedCount = 0;
    std::int64_t m_nMaxSamples;
    std::function<bool()> m_fnCancelled;
    std::int64_t m_nUnchecked = 0;
    bool m_bCancelled = false;
};
