#include "recorder/openrecording.h"

#include "recorder/layoutreader.h"

#include <fstream>
#include <sstream>
#include <system_error>

COpenResult OpenRecordingFile(const std::filesystem::path& path, const CLayout* pLayout,
                              const LoadProgress& progress, const LayoutFinder& finder,
                              const CReadOptions& options)
{
    COpenResult result;
    const auto read = [&](const CLayout& layout) {
        result.layout = layout;
        result.bRead = true;
        result.load = layout.bRecorder ? LoadRecorderFile(path, progress, options)
                                       : LoadLayoutFile(path, layout, progress);
    };
    if (pLayout) {
        result.recognition.eResult =
            pLayout->bRecorder ? CRecognition::EResult::Recorder : CRecognition::EResult::Layout;
        result.recognition.layout = *pLayout;
        read(*pLayout);
        return result;
    }
    // A file that cannot be read gets the recorder reader's message for it. A pipe or a
    // device can be read only once, so recognition cannot look at it first: it is read as
    // the recorder's file, as it always was.
    std::error_code errorKind;
    if (!std::filesystem::is_regular_file(path, errorKind) ||
        !std::ifstream(path, std::ios::binary)) {
        result.recognition.eResult = CRecognition::EResult::Recorder;
        read(RecorderLayout());
        return result;
    }

    std::error_code error;
    const std::uint64_t nSize = std::filesystem::file_size(path, error);
    bool bCancelled = false;
    // Recognition reports no progress of its own; asking with nothing done yet lets the
    // user cancel a long date pass.
    const auto fnCancelled = [&]() {
        bCancelled = bCancelled || (progress && !progress(0, error ? 0 : nSize));
        return bCancelled;
    };
    result.recognition = RecogniseLayoutFile(path, fnCancelled);
    switch (result.recognition.eResult) {
    case CRecognition::EResult::Recorder:
    case CRecognition::EResult::Layout:
        read(result.recognition.layout);
        return result;
    case CRecognition::EResult::Doubt:
    case CRecognition::EResult::Unknown:
        break;
    }
    if (bCancelled) {
        result.load.status = CLoadResult::EStatus::Cancelled;
        return result;
    }
    if (finder) {
        if (const std::optional<CLayout> saved = finder(result.recognition.strHeader)) {
            read(*saved);
            return result;
        }
    }
    result.layout = result.recognition.layout;
    return result;
}

bool ReadLayoutFile(const std::filesystem::path& path, CLayout& layout, std::string& strError)
{
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    if (!file || !(text << file.rdbuf())) {
        strError = "The layout file could not be read.";
        return false;
    }
    return ParseLayout(text.str(), layout, strError);
}
