#include "view/selection.h"

#include "view/paging.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

bool CSelection::Set(std::int64_t nFirst, std::int64_t nLast, std::int64_t nSeconds)
{
    if (nFirst > nLast)
        std::swap(nFirst, nLast);
    nFirst = std::max<std::int64_t>(nFirst, 0);
    nLast = std::min(nLast, nSeconds - 1);
    if (nFirst > nLast)
        return Clear(); // wholly outside the recording
    if (nFirst == m_nFirst && nLast == m_nLast)
        return false;
    m_nFirst = nFirst;
    m_nLast = nLast;
    return true;
}

bool CSelection::Clear()
{
    m_bPressed = false;
    if (!HasSelection())
        return false;
    m_nFirst = 0;
    m_nLast = -1;
    return true;
}

bool CSelection::Press(int x, std::int64_t nSecond, bool bExtend, std::int64_t nSeconds)
{
    if (bExtend && HasSelection()) {
        Set(m_nFirst, nSecond, nSeconds);
        m_bPressed = false;
        return true;
    }
    m_bPressed = true;
    m_bDragging = false;
    m_nPressX = x;
    m_nPressSecond = nSecond;
    return false;
}

void CSelection::Move(int x, std::int64_t nSecond, std::int64_t nSeconds)
{
    if (m_bPressed)
        DragTo(x, nSecond, nSeconds);
}

void CSelection::Release(int x, std::int64_t nSecond, std::int64_t nSeconds)
{
    if (!m_bPressed)
        return;
    m_bPressed = false;
    DragTo(x, nSecond, nSeconds);
}

void CSelection::DragTo(int x, std::int64_t nSecond, std::int64_t nSeconds)
{
    m_bDragging = m_bDragging || std::abs(x - m_nPressX) > kDragPixels;
    if (m_bDragging)
        Set(std::min(m_nPressSecond, nSecond), std::max(m_nPressSecond, nSecond), nSeconds);
}

QString CSelection::Text(std::uint32_t tFirstSample, const QString& strPattern) const
{
    if (!HasSelection())
        return QString();
    const char* const szFormat = "%Y-%m-%d %H:%M:%S";
    const std::int64_t nSeconds = m_nLast - m_nFirst + 1;
    const QString strDuration = QStringLiteral("%1:%2:%3")
                                    .arg(nSeconds / 3600)
                                    .arg(nSeconds / 60 % 60, 2, 10, QLatin1Char('0'))
                                    .arg(nSeconds % 60, 2, 10, QLatin1Char('0'));
    return strPattern.arg(FormatRecordTime(tFirstSample, m_nFirst, szFormat),
                          FormatRecordTime(tFirstSample, m_nLast, szFormat), strDuration);
}
