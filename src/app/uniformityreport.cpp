#include "app/uniformityreport.h"

#include "analysis/uniformity.h"
#include "app/reportoptions.h"
#include "app/reportstatus.h"
#include "app/statisticsreport.h"
#include "app/stepsreport.h"
#include "recorder/openrecording.h"
#include "view/filebeside.h"
#include "view/statisticstext.h"
#include "view/uniformitytext.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrinter>

#include <memory>

namespace {

QString TimeText(std::int64_t t)
{
    return FormatFigureTime(static_cast<std::uint32_t>(t), 0);
}

// Reads every file, each by --layout or by the layout recognised from it, into a set placed
// by clock time. A file that stopped at a faulty line is said and judged with what came
// before; nStopped then holds the status the run ends with. The exit status of a file that
// cannot be judged, or nothing.
std::optional<int> ReadRecordings(const CReportOptions& options, CRecordingSet& set, int& nStopped,
                                  std::FILE* pErr)
{
    CLayout layout;
    if (const std::optional<int> nStatus = ReadReportLayout(options, layout, pErr))
        return nStatus;
    set.SetAlignment(EAlignment::ClockTime);
    for (const QString& strFile : options.files) {
        COpenResult opened =
            OpenRecordingFile(QFileInfo(ReportLocalPath(strFile)).filesystemFilePath(),
                              options.strLayout.isEmpty() ? nullptr : &layout);
        // Concatenated throughout: the file name is the user's text.
        if (!opened.bRead) {
            Say(pErr, strFile + QStringLiteral(": ") +
                          QString::fromStdString(opened.recognition.strDoubt) +
                          QStringLiteral(" Write a layout file (see the README) and pass it with "
                                         "--layout FILE."));
            return kReportLayoutInDoubt;
        }
        CLoadResult& result = opened.load;
        using EStatus = CLoadResult::EStatus;
        if (result.status == EStatus::CannotOpen) {
            Say(pErr, QString::fromStdString(result.strMessage));
            return kReportCannotOpen;
        }
        if (result.status == EStatus::TooFewLines) {
            Say(pErr, strFile + QStringLiteral(": ") + QString::fromStdString(result.strMessage));
            return kReportTooFewLines;
        }
        const QString strStopped = strFile + u':' + QString::number(result.nLine) +
                                   QStringLiteral(": ") + QString::fromStdString(result.strMessage);
        if (!result.bHaveFirstRecord) {
            Say(pErr, strStopped);
            Say(pErr, strFile + QStringLiteral(" holds no readable record: nothing is written"));
            return StoppedStatus(result.status);
        }
        if (result.status != EStatus::Loaded) {
            Say(pErr, strStopped);
            Say(pErr, strFile + QStringLiteral(" is judged by the records before line ") +
                          QString::number(result.nLine));
            nStopped = StoppedStatus(result.status);
        }
        set.Add(std::make_shared<const CRecording>(std::move(result.recording)));
    }
    return std::nullopt;
}

// The common seconds --from and --to ask for, all of them without either; nothing (said)
// when one of them lies outside.
std::optional<std::pair<std::int64_t, std::int64_t>>
ResolveCommonRange(const CReportOptions& options, std::int64_t tFirst, std::int64_t tEnd,
                   std::FILE* pErr)
{
    std::pair<std::int64_t, std::int64_t> range(tFirst, tEnd);
    for (const auto& [szName, t] :
         {std::pair("from", options.tFrom), std::pair("to", options.tTo)}) {
        if (!t)
            continue;
        if (*t < tFirst || *t >= tEnd) {
            Say(pErr, QStringLiteral("--") + QLatin1String(szName) + u' ' + TimeText(*t) +
                          QStringLiteral(" lies outside the seconds every recording covers, ") +
                          TimeText(tFirst) + QStringLiteral(" to ") + TimeText(tEnd - 1) + u'.');
            return std::nullopt;
        }
    }
    if (options.tFrom)
        range.first = *options.tFrom;
    if (options.tTo)
        range.second = *options.tTo + 1;
    return range;
}

// What the sheet says before the figures: the seconds judged, then each file's name, size,
// SHA-256 and first and last record. Empty, with the reason in strError, when a file cannot
// be read again as it was read.
QStringList SheetFacts(const CRecordingSet& set, const QString& strJudged, QString& strError)
{
    QStringList facts = {strJudged};
    for (std::size_t i = 0; i < set.GetCount(); ++i) {
        const CRecording& recording = set.Recording(i);
        std::string strWhy;
        const std::string strSha256 = recording.SourceSha256(strWhy);
        if (strSha256.empty()) {
            strError = QString::fromStdString(recording.GetSourceName()) + QStringLiteral(": ") +
                       QString::fromStdString(strWhy);
            return {};
        }
        facts << QString()
              << QStringLiteral("file\t") + QString::fromStdString(recording.GetSourceName())
              << QStringLiteral("size\t") + QString::number(recording.GetSource().nSize) +
                     QStringLiteral(" bytes")
              << QStringLiteral("SHA-256\t") + QString::fromStdString(strSha256)
              << QStringLiteral("first record\t") + TimeText(set.StartOf(i))
              << QStringLiteral("last record\t") + TimeText(set.EndOf(i) - 1);
    }
    return facts;
}

// The sheet (or sheets) of the PDF; false (said) when it could not be written.
bool PrintUniformitySheet(const CReportOptions& options, const QStringList& facts,
                          const QStringList& lines, std::FILE* pErr)
{
    CFileBeside file(ReportLocalPath(options.strPdf));
    QString strReason;
    const QString strPath = file.Create(strReason);
    if (strPath.isEmpty()) {
        Say(pErr, Native(options.strPdf) + QStringLiteral(" was not written: ") + strReason);
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(strPath);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPainter painter;
    bool bDrawn = painter.begin(&printer);
    if (bDrawn) {
        bDrawn = DrawStepSheets(
                     painter, QRect(QPoint(), QSize(printer.width(), printer.height())),
                     QStringLiteral("Uniformity"), facts,
                     [&](const auto& fnLine) {
                         for (const QString& strLine : lines)
                             if (!fnLine(strLine))
                                 return;
                     },
                     [&printer] { return printer.newPage(); })
                     .has_value();
        bDrawn = painter.end() && bDrawn;
    }
    if (!bDrawn) {
        Say(pErr, Native(options.strPdf) +
                      QStringLiteral(" was not written: its sheets could not all be made"));
        return false;
    }
    if (!file.Replace(strReason)) {
        Say(pErr, Native(options.strPdf) + QStringLiteral(" was not written: ") + strReason);
        return false;
    }
    return true;
}

} // namespace

int RunUniformityReport(const CReportOptions& options, std::FILE* pErr)
{
    if (!options.strPdf.isEmpty()) {
        for (const QString& strFile : options.files) {
            if (IsSameFile(ReportLocalPath(options.strPdf), ReportLocalPath(strFile))) {
                Say(pErr, Native(options.strPdf) +
                              QStringLiteral(" is a recorder file itself: nothing is written"));
                return kReportUsage;
            }
        }
        if (!qobject_cast<QApplication*>(QCoreApplication::instance())) {
            Say(pErr, QStringLiteral("sheets cannot be drawn without the GUI application"));
            return kReportUsage;
        }
    }
    CRecordingSet set;
    int nStopped = 0;
    if (const std::optional<int> nStatus = ReadRecordings(options, set, nStopped, pErr))
        return *nStatus;
    const auto [tFirst, tEnd] = set.CommonSeconds();
    if (tFirst >= tEnd) {
        Say(pErr, QStringLiteral("the recordings share no second: nothing to compare"));
        for (std::size_t i = 0; i < set.GetCount(); ++i)
            Say(pErr, options.files[static_cast<qsizetype>(i)] + QStringLiteral(": ") +
                          TimeText(set.StartOf(i)) + QStringLiteral(" to ") +
                          TimeText(set.EndOf(i) - 1));
        return kReportUsage;
    }
    const auto range = ResolveCommonRange(options, tFirst, tEnd, pErr);
    if (!range)
        return kReportUsage;

    CSetValueChoice choice;
    choice.aTyped[kUniformityTemp] = options.uniformity.setTemp;
    choice.aTyped[kUniformityHumi] = options.uniformity.setHumi;
    const CUniformity uniformity = ComputeUniformity(set, range->first, range->second, choice);
    const QStringList lines = UniformityReportLines(uniformity, UniformityMemberNames(set));
    const QString strJudged = UniformityJudgedLine(uniformity);
    if (!WriteStatisticsReport(lines + QStringList{QString(), strJudged}, stdout)) {
        Say(pErr, QStringLiteral("the uniformity could not be written to stdout"));
        return kReportCannotWrite;
    }
    if (!options.strPdf.isEmpty()) {
        QString strError;
        const QStringList facts = SheetFacts(set, strJudged, strError);
        if (facts.isEmpty()) {
            Say(pErr, QStringLiteral("cannot be read again for its SHA-256: ") + strError);
            return kReportCannotWrite;
        }
        if (!PrintUniformitySheet(options, facts, lines, pErr))
            return kReportCannotWrite;
    }
    return nStopped;
}
