// Several files of the recorder's own layout that follow one another, read as one file.
#pragma once

#include "recorder/openedfiles.h"
#include "recorder/recorderloader.h"

#include <filesystem>
#include <optional>
#include <vector>

// Files of the recorder's own layout that follow one another, read as one: their records one
// after the other by the reader of one file, in stretches on every core, straight into one
// recording. Where every record comes after all those before it and no file's first or last
// record lies in an hour a clock change repeats or skips, that is exactly their join, and each
// file's seconds, the gaps and the record interval follow from it. Nothing where that does
// not hold (a file of another layout or one that cannot be read, a record that goes back or
// adds nothing, a bad record): the files are then read each on its own. A cancelled reading
// gives a result that says so.
std::optional<COpenFilesResult> ReadAsOneFile(const std::vector<std::filesystem::path>& paths,
                                              const CLayout* pLayout,
                                              const LoadProgress& progress);
