#include "view/stepsmodel.h"

#include <limits>

CStepsTableModel::CStepsTableModel(bool bExcursions, const QStringList& headings, QObject* pParent)
    : QAbstractTableModel(pParent), m_bExcursions(bExcursions), m_headings(headings)
{
}

void CStepsTableModel::SetAnalysis(std::shared_ptr<const CProgramAnalysis> pAnalysis,
                                   std::uint32_t tFirst, CStepWords words)
{
    beginResetModel();
    m_pAnalysis = std::move(pAnalysis);
    m_tFirst = tFirst;
    m_words = std::move(words);
    m_stepRows.clear();
    if (m_pAnalysis && !m_bExcursions) {
        for (std::size_t s = 0; s < m_pAnalysis->steps.size(); ++s)
            for (const int nCurve : {kStepTemp, kStepHumi})
                if (m_pAnalysis->steps[s].curves[nCurve].bJudged)
                    m_stepRows.emplace_back(s, nCurve);
    }
    m_nCachedRow = -1;
    endResetModel();
}

void CStepsTableModel::Clear()
{
    SetAnalysis(nullptr, 0, CStepWords());
}

int CStepsTableModel::rowCount(const QModelIndex& parent) const
{
    if (parent.isValid() || !m_pAnalysis)
        return 0;
    // A view counts rows in an int.
    const std::size_t n = m_bExcursions ? m_pAnalysis->excursions.size() : m_stepRows.size();
    return static_cast<int>(std::min<std::size_t>(n, std::numeric_limits<int>::max()));
}

int CStepsTableModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(m_headings.size());
}

std::int64_t CStepsTableModel::FirstSample(int nRow) const
{
    if (nRow < 0 || nRow >= rowCount())
        return -1;
    const auto r = static_cast<std::size_t>(nRow);
    return m_bExcursions ? m_pAnalysis->excursions[r].nBegin
                         : m_pAnalysis->steps[m_stepRows[r].first].nBegin;
}

QStringList CStepsTableModel::MakeCells(int nRow) const
{
    const auto r = static_cast<std::size_t>(nRow);
    return m_bExcursions ? ExcursionRowCells(*m_pAnalysis, r, m_tFirst, m_words)
                         : StepRowCells(*m_pAnalysis, m_stepRows[r].first, m_stepRows[r].second,
                                        m_tFirst, m_words);
}

QStringList CStepsTableModel::RowCells(int nRow) const
{
    if (nRow < 0 || nRow >= rowCount())
        return {};
    if (nRow != m_nCachedRow) {
        m_cachedCells = MakeCells(nRow);
        m_nCachedRow = nRow;
    }
    return m_cachedCells;
}

void CStepsTableModel::AppendRowText(int nRow, QString& strText) const
{
    if (nRow < 0 || nRow >= rowCount())
        return;
    // Not through the cache: the row the view asked for last stays in it.
    const QStringList cells = MakeCells(nRow);
    for (qsizetype c = 0; c < cells.size(); ++c) {
        if (c > 0)
            strText += QLatin1Char('\t');
        strText += cells[c];
    }
}

QVariant CStepsTableModel::data(const QModelIndex& index, int nRole) const
{
    if (!index.isValid())
        return {};
    if (nRole == Qt::TextAlignmentRole)
        return QVariant::fromValue((index.column() <= 2 ? Qt::AlignLeft : Qt::AlignRight) |
                                   Qt::AlignVCenter);
    if (nRole != Qt::DisplayRole)
        return {};
    return RowCells(index.row()).value(index.column());
}

QVariant CStepsTableModel::headerData(int nSection, Qt::Orientation orientation, int nRole) const
{
    if (orientation != Qt::Horizontal || nRole != Qt::DisplayRole)
        return QAbstractTableModel::headerData(nSection, orientation, nRole);
    return m_headings.value(nSection);
}
