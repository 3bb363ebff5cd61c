#include "app/reportmode.h"

#include "app/reportoptions.h"
#include "app/statisticsreport.h"
#include "app/stepsreport.h"
#include "app/trendoraapp.h"
#include "recorder/recorderloader.h"
#include "res/resource.h"
#include "settings/profile.h"
#include "skin/offscreenfonts.h"
#include "view/childview.h"
#include "view/exportfile.h"
#include "view/filebeside.h"
#include "view/paging.h"
#include "view/statisticstext.h"
#include "view/stepsanalyser.h"
#include "view/stepstext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>

#include <memory>
#include <new>
#include <stdexcept>

namespace {

// A run that takes a while says how far it has come, once a second after the first second.
class CProgressLine
{
public:
    explicit CProgressLine(std::FILE* pErr) : m_pErr(pErr) { m_clock.start(); }

    void Report(const QString& strText)
    {
        const qint64 nNow = m_clock.elapsed();
        if (nNow < 1000 || nNow - m_nLast < 1000)
            return;
        m_nLast = nNow;
        std::fprintf(m_pErr, "trendora: %s\n", qUtf8Printable(strText));
        std::fflush(m_pErr);
    }

private:
    std::FILE* m_pErr;
    QElapsedTimer m_clock;
    qint64 m_nLast = 0;
};

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

// Writes one picture per page into the folder; false after the first that cannot be written.
// Each picture replaces an earlier one of its name only once it is complete (Save as writes
// it that way).
bool SavePages(CChildView& view, const CReportOptions& options, const QString& strTitle, int nFrom,
               int nTo, CProgressLine& progress, std::FILE* pErr)
{
    const QString strFolder = ReportLocalPath(options.strFolder);
    if (!QDir().mkpath(strFolder)) {
        Say(pErr, QStringLiteral("cannot make the folder %1").arg(Native(options.strFolder)));
        return false;
    }
    for (int p = nFrom; p <= nTo; ++p) {
        progress.Report(QStringLiteral("saving page %1 of pages %2-%3").arg(p).arg(nFrom).arg(nTo));
        view.SetPageText(QString::number(p));
        const QString strError =
            view.SavePicture(ReportPicturePath(strFolder, strTitle, p, options.strFormat));
        if (!strError.isEmpty()) {
            Say(pErr, strError);
            return false;
        }
    }
    return true;
}

// The sheets --statistics and --steps add after the pages.
struct CReportSheets
{
    QStringList statistics;
    QStringList stepFacts;
    std::shared_ptr<const CProgramAnalysis> pSteps; // no step sheets without
    std::uint32_t tFirst = 0;
    QString strJudged; // in the interface language
};

bool PrintPdf(CChildView& view, const CReportOptions& options, int nFrom, int nTo,
              const CReportSheets& sheets, CProgressLine& progress, std::FILE* pErr)
{
    const QString strTarget = ReportLocalPath(options.strPdf);
    CFileBeside file(strTarget);
    QString strReason;
    const QString strPath = file.Create(strReason);
    if (strPath.isEmpty()) {
        Say(pErr, QStringLiteral("%1 was not written: %2").arg(Native(options.strPdf), strReason));
        return false;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(strPath);
    printer.setPageOrientation(QPageLayout::Landscape);
    std::function<bool(QPainter&, const QRect&)> fnLastSheet;
    if (!sheets.statistics.isEmpty() || sheets.pSteps) {
        fnLastSheet = [&](QPainter& painter, const QRect& rcArea) {
            const QString strName = QFileInfo(options.strFile).fileName();
            if (!sheets.statistics.isEmpty())
                DrawStatisticsSheet(painter, rcArea, strName, sheets.strJudged, sheets.statistics);
            if (!sheets.pSteps)
                return true;
            if (!sheets.statistics.isEmpty() && !printer.newPage())
                return false;
            const CProgramAnalysis& analysis = *sheets.pSteps;
            return DrawStepSheets(
                       painter, rcArea, strName, sheets.stepFacts,
                       [&](const auto& fnLine) {
                           ForEachStepReportLine(analysis, sheets.tFirst, fnLine);
                       },
                       [&printer] { return printer.newPage(); })
                .has_value();
        };
    }
    const auto eResult = view.PrintPages(
        printer, nFrom, nTo,
        [&](int p) {
            progress.Report(
                QStringLiteral("printing page %1 of pages %2-%3").arg(p).arg(nFrom).arg(nTo));
        },
        fnLastSheet);
    if (eResult != CChildView::EPrintResult::Printed) {
        Say(pErr, QStringLiteral("%1 was not written: its pages or sheets could not all be made")
                      .arg(Native(options.strPdf)));
        return false;
    }
    if (!file.Replace(strReason)) {
        Say(pErr, QStringLiteral("%1 was not written: %2").arg(Native(options.strPdf), strReason));
        return false;
    }
    return true;
}

bool ExportStretch(const CChildView& view, const CReportOptions& options, std::int64_t tFirst,
                   const CSampleRange& range, CProgressLine& progress, std::FILE* pErr)
{
    const CExportFileResult exported = ExportRecorderFile(
        ReportLocalPath(options.strExport), PlotSamples(*view.GetPlot()), tFirst, range.nBegin,
        range.nEnd, options.nInterval, [&](std::int64_t nDone, std::int64_t nTotal) {
            progress.Report(QStringLiteral("exporting %1: %2%")
                                .arg(Native(options.strExport),
                                     QString::number(nTotal > 0 ? nDone * 100 / nTotal : 100)));
            return true;
        });
    if (exported.status != CExportFileResult::EStatus::Written) {
        Say(pErr, QStringLiteral("%1 was not written: %2")
                      .arg(Native(options.strExport), exported.strReason));
        return false;
    }
    return true;
}

} // namespace

QString ReportLocalPath(const QString& strPath)
{
    return strPath.startsWith(u':') ? QStringLiteral("./") + strPath : strPath;
}

QString ReportPicturePath(const QString& strFolder, const QString& strTitle, int nPage,
                          const QString& strFormat)
{
    // Concatenated: the title is the user's text and may hold '%' or start with ':'.
    QString strPath = ReportLocalPath(QDir::cleanPath(strFolder));
    if (!strPath.endsWith(u'/'))
        strPath += u'/';
    return strPath + strTitle + QStringLiteral("-p") +
           QStringLiteral("%1").arg(nPage, 4, 10, QLatin1Char('0')) + u'.' + strFormat;
}

std::optional<int> RunReportMode(int& argc, char** argv)
{
    if (!IsReportCommandLine(argc, argv))
        return std::nullopt;
    // A report shows no window, so it needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    UseWindowsFontsOffscreen();
    QApplication app(argc, argv);
    CTrendoraApp::SetIdentity();
    const CReportOptions options = ParseReportOptions(QCoreApplication::arguments());
    if (options.bHelp) {
        std::fputs(qUtf8Printable(ReportUsage()), stdout);
        return 0;
    }
    if (!options.strError.isEmpty()) {
        Say(stderr, options.strError);
        std::fputs(qUtf8Printable(ReportUsage()), stderr);
        return kReportUsage;
    }
    try {
        return RunReport(options, stderr);
    } catch (const std::bad_alloc&) {
        // Pages that need more memory than is left, say: a message instead of an abort.
        Say(stderr, QStringLiteral("memory ran out"));
    } catch (const std::exception& e) {
        Say(stderr, QString::fromLocal8Bit(e.what()));
    }
    return kReportOutOfMemory;
}

int RunReport(const CReportOptions& options, std::FILE* pErr)
{
    const QString strFile = ReportLocalPath(options.strFile);
    for (const QString& strOutput : {options.strPdf, options.strExport}) {
        if (!strOutput.isEmpty() && IsSameFile(ReportLocalPath(strOutput), strFile)) {
            Say(pErr, QStringLiteral("%1 is the recorder file itself: nothing is written")
                          .arg(Native(strOutput)));
            return kReportUsage;
        }
    }

    // The stored settings apply, but the store stays as it is: the seeds are read, not written.
    SeedSettingsWithoutWriting();
    CTrendoraApp::ApplyStoredLanguage();

    CProgressLine progress(pErr);
    const QFileInfo info(strFile);
    CLoadResult result =
        LoadRecorderFile(info.filesystemFilePath(), [&](std::uint64_t nDone, std::uint64_t nTotal) {
            if (nTotal > 0)
                progress.Report(QStringLiteral("reading %1: %2%")
                                    .arg(info.fileName(), QString::number(nDone * 100 / nTotal)));
            return true;
        });
    using EStatus = CLoadResult::EStatus;
    switch (result.status) {
    case EStatus::CannotOpen:
        Say(pErr, QString::fromStdString(result.strMessage));
        return kReportCannotOpen;
    case EStatus::TooFewLines:
        Say(pErr, QStringLiteral("%1: %2").arg(options.strFile,
                                               QString::fromStdString(result.strMessage)));
        return kReportTooFewLines;
    default:
        break;
    }
    const QString strStopped = QStringLiteral("%1:%2: %3")
                                   .arg(options.strFile, QString::number(result.nLine),
                                        QString::fromStdString(result.strMessage));
    if (!result.bHaveFirstRecord) {
        Say(pErr, strStopped);
        Say(pErr,
            QStringLiteral("%1 holds no readable record: nothing is written").arg(options.strFile));
        return StoppedStatus(result.status);
    }
    const EStatus eStatus = result.status;
    if (eStatus != EStatus::Loaded)
        Say(pErr, strStopped);

    // --from and --to name seconds of this recording, or nothing is written.
    QString strRangeError;
    const std::optional<CSampleRange> range =
        ResolveSampleRange(options, result.tFirst, result.GetSampleCount(), strRangeError);
    if (!range) {
        Say(pErr, strRangeError);
        return kReportUsage;
    }

    // The real view, never shown: the pages are painted off screen as Save as and Print
    // paint them.
    CChildView view(nullptr);
    view.OnInitialUpdate();
    view.ShowRecording(result, info.completeBaseName());
    QCoreApplication::processEvents(); // the paging resets as after File Open
    if (options.nSecondsPerPixel > 0)
        view.OnScaleBarScroll(CChildView::kThumbPosition, options.nSecondsPerPixel);

    const int nTotal = std::max(1, ReadWholeNumber(view.GetTotalPagesBox()->text()));
    int nFrom = 1;
    int nTo = nTotal;
    if (options.nFrom > 0) {
        if (options.nTo > nTotal) {
            Say(pErr, QStringLiteral("%1 has %2 pages at this scale; pages %3-%4 do not exist")
                          .arg(options.strFile, QString::number(nTotal),
                               QString::number(options.nFrom), QString::number(options.nTo)));
            return kReportUsage;
        }
        nFrom = options.nFrom;
        nTo = options.nTo;
    }
    if (!options.strFolder.isEmpty()) {
        for (int p = nFrom; p <= nTo; ++p) {
            const QString strPicture =
                ReportPicturePath(options.strFolder, info.completeBaseName(), p, options.strFormat);
            if (IsSameFile(strPicture, strFile)) {
                Say(pErr, QStringLiteral("%1 is the recorder file itself: nothing is written")
                              .arg(Native(strPicture)));
                return kReportUsage;
            }
        }
    }

    // The figures come first: a failed picture or sheet leaves them printed. Each names the
    // stretch it judged, as the sheets do.
    const std::int64_t nCount = PlotSamples(*view.GetPlot()).nCount;
    const std::uint32_t tFirst = view.m_tFirstSample;
    const QString strJudged = JudgedStretchLine(tFirst, range->nBegin, range->nEnd, nCount);
    CReportSheets sheets;
    sheets.tFirst = tFirst;
    sheets.strJudged = LocalJudgedStretchLine(tFirst, range->nBegin, range->nEnd, nCount);
    if (options.bStatistics) {
        sheets.statistics = StatisticsReportOf(view, options, range->nBegin, range->nEnd);
        if (!WriteStatisticsReport(sheets.statistics + QStringList{QString(), strJudged}, stdout)) {
            Say(pErr, QStringLiteral("the statistics could not be written to stdout"));
            return kReportCannotWrite;
        }
    }

    // The steps too; the marks on the pages, where they are on, show the same analysis.
    EVerdict eVerdict = EVerdict::None;
    if (options.bSteps || view.IsMarkingSteps()) {
        const CStepOptions stepOptions =
            options.bSteps ? StepOptionsOf(options) : ReadStoredStepOptions();
        view.AnalyseStepsNow(stepOptions);
        // --from and --to judge only their seconds; marks on the pages stay the whole
        // recording's, as the window draws them.
        std::shared_ptr<const CProgramAnalysis> pAnalysis = view.GetStepsAnalyser()->SharedResult();
        if (options.bSteps && (range->nBegin > 0 || range->nEnd < nCount))
            pAnalysis = std::make_shared<const CProgramAnalysis>(AnalyseProgramSteps(
                PlotSamples(*view.GetPlot()), range->nBegin, range->nEnd, stepOptions));
        const CProgramAnalysis& analysis = *pAnalysis;
        if (options.bSteps) {
            eVerdict = analysis.verdict;
            // Row by row: millions of excursions are never held as text.
            const bool bWritten = ForEachStepReportLine(analysis, tFirst,
                                                        [](const QString& strLine) {
                                                            return WriteReportLine(strLine, stdout);
                                                        }) &&
                                  WriteReportLine(QString(), stdout) &&
                                  WriteReportLine(strJudged, stdout) && std::fflush(stdout) == 0 &&
                                  !std::ferror(stdout);
            if (!bWritten) {
                Say(pErr, QStringLiteral("the steps could not be written to stdout"));
                return kReportCannotWrite;
            }
        }
        if (options.bSteps && !options.strPdf.isEmpty()) {
            QString strReason;
            sheets.stepFacts = StepSheetFacts(strFile, view, stepOptions, analysis, range->nBegin,
                                              range->nEnd, strReason);
            if (sheets.stepFacts.isEmpty()) {
                Say(pErr, QStringLiteral("%1 cannot be read again for its SHA-256: %2")
                              .arg(Native(options.strFile), strReason));
                return kReportCannotWrite;
            }
            sheets.pSteps = pAnalysis;
        }
    }

    if (!options.strExport.isEmpty() &&
        !ExportStretch(view, options, result.tFirst, *range, progress, pErr))
        return kReportCannotWrite;
    if (!options.strFolder.isEmpty() &&
        !SavePages(view, options, info.completeBaseName(), nFrom, nTo, progress, pErr))
        return kReportCannotWrite;
    if (!options.strPdf.isEmpty() && !PrintPdf(view, options, nFrom, nTo, sheets, progress, pErr))
        return kReportCannotWrite;

    if (eStatus != EStatus::Loaded) {
        Say(pErr,
            QStringLiteral("the pages written hold the records before line %1").arg(result.nLine));
        return StoppedStatus(eStatus);
    }
    return eVerdict == EVerdict::Fail ? kReportStepsFailed : 0;
}
