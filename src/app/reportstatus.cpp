#include "app/reportstatus.h"

#include "app/reportoptions.h"
#include "recorder/openrecording.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

void Say(std::FILE* pErr, const QString& strText)
{
    std::fprintf(pErr, "trendora: %s\n", qUtf8Printable(strText));
}

QString Native(const QString& strPath)
{
    return QDir::toNativeSeparators(strPath);
}

int StoppedStatus(CLoadResult::EStatus eStatus)
{
    switch (eStatus) {
    case CLoadResult::EStatus::SpanTooLong:
        return kReportSpanTooLong;
    case CLoadResult::EStatus::OutOfMemory:
        return kReportOutOfMemory;
    default:
        return kReportInvalidRecord;
    }
}

QString ReportLocalPath(const QString& strPath)
{
    return strPath.startsWith(u':') ? QStringLiteral("./") + strPath : strPath;
}

std::optional<int> ReadReportLayout(const CReportOptions& options, CLayout& layout, std::FILE* pErr)
{
    if (!options.strLayout.isEmpty()) {
        std::string strError;
        if (!ReadLayoutFile(QFileInfo(ReportLocalPath(options.strLayout)).filesystemFilePath(),
                            layout, strError)) {
            Say(pErr, options.strLayout + QStringLiteral(": ") + QString::fromStdString(strError));
            return kReportUsage;
        }
    }
    return std::nullopt;
}
