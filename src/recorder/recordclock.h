// Record times: local calendar fields to seconds since 1970-01-01 00:00:00 UTC.
#pragma once

#include "recorder/recordparser.h"

#include <cstdint>

// What makes a record's time invalid, in the order the fields are checked.
enum class ERecordFault
{
    None,
    Year,       // below 1900
    Month,      // outside 1 to 12
    Day,        // outside 1 to 31
    Hour,       // outside 0 to 23
    Minute,     // outside 0 to 59
    Second,     // outside 0 to 59
    Conversion, // the C library's conversion failed or gave -1
};

ERecordFault CheckRecordFields(const CRecordFields& fields);

// Converts local calendar time exactly as mktime with tm_isdst = -1 does, without calling
// mktime for every record. mktime is slow (glibc's reads /etc/localtime on every call when TZ
// is unset), so stretches of constant UTC offset are found once with localtime_r
// (localtime_s on Windows) and answered arithmetically. Wall times that occur twice or never
// (daylight-saving overlaps and gaps), and those near instants the C library cannot convert,
// still go to mktime. There glibc's mktime answers after the offset of its previous result,
// a hint it keeps per process, so on glibc the clock first replays the previous record
// through mktime to leave the hint where a plain mktime-per-record loop would have left it.
// Use one clock per file read; the clocks of files read at the same time keep out of each
// other's way, but call nothing else that uses mktime meanwhile.
class CRecordClock
{
public:
    CRecordClock();

    // The fields' time, or -1 where mktime gives -1. The fields must pass CheckRecordFields.
    std::int64_t LocalToTime(const CRecordFields& fields);

    // The same where it needs no call of mktime, so that any thread can ask (a clock per
    // thread): false for times that occur twice or never, and wherever mktime would be
    // asked. nWallOut gets WallSeconds(fields) either way.
    bool TryLocalToTime(const CRecordFields& fields, std::int64_t& tOut, std::int64_t& nWallOut);
    // Whether TryLocalToTime can answer at all on this platform.
    static bool CanConvertAlone();

    // Takes over from records converted by another clock: the last of them had wall time
    // nWall and time t, and TryLocalToTime answered it.
    void NoteConverted(std::int64_t nWall, std::int64_t t);
    // The last time converted, where it needed no mktime; what NoteConverted takes.
    bool GetLastConverted(std::int64_t& nWall, std::int64_t& t) const;

    // Wall-clock seconds of the fields as if they were UTC (days past a month's end carry
    // into the next month, as mktime normalises them).
    static std::int64_t WallSeconds(const CRecordFields& fields);

private:
    std::int64_t WallOf(const CRecordFields& fields);
    bool ConvertInSpan(const CRecordFields& fields, std::int64_t nWall);
    std::int64_t CallMktime(const CRecordFields& fields, std::int64_t nWall);
    void PrimeMktimeHint();
    bool FindSpan(std::int64_t nWall);

    // The day of the previous record, which most records share.
    int m_nLastYear = 0;
    int m_nLastMonth = 0;
    int m_nLastDay = 0;
    std::int64_t m_nLastDays = 0;

    // Wall times in [m_nSpanBegin, m_nSpanEnd) map to wall - m_nSpanOffset.
    std::int64_t m_nSpanBegin = 0;
    std::int64_t m_nSpanEnd = 0;
    std::int64_t m_nSpanOffset = 0;
    // Wall times in [m_nAmbiguousBegin, m_nAmbiguousEnd) fall into a gap or an overlap.
    std::int64_t m_nAmbiguousBegin = 0;
    std::int64_t m_nAmbiguousEnd = 0;

    // The offset (wall - result) of the previous result, i.e. what mktime's hint would be,
    // and a wall time whose conversion sets mktime's hint to it.
    bool m_bHintKnown = false;
    bool m_bHintFromSpan = false; // the hint's time was answered without mktime
    std::int64_t m_nHintOffset = 0;
    std::int64_t m_nHintWall = 0;
    // Whether glibc's own hint is known to equal m_nHintOffset.
    bool m_bMktimeInStep = false;
    // Every clock's calls of mktime counted up to this clock's last one: where the count has
    // moved on since, another clock has moved glibc's hint.
    std::uint64_t m_nOwnMktimeCall = 0;
};

// RecordTime: checks the fields and converts them. Returns the fault (None on success).
ERecordFault RecordTime(CRecordClock& clock, const CRecordFields& fields, std::int64_t& tOut);
