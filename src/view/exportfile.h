// File > Export and --export: a stretch of a recording written as a recorder file, which takes
// the target's name only once it is complete.
#pragma once

#include "recorder/recordexport.h"

#include <QString>

#include <cstdint>
#include <functional>

struct CExportFileResult
{
    enum class EStatus
    {
        Written,
        Cancelled, // nothing is left behind
        Failed,    // strReason says why; an earlier file of the name is as it was
    };
    EStatus status = EStatus::Failed;
    QString strReason;
};

// Hears the records written so far and the records in all; false cancels the export.
using ExportProgress = std::function<bool(std::int64_t nDone, std::int64_t nTotal)>;

// Writes samples nBegin to nEnd (exclusive) at one record every nInterval seconds to strTarget;
// see WriteRecorderExport.
CExportFileResult ExportRecorderFile(const QString& strTarget, const CRecordingView& series,
                                     std::int64_t tFirst, std::int64_t nBegin, std::int64_t nEnd,
                                     std::int64_t nInterval,
                                     const ExportProgress& progress = ExportProgress());
