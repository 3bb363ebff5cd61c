// A stretch of a series written back as a recorder file: the header line, then one record per
// chosen interval, so that it opens again as those samples.
#pragma once

#include "recording/recordingview.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

// The header line a recorder writes first; the reader skips it.
inline constexpr std::string_view kRecorderHeader = "Date,Time,Temp PV,Temp SV,Humi PV,Humi SV";

// A spreadsheet takes this many rows; an export with more records is worth a warning.
inline constexpr std::int64_t kSpreadsheetRows = 1048576;

// The intervals File > Export offers, in seconds.
inline constexpr int kExportIntervals[4] = {1, 10, 60, 600};

// Records an export of samples nBegin to nEnd (exclusive) writes at one every nInterval
// seconds, once clamped to a series of nCount samples.
std::int64_t ExportRecordCount(std::int64_t nBegin, std::int64_t nEnd, std::int64_t nInterval,
                               std::int64_t nCount);

enum class EExportStatus
{
    Written,
    Cancelled,   // the cancel check asked to stop; part of the text may have been written
    WriteFailed, // the writer refused a piece
    BadTime,     // a sample's time cannot be had in local time
};

// Gets the text in pieces of up to about a megabyte; false stops the export.
using ExportWriter = std::function<bool(std::string_view text)>;
// Asked before each piece with the records written so far; true cancels.
using ExportCancel = std::function<bool(std::int64_t nDone)>;

// Writes the header, then the samples nBegin, nBegin + nInterval, ... before nEnd (clamped to
// the series), each as "YYYY/MM/DD,HH:MM:SS,TempPV,TempSV,HumiPV,HumiSV" with CR LF as a
// recorder ends its lines. Sample i stands for tFirst + i seconds, written in local time; the
// values in the shortest text that reads back as the same float. nInterval
// below 1 writes every second.
EExportStatus WriteRecorderExport(const CRecordingView& series, std::int64_t tFirst,
                                  std::int64_t nBegin, std::int64_t nEnd, std::int64_t nInterval,
                                  const ExportWriter& write,
                                  const ExportCancel& cancelled = ExportCancel());

// The same into one text; empty for BadTime.
std::string FormatRecorderExport(const CRecordingView& series, std::int64_t tFirst,
                                 std::int64_t nBegin, std::int64_t nEnd, std::int64_t nInterval);
