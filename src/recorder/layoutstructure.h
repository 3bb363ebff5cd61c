// The structure of another logger's records from the first part of its file: where the
// records start, the delimiter, the decimal mark, the date and time columns, the clock, the
// zone, and what the header names each column. The date order is left to CDateOrderPass.
#pragma once

#include "recorder/recognition.h"

#include <cstddef>
#include <string_view>
#include <vector>

// head: the file's first part, its lines plain ASCII wherever they hold numbers and dates
// (UTF-8 or an 8-bit code page, eEncoding); a last line without its line end is left out
// unless bWhole. Fills everything but the date order, which stays year-month-day; Unknown
// with the reason when no records are found.
CRecognition RecogniseStructure(std::string_view head, EEncoding eEncoding, bool bWhole);
