// File Open and File Close of the main view: a recorder file, or another logger's, read into
// the four curves.
#include "curve/curvectrl.h"
#include "recorder/openrecording.h"
#include "recorder/recorderloader.h"
#include "res/resource.h"
#include "res/resources.h"
#include "settings/layoutstore.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"
#include "skin/statictext.h"
#include "view/childview.h"
#include "view/commandui.h"
#include "view/curvefilefilter.h"
#include "view/curvekeys.h"
#include "view/paging.h"

#include "view/loadprogress.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include <memory>
#include <optional>

namespace {

int ReadLimit(const char* szEntry)
{
    return ReadSettingInt(QString::fromLatin1(settings::kSectionLimit),
                          QString::fromLatin1(szEntry), 0);
}

} // namespace

void CChildView::OpenRecorderFile()
{
    const QStringList paths = AskFilesToRead();
    if (!paths.isEmpty())
        OpenRecorderPaths(paths);
}

QString CChildView::AskFileToRead()
{
    QFileDialog dlg(this);
    dlg.setFileMode(QFileDialog::ExistingFile);
    dlg.setAcceptMode(QFileDialog::AcceptOpen);
    dlg.setNameFilter(CurveFileFilterFor(dlg));
    dlg.setOption(QFileDialog::ReadOnly);
    if (ExecOpenDialog(dlg) != QDialog::Accepted || dlg.selectedFiles().isEmpty())
        return QString();
    return dlg.selectedFiles().constFirst();
}

int CChildView::ExecOpenDialog(QFileDialog& dlg)
{
    return dlg.exec();
}

bool CChildView::OpenRecorderPath(const QString& strPath)
{
    COpenResult open;
    if (!RunOpen(strPath, nullptr, open))
        return false;
    if (!open.bRead)
        return ImportPath(strPath, open.recognition);
    return ShowOpened(strPath, open);
}

bool CChildView::RunOpen(const QString& strPath, const CLayout* pLayout, COpenResult& open)
{
    if (m_fileWork.IsBusy())
        return false; // one load at a time
    const QFileInfo info(strPath);
    const std::filesystem::path path = info.filesystemFilePath();
    // The worker may outlive this call after a cancel, so it owns all it reads and writes.
    auto pOpen = std::make_shared<COpenResult>();
    std::optional<CLayout> chosen;
    if (pLayout)
        chosen = *pLayout;
    CLoadResult result;
    const bool bFinished = m_fileWork.Run(
        this, res::LoadString(res::IDS_OPEN_READING).arg(info.fileName()),
        [path, pOpen, chosen, finder = SavedLayoutFinder()](const LoadProgress& progress) {
            *pOpen = OpenRecordingFile(path, chosen ? &*chosen : nullptr, progress, finder);
            return std::move(pOpen->load);
        },
        result);
    if (!bFinished)
        return false; // cancelled: the recording on screen stays as it was
    open = std::move(*pOpen);
    open.load = std::move(result);
    return true;
}

bool CChildView::ShowOpened(const QString& strPath, COpenResult& open)
{
    CLoadResult& result = open.load;
    const QFileInfo info(strPath);
    const QString strName = info.fileName();
    using EStatus = CLoadResult::EStatus;
    const QString strDetail = QString::fromStdString(result.strMessage);
    const auto warn = [this](const QString& strText) {
        QMessageBox::warning(this, res::LoadString(res::IDR_MAINFRAME), strText);
    };
    switch (result.status) {
    case EStatus::Cancelled:
        return false;
    case EStatus::CannotOpen:
        warn(res::LoadString(res::IDS_OPEN_CANNOT_READ).arg(strName, strDetail));
        return false;
    case EStatus::TooFewLines:
        warn(res::LoadString(res::IDS_OPEN_NO_RECORD).arg(strName, strDetail));
        return false;
    default:
        break;
    }
    // A file whose first record is already unreadable (not a recording at all, say) leaves
    // the recording on screen as it was.
    if (!result.bHaveFirstRecord) {
        warn(res::LoadString(res::IDS_OPEN_NO_READABLE).arg(strName, strDetail));
        return false;
    }

    // What the reader kept before a faulty line is shown and can be paged like a whole file.
    if (m_bAdding && m_pRecording) {
        if (!AddRecording(std::make_shared<const CRecording>(std::move(result.recording)), strPath))
            return false;
    } else {
        ShowRecording(result, info.completeBaseName());
        m_strRecordingPath = strPath;
        m_arrMemberPaths.front() = strPath;
    }
    if (m_pUi) {
        const QString strLayout = QString::fromStdString(DescribeLayout(open.layout));
        m_pUi->ShowReadLayout(open.layout.bRecorder
                                  ? QString()
                                  : res::LoadString(res::IDS_OPEN_LAYOUT).arg(strLayout));
    }
    if (result.status != EStatus::Loaded) {
        const int nId = result.status == EStatus::SpanTooLong   ? res::IDS_OPEN_SPAN_REFUSED
                        : result.status == EStatus::OutOfMemory ? res::IDS_OPEN_OUT_OF_MEMORY
                                                                : res::IDS_OPEN_INVALID_RECORD;
        warn(res::LoadString(nId).arg(strName).arg(result.nLine).arg(strDetail));
    }
    return result.status == EStatus::Loaded;
}

void CChildView::ShowRecording(CLoadResult& result, const QString& strTitle)
{
    ShowRecording(std::make_shared<const CRecording>(std::move(result.recording)), strTitle);
}

void CChildView::ShowRecording(std::shared_ptr<const CRecording> pRecording,
                               const QString& strTitle)
{
    // The new recording replaces the old one; the curves show its channels.
    ForgetSteps();
    m_pRecording = std::move(pRecording);
    // Those shown beside the old recording go with it.
    m_set.Clear();
    m_set.Add(m_pRecording);
    m_arrMemberPaths.assign(1, QString());
    RebuildMemberCurves();
    const std::pair<const char*, EChannel> shown[] = {{kKeyTempPV, EChannel::TempPV},
                                                      {kKeyTempSV, EChannel::TempSV},
                                                      {kKeyHumiPV, EChannel::HumiPV},
                                                      {kKeyHumiSV, EChannel::HumiSV}};
    for (const auto& [szKey, eChannel] : shown)
        m_pPlot->ShowChannel(m_pPlot->FindCurve(szKey), m_pRecording, eChannel);
    for (const char* szKey : {kKeyHumiPV, kKeyHumiSV})
        if (CCurve* pCurve = m_pPlot->FindCurve(szKey))
            pCurve->m_bSkipNegative = 1;
    // The readout under the pointer leaves out a channel the file did not have.
    const std::pair<int, EChannel> readouts[] = {{res::IDC_TEMP_PV, EChannel::TempPV},
                                                 {res::IDC_TEMP_SV, EChannel::TempSV},
                                                 {res::IDC_HUMI_PV, EChannel::HumiPV},
                                                 {res::IDC_HUMI_SV, EChannel::HumiSV}};
    for (const auto& [nLabel, eChannel] : readouts)
        if (!m_pRecording->HasChannel(eChannel))
            GetLabel(nLabel)->SetText(QString());
    const std::int64_t tFirst = m_pRecording->GetFirstTime();
    m_tFirstSample = static_cast<std::uint32_t>(tFirst);
    m_tFirstTime = tFirst;
    m_strRecordingPath.clear();
    ClearSelection();
    m_bHaveFirstSample = true;
    GetLabel(res::IDC_FILENAME)->SetText(strTitle);
    // The first record's own time, also before 1970 or from 2106 on, where the 32 bits kept
    // for the labels and the readout under the pointer wrap.
    GetLabel(res::IDC_DATE)->SetText(FormatLocalTime(tFirst, "%Y-%m-%d"));
    GetLabel(res::IDC_TIME)->SetText(FormatLocalTime(tFirst, "%H:%M:%S"));
    FinishOpen();
    RefreshSteps();
    m_pShown->SetRecordings(m_set);
}

void CChildView::FinishOpen()
{
    const int w = m_pPlot->width();
    UpdateVerticalAxes(ReadLimit(settings::kEntryMaxTemp), ReadLimit(settings::kEntryMinTemp),
                       ReadLimit(settings::kEntryMaxHumi), ReadLimit(settings::kEntryMinHumi));
    for (const auto& pCurve : m_pPlot->m_arrCurves) {
        pCurve->m_fHorzMin = 0.0f;
        pCurve->m_fHorzMax = static_cast<float>(w);
    }
    // The paging resets once this command has returned, as a scroll to 1 second per pixel.
    QMetaObject::invokeMethod(
        this, [this] { OnScaleBarScroll(kThumbPosition, 0); }, Qt::QueuedConnection);
    m_pPlot->update();
}

void CChildView::CloseRecorderFile()
{
    GetLabel(res::IDC_TIME)->SetText(QString());
    GetLabel(res::IDC_DATE)->SetText(QString());
    GetLabel(res::IDC_FILENAME)->SetText(QString());
    ForgetSteps();
    for (const auto& pCurve : m_pPlot->m_arrCurves)
        m_pPlot->ClearCurve(pCurve.get());
    m_pRecording.reset();
    m_set.Clear();
    m_arrMemberPaths.clear();
    RebuildMemberCurves();
    m_strRecordingPath.clear();
    ClearSelection();
    m_pPlot->update();
    m_pShown->SetRecording(nullptr);
    if (m_pUi)
        m_pUi->ShowReadLayout(QString());
}
