#include "app/reportmode.h"

#include "app/reportfiles.h"
#include "app/reportoptions.h"
#include "app/statisticsreport.h"
#include "app/stepsreport.h"
#include "app/trendoraapp.h"
#include "app/uniformityreport.h"
#include "recorder/openrecording.h"
#include "recorder/recorderloader.h"
#include "recording/recording.h"
#include "res/resource.h"
#include "settings/profile.h"
#include "skin/offscreenfonts.h"
#include "view/childview.h"
#include "view/exportfile.h"
#include "view/filebeside.h"
#include "view/paging.h"
#include "view/statisticstext.h"
#include "view/stepstext.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
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
    bool bStepTables = true; // none for a recording without set values: the facts say why
    std::uint32_t tFirst = 0;
    QString strJudged; // in the interface language
    QString strName;   // the sheets' heading: the file's name, or the joined files'
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
            const QString& strName = sheets.strName;
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
                           if (sheets.bStepTables)
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

bool ExportStretch(const CRecording& recording, const CReportOptions& options,
                   const CSampleRange& range, CProgressLine& progress, std::FILE* pErr)
{
    const CExportFileResult exported = ExportRecorderFile(
        ReportLocalPath(options.strExport), recording.View(), recording.GetFirstTime(),
        range.nBegin, range.nEnd, options.nInterval, [&](std::int64_t nDone, std::int64_t nTotal) {
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

std::optional<int> LoadReportFile(const CReportOptions& options, const QFileInfo& info,
                                  CProgressLine& progress, std::FILE* pErr, CLoadResult& result)
{
    CLayout layout;
    if (const std::optional<int> nStatus = ReadReportLayout(options, layout, pErr))
        return nStatus;
    COpenResult opened = OpenRecordingFile(
        info.filesystemFilePath(), options.strLayout.isEmpty() ? nullptr : &layout,
        [&](std::uint64_t nDone, std::uint64_t nTotal) {
            if (nTotal > 0)
                progress.Report(QStringLiteral("reading %1: %2%")
                                    .arg(info.fileName(), QString::number(nDone * 100 / nTotal)));
            return true;
        });
    if (!opened.bRead) {
        // Concatenated: the file name is the user's text.
        Say(pErr, options.files.constFirst() + QStringLiteral(": ") +
                      QString::fromStdString(opened.recognition.strDoubt) +
                      QStringLiteral(" Write a layout file (see the README) and pass it with "
                                     "--layout FILE."));
        return kReportLayoutInDoubt;
    }
    result = std::move(opened.load);
    using EStatus = CLoadResult::EStatus;
    switch (result.status) {
    case EStatus::CannotOpen:
        Say(pErr, QString::fromStdString(result.strMessage));
        return kReportCannotOpen;
    case EStatus::TooFewLines:
        Say(pErr, QStringLiteral("%1: %2").arg(options.files.constFirst(),
                                               QString::fromStdString(result.strMessage)));
        return kReportTooFewLines;
    default:
        break;
    }
    const QString strStopped = QStringLiteral("%1:%2: %3")
                                   .arg(options.files.constFirst(), QString::number(result.nLine),
                                        QString::fromStdString(result.strMessage));
    if (!result.bHaveFirstRecord) {
        Say(pErr, strStopped);
        Say(pErr, QStringLiteral("%1 holds no readable record: nothing is written")
                      .arg(options.files.constFirst()));
        return StoppedStatus(result.status);
    }
    if (result.status != EStatus::Loaded)
        Say(pErr, strStopped);
    return std::nullopt;
}

// The pages --pages names at the scale the run draws at, or nothing (said) when they do not
// all exist or a picture would replace the recorder file.
std::optional<std::pair<int, int>> ReportPages(const CReportOptions& options,
                                               const QString& strFile, const QString& strTitle,
                                               std::int64_t nCount, std::FILE* pErr)
{
    // Opening a file shows it at one second per pixel; --scale then scrolls to its own.
    const int nSecondsPerPixel =
        options.nSecondsPerPixel > 0 ? options.nSecondsPerPixel : kMinSecondsPerPixel;
    const int nTotal = std::max(1, TotalPages(nCount, CChildView::PlotWidth(), nSecondsPerPixel));
    std::pair<int, int> pages(1, nTotal);
    if (options.nFrom > 0) {
        if (options.nTo > nTotal) {
            Say(pErr, QStringLiteral("%1 has %2 pages at this scale; pages %3-%4 do not exist")
                          .arg(options.files.constFirst(), QString::number(nTotal),
                               QString::number(options.nFrom), QString::number(options.nTo)));
            return std::nullopt;
        }
        pages = {options.nFrom, options.nTo};
    }
    if (!options.strFolder.isEmpty()) {
        for (int p = pages.first; p <= pages.second; ++p) {
            const QString strPicture =
                ReportPicturePath(options.strFolder, strTitle, p, options.strFormat);
            if (IsSameFile(strPicture, strFile)) {
                Say(pErr, QStringLiteral("%1 is the recorder file itself: nothing is written")
                              .arg(Native(strPicture)));
                return std::nullopt;
            }
        }
    }
    return pages;
}

// The steps of the stretch judged, analysed once; printed with --steps. The status of a run
// that cannot go on, or nothing.
std::optional<int> ReportSteps(const CReportOptions& options, const CRecording& recording,
                               const CSampleRange& range, const QString& strJudged,
                               CReportSheets& sheets, std::FILE* pErr)
{
    const CStepOptions stepOptions = StepOptionsOf(options);
    // The test program is read from the set values: without them nothing is analysed, and the
    // run says so instead of the tables and ends as one with no dwell to judge.
    sheets.bStepTables = recording.HasSetValues();
    sheets.pSteps = std::make_shared<const CProgramAnalysis>(
        sheets.bStepTables
            ? AnalyseProgramSteps(recording.View(), range.nBegin, range.nEnd, stepOptions)
            : CProgramAnalysis());
    const CProgramAnalysis& analysis = *sheets.pSteps;
    const auto writeLine = [](const QString& strLine) { return WriteReportLine(strLine, stdout); };
    // Row by row: millions of excursions are never held as text.
    const bool bWritten =
        (sheets.bStepTables ? ForEachStepReportLine(analysis, sheets.tFirst, writeLine)
                            : writeLine(NoSetValuesLine())) &&
        WriteReportLine(QString(), stdout) && WriteReportLine(strJudged, stdout) &&
        std::fflush(stdout) == 0 && !std::ferror(stdout);
    if (!bWritten) {
        Say(pErr, QStringLiteral("the steps could not be written to stdout"));
        return kReportCannotWrite;
    }
    if (!options.strPdf.isEmpty()) {
        QString strReason;
        sheets.stepFacts =
            StepSheetFacts(recording, stepOptions, analysis, range.nBegin, range.nEnd, strReason);
        if (sheets.stepFacts.isEmpty()) {
            Say(pErr, QStringLiteral("%1 cannot be read again for its SHA-256: %2")
                          .arg(Native(options.files.constFirst()), strReason));
            return kReportCannotWrite;
        }
    }
    return std::nullopt;
}

// The pictures and the PDF: the real view, never shown, paints the pages off screen as Save
// as and Print paint them. False when one could not be written (said).
// Files that do not follow one another are drawn side by side, pRecording first.
bool DrawReportPages(const CReportOptions& options, std::shared_ptr<const CRecording> pRecording,
                     const std::vector<std::shared_ptr<const CRecording>>& sideBySide,
                     const QString& strTitle, std::pair<int, int> pages, bool bWholeRange,
                     const CReportSheets& sheets, CProgressLine& progress, std::FILE* pErr)
{
    CChildView view(nullptr);
    view.OnInitialUpdate();
    view.ShowRecording(pRecording, strTitle);
    for (const std::shared_ptr<const CRecording>& pBeside : sideBySide) {
        if (pBeside != pRecording)
            view.AddRecording(pBeside,
                              QString::fromStdU16String(pBeside->GetSource().path.u16string()));
    }
    QCoreApplication::processEvents(); // the paging resets as after File Open
    if (options.nSecondsPerPixel > 0)
        view.OnScaleBarScroll(CChildView::kThumbPosition, options.nSecondsPerPixel);
    // Marks on the pages show the whole recording's steps, as the window draws them; --steps
    // over the whole recording has just analysed them with the same options.
    if (view.IsMarkingSteps()) {
        if (options.bSteps && bWholeRange)
            view.AdoptSteps(StepOptionsOf(options), sheets.pSteps);
        else
            view.AnalyseStepsNow(options.bSteps ? StepOptionsOf(options) : ReadStoredStepOptions());
    }
    const auto [nFrom, nTo] = pages;
    if (!options.strFolder.isEmpty() &&
        !SavePages(view, options, strTitle, nFrom, nTo, progress, pErr))
        return false;
    return options.strPdf.isEmpty() || PrintPdf(view, options, nFrom, nTo, sheets, progress, pErr);
}

} // namespace

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
    // Only pictures need the GUI and its platform; figures, steps and exports need none.
    // The offscreen platform needs no display.
    std::unique_ptr<QCoreApplication> pApp;
    if (DrawsPictures(argc, argv)) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        UseWindowsFontsOffscreen();
        pApp = std::make_unique<QApplication>(argc, argv);
    } else {
        pApp = std::make_unique<QCoreApplication>(argc, argv);
    }
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
    if (options.uniformity.bRun)
        return RunUniformityReport(options, pErr);
    const QString strFile = ReportLocalPath(options.files.constFirst());
    for (const QString& strOutput : {options.strPdf, options.strExport}) {
        for (const QString& strInput : options.files) {
            if (!strOutput.isEmpty() &&
                IsSameFile(ReportLocalPath(strOutput), ReportLocalPath(strInput))) {
                Say(pErr, QStringLiteral("%1 is the recorder file itself: nothing is written")
                              .arg(Native(strOutput)));
                return kReportUsage;
            }
        }
    }
    const bool bPictures = !options.strPdf.isEmpty() || !options.strFolder.isEmpty();
    if (bPictures && !qobject_cast<QApplication*>(QCoreApplication::instance())) {
        Say(pErr, QStringLiteral("pages cannot be drawn without the GUI application"));
        return kReportUsage;
    }

    // The stored settings apply, but the store stays as it is: the seeds are read, not written.
    SeedSettingsWithoutWriting();
    CTrendoraApp::ApplyStoredLanguage();

    CProgressLine progress(pErr);
    const QFileInfo info(strFile);
    CLoadResult result;
    std::shared_ptr<const CRecording> pRecording;
    CReportFiles several; // of several files
    if (options.files.size() == 1) {
        if (const std::optional<int> nStatus =
                LoadReportFile(options, info, progress, pErr, result))
            return *nStatus;
        pRecording = std::make_shared<const CRecording>(std::move(result.recording));
    } else {
        CLayout layout;
        if (const std::optional<int> nStatus = ReadReportLayout(options, layout, pErr))
            return *nStatus;
        if (const std::optional<int> nStatus = LoadReportFiles(
                options, options.strLayout.isEmpty() ? nullptr : &layout,
                [&](const QString& strText) { progress.Report(strText); }, pErr, several))
            return *nStatus;
        result.status = CLoadResult::EStatus::Loaded;
        pRecording = several.pMain;
    }
    const CRecording& recording = *pRecording;
    const std::int64_t nCount = recording.GetCount();

    // --from and --to name seconds of this recording, or nothing is written.
    QString strRangeError;
    const std::optional<CSampleRange> range =
        ResolveSampleRange(options, recording.GetFirstTime(), nCount, strRangeError);
    if (!range) {
        Say(pErr, strRangeError);
        return kReportUsage;
    }
    const std::optional<std::pair<int, int>> pages =
        ReportPages(options, strFile, info.completeBaseName(), nCount, pErr);
    if (!pages)
        return kReportUsage;

    // The figures come first: a failed picture or sheet leaves them printed. Each names the
    // stretch it judged, as the sheets do.
    CReportSheets sheets;
    sheets.tFirst = static_cast<std::uint32_t>(recording.GetFirstTime());
    const QString strJudged = JudgedStretchLine(sheets.tFirst, range->nBegin, range->nEnd, nCount);
    sheets.strJudged = LocalJudgedStretchLine(sheets.tFirst, range->nBegin, range->nEnd, nCount);
    sheets.strName = recording.IsJoined() ? QString::fromStdString(recording.GetSourceName())
                                          : QFileInfo(options.files.constFirst()).fileName();
    if (options.bStatistics) {
        if (several.sideBySide.empty()) {
            sheets.statistics = StatisticsReportOf(recording, options, range->nBegin, range->nEnd);
            // A joined recording's files and where they meet, after the figures.
            const QStringList joinLines = JoinReportLines(recording);
            if (!joinLines.isEmpty())
                sheets.statistics += QStringList{QString()} + joinLines;
        } else if (const std::optional<int> nStatus =
                       SideBySideReport(options, several.sideBySide, sheets.statistics, pErr)) {
            return *nStatus;
        }
        if (!WriteStatisticsReport(sheets.statistics + QStringList{QString(), strJudged}, stdout)) {
            Say(pErr, QStringLiteral("the statistics could not be written to stdout"));
            return kReportCannotWrite;
        }
    }
    // The files a joined recording was read from, each with its SHA-256: after the steps on
    // stdout, for an export on stderr, and on the sheets.
    QStringList fileLines;
    if (recording.IsJoined() && (options.bSteps || !options.strExport.isEmpty() || bPictures)) {
        QString strReason;
        fileLines = SourceFileLines(recording, strReason);
        if (fileLines.isEmpty()) {
            Say(pErr, QStringLiteral("cannot be read again for its SHA-256: %1").arg(strReason));
            return kReportCannotWrite;
        }
        if (options.bStatistics && !options.strPdf.isEmpty())
            sheets.statistics += QStringList{QString()} + fileLines;
    }
    if (options.bSteps) {
        if (const std::optional<int> nStatus =
                ReportSteps(options, recording, *range, strJudged, sheets, pErr))
            return *nStatus;
        if (!fileLines.isEmpty() &&
            !WriteStatisticsReport(QStringList{QString()} + fileLines, stdout)) {
            Say(pErr, QStringLiteral("the steps could not be written to stdout"));
            return kReportCannotWrite;
        }
    }
    if (!options.strExport.isEmpty() && !ExportStretch(recording, options, *range, progress, pErr))
        return kReportCannotWrite;
    if (!options.strExport.isEmpty())
        for (const QString& strLine : fileLines)
            Say(pErr, QStringLiteral("exported from ") + strLine);
    const bool bWholeRange = range->nBegin == 0 && range->nEnd >= nCount;
    if (bPictures &&
        !DrawReportPages(options, pRecording, several.sideBySide, info.completeBaseName(), *pages,
                         bWholeRange, sheets, progress, pErr))
        return kReportCannotWrite;

    if (result.status != CLoadResult::EStatus::Loaded) {
        Say(pErr,
            QStringLiteral("the pages written hold the records before line %1").arg(result.nLine));
        return StoppedStatus(result.status);
    }
    if (several.eStopped)
        return StoppedStatus(*several.eStopped);
    return sheets.pSteps && sheets.pSteps->verdict == EVerdict::Fail ? kReportStepsFailed : 0;
}
