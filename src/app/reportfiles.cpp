#include "app/reportfiles.h"

#include "app/reportoptions.h"
#include "app/reportstatus.h"
#include "app/statisticsreport.h"
#include "recorder/openrecordings.h"

#include <QFileInfo>
#include <QHash>

#include <filesystem>

std::optional<int> LoadReportFiles(const CReportOptions& options, const CLayout* pLayout,
                                   const std::function<void(const QString&)>& fnProgress,
                                   std::FILE* pErr, CReportFiles& files)
{
    std::vector<std::filesystem::path> paths;
    for (const QString& strFile : options.files)
        paths.push_back(QFileInfo(ReportLocalPath(strFile)).filesystemFilePath());
    COpenFilesResult opened =
        OpenRecordingFiles(paths, pLayout, [&](std::uint64_t nDone, std::uint64_t nTotal) {
            if (nTotal > 0)
                fnProgress(
                    QStringLiteral("reading %1 files: %2%")
                        .arg(QString::number(paths.size()), QString::number(nDone * 100 / nTotal)));
            return true;
        });
    for (const COpenedFile& file : opened.files) {
        if (file.strMessage.empty())
            continue;
        if (!file.open.bRead) {
            Say(pErr, QString::fromStdString(file.strMessage) +
                          QStringLiteral(" Write a layout file (see the README) and pass it "
                                         "with --layout FILE."));
            return kReportLayoutInDoubt;
        }
        Say(pErr, QString::fromStdString(file.strMessage));
        const CLoadResult::EStatus eStatus = file.open.load.status;
        if (eStatus == CLoadResult::EStatus::CannotOpen)
            return kReportCannotOpen;
        if (!files.eStopped && eStatus != CLoadResult::EStatus::TooFewLines)
            files.eStopped = eStatus;
    }
    if (!opened.strJoinMessage.empty())
        Say(pErr, QString::fromStdString(opened.strJoinMessage));
    if (opened.recordings.empty()) {
        Say(pErr, QStringLiteral("none of the files holds a readable record: nothing is written"));
        return kReportTooFewLines;
    }
    for (CRecording& recording : opened.recordings)
        files.sideBySide.push_back(std::make_shared<const CRecording>(std::move(recording)));
    files.pMain = files.sideBySide.front();
    for (const auto& pEach : files.sideBySide) {
        if (pEach->HasSetValues()) {
            files.pMain = pEach;
            break;
        }
    }
    if (files.sideBySide.size() == 1)
        files.sideBySide.clear();
    if (!files.sideBySide.empty() && !options.strExport.isEmpty()) {
        Say(pErr, QStringLiteral("the files do not follow one another, so they do not join into "
                                 "one recording: --export needs files of one run"));
        return kReportUsage;
    }
    return std::nullopt;
}

QStringList SideBySideStatistics(const QStringList& names, const std::vector<QStringList>& reports)
{
    // Each figure by its name, in the order the reports first name them.
    QStringList keys;
    std::vector<QHash<QString, QString>> values(reports.size());
    for (std::size_t r = 0; r < reports.size(); ++r) {
        const QStringList& lines = reports[r];
        const QStringList headings = lines.isEmpty() ? QStringList() : lines[0].split(u'\t');
        const auto add = [&](const QString& strKey, const QString& strValue) {
            if (!keys.contains(strKey))
                keys.append(strKey);
            values[r].insert(strKey, strValue);
        };
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const QStringList cells = lines[i].split(u'\t');
            if (cells.size() == 6 && cells[1].startsWith(QStringLiteral("within"))) {
                // Temp<TAB>within ±2.00 of SV<TAB>93.61%<TAB>largest deviation<TAB>+7.94<TAB>at
                add(cells[0] + u' ' + cells[1], cells[2]);
                add(cells[0] + u' ' + cells[3], cells[4]);
                add(cells[0] + u' ' + cells[3] + QStringLiteral(" at"), cells[5]);
            } else {
                // curve<TAB>minimum<TAB>at<TAB>maximum<TAB>at<TAB>mean
                for (qsizetype c = 1; c < cells.size() && c < headings.size(); ++c)
                    add(cells[0] + u' ' +
                            (headings[c] == QStringLiteral("at")
                                 ? headings[c - 1] + QStringLiteral(" at")
                                 : headings[c]),
                        cells[c]);
            }
        }
    }
    QStringList out = {QStringLiteral("figure\t") + names.join(u'\t')};
    for (const QString& strKey : keys) {
        QString strLine = strKey;
        for (const QHash<QString, QString>& v : values)
            strLine += u'\t' + v.value(strKey, QStringLiteral("-"));
        out.append(strLine);
    }
    return out;
}

std::optional<int>
SideBySideReport(const CReportOptions& options,
                 const std::vector<std::shared_ptr<const CRecording>>& recordings,
                 QStringList& lines, std::FILE* pErr)
{
    QStringList names;
    std::vector<QStringList> reports;
    for (const auto& pEach : recordings) {
        const QString strName = QString::fromStdString(pEach->GetSourceName());
        QString strError;
        const std::optional<CSampleRange> range =
            ResolveSampleRange(options, pEach->GetFirstTime(), pEach->GetCount(), strError);
        if (!range) {
            Say(pErr, strName + QStringLiteral(": ") + strError);
            return kReportUsage;
        }
        names.append(strName);
        reports.push_back(StatisticsReportOf(*pEach, options, range->nBegin, range->nEnd));
    }
    lines = SideBySideStatistics(names, reports);
    return std::nullopt;
}
