// Paging, time labels and the cursor readout of the main view.
#include "curve/curvectrl.h"
#include "res/resource.h"
#include "skin/statictext.h"
#include "view/childview.h"
#include "view/curvekeys.h"
#include "view/pager.h"
#include "view/paging.h"

#include <QComboBox>
#include <QLineEdit>
#include <QScopedValueRollback>
#include <QScrollBar>

int CChildView::ReadPageNumber() const
{
    return m_pager.GetPage();
}

int CChildView::GetSecondsPerPixel() const
{
    // The scale applied, not the thumb: a thumb being dragged has not changed it yet.
    return m_pager.GetSecondsPerPixel();
}

void CChildView::SetPageText(const QString& strText)
{
    if (m_pPage->text() == strText)
        ApplyPage();
    else
        m_pPage->setText(strText); // its change notification runs ApplyPage
}

void CChildView::ApplyPage()
{
    // The box is where the page is typed; a negative page reads like unreadable text.
    m_pager.SetPage(ReadWholeNumber(m_pPage->text()));
    const auto [fStart, fEnd] = m_pager.GetWindow();
    for (const auto& pCurve : m_pPlot->m_arrCurves) {
        pCurve->m_fHorzMin = fStart;
        pCurve->m_fHorzMax = fEnd;
    }
    PlaceMemberCurves();
    UpdateTimeLabels();
    m_pPlot->update();
    // The windows beside the view speak of member 0's samples.
    const float fShift = static_cast<float>(ShiftOf(0));
    const auto [nBegin, nEnd] = ::PageSamples(fStart - fShift, fEnd - fShift, RecordedSeconds());
    m_pShown->SetPage(nBegin, nEnd);
}

void CChildView::ShowPageOf(std::int64_t nIndex)
{
    const int nPage = m_pager.PageOf(nIndex + ShiftOf(0));
    if (nPage > 0)
        SetPageText(QString::number(nPage));
}

void CChildView::UpdateTimeLabels()
{
    float fStart = 0.0f;
    float fEnd = 0.0f;
    m_pPlot->GetHorzRange(m_pPlot->FindCurve(kKeyTempPV), fStart, fEnd);
    const CLabelSteps steps = TimeLabelSteps(fStart, fEnd);
    for (int k = 0; k < res::kTimeLabelCount; ++k) {
        m_arrTimeLabels[k]->SetText(
            m_bHaveFirstSample
                ? FormatRecordTime(m_tFirstSample, steps.nBase + k * steps.nStep, "%H:%M:%S")
                : QString());
    }
    for (int k = 0; k < res::kTimeLabelCount; ++k) {
        m_arrDateLabels[k]->SetText(
            m_bHaveFirstSample
                ? FormatRecordTime(m_tFirstSample, steps.nBase + k * steps.nStep, "%Y-%m-%d")
                : QString());
    }
}

void CChildView::ResetPaging(int nSecondsPerPixel)
{
    m_pager.Reset(LineSeconds(), m_pPlot->width(), nSecondsPerPixel);
    SetPageText(QStringLiteral("1"));
    m_pTotal->setText(QString::number(m_pager.GetTotalPages()));
}

void CChildView::OnScaleChanged(int nItem)
{
    if (nItem < 0 || nItem >= static_cast<int>(std::size(kScaleSeconds)))
        return;
    const int s = kScaleSeconds[nItem];
    {
        const QScopedValueRollback<bool> inScroll(m_bInScaleScroll, true);
        m_pScaleBar->setValue(s);
    }
    ResetPaging(s);
}

void CChildView::OnScaleBarScroll(EScroll eCode, int nPos)
{
    const int nCurrent = m_pScaleBar->value();
    int nNew = nCurrent;
    switch (eCode) {
    case kLineLeft:
    case kPageLeft:
        nNew = nCurrent - 1;
        break;
    case kLineRight:
    case kPageRight:
        nNew = nCurrent + 1;
        break;
    case kThumbPosition:
        nNew = nPos;
        break;
    default:
        return;
    }
    nNew = std::clamp(nNew, kMinSecondsPerPixel, kMaxSecondsPerPixel);
    {
        const QScopedValueRollback<bool> inScroll(m_bInScaleScroll, true);
        m_pScaleBar->setSliderPosition(nNew);
        m_pScaleBar->setValue(nNew);
    }
    ResetPaging(m_pScaleBar->value());
    m_pScale->setCurrentIndex(0);
}

void CChildView::OnFirstPage()
{
    SetPageText(QStringLiteral("1"));
}

void CChildView::OnPrevPage()
{
    const int nPage = ReadPageNumber();
    if (nPage > 1)
        SetPageText(QString::number(nPage - 1));
}

void CChildView::OnNextPage()
{
    const int nPage = ReadPageNumber();
    if (nPage < INT32_MAX)
        SetPageText(QString::number(nPage + 1));
}

void CChildView::OnLastPage()
{
    SetPageText(QString::number(m_pager.GetTotalPages()));
}

void CChildView::OnPageBoxLostFocus()
{
    if (ReadPageNumber() == 0)
        SetPageText(QStringLiteral("1"));
}

void CChildView::ShowCursorValues(int x, int)
{
    if (!m_bHaveFirstSample)
        return;
    CCurve* pTempPV = m_pPlot->FindCurve(kKeyTempPV);
    float fStart = 0.0f;
    float fEnd = 0.0f;
    if (!m_pPlot->GetHorzRange(pTempPV, fStart, fEnd))
        return;
    const CCursorPoint pt = CursorPoint(x, m_pPlot->width(), fStart, fEnd);
    GetLabel(res::IDC_DATE)->SetText(FormatRecordTime(m_tFirstSample, pt.nTimeOffset, "%Y-%m-%d"));
    GetLabel(res::IDC_TIME)->SetText(FormatRecordTime(m_tFirstSample, pt.nTimeOffset, "%H:%M:%S"));

    ShowMemberReadouts(pt.nIndex + ShiftOf(0));
    const std::int64_t n = pTempPV->m_arrValues.GetSize();
    if (pt.nIndex < 0 || pt.nIndex >= n)
        return;
    // A channel the recording's file did not have is not read out: its value stays blank.
    auto showValue = [&](int nLabel, const char* szKey, bool bOnlyPositive) {
        const CCurve* p = m_pPlot->FindCurve(szKey);
        if (p && !p->m_arrValues.IsPresent()) {
            GetLabel(nLabel)->SetText(QString());
            return;
        }
        const float f =
            p && pt.nIndex < p->m_arrValues.GetSize() ? p->m_arrValues.Value(pt.nIndex) : 0.0f;
        GetLabel(nLabel)->SetText(!bOnlyPositive || f > 0.0f ? FormatValue(f) : QString());
    };
    showValue(res::IDC_TEMP_PV, kKeyTempPV, false);
    showValue(res::IDC_HUMI_PV, kKeyHumiPV, true);
    showValue(res::IDC_TEMP_SV, kKeyTempSV, false);
    showValue(res::IDC_HUMI_SV, kKeyHumiSV, true);
}
