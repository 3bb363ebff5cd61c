#include "app/reportmode.h"

#include "app/reportoptions.h"
#include "app/trendoraapp.h"
#include "recorder/recorderloader.h"
#include "res/resource.h"
#include "settings/profile.h"
#include "view/childview.h"
#include "view/paging.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QPrinter>

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

// Writes one picture per page into the folder; false after the first that cannot be written.
bool SavePages(CChildView& view, const CReportOptions& options, const QString& strTitle, int nFrom,
               int nTo, CProgressLine& progress, std::FILE* pErr)
{
    const QDir folder(options.strFolder);
    if (!QDir().mkpath(folder.path())) {
        Say(pErr, QStringLiteral("cannot make the folder %1")
                      .arg(QDir::toNativeSeparators(options.strFolder)));
        return false;
    }
    for (int p = nFrom; p <= nTo; ++p) {
        progress.Report(QStringLiteral("saving page %1 of pages %2-%3").arg(p).arg(nFrom).arg(nTo));
        view.SetPageText(QString::number(p));
        const QString strName = QStringLiteral("%1-p%2.%3")
                                    .arg(strTitle)
                                    .arg(p, 4, 10, QLatin1Char('0'))
                                    .arg(options.strFormat);
        const QString strError = view.SavePicture(folder.filePath(strName));
        if (!strError.isEmpty()) {
            Say(pErr, strError);
            return false;
        }
    }
    return true;
}

bool PrintPdf(CChildView& view, const CReportOptions& options, int nFrom, int nTo,
              CProgressLine& progress, std::FILE* pErr)
{
    // The printer only says that it could not start; opening the file first gives the reason.
    QFile file(options.strPdf);
    if (!file.open(QIODevice::WriteOnly)) {
        Say(pErr, QStringLiteral("%1 was not written: %2")
                      .arg(QDir::toNativeSeparators(options.strPdf), file.errorString()));
        return false;
    }
    file.close();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(options.strPdf);
    printer.setPageOrientation(QPageLayout::Landscape);
    const auto eResult = view.PrintPages(printer, nFrom, nTo, [&](int p) {
        progress.Report(
            QStringLiteral("printing page %1 of pages %2-%3").arg(p).arg(nFrom).arg(nTo));
    });
    if (eResult != CChildView::EPrintResult::Printed) {
        Say(pErr, QStringLiteral("%1 was not written completely")
                      .arg(QDir::toNativeSeparators(options.strPdf)));
        return false;
    }
    return true;
}

} // namespace

std::optional<int> RunReportMode(int& argc, char** argv)
{
    if (!IsReportCommandLine(argc, argv))
        return std::nullopt;
    // A report shows no window, so it needs no display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
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
    // The stored settings apply, but the store stays as it is: the seeds are read, not written.
    SeedSettingsWithoutWriting();
    CTrendoraApp::ApplyStoredLanguage();

    CProgressLine progress(pErr);
    const QFileInfo info(options.strFile);
    CLoadResult result = LoadRecorderFile(info.filesystemFilePath(), [&](std::uint64_t nDone,
                                                                         std::uint64_t nTotal) {
        if (nTotal > 0)
            progress.Report(
                QStringLiteral("reading %1: %2%").arg(info.fileName()).arg(nDone * 100 / nTotal));
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
                                   .arg(options.strFile)
                                   .arg(result.nLine)
                                   .arg(QString::fromStdString(result.strMessage));
    if (!result.bHaveFirstRecord) {
        Say(pErr, strStopped);
        Say(pErr,
            QStringLiteral("%1 holds no readable record: nothing is written").arg(options.strFile));
        return result.status == EStatus::OutOfMemory ? kReportOutOfMemory : kReportInvalidRecord;
    }
    const EStatus eStatus = result.status;
    if (eStatus != EStatus::Loaded)
        Say(pErr, strStopped);

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
                          .arg(options.strFile)
                          .arg(nTotal)
                          .arg(options.nFrom)
                          .arg(options.nTo));
            return kReportUsage;
        }
        nFrom = options.nFrom;
        nTo = options.nTo;
    }

    if (!options.strFolder.isEmpty() &&
        !SavePages(view, options, info.completeBaseName(), nFrom, nTo, progress, pErr))
        return kReportCannotWrite;
    if (!options.strPdf.isEmpty() && !PrintPdf(view, options, nFrom, nTo, progress, pErr))
        return kReportCannotWrite;

    if (eStatus != EStatus::Loaded) {
        Say(pErr,
            QStringLiteral("the pages written hold the records before line %1").arg(result.nLine));
        return eStatus == EStatus::OutOfMemory ? kReportOutOfMemory : kReportInvalidRecord;
    }
    return 0;
}
