// Reads a file of any layout but the recorder's own into a recording, by the same expansion
// rule as the recorder's files: every second from the first record to the last gets the
// values of the record that ends its gap.
#pragma once

#include "recorder/layout.h"
#include "recorder/recorderloader.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// Rows that carry a time but no value (a logger's event rows) are skipped. A row that cannot
// be read stops the reading with its line and field in the message; the records before it
// stay. Temperatures in °F or K are converted to °C. Channels the layout has no column for
// are marked absent in the recording.
CLoadResult LoadLayoutData(std::string_view data, const CLayout& layout,
                           const LoadProgress& progress = LoadProgress(),
                           std::int64_t nMaxSamples = CSeriesBuilder::MaxSamples());
CLoadResult LoadLayoutFile(const std::filesystem::path& path, const CLayout& layout,
                           const LoadProgress& progress = LoadProgress());

// The first records of a file as the layout will read them, and the lines that will not
// read, for the import window.
struct CLayoutPreview
{
    struct CRecord
    {
        std::int64_t nLine = 0; // 1-based
        std::int64_t t = 0;     // seconds since 1970-01-01 00:00 UTC
        float afValues[4] = {}; // channel order, in °C
    };
    struct CFault
    {
        std::int64_t nLine = 0;
        std::string strWhat; // English, as in the load message
    };
    std::vector<std::string> arrColumnNames; // the header line's cells, in UTF-8
    std::vector<std::vector<std::string>> arrLines; // the first lines' cells, in UTF-8
    std::vector<CRecord> arrRecords;
    std::vector<CFault> arrFaults;
};
CLayoutPreview PreviewLayout(std::string_view data, const CLayout& layout,
                             std::size_t nRecords = 100);
