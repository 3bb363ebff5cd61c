// What recognising a file's layout found: the layout to read it by, or what is in doubt.
#pragma once

#include "recorder/layout.h"

#include <string>

struct CRecognition
{
    enum class EResult
    {
        Recorder, // the recorder's own layout: read exactly as the recorder reader reads it
        Layout,   // another layout, recognised without a doubt
        Doubt,    // a layout was guessed, but the file leaves something open
        Unknown,  // nothing could be recognised
    };
    EResult eResult = EResult::Unknown;
    CLayout layout;        // Recorder, Layout: the one to read by; Doubt: the best guess
    std::string strDoubt;  // Doubt, Unknown: what is in doubt, in English, for messages
    std::string strHeader; // the header line in UTF-8, to find a layout saved for it
};
