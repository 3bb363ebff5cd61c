// The words of a header line that recognition understands: which text encoding a file without
// a byte-order mark was written in, what each column's name says it holds, and a time zone
// named in the lines before the records.
#pragma once

#include "recorder/layout.h"

#include <optional>
#include <string>
#include <string_view>

// Whether bytes are valid UTF-8; a sequence cut off at their end counts as valid, so that the
// first piece of a file can be judged.
bool IsValidUtf8(std::string_view bytes);

// For bytes that are not UTF-8: the code page whose header words and degree signs appear in
// them (GBK, Big5, Mac Roman), else Windows-1252.
EEncoding GuessLegacyEncoding(std::string_view bytes);

// The header's known words and degree signs in UTF-8, for matching; other bytes of a legacy
// code page stay as they are.
std::string KnownWordsToUtf8(std::string_view bytes, EEncoding eEncoding);

// What a column's name (UTF-8) says about it.
struct CColumnName
{
    bool bNamed = false; // the name holds a word recognition knows
    EColumnRole eRole = EColumnRole::Skip;
    std::optional<ETempUnit> unit; // a temperature unit named
};
CColumnName ReadColumnName(std::string_view name);

// A fixed offset from UTC named in a line before the records ("GMT-04:00", "UTC+2"), in
// minutes to add to UTC.
std::optional<int> ReadZoneOffset(std::string_view line);
