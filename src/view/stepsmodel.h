// The rows of the steps window's tables, made as they are shown: a recording whose PV chatters
// about its tolerance may hold millions of excursions.
#pragma once

#include "analysis/programsteps.h"
#include "view/stepstext.h"

#include <QAbstractTableModel>
#include <QStringList>

#include <memory>
#include <utility>
#include <vector>

class CStepsTableModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    // The step table (a row per step and judged curve) or the excursions.
    CStepsTableModel(bool bExcursions, const QStringList& headings, QObject* pParent);

    void SetAnalysis(std::shared_ptr<const CProgramAnalysis> pAnalysis, std::uint32_t tFirst,
                     CStepWords words);
    void Clear();
    // The first sample of the row's step or excursion.
    std::int64_t FirstSample(int nRow) const;
    QStringList RowCells(int nRow) const;
    // Row nRow's cells, tab-separated, added to the end of strText: Copy writes millions of
    // rows into one text this way, keeping none of them.
    void AppendRowText(int nRow, QString& strText) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int nRole) const override;
    QVariant headerData(int nSection, Qt::Orientation orientation, int nRole) const override;

private:
    QStringList MakeCells(int nRow) const;

    bool m_bExcursions;
    QStringList m_headings;
    std::shared_ptr<const CProgramAnalysis> m_pAnalysis;
    std::uint32_t m_tFirst = 0;
    CStepWords m_words;
    std::vector<std::pair<std::size_t, int>> m_stepRows; // step, curve
    // The row last asked for: a view asks for its cells one after the other.
    mutable int m_nCachedRow = -1;
    mutable QStringList m_cachedCells;
};
