#include "view/pageoutput.h"

#include "curve/curvectrl.h"
#include "res/resource.h"
#include "res/resources.h"
#include "view/pagesource.h"
#include "view/printplacement.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImageWriter>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSaveFile>

#include <cstdint>

namespace {

// What the margins leave is the plot with its labels, without the readouts and the controls
// on the right. A saved picture is 4 pixels narrower than a printed one.
constexpr int kSaveMarginX = 190;
constexpr int kPrintMarginX = 186;
constexpr int kMarginY = 80;

// The cross-hair follows the pointer and the selection's band marks the screen only; both would
// land in the pictures. They are off while a command takes them and as they were when the
// command ends, whichever way it ends.
class CCrossHairOff
{
public:
    explicit CCrossHairOff(CCurveCtrl& plot)
        : m_plot(plot), m_bWas(plot.m_bCrossHair), m_nBandLast(plot.m_nBandLast)
    {
        m_plot.m_bCrossHair = 0;
        m_plot.m_nBandLast = m_plot.m_nBandFirst - 1;
    }
    ~CCrossHairOff()
    {
        m_plot.m_bCrossHair = m_bWas;
        m_plot.m_nBandLast = m_nBandLast;
    }
    CCrossHairOff(const CCrossHairOff&) = delete;
    CCrossHairOff& operator=(const CCrossHairOff&) = delete;

private:
    CCurveCtrl& m_plot;
    decltype(CCurveCtrl::m_bCrossHair) m_bWas;
    std::int64_t m_nBandLast;
};

// The top left region of the form, painted off screen from the current state: the page just
// switched to is fully drawn and nothing on top of the window gets in. Null when the region
// is empty or its memory cannot be had.
QImage RenderTopLeft(QWidget& form, const QSize& size)
{
    if (size.isEmpty())
        return {};
    QImage picture(size, QImage::Format_RGB32);
    if (picture.isNull())
        return {};
    form.render(&picture, QPoint(), QRegion(QRect(QPoint(), size)));
    return picture;
}

QString NativePath(const QString& strPath)
{
    return QDir::toNativeSeparators(strPath);
}

// The system's reason comes in the system's language; the rest in the program's.
QString SaveFailed(const QString& strPath, const QString& strReason)
{
    return res::LoadString(res::IDS_SAVE_FAILED).arg(NativePath(strPath), strReason);
}

// Writes the picture in the format the file name's suffix names, whatever filter the dialog
// showed. Returns why nothing was written, or an empty text. A failed write leaves an
// existing file as it was.
QString WritePicture(const QImage& picture, const QString& strPath)
{
    const QString strSuffix = QFileInfo(strPath).suffix();
    const QByteArray format = strSuffix.toLower().toLatin1();
    if (format.isEmpty() || !QImageWriter::supportedImageFormats().contains(format)) {
        return res::LoadString(res::IDS_SAVE_UNKNOWN_FORMAT).arg(NativePath(strPath), strSuffix);
    }
    if (picture.isNull()) {
        return res::LoadString(res::IDS_SAVE_TOO_SMALL).arg(NativePath(strPath));
    }
    QSaveFile file(strPath);
    if (!file.open(QIODevice::WriteOnly))
        return SaveFailed(strPath, file.errorString());
    QImageWriter writer(&file, format);
    if (!writer.write(picture)) {
        file.cancelWriting();
        return SaveFailed(strPath, writer.errorString());
    }
    if (!file.commit())
        return SaveFailed(strPath, file.errorString());
    return {};
}

// The application's printer settings: the printer and paper the user chose stay for the rest
// of the run. Freed with the application, while the print support it came from is still there.
QPrinter& ApplicationPrinter()
{
    static QPrinter* s_pPrinter = nullptr;
    if (!s_pPrinter) {
        s_pPrinter = new QPrinter(QPrinter::HighResolution);
        qAddPostRoutine([] {
            delete s_pPrinter;
            s_pPrinter = nullptr;
        });
    }
    return *s_pPrinter;
}

} // namespace

void CPageOutput::SaveAs()
{
    QWidget& form = m_source.GetPageForm();
    QFileDialog dlg(&form);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    const QStringList filters = {QStringLiteral("Image Files (*.bmp)"),
                                 QStringLiteral("Image Files (*.jpg)")};
    dlg.setNameFilters(filters);
    dlg.selectNameFilter(filters.constFirst());
    dlg.setDefaultSuffix(QStringLiteral("bmp"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString strError = SavePicture(dlg.selectedFiles().constFirst());
    if (!strError.isEmpty())
        QMessageBox::warning(&form, res::LoadString(res::IDR_MAINFRAME), strError);
}

QString CPageOutput::SavePicture(const QString& strPath)
{
    return WritePicture(TakePicture(), strPath);
}

QImage CPageOutput::TakePicture()
{
    const CCrossHairOff crossHairOff(m_source.GetPagePlot());
    m_source.FinishPageMarks();
    QWidget& form = m_source.GetPageForm();
    return RenderTopLeft(form, QSize(form.width() - kSaveMarginX, form.height() - kMarginY));
}

void CPageOutput::CopyPicture()
{
    const QImage picture = TakePicture();
    if (!picture.isNull())
        QGuiApplication::clipboard()->setImage(picture);
}

bool CPageOutput::AskPages(QPrinter& printer, int& nFrom, int& nTo)
{
    const int nTotal = m_source.GetPageCount();
    // Every print starts in landscape, which the user may change in the dialog for this job.
    printer.setPageOrientation(QPageLayout::Landscape);
    // "Selection" is offered and chosen at first; like "All" it prints every page.
    printer.setPrintRange(QPrinter::Selection);
    QPrintDialog dlg(&printer, &m_source.GetPageForm());
    dlg.setOption(QAbstractPrintDialog::PrintSelection);
    dlg.setMinMax(1, nTotal);
    dlg.setFromTo(1, nTotal);
    if (m_source.ExecPrintDialog(dlg) != QDialog::Accepted)
        return false;
    nFrom = 1;
    nTo = nTotal;
    if (printer.printRange() == QPrinter::PageRange) {
        nFrom = printer.fromPage();
        nTo = printer.toPage();
    }
    return true;
}

void CPageOutput::Print()
{
    const CCrossHairOff crossHairOff(m_source.GetPagePlot());

    QPrinter& printer = ApplicationPrinter();
    int nFrom = 0;
    int nTo = 0;
    if (!AskPages(printer, nFrom, nTo) || nFrom > nTo)
        return;
    int nMessage = 0;
    switch (PrintPages(printer, nFrom, nTo, {}, {})) {
    case EPrintResult::CannotStart:
        nMessage = res::IDS_PRINT_NOT_STARTED;
        break;
    case EPrintResult::Failed:
        nMessage = res::IDS_PRINT_FAILED;
        break;
    case EPrintResult::Printed:
        return;
    }
    QMessageBox::warning(&m_source.GetPageForm(), res::LoadString(res::IDR_MAINFRAME),
                         res::LoadString(nMessage));
}

CPageOutput::EPrintResult
CPageOutput::PrintPages(QPrinter& printer, int nFrom, int nTo,
                        const std::function<void(int)>& fnBeforePage,
                        const std::function<bool(QPainter&, const QRect&)>& fnLastSheet)
{
    const CCrossHairOff crossHairOff(m_source.GetPagePlot());
    m_source.FinishPageMarks();
    QPainter painter;
    if (!painter.begin(&printer))
        return EPrintResult::CannotStart;
    // Each page's picture is taken just before its sheet and dropped after it: taking all
    // of them first would hold 1.7 MB a page, gigabytes for a month at one second a pixel.
    QWidget& form = m_source.GetPageForm();
    const QSize region(form.width() - kPrintMarginX, form.height() - kMarginY);
    const CResolution screen{form.logicalDpiX(), form.logicalDpiY()};
    const CResolution device{printer.logicalDpiX(), printer.logicalDpiY()};
    const QSize area(printer.width(), printer.height());
    bool bComplete = true;
    for (std::int64_t p = nFrom; p <= nTo; ++p) {
        if (p > nFrom && !printer.newPage()) {
            bComplete = false;
            break;
        }
        if (fnBeforePage)
            fnBeforePage(static_cast<int>(p));
        m_source.ShowPage(static_cast<int>(p));
        const QImage picture = RenderTopLeft(form, region);
        // A picture that could not be taken leaves its sheet blank.
        if (!picture.isNull())
            painter.drawImage(PicturePlacement(picture.size(), area, screen, device), picture);
    }
    if (bComplete && fnLastSheet)
        bComplete = printer.newPage() && fnLastSheet(painter, QRect(QPoint(), area));
    painter.end();
    m_source.ShowPage(nTo);
    if (!bComplete)
        return EPrintResult::Failed;
    return printer.printerState() == QPrinter::Error ? EPrintResult::Failed : EPrintResult::Printed;
}
