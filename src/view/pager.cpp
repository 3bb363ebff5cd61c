#include "view/pager.h"

#include "view/paging.h"

#include <algorithm>

void CPager::Reset(std::int64_t nSamples, int nWidth, int nSecondsPerPixel)
{
    m_nSamples = nSamples;
    m_nWidth = nWidth;
    m_nSecondsPerPixel = std::clamp(nSecondsPerPixel, kMinSecondsPerPixel, kMaxSecondsPerPixel);
    m_nPage = 1;
    m_nTotal = TotalPages(nSamples, nWidth, m_nSecondsPerPixel);
}

std::pair<float, float> CPager::GetWindow() const
{
    return PageWindow(GetShownPage(), m_nWidth, m_nSecondsPerPixel);
}

int CPager::PageOf(std::int64_t nIndex) const
{
    return PageOfSample(nIndex, m_nWidth, m_nSecondsPerPixel, m_nSamples);
}
