// Recognising a file's layout from the file itself: the recorder's own first, then the
// delimiter, decimal mark, date order, clock, zone, unit and column roles of any other.
#pragma once

#include "recorder/recognition.h"

#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

// Whether the first record, or most of the first hundred, read their six date and time fields in
// the recorder's own layout, so that the file is read exactly as the recorder reader reads it.
bool IsRecorderData(std::string_view head);

// data: the file's bytes. The date order is decided by reading every date of the file.
// fnCancelled is asked now and then; true gives Unknown.
CRecognition RecogniseLayout(std::string_view data, const std::function<bool()>& fnCancelled = {});
CRecognition RecogniseLayoutFile(const std::filesystem::path& path,
                                 const std::function<bool()>& fnCancelled = {});
