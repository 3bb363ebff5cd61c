// Opening several files of one run at once: joined into one recording where they follow one
// another, else one recording per file to show side by side.
#pragma once

#include "recorder/joinrecordings.h"
#include "recorder/openrecording.h"

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct COpenedFile
{
    std::filesystem::path path;
    // How its layout was chosen and what was read. Its recording is moved into the result's
    // recordings where it is shown.
    COpenResult open;
    // Empty where the file was read whole; else the file's name and what happened: its
    // layout in doubt or unknown, or the line and fault that stopped the reading (the
    // records before that line stay).
    std::string strMessage;
};

struct COpenFilesResult
{
    std::vector<COpenedFile> files; // in the order given
    bool bCancelled = false;
    // recordings holds one recording made of several files.
    bool bJoined = false;
    // What to show: the joined recording, or one recording per file that gave samples, in
    // the order of their first times, to be shown side by side.
    std::vector<CRecording> recordings;
    std::vector<std::size_t> arrFileOf; // the file (index in files) of each recording
                                        // shown side by side
    // Why files that follow one another are not joined (their span is too long, memory ran
    // out); they are then shown side by side.
    std::string strJoinMessage;
};

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
