// Joining the files of one run, which a recorder split, into one recording: the same one
// that reading the files one after the other as one file would give.
#pragma once

#include "recording/recording.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

// A file's seconds: [first, end).
using FileSpan = std::pair<std::int64_t, std::int64_t>;

// The order files are joined in: by their first time, files with the same first time in the
// order given.
std::vector<std::size_t> JoinOrder(const std::vector<FileSpan>& spans);

// Whether files continue one another and so join: taken in the order of their first times,
// each file has more than half of its seconds after the end of all before it. Files that do
// not are shown side by side instead.
bool FilesFollowOneAnother(const std::vector<FileSpan>& spans);

// The time between two records that recordings have most often, in seconds: a held stretch
// stands for one record gap of its length, a dense stretch for records a second apart.
// CountRecordIntervals adds a recording's to arrLengths and arrCounts (pass the same ones for
// several); MostCommonInterval then answers, 1 where nothing was counted.
// The view's form counts a part of a recording: a file's own seconds in a joined one.
void CountRecordIntervals(const CRecordingView& view, std::vector<std::int64_t>& arrLengths,
                          std::vector<std::int64_t>& arrCounts);
void CountRecordIntervals(const CRecording& recording, std::vector<std::int64_t>& arrLengths,
                          std::vector<std::int64_t>& arrCounts);
std::int64_t MostCommonInterval(const std::vector<std::int64_t>& arrLengths,
                                const std::vector<std::int64_t>& arrCounts);

// Reads file nEarlier and file nLater (indices as given to JoinRecordings) as one file, the
// later one's header line dropped; nothing where that is not needed. Asked for each later
// file: its records in the repeated hour of an autumn change read differently after the
// earlier file's records than alone.
struct CRereadPart
{
    CRecording recording; // both files, read one after the other
    // The later file's first record's time read after the earlier's; INT64_MIN where it went
    // back and was dropped.
    std::int64_t tLaterFirst = 0;
};
using JoinReread =
    std::function<std::optional<CRereadPart>(std::size_t nEarlier, std::size_t nLater)>;

struct CJoinResult
{
    enum class EStatus
    {
        Joined,
        Empty,       // no recording had a sample
        SpanTooLong, // the files together span more than a recording holds
        OutOfMemory,
        Cancelled,
    };
    EStatus status = EStatus::Empty;
    CRecording recording;   // with every file as a source, and the borders
    std::string strMessage; // what went wrong, for the user; names the files
};

// Joins recordings read from one file each, in any order, into the one that reading the
// files one after the other in the order of their first times would give: a later file's
// samples at seconds already covered are dropped (an overlap), a gap before a later file's
// first record carries that record's values (and is a Gap border when it is longer than the
// files' own record interval). Each part is freed once it is taken; empty parts are left
// out. fnCancelled is asked between files.
CJoinResult JoinRecordings(std::vector<CRecording> parts, const JoinReread& fnReread = JoinReread(),
                           const std::function<bool()>& fnCancelled = std::function<bool()>(),
                           std::int64_t nMaxSamples = -1);
