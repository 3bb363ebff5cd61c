#include "view/exportfile.h"

#include "res/resource.h"
#include "res/resources.h"
#include "view/filebeside.h"

#include <QFile>

CExportFileResult ExportRecorderFile(const QString& strTarget, const CRecordingView& series,
                                     std::int64_t tFirst, std::int64_t nBegin, std::int64_t nEnd,
                                     std::int64_t nInterval, const ExportProgress& progress)
{
    using EStatus = CExportFileResult::EStatus;
    CExportFileResult result;
    CFileBeside beside(strTarget);
    const QString strPath = beside.Create(result.strReason);
    if (strPath.isEmpty())
        return result;
    QFile file(strPath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        result.strReason = file.errorString();
        return result;
    }
    const std::int64_t nTotal = ExportRecordCount(nBegin, nEnd, nInterval, series.GetCount());
    const EExportStatus status = WriteRecorderExport(
        series, tFirst, nBegin, nEnd, nInterval,
        [&](std::string_view text) {
            return file.write(text.data(), static_cast<qint64>(text.size())) ==
                   static_cast<qint64>(text.size());
        },
        [&](std::int64_t nDone) { return progress && !progress(nDone, nTotal); });
    switch (status) {
    case EExportStatus::Cancelled:
        result.status = EStatus::Cancelled;
        return result;
    case EExportStatus::WriteFailed:
        result.strReason = file.errorString();
        return result;
    case EExportStatus::BadTime:
        result.strReason = res::LoadString(res::IDS_EXPORT_BAD_TIME);
        return result;
    case EExportStatus::Written:
        break;
    }
    // A full disk may show only when the last bytes go out.
    if (!file.flush()) {
        result.strReason = file.errorString();
        return result;
    }
    file.close();
    if (file.error() != QFileDevice::NoError) {
        result.strReason = file.errorString();
        return result;
    }
    if (!beside.Replace(result.strReason))
        return result;
    result.status = EStatus::Written;
    return result;
}
