// The legend drawn over the plot while several recordings are shown: one row per recording
// with a swatch of its colours, its name and, while the pointer is over the plot, its values
// at the second under the pointer.
#pragma once

#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

class QFontMetrics;
class QPainter;

struct CLegendEntry
{
    QString strName;
    std::uint32_t crTemp = 0; // the swatch: measured temperature and humidity colours
    std::uint32_t crHumi = 0;
    QString strReadout; // empty where the recording has no sample under the pointer
};

class CCurveLegend
{
public:
    bool IsEmpty() const { return m_arrEntries.empty(); }
    const std::vector<CLegendEntry>& GetEntries() const { return m_arrEntries; }
    void SetEntries(std::vector<CLegendEntry> arrEntries) { m_arrEntries = std::move(arrEntries); }
    void SetReadout(std::size_t i, const QString& strReadout);

    // The row of each entry on a plot of size, in the top left corner, as metrics measure text.
    std::vector<QRect> Rows(const QFontMetrics& metrics, bool bReadouts) const;
    // The entry whose row holds pt; -1 for none.
    int EntryAt(const QFontMetrics& metrics, const QPoint& pt, bool bReadouts) const;
    void Draw(QPainter& painter, bool bReadouts) const;

private:
    std::vector<CLegendEntry> m_arrEntries;
};
