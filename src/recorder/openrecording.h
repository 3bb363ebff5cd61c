// Opening a file of any layout: the one entry the window, the command line and every report
// run read files through.
#pragma once

#include "recorder/layoutrecognition.h"
#include "recorder/recorderloader.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

// A layout saved earlier for files with this header, if any.
using LayoutFinder = std::function<std::optional<CLayout>(const std::string& strHeader)>;

struct COpenResult
{
    bool bRead = false;       // false: the layout was in doubt or unknown, nothing was read
    CRecognition recognition; // how the layout was chosen
    CLayout layout;           // the layout read by
    CLoadResult load;         // what was read
};

// With pLayout, reads by it. Otherwise recognises the layout: the recorder's own reads as
// the recorder reader reads it; a recognised one reads by it; else a layout that finder
// knows for the file's header; else nothing is read.
// options: how the recorder's own files are read (see CReadOptions).
COpenResult OpenRecordingFile(const std::filesystem::path& path, const CLayout* pLayout,
                              const LoadProgress& progress = LoadProgress(),
                              const LayoutFinder& finder = LayoutFinder(),
                              const CReadOptions& options = CReadOptions());

// Reads a layout's text file, for --layout; false with what is wrong, and on which line, in
// strError.
bool ReadLayoutFile(const std::filesystem::path& path, CLayout& layout, std::string& strError);
