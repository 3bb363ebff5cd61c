#include "curve/curvectrl.h"

#include <algorithm>

namespace {
constexpr int kResetGrowBy = 65536;
}

CCurveCtrl::CCurveCtrl(QWidget* pParent) : QWidget(pParent)
{
    // Every paint covers the whole plot; nothing is erased beforehand.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setMouseTracking(true);
}

CCurveCtrl::~CCurveCtrl() = default;

CCurve* CCurveCtrl::AddCurve(const QString& strKey, std::uint32_t crColor, int nPenStyle,
                             int nPenWidth)
{
    if (strKey.isEmpty())
        return nullptr;
    if (CCurve* pExisting = FindCurve(strKey))
        return pExisting;
    auto pCurve = std::make_unique<CCurve>();
    pCurve->m_strKey = strKey;
    pCurve->m_crColor = crColor;
    pCurve->m_nPenStyle = nPenStyle;
    pCurve->m_nPenWidth = nPenWidth;
    pCurve->m_bVisible = 1;
    m_arrCurves.push_back(std::move(pCurve));
    return m_arrCurves.back().get();
}

CCurve* CCurveCtrl::FindCurve(const QString& strKey) const
{
    for (const auto& pCurve : m_arrCurves)
        if (pCurve->m_strKey == strKey)
            return pCurve.get();
    return nullptr;
}

bool CCurveCtrl::RemoveCurve(CCurve* pCurve)
{
    const auto it = std::find_if(m_arrCurves.begin(), m_arrCurves.end(),
                                 [pCurve](const auto& p) { return p.get() == pCurve; });
    if (!pCurve || it == m_arrCurves.end())
        return false;
    ++m_nDataGeneration;
    m_arrCurves.erase(it);
    return true;
}

bool CCurveCtrl::Owns(const CCurve* pCurve) const
{
    return pCurve && std::any_of(m_arrCurves.begin(), m_arrCurves.end(),
                                 [pCurve](const auto& p) { return p.get() == pCurve; });
}

bool CCurveCtrl::SetHorzRange(CCurve* pCurve, float fMin, float fMax)
{
    if (!Owns(pCurve))
        return false;
    pCurve->m_fHorzMin = fMin;
    pCurve->m_fHorzMax = fMax;
    return true;
}

bool CCurveCtrl::GetHorzRange(CCurve* pCurve, float& fMin, float& fMax) const
{
    if (!Owns(pCurve))
        return false;
    fMin = pCurve->m_fHorzMin;
    fMax = pCurve->m_fHorzMax;
    return true;
}

bool CCurveCtrl::SetVertRange(CCurve* pCurve, float fMin, float fMax)
{
    if (!Owns(pCurve))
        return false;
    pCurve->m_fVertMin = fMin;
    pCurve->m_fVertMax = fMax;
    return true;
}

bool CCurveCtrl::SetCurveColor(CCurve* pCurve, std::uint32_t crColor)
{
    if (!Owns(pCurve))
        return false;
    pCurve->m_crColor = crColor;
    return true;
}

bool CCurveCtrl::SetCurveWidth(CCurve* pCurve, int nWidth)
{
    if (!Owns(pCurve))
        return false;
    pCurve->m_nPenWidth = nWidth;
    return true;
}

bool CCurveCtrl::ShowCurve(CCurve* pCurve, bool bShow)
{
    if (!Owns(pCurve))
        return false;
    pCurve->m_bVisible = bShow ? 1 : 0;
    return true;
}

bool CCurveCtrl::ResetCurve(CCurve* pCurve)
{
    if (!Owns(pCurve))
        return false;
    ++m_nDataGeneration;
    pCurve->m_arrValues.RemoveAll();
    pCurve->m_arrValues.SetGrowBy(kResetGrowBy);
    return true;
}

bool CCurveCtrl::ClearCurve(CCurve* pCurve)
{
    if (!Owns(pCurve))
        return false;
    ++m_nDataGeneration;
    pCurve->m_arrValues.RemoveAll();
    return true;
}

std::int64_t CCurveCtrl::AppendValue(CCurve* pCurve, float fValue)
{
    if (!Owns(pCurve))
        return -1;
    ++m_nDataGeneration;
    return pCurve->m_arrValues.Add(fValue);
}

bool CCurveCtrl::SwapValues(CCurve* pCurve, CFloatArray& arrValues)
{
    if (!Owns(pCurve))
        return false;
    const int nGrowBy = pCurve->m_arrValues.GetGrowBy();
    ++m_nDataGeneration;
    if (!pCurve->m_arrValues.Swap(arrValues))
        return false;
    pCurve->m_arrValues.SetGrowBy(nGrowBy);
    return true;
}

bool CCurveCtrl::ShowChannel(CCurve* pCurve, std::shared_ptr<const CRecording> pRecording,
                             EChannel eChannel)
{
    if (!Owns(pCurve) || !pRecording)
        return false;
    ++m_nDataGeneration;
    pCurve->m_arrValues.Show(std::move(pRecording), eChannel);
    return true;
}
