#include "app/reportstatus.h"

#include <QDir>
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
