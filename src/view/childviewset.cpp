// Several recordings side by side in the main view: File > Add Recording, the members' curves
// in their colour families, the legend and its menu, the alignment and the offsets, and the
// members' readouts under the pointer.
#include "curve/curvectrl.h"
#include "recorder/openrecording.h"
#include "res/resource.h"
#include "res/resources.h"
#include "settings/profile.h"
#include "settings/settingkeys.h"
#include "view/childview.h"
#include "view/colorfamily.h"
#include "view/curvekeys.h"
#include "view/offsetdlg.h"
#include "view/paging.h"

#include <QActionGroup>
#include <QFileInfo>
#include <QMenu>
#include <QMessageBox>
#include <QScopedValueRollback>

namespace {

// A member's curves are named after member 0's with "#" and the member's number.
QString MemberKey(const char* szKey, std::size_t nMember)
{
    return QString::fromLatin1(szKey) + QLatin1Char('#') + QString::number(nMember);
}

QString MemberName(const CRecording& recording, const QString& strPath)
{
    const QString strSource =
        strPath.isEmpty() ? QString::fromStdString(recording.GetSourceName()) : strPath;
    const QString strName = QFileInfo(strSource).fileName();
    return strName.isEmpty() ? strSource : strName;
}

// "T 23.50 / 25.00  H 50.00 / 60.00": the values and, where the file had them, the set values.
QString ReadoutOf(const CRecording& recording, std::int64_t i)
{
    const CRecordingView view = recording.View();
    auto part = [&](const char* szName, EChannel ePV, EChannel eSV) {
        if (!recording.HasChannel(ePV))
            return QString();
        QString str = QString::fromLatin1(szName) + FormatValue(view.Value(ePV, i));
        if (recording.HasChannel(eSV))
            str += QStringLiteral(" / ") + FormatValue(view.Value(eSV, i));
        return str;
    };
    QStringList parts;
    for (const QString& str : {part("T ", EChannel::TempPV, EChannel::TempSV),
                               part("H ", EChannel::HumiPV, EChannel::HumiSV)})
        if (!str.isEmpty())
            parts << str;
    return parts.join(QStringLiteral("   "));
}

} // namespace

int CChildView::MemberOfCurve(const CCurve& curve)
{
    const qsizetype nHash = curve.m_strKey.indexOf(QLatin1Char('#'));
    return nHash < 0 ? 0 : curve.m_strKey.mid(nHash + 1).toInt();
}

std::int64_t CChildView::ShiftOf(std::size_t i) const
{
    if (m_set.GetCount() < 2 || i >= m_set.GetCount())
        return 0;
    return m_set.StartOf(i) - m_set.Span().first;
}

std::int64_t CChildView::LineSeconds() const
{
    if (m_set.GetCount() < 2)
        return RecordedSeconds();
    const auto [tFirst, tEnd] = m_set.Span();
    return tEnd - tFirst;
}

void CChildView::RebuildMemberCurves()
{
    for (std::size_t i = m_pPlot->m_arrCurves.size(); i-- > 0;)
        if (MemberOfCurve(*m_pPlot->m_arrCurves[i]) != 0)
            m_pPlot->RemoveCurve(m_pPlot->m_arrCurves[i].get());
    std::vector<CLegendEntry> legend;
    if (m_set.GetCount() >= 2) {
        const std::pair<const char*, EChannel> channels[4] = {{kKeyTempPV, EChannel::TempPV},
                                                              {kKeyHumiPV, EChannel::HumiPV},
                                                              {kKeyTempSV, EChannel::TempSV},
                                                              {kKeyHumiSV, EChannel::HumiSV}};
        for (std::size_t k = 0; k < m_set.GetCount(); ++k) {
            const int nMember = static_cast<int>(k);
            for (const auto& [szKey, eChannel] : channels) {
                const CCurve* pBase = m_pPlot->FindCurve(QString::fromLatin1(szKey));
                if (!pBase || k == 0)
                    continue;
                // Same pen, visibility and axis as member 0's curve, in the member's colours.
                CCurve* pCurve =
                    m_pPlot->AddCurve(MemberKey(szKey, k), FamilyColor(pBase->m_crColor, nMember),
                                      pBase->m_nPenStyle, pBase->m_nPenWidth);
                pCurve->m_nAxis = pBase->m_nAxis;
                pCurve->m_bVisible = pBase->m_bVisible;
                pCurve->m_bSkipNegative = pBase->m_bSkipNegative;
                pCurve->m_fVertMin = pBase->m_fVertMin;
                pCurve->m_fVertMax = pBase->m_fVertMax;
                m_pPlot->ShowChannel(pCurve, m_set[k].pRecording, eChannel);
            }
            CLegendEntry entry;
            entry.strName = MemberName(m_set.Recording(k), m_arrMemberPaths[k]);
            const CCurve* pTemp = m_pPlot->FindCurve(QString::fromLatin1(kKeyTempPV));
            const CCurve* pHumi = m_pPlot->FindCurve(QString::fromLatin1(kKeyHumiPV));
            entry.crTemp = FamilyColor(pTemp ? pTemp->m_crColor : 0, nMember);
            entry.crHumi = FamilyColor(pHumi ? pHumi->m_crColor : 0, nMember);
            legend.push_back(entry);
        }
    }
    m_pPlot->m_legend.SetEntries(std::move(legend));
    PlaceMemberCurves();
    m_pPlot->update();
}

void CChildView::PlaceMemberCurves()
{
    // Alone a recording fills the line from its start; beside others each begins at its
    // first sample, not at the plot's left edge.
    const bool bSeveral = m_set.GetCount() >= 2;
    for (const auto& pCurve : m_pPlot->m_arrCurves)
        pCurve->m_bEnterFromEdge = bSeveral ? 0 : 1;
    if (!bSeveral)
        return;
    const auto [fStart, fEnd] = m_pager.GetWindow();
    for (const auto& pCurve : m_pPlot->m_arrCurves) {
        const float fShift = static_cast<float>(ShiftOf(MemberOfCurve(*pCurve)));
        pCurve->m_fHorzMin = fStart - fShift;
        pCurve->m_fHorzMax = fEnd - fShift;
    }
}

void CChildView::ApplySet()
{
    RebuildMemberCurves();
    ResetPaging(m_pager.GetSecondsPerPixel());
    m_pShown->SetRecordings(m_set);
}

bool CChildView::AddRecording(std::shared_ptr<const CRecording> pRecording, const QString& strPath)
{
    if (!m_pRecording || !m_set.Add(std::move(pRecording)))
        return false;
    m_arrMemberPaths.push_back(strPath);
    ApplySet();
    return true;
}

void CChildView::CloseRecording(std::size_t i)
{
    if (i >= m_set.GetCount())
        return;
    if (m_set.GetCount() == 1) {
        CloseRecorderFile();
        return;
    }
    if (i > 0) {
        m_set.Remove(i);
        m_arrMemberPaths.erase(m_arrMemberPaths.begin() + static_cast<std::ptrdiff_t>(i));
        ApplySet();
        return;
    }
    // The next member takes member 0's place, with everything that speaks of member 0.
    const CRecordingSet old = m_set;
    const std::vector<QString> arrPaths = m_arrMemberPaths;
    const QString strTitle =
        QFileInfo(MemberName(old.Recording(1), arrPaths[1])).completeBaseName();
    ShowRecording(old[1].pRecording, strTitle);
    m_strRecordingPath = arrPaths[1];
    m_arrMemberPaths.front() = arrPaths[1];
    m_set.SetOffset(0, old[1].nOffset);
    for (std::size_t k = 2; k < old.GetCount(); ++k) {
        m_set.Add(old[k].pRecording, old[k].nOffset);
        m_arrMemberPaths.push_back(arrPaths[k]);
    }
    ApplySet();
}

void CChildView::SetAlignment(EAlignment eAlignment)
{
    WriteSettingInt(QString::fromLatin1(settings::kSectionApp),
                    QString::fromLatin1(settings::kEntryAlignment),
                    eAlignment == EAlignment::Starts ? 1 : 0);
    if (m_set.GetAlignment() == eAlignment)
        return;
    m_set.SetAlignment(eAlignment);
    if (m_set.GetCount() >= 2)
        ApplySet();
}

void CChildView::SetRecordingOffset(std::size_t i, std::int64_t nSeconds)
{
    if (i >= m_set.GetCount() || m_set[i].nOffset == nSeconds)
        return;
    m_set.SetOffset(i, nSeconds);
    ApplySet();
}

void CChildView::OnAddRecording()
{
    if (!m_pRecording) {
        OpenRecorderFile();
        return;
    }
    if (m_set.GetCount() >= kMaxRecordings) {
        QMessageBox::information(
            this, res::LoadString(res::IDR_MAINFRAME),
            res::LoadString(res::IDS_SIDE_FULL).arg(static_cast<int>(kMaxRecordings)));
        return;
    }
    const QString strPath = AskFileToRead();
    if (strPath.isEmpty())
        return;
    const QScopedValueRollback<bool> adding(m_bAdding, true);
    OpenRecorderPath(strPath);
}

int CChildView::ExecOffsetDialog(COffsetDlg& dlg)
{
    return dlg.exec();
}

void CChildView::OnRecordingOffset(std::size_t i)
{
    if (i >= m_set.GetCount())
        return;
    COffsetDlg dlg(MemberName(m_set.Recording(i), m_arrMemberPaths[i]), m_set[i].nOffset, this);
    if (ExecOffsetDialog(dlg) == QDialog::Accepted)
        SetRecordingOffset(i, dlg.GetOffset());
}

void CChildView::FillLegendMenu(QMenu& menu, std::size_t i)
{
    menu.addAction(res::LoadString(res::IDS_SIDE_CLOSE), this, [this, i] { CloseRecording(i); });
    menu.addAction(res::LoadString(res::IDS_SIDE_OFFSET), this,
                   [this, i] { OnRecordingOffset(i); });
    menu.addSeparator();
    auto* pGroup = new QActionGroup(&menu);
    for (const auto& [nText, eAlignment] :
         {std::pair{res::IDS_SIDE_ALIGN_CLOCK, EAlignment::ClockTime},
          std::pair{res::IDS_SIDE_ALIGN_STARTS, EAlignment::Starts}}) {
        QAction* pAction = menu.addAction(res::LoadString(nText), this,
                                          [this, e = eAlignment] { SetAlignment(e); });
        pAction->setCheckable(true);
        pAction->setChecked(m_set.GetAlignment() == eAlignment);
        pGroup->addAction(pAction);
    }
}

void CChildView::ShowMemberReadouts(std::int64_t nSecond)
{
    if (m_set.GetCount() < 2)
        return;
    for (std::size_t k = 0; k < m_set.GetCount(); ++k) {
        const std::int64_t i = nSecond - ShiftOf(k);
        const CRecording& recording = m_set.Recording(k);
        m_pPlot->m_legend.SetReadout(k, i >= 0 && i < recording.GetCount()
                                            ? ReadoutOf(recording, i)
                                            : res::LoadString(res::IDS_SIDE_NO_SAMPLE));
    }
    m_pPlot->update();
}
