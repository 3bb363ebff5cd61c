// The paging of the main view as numbers: the scale, the page asked for and how many pages the
// recording fills. The page and total boxes show it; the plot's window comes from it.
#pragma once

#include <cstdint>
#include <utility>

class CPager
{
public:
    // A plot nWidth pixels wide showing nSamples at nSecondsPerPixel (clamped to the
    // scales offered), from its first page.
    void Reset(std::int64_t nSamples, int nWidth, int nSecondsPerPixel);

    int GetSecondsPerPixel() const { return m_nSecondsPerPixel; }
    int GetTotalPages() const { return m_nTotal; }
    // The page asked for, as typed: 0 when it could not be read, and possibly past the last
    // page, which shows nothing.
    int GetPage() const { return m_nPage; }
    void SetPage(int nPage) { m_nPage = nPage < 0 ? 0 : nPage; }
    // The page shown: an unreadable one shows the first.
    int GetShownPage() const { return m_nPage == 0 ? 1 : m_nPage; }

    // The sample positions at the plot's left and right edges.
    std::pair<float, float> GetWindow() const;
    // The page that holds sample nIndex; 0 for none.
    int PageOf(std::int64_t nIndex) const;

private:
    std::int64_t m_nSamples = 0;
    int m_nWidth = 0;
    int m_nSecondsPerPixel = 1;
    int m_nPage = 1;
    int m_nTotal = 1;
};
