#include "view/statisticswnd.h"

#include "res/resource.h"
#include "res/resources.h"
#include "view/shownrecording.h"
#include "view/statisticstext.h"

#include <QClipboard>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <utility>

namespace {

constexpr int kCurveColumn = 0;
constexpr int kFigureColumn = 1;
constexpr int kDeviationRow0 = 4 * 5;

QTableWidgetItem* Cell(const QString& strText, Qt::Alignment alignment)
{
    auto* pItem = new QTableWidgetItem(strText);
    pItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    pItem->setTextAlignment(alignment | Qt::AlignVCenter);
    return pItem;
}

// Hides the rows of a set value the recording has not, and the deviation from it.
void ShowRowsOf(QTableWidget* pTable, const CStatisticsRows& rows)
{
    const bool abShown[2] = {rows.bTempSV, rows.bHumiSV};
    for (int d = 0; d < 2; ++d) {
        const int nSVRow = (2 * d + 1) * 5;
        for (int k = 0; k < 5; ++k)
            pTable->setRowHidden(nSVRow + k, !abShown[d]);
        for (int k = 0; k < 3; ++k)
            pTable->setRowHidden(kDeviationRow0 + d * 3 + k, !abShown[d]);
    }
}

} // namespace

CStatisticsWnd::CStatisticsWnd(CShownRecording* pShown, QWidget* pParent)
    : QWidget(pParent, Qt::Window), m_pShown(pShown), m_tolerances(ReadStoredTolerances())
{
    setWindowTitle(res::LoadString(res::IDS_STAT_CAPTION));
    setObjectName(QStringLiteral("statistics"));

    BuildTable();
    QLayout* pTolerances = BuildToleranceBoxes();
    m_pMessage = new QLabel(this);
    m_pMessage->setWordWrap(true);
    m_pJoin = new QLabel(this);
    m_pJoin->setObjectName(QStringLiteral("joinLines"));
    m_pJoin->setTextInteractionFlags(Qt::TextSelectableByMouse);
    QLayout* pButtons = BuildButtons();
    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pTable, 1);
    pLayout->addWidget(m_pJoin);
    pLayout->addLayout(pTolerances);
    pLayout->addWidget(m_pMessage);
    pLayout->addLayout(pButtons);

    connect(m_pShown, &CShownRecording::RecordingChanged, this, [this] {
        ShowRowsOf(m_pTable, StatisticsRowsOf(m_pShown->Recording().get()));
        UpdateWhole();
        UpdatePage();
        UpdateSelection();
        UpdateMembers();
        UpdateJoin();
    });
    connect(m_pShown, &CShownRecording::PageChanged, this, &CStatisticsWnd::UpdatePage);
    connect(m_pShown, &CShownRecording::TolerancesChanged, this,
            &CStatisticsWnd::OnStoredTolerancesChanged);
    connect(m_pShown, &CShownRecording::SelectionChanged, this, &CStatisticsWnd::UpdateSelection);
    ShowRowsOf(m_pTable, StatisticsRowsOf(m_pShown->Recording().get()));
    UpdateWhole();
    UpdatePage();
    UpdateSelection();
    UpdateMembers();
    UpdateJoin();
    FitTableToContents();
}

void CStatisticsWnd::UpdateJoin()
{
    const QStringList lines =
        m_pShown->HasRecording() ? JoinReportLines(*m_pShown->Recording()) : QStringList();
    // The report's tab-separated lines, as Copy gives them, read as columns here, their
    // first word in the interface's language.
    const std::pair<QLatin1String, int> words[] = {
        {QLatin1String("file"), res::IDS_STAT_JOIN_FILE},
        {QLatin1String("gap"), res::IDS_STAT_JOIN_GAP},
        {QLatin1String("overlap"), res::IDS_STAT_JOIN_OVERLAP}};
    QString strText;
    for (const QString& strLine : lines) {
        QStringList fields = strLine.split(u'\t');
        for (const auto& [word, nId] : words)
            if (fields.front() == word)
                fields.front() = res::LoadString(nId);
        strText += (strText.isEmpty() ? QString() : QStringLiteral("\n")) +
                   fields.join(QStringLiteral("   "));
    }
    m_pJoin->setText(strText);
    m_pJoin->setVisible(!lines.isEmpty());
}

void CStatisticsWnd::BuildTable()
{
    m_pTable = new QTableWidget(kRowCount, 5, this);
    m_pTable->setAccessibleName(res::LoadString(res::IDS_STAT_TABLE));
    m_pTable->setHorizontalHeaderLabels(
        {res::LoadString(res::IDS_STAT_CURVE), res::LoadString(res::IDS_STAT_FIGURE),
         res::LoadString(res::IDS_STAT_WHOLE), res::LoadString(res::IDS_STAT_PAGE),
         res::LoadString(res::IDS_STAT_SELECTION)});
    m_pTable->verticalHeader()->hide();
    m_pTable->horizontalHeader()->setStretchLastSection(true);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionMode(QAbstractItemView::ContiguousSelection);
    const int nCurveNames[4] = {res::IDS_STAT_TEMP_PV, res::IDS_STAT_TEMP_SV, res::IDS_STAT_HUMI_PV,
                                res::IDS_STAT_HUMI_SV};
    const int nCurveFigures[5] = {res::IDS_STAT_MINIMUM, res::IDS_STAT_AT, res::IDS_STAT_MAXIMUM,
                                  res::IDS_STAT_AT, res::IDS_STAT_MEAN};
    for (int c = 0; c < 4; ++c) {
        for (int k = 0; k < 5; ++k) {
            m_pTable->setItem(c * 5 + k, kCurveColumn,
                              Cell(res::LoadString(nCurveNames[c]), Qt::AlignLeft));
            m_pTable->setItem(c * 5 + k, kFigureColumn,
                              Cell(res::LoadString(nCurveFigures[k]), Qt::AlignLeft));
        }
    }
    const int nDeviationNames[2] = {res::IDS_STAT_TEMP, res::IDS_STAT_HUMI};
    for (int d = 0; d < 2; ++d) {
        const int nRow = kDeviationRow0 + d * 3;
        for (int k = 0; k < 3; ++k)
            m_pTable->setItem(nRow + k, kCurveColumn,
                              Cell(res::LoadString(nDeviationNames[d]), Qt::AlignLeft));
        m_pTable->setItem(nRow, kFigureColumn, Cell(QString(), Qt::AlignLeft));
        m_pTable->setItem(nRow + 1, kFigureColumn,
                          Cell(res::LoadString(res::IDS_STAT_LARGEST), Qt::AlignLeft));
        m_pTable->setItem(nRow + 2, kFigureColumn,
                          Cell(res::LoadString(res::IDS_STAT_AT), Qt::AlignLeft));
    }
    for (int r = 0; r < kRowCount; ++r)
        for (const int nColumn : {kWholeColumn, kPageColumn, kSelectionColumn})
            m_pTable->setItem(r, nColumn, Cell(QStringLiteral("-"), Qt::AlignRight));
    LabelToleranceRows();
}

QLayout* CStatisticsWnd::BuildToleranceBoxes()
{
    auto tolerance = [this](int nCaption, int nValue) {
        auto* pBox = new QLineEdit(FormatTolerance(nValue), this);
        pBox->setMaxLength(6);
        auto* pCaption = new QLabel(res::LoadString(nCaption), this);
        pCaption->setBuddy(pBox);
        pBox->setAccessibleName(pCaption->text());
        return std::pair(pCaption, pBox);
    };
    const auto [pTempCaption, pTempBox] =
        tolerance(res::IDS_STAT_TOLERANCE_TEMP, m_tolerances.nTemp);
    const auto [pHumiCaption, pHumiBox] =
        tolerance(res::IDS_STAT_TOLERANCE_HUMI, m_tolerances.nHumi);
    m_pTolTemp = pTempBox;
    m_pTolHumi = pHumiBox;
    connect(m_pTolTemp, &QLineEdit::editingFinished, this,
            [this] { OnToleranceEdited(m_pTolTemp, &CTolerances::nTemp); });
    connect(m_pTolHumi, &QLineEdit::editingFinished, this,
            [this] { OnToleranceEdited(m_pTolHumi, &CTolerances::nHumi); });

    auto* pTolerances = new QGridLayout;
    pTolerances->addWidget(pTempCaption, 0, 0);
    pTolerances->addWidget(m_pTolTemp, 0, 1);
    pTolerances->addWidget(pHumiCaption, 1, 0);
    pTolerances->addWidget(m_pTolHumi, 1, 1);
    pTolerances->setColumnStretch(2, 1);
    return pTolerances;
}

QLayout* CStatisticsWnd::BuildButtons()
{
    m_pCopy = new QPushButton(res::LoadString(res::IDS_STAT_COPY), this);
    connect(m_pCopy, &QPushButton::clicked, this, [this] {
        const QStringList join =
            m_pShown->HasRecording() ? JoinReportLines(*m_pShown->Recording()) : QStringList();
        QGuiApplication::clipboard()->setText(
            join.isEmpty() ? TableText() : TableText() + u'\n' + join.join(u'\n') + u'\n');
    });
    auto* pClose = new QPushButton(res::LoadString(res::IDS_STAT_CLOSE), this);
    connect(pClose, &QPushButton::clicked, this, &QWidget::close);

    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(m_pCopy);
    pButtons->addWidget(pClose);
    return pButtons;
}

void CStatisticsWnd::FitTableToContents()
{
    m_pTable->resizeColumnsToContents();
    m_pTable->resizeRowsToContents();
    // Room for the longest time in every column and every row, without scrolling.
    const int nWidth = m_pTable->horizontalHeader()->length() + 2 * m_pTable->frameWidth();
    // The header is not laid out before the window is shown: its size hint is.
    const int nHeight = m_pTable->horizontalHeader()->sizeHint().height() +
                        m_pTable->verticalHeader()->length() + 2 * m_pTable->frameWidth();
    m_pTable->setMinimumSize(nWidth, std::min(nHeight, 640));
}

void CStatisticsWnd::LabelToleranceRows()
{
    const int nTolerances[2] = {m_tolerances.nTemp, m_tolerances.nHumi};
    for (int d = 0; d < 2; ++d)
        m_pTable->item(kDeviationRow0 + d * 3, kFigureColumn)
            ->setText(res::LoadString(res::IDS_STAT_WITHIN).arg(FormatTolerance(nTolerances[d])));
}

void CStatisticsWnd::OnToleranceEdited(QLineEdit* pBox, int CTolerances::*pMember)
{
    const std::optional<int> nValue = ParseTolerance(pBox->text());
    if (!nValue) {
        m_pMessage->setText(res::LoadString(res::IDS_STAT_TOLERANCE_RANGE));
        pBox->setText(FormatTolerance(m_tolerances.*pMember));
        return;
    }
    m_pMessage->clear();
    pBox->setText(FormatTolerance(*nValue));
    if (m_tolerances.*pMember == *nValue)
        return;
    m_tolerances.*pMember = *nValue;
    StoreTolerances(m_tolerances);
    LabelToleranceRows();
    UpdateWhole();
    UpdatePage();
    UpdateSelection();
    UpdateMembers();
    m_pShown->NotifyTolerancesChanged();
}

void CStatisticsWnd::OnStoredTolerancesChanged()
{
    const CTolerances stored = ReadStoredTolerances();
    if (stored == m_tolerances)
        return;
    m_tolerances = stored;
    m_pTolTemp->setText(FormatTolerance(m_tolerances.nTemp));
    m_pTolHumi->setText(FormatTolerance(m_tolerances.nHumi));
    LabelToleranceRows();
    UpdateWhole();
    UpdatePage();
    UpdateSelection();
    UpdateMembers();
}

void CStatisticsWnd::UpdateWhole()
{
    const CRecordingView series = m_pShown->Samples();
    FillColumn(kWholeColumn, ComputeRunStatistics(series, 0, series.GetCount(), m_tolerances));
}

void CStatisticsWnd::UpdatePage()
{
    const auto [nBegin, nEnd] = m_pShown->PageSamples();
    FillColumn(kPageColumn, ComputeRunStatistics(m_pShown->Samples(), nBegin, nEnd, m_tolerances));
}

void CStatisticsWnd::UpdateSelection()
{
    // Without a selection the column shows "-", as for a page past the end.
    const std::int64_t nBegin = m_pShown->HasSelection() ? m_pShown->SelectionFirst() : 0;
    const std::int64_t nEnd = m_pShown->HasSelection() ? m_pShown->SelectionLast() + 1 : 0;
    FillColumn(kSelectionColumn,
               ComputeRunStatistics(m_pShown->Samples(), nBegin, nEnd, m_tolerances));
}

void CStatisticsWnd::UpdateMembers()
{
    const CRecordingSet& set = m_pShown->Set();
    const int nMembers = set.GetCount() >= 2 ? static_cast<int>(set.GetCount()) - 1 : 0;
    const int nColumns = kFirstMemberColumn + nMembers;
    if (m_pTable->columnCount() == nColumns && nMembers == 0)
        return;
    m_pTable->setColumnCount(nColumns);
    for (int m = 0; m < nMembers; ++m) {
        const int nColumn = kFirstMemberColumn + m;
        const CRecording& recording = set.Recording(static_cast<std::size_t>(m) + 1);
        m_pTable->setHorizontalHeaderItem(
            nColumn, new QTableWidgetItem(
                         QFileInfo(QString::fromStdString(recording.GetSourceName())).fileName()));
        for (int r = 0; r < kRowCount; ++r)
            if (!m_pTable->item(r, nColumn))
                m_pTable->setItem(r, nColumn, Cell(QStringLiteral("-"), Qt::AlignRight));
        const CRecordingView series = recording.View();
        FillColumn(nColumn, ComputeRunStatistics(series, 0, series.GetCount(), m_tolerances),
                   static_cast<std::uint32_t>(recording.GetFirstTime()));
    }
    FitTableToContents();
}

void CStatisticsWnd::FillColumn(int nColumn, const CRunStatistics& stats)
{
    // Until a file is opened there is no first time, and no sample either.
    FillColumn(nColumn, stats, m_pShown->FirstTime32());
}

void CStatisticsWnd::FillColumn(int nColumn, const CRunStatistics& stats, std::uint32_t tFirst)
{
    const QString strNone = QStringLiteral("-");
    auto set = [&](int nRow, const QString& strText) {
        m_pTable->item(nRow, nColumn)->setText(strText);
    };
    const CCurveFigures* curves[4] = {&stats.tempPV, &stats.tempSV, &stats.humiPV, &stats.humiSV};
    for (int c = 0; c < 4; ++c) {
        const CCurveFigures& f = *curves[c];
        const bool bHave = f.nCounted > 0;
        set(c * 5, bHave ? FormatFigure(f.fMin) : strNone);
        set(c * 5 + 1, bHave ? FormatFigureTime(tFirst, f.nMinAt) : strNone);
        set(c * 5 + 2, bHave ? FormatFigure(f.fMax) : strNone);
        set(c * 5 + 3, bHave ? FormatFigureTime(tFirst, f.nMaxAt) : strNone);
        set(c * 5 + 4, bHave ? FormatFigure(f.dMean) : strNone);
    }
    const CDeviationFigures* deviations[2] = {&stats.temp, &stats.humi};
    for (int d = 0; d < 2; ++d) {
        const CDeviationFigures& f = *deviations[d];
        const bool bHave = f.nCounted > 0;
        const int nRow = kDeviationRow0 + d * 3;
        set(nRow, FormatWithin(f));
        set(nRow + 1, bHave ? FormatDeviation(f.dLargest) : strNone);
        set(nRow + 2, bHave ? FormatFigureTime(tFirst, f.nLargestAt) : strNone);
    }
}

QString CStatisticsWnd::TableText() const
{
    QStringList lines;
    QStringList heading;
    for (int c = 0; c < m_pTable->columnCount(); ++c)
        heading << m_pTable->horizontalHeaderItem(c)->text();
    lines << heading.join(QLatin1Char('\t'));
    for (int r = 0; r < m_pTable->rowCount(); ++r) {
        if (m_pTable->isRowHidden(r))
            continue;
        QStringList cells;
        for (int c = 0; c < m_pTable->columnCount(); ++c)
            cells << m_pTable->item(r, c)->text();
        lines << cells.join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
