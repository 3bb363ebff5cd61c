// Opening several files of one run at once: joined into one recording where they follow one
// another, else one recording per file to show side by side.
#pragma once

#include "recorder/joinrecordings.h"
#include "recorder/openedfiles.h"
#include "recorder/openrecording.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

// Opens each file as OpenRecordingFile does (pLayout, when given, for all of them), reporting
// progress over the bytes of all files, and joins the recordings when the files follow one
// another (see FilesFollowOneAnother). The files are read several at a time on threads of
// their own; progress and finder are called on the calling thread only.
COpenFilesResult OpenRecordingFiles(const std::vector<std::filesystem::path>& paths,
                                    const CLayout* pLayout,
                                    const LoadProgress& progress = LoadProgress(),
                                    const LayoutFinder& finder = LayoutFinder());

// Reads earlier and then later without its header lines as one file by layout, for
// JoinReread; tEarlierEnd is one past the earlier file's last second read alone. Nothing
// where nothing could be read.
std::optional<CRereadPart> ReadOneAfterOther(std::string earlier, const std::string& later,
                                             const CLayout& layout, std::int64_t tEarlierEnd);

// Whether the local clock changes its offset within three hours of t: a file whose first
// record lies there may read its first records differently after another file's.
bool NearClockChange(std::int64_t t);
