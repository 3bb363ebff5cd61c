// What opening several files at once gives: each file's outcome, and the recordings to show.
#pragma once

#include "recorder/openrecording.h"
#include "recording/recording.h"

#include <cstddef>
#include <filesystem>
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
