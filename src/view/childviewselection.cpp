// The main view's side of the selection: the plot's mouse events handed to CSelection as
// columns and seconds, the band that marks it on the plot, and File > Export, which writes it
// as a recorder file.
#include "curve/curvectrl.h"
#include "recorder/recordexport.h"
#include "res/resource.h"
#include "res/resources.h"
#include "settings/profile.h"
#include "view/childview.h"
#include "view/commandui.h"
#include "view/curvekeys.h"
#include "view/exportfile.h"
#include "view/filebeside.h"
#include "view/loadprogress.h"
#include "view/paging.h"
#include "view/statisticstext.h"

#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

namespace {

const QString kSectionExport = QStringLiteral("Export");
const QString kEntryInterval = QStringLiteral("Interval");

// The seconds of the recording on the plot, a sample each; none without one.
std::int64_t PlotSeconds(const CCurveCtrl& plot)
{
    const CCurve* pTempPV = plot.FindCurve(kKeyTempPV);
    return pTempPV ? pTempPV->m_arrValues.GetSize() : 0;
}

} // namespace

std::int64_t CChildView::SecondAt(int x) const
{
    CCurve* pTempPV = m_pPlot->FindCurve(kKeyTempPV);
    float fStart = 0.0f;
    float fEnd = 0.0f;
    if (!m_bHaveFirstSample || !m_pPlot->GetHorzRange(pTempPV, fStart, fEnd))
        return -1;
    const std::int64_t n = pTempPV->m_arrValues.GetSize();
    if (n == 0 || m_pPlot->width() <= 0)
        return -1;
    const int c = std::clamp(x, 0, m_pPlot->width() - 1);
    return std::clamp<std::int64_t>(CursorPoint(c, m_pPlot->width(), fStart, fEnd).nIndex, 0,
                                    n - 1);
}

bool CChildView::OnPlotMouse(QEvent::Type eType, const QMouseEvent& event)
{
    const int x = event.position().toPoint().x();
    const std::int64_t nFirst = m_selection.GetFirst();
    const std::int64_t nLast = m_selection.GetLast();
    bool bTaken = false;
    switch (eType) {
    case QEvent::MouseButtonPress: {
        if (event.button() != Qt::LeftButton)
            return false;
        const std::int64_t nSecond = SecondAt(x);
        if (nSecond < 0)
            return false;
        bTaken = m_selection.Press(x, nSecond, event.modifiers().testFlag(Qt::ShiftModifier),
                                   PlotSeconds(*m_pPlot));
        break;
    }
    case QEvent::MouseMove:
        if (m_selection.IsPressed())
            m_selection.Move(x, SecondAt(x), PlotSeconds(*m_pPlot));
        break;
    case QEvent::MouseButtonRelease:
        if (m_selection.IsPressed() && event.button() == Qt::LeftButton)
            m_selection.Release(x, SecondAt(x), PlotSeconds(*m_pPlot));
        break;
    default:
        break;
    }
    if (m_selection.GetFirst() != nFirst || m_selection.GetLast() != nLast)
        ShowSelection();
    return bTaken;
}

void CChildView::SetSelection(std::int64_t nFirst, std::int64_t nLast)
{
    if (m_selection.Set(nFirst, nLast, PlotSeconds(*m_pPlot)))
        ShowSelection();
}

void CChildView::ClearSelection()
{
    if (m_selection.Clear())
        ShowSelection();
}

void CChildView::ShowSelection()
{
    m_pPlot->m_nBandFirst = m_selection.GetFirst();
    m_pPlot->m_nBandLast = m_selection.GetLast();
    m_pPlot->update();
    m_pShown->SetSelection(m_selection.GetFirst(), m_selection.GetLast());
}

QString CChildView::SelectionText() const
{
    return m_selection.Text(m_tFirstSample, res::LoadString(res::IDS_SEL_STATUS));
}

void CChildView::OnExport()
{
    const CCurve* pTempPV = m_pPlot->FindCurve(kKeyTempPV);
    const std::int64_t n = pTempPV ? pTempPV->m_arrValues.GetSize() : 0;
    const QString strCaption = res::LoadString(res::IDR_MAINFRAME);
    if (!m_bHaveFirstSample || n == 0) {
        QMessageBox::information(this, strCaption, res::LoadString(res::IDS_EXPORT_NOTHING));
        return;
    }
    const std::int64_t nBegin = HasSelection() ? GetSelectionFirst() : 0;
    const std::int64_t nEnd = HasSelection() ? GetSelectionLast() + 1 : n;
    const int nStored = ReadSettingInt(kSectionExport, kEntryInterval, 1);
    int nChoice = static_cast<int>(
        std::find(std::begin(kExportIntervals), std::end(kExportIntervals), nStored) -
        std::begin(kExportIntervals));
    nChoice = nChoice < 4 ? nChoice : 0;
    // Asked again after a warning the user does not go on from, so a longer interval can be
    // chosen.
    for (;;) {
        QDialog dlg(this);
        dlg.setWindowTitle(res::LoadString(res::IDS_EXPORT_CAPTION));
        auto* pInterval = new QComboBox(&dlg);
        for (int i = 0; i < 4; ++i)
            pInterval->addItem(res::LoadString(res::IDS_EXPORT_1S + i));
        pInterval->setCurrentIndex(nChoice);
        auto* pCount = new QLabel(&dlg);
        const auto showCount = [&](int nIndex) {
            const std::int64_t nRecords =
                ExportRecordCount(nBegin, nEnd, kExportIntervals[nIndex], n);
            pCount->setText(res::LoadString(res::IDS_EXPORT_RECORDS)
                                .arg(QString::fromStdString(FormatWithThousands(nRecords))));
        };
        showCount(nChoice);
        connect(pInterval, &QComboBox::currentIndexChanged, &dlg, showCount);
        auto* pButtons =
            new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
        connect(pButtons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
        connect(pButtons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
        auto* pLayout = new QFormLayout(&dlg);
        pLayout->addRow(res::LoadString(res::IDS_EXPORT_INTERVAL), pInterval);
        pLayout->addRow(QString(), pCount);
        pLayout->addRow(pButtons);
        if (dlg.exec() != QDialog::Accepted)
            return;
        nChoice = pInterval->currentIndex();
        WriteSettingInt(kSectionExport, kEntryInterval, kExportIntervals[nChoice]);
        const std::int64_t nRecords = ExportRecordCount(nBegin, nEnd, kExportIntervals[nChoice], n);
        if (nRecords <= kSpreadsheetRows ||
            QMessageBox::warning(this, strCaption,
                                 res::LoadString(res::IDS_EXPORT_MANY)
                                     .arg(QString::fromStdString(FormatWithThousands(nRecords))),
                                 QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes)
            break;
    }

    QFileDialog dlg(this);
    dlg.setAcceptMode(QFileDialog::AcceptSave);
    dlg.setFileMode(QFileDialog::AnyFile);
    dlg.setNameFilter(res::LoadString(res::IDS_EXPORT_FILTER));
    dlg.setDefaultSuffix(QStringLiteral("csv"));
    if (dlg.exec() != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return;
    const QString strError = ExportTo(dlg.selectedFiles().constFirst(), kExportIntervals[nChoice]);
    if (!strError.isEmpty())
        QMessageBox::warning(this, strCaption, strError);
}

QString CChildView::ExportTo(const QString& strPath, int nInterval)
{
    if (m_fileWork.IsBusy())
        return QString();
    const QString strNative = QDir::toNativeSeparators(strPath);
    if (!m_strRecordingPath.isEmpty() && IsSameFile(strPath, m_strRecordingPath))
        return res::LoadString(res::IDS_EXPORT_IS_INPUT).arg(strNative);
    const CRecordingView series = RecordingView();
    if (!m_bHaveFirstSample || series.GetCount() == 0)
        return res::LoadString(res::IDS_EXPORT_NOTHING);
    const std::int64_t nBegin = HasSelection() ? GetSelectionFirst() : 0;
    const std::int64_t nEnd = HasSelection() ? GetSelectionLast() + 1 : series.GetCount();

    // The export keeps the recording alive: one whose write is stuck (a stalled share) and
    // was cancelled finishes on its own, after the recording may have been closed.
    const std::shared_ptr<const CRecording> pRecording = m_pRecording;
    const RecorderLoad write = [pRecording, nBegin, nEnd, strPath,
                                nInterval](const LoadProgress& progress) {
        const CExportFileResult exported =
            ExportRecorderFile(strPath, pRecording->View(), pRecording->GetFirstTime(), nBegin,
                               nEnd, nInterval, [&](std::int64_t nDone, std::int64_t nTotal) {
                                   return progress(static_cast<std::uint64_t>(nDone),
                                                   static_cast<std::uint64_t>(nTotal));
                               });
        CLoadResult result;
        switch (exported.status) {
        case CExportFileResult::EStatus::Written:
            result.status = CLoadResult::EStatus::Loaded;
            break;
        case CExportFileResult::EStatus::Cancelled:
            result.status = CLoadResult::EStatus::Cancelled;
            break;
        case CExportFileResult::EStatus::Failed:
            result.status = CLoadResult::EStatus::CannotOpen;
            result.strMessage = exported.strReason.toStdString();
            break;
        }
        return result;
    };

    CLoadResult result;
    const bool bFinished = m_fileWork.Run(
        this, res::LoadString(res::IDS_EXPORT_WRITING).arg(QFileInfo(strPath).fileName()), write,
        result);
    if (!bFinished || result.status == CLoadResult::EStatus::Loaded)
        return QString();
    return res::LoadString(res::IDS_EXPORT_FAILED)
        .arg(strNative, QString::fromStdString(result.strMessage));
}
