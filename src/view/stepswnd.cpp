#include "view/stepswnd.h"

#include "curve/curvectrl.h"
#include "res/resource.h"
#include "res/resources.h"
#include "view/childview.h"
#include "view/statisticstext.h"
#include "view/stepsanalyser.h"
#include "view/stepstext.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// The first sample of a row's step or excursion, kept in its first cell.
constexpr int kFirstSampleRole = Qt::UserRole;

QTableWidget* MakeTable(int nHeadings, int nName, QWidget* pParent)
{
    const QStringList headings = res::LoadString(nHeadings).split(QLatin1Char('\t'));
    auto* pTable = new QTableWidget(0, static_cast<int>(headings.size()), pParent);
    pTable->setHorizontalHeaderLabels(headings);
    pTable->setAccessibleName(res::LoadString(nName));
    pTable->verticalHeader()->hide();
    pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    return pTable;
}

QStringList RowTexts(const QTableWidget& table, int nRow)
{
    QStringList cells;
    for (int c = 0; c < table.columnCount(); ++c) {
        const QTableWidgetItem* pItem =
            nRow < 0 ? table.horizontalHeaderItem(c) : table.item(nRow, c);
        cells << (pItem ? pItem->text() : QString());
    }
    return cells;
}

} // namespace

CStepsWnd::CStepsWnd(CChildView* pView)
    : QWidget(pView, Qt::Window), m_pView(pView), m_options(ReadStoredStepOptions())
{
    setWindowTitle(res::LoadString(res::IDS_STEPS_CAPTION));
    setObjectName(QStringLiteral("programSteps"));

    m_pVerdict = new QLabel(this);
    QFont font = m_pVerdict->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    m_pVerdict->setFont(font);
    m_pSteps = MakeTable(res::IDS_STEPS_COLUMNS, res::IDS_STEPS_STEP_TABLE, this);
    m_pExcursions = MakeTable(res::IDS_STEPS_EXC_COLUMNS, res::IDS_STEPS_EXC_TABLE, this);
    // Double-click and Enter both activate a row.
    for (QTableWidget* pTable : {m_pSteps, m_pExcursions})
        connect(pTable, &QTableWidget::activated, this,
                [this, pTable](const QModelIndex& index) { ShowSampleOf(pTable, index.row()); });

    auto* pOptions = new QGridLayout;
    auto box = [&](int nCaption, int nRow, int nColumn) {
        auto* pBox = new QLineEdit(this);
        pBox->setMaxLength(9);
        auto* pCaption = new QLabel(res::LoadString(nCaption), this);
        pCaption->setBuddy(pBox);
        pBox->setAccessibleName(pCaption->text());
        pOptions->addWidget(pCaption, nRow, nColumn);
        pOptions->addWidget(pBox, nRow, nColumn + 1);
        connect(pBox, &QLineEdit::editingFinished, this, [this, pBox] { OnOptionEdited(pBox); });
        return pBox;
    };
    m_pMinDwell = box(res::IDS_STEPS_MIN_DWELL, 0, 0);
    m_pSettle = box(res::IDS_STEPS_SETTLE, 1, 0);
    m_pDelay = box(res::IDS_STEPS_DELAY, 2, 0);
    m_pTolTemp = box(res::IDS_STAT_TOLERANCE_TEMP, 0, 2);
    m_pTolHumi = box(res::IDS_STAT_TOLERANCE_HUMI, 1, 2);
    pOptions->setColumnStretch(4, 1);
    ShowOptions();
    m_pMessage = new QLabel(this);
    m_pMessage->setWordWrap(true);

    m_pCopy = new QPushButton(res::LoadString(res::IDS_STEPS_COPY), this);
    connect(m_pCopy, &QPushButton::clicked, this,
            [this] { QGuiApplication::clipboard()->setText(TablesText()); });
    auto* pClose = new QPushButton(res::LoadString(res::IDS_STEPS_CLOSE), this);
    connect(pClose, &QPushButton::clicked, this, &QWidget::close);
    auto* pButtons = new QHBoxLayout;
    pButtons->addStretch(1);
    pButtons->addWidget(m_pCopy);
    pButtons->addWidget(pClose);

    auto* pLayout = new QVBoxLayout(this);
    pLayout->addWidget(m_pVerdict);
    pLayout->addWidget(m_pSteps, 3);
    pLayout->addWidget(m_pExcursions, 2);
    pLayout->addLayout(pOptions);
    pLayout->addWidget(m_pMessage);
    pLayout->addLayout(pButtons);
    resize(1100, 560);

    CStepsAnalyser* pAnalyser = m_pView->GetStepsAnalyser();
    connect(pAnalyser, &CStepsAnalyser::Analysed, this, &CStepsWnd::ShowAnalysis);
    connect(m_pView, &CChildView::RecordingChanged, this, &CStepsWnd::ShowAnalysis);
    // The marks may have an analysis with other options, or none at all.
    if (!pAnalyser->IsRunning() && !(pAnalyser->HasResult() && pAnalyser->Options() == m_options))
        m_pView->AnalyseSteps(m_options);
    ShowAnalysis();
}

void CStepsWnd::ShowOptions()
{
    m_pMinDwell->setText(QString::number(m_options.nMinDwell / 60));
    m_pSettle->setText(QString::number(m_options.nSettleWindow / 60));
    m_pDelay->setText(QString::number(m_options.nExcursionDelay));
    m_pTolTemp->setText(FormatTolerance(m_options.tolerances.nTemp));
    m_pTolHumi->setText(FormatTolerance(m_options.tolerances.nHumi));
}

void CStepsWnd::OnOptionEdited(QLineEdit* pBox)
{
    CStepOptions options = m_options;
    int nRange = 0;
    if (pBox == m_pMinDwell || pBox == m_pSettle || pBox == m_pDelay) {
        const bool bDwell = pBox == m_pMinDwell;
        const bool bSettle = pBox == m_pSettle;
        const std::int64_t nMin = bDwell ? kMinDwellMinutesMin : 0;
        const std::int64_t nMax = bDwell    ? kMinDwellMinutesMax
                                  : bSettle ? kSettleWindowMinutesMax
                                            : kExcursionDelaySecondsMax;
        const std::optional<std::int64_t> n = ParseStepNumber(pBox->text(), nMin, nMax);
        nRange = bDwell    ? res::IDS_STEPS_MIN_DWELL_RANGE
                 : bSettle ? res::IDS_STEPS_SETTLE_RANGE
                           : res::IDS_STEPS_DELAY_RANGE;
        if (n) {
            nRange = 0;
            (bDwell ? options.nMinDwell : bSettle ? options.nSettleWindow : options.nExcursionDelay) =
                bDwell || bSettle ? *n * 60 : *n;
        }
    } else {
        const bool bTemp = pBox == m_pTolTemp;
        const std::optional<int> n = ParseTolerance(pBox->text());
        nRange = bTemp ? res::IDS_STEPS_TOL_TEMP_RANGE : res::IDS_STEPS_TOL_HUMI_RANGE;
        if (n) {
            nRange = 0;
            (bTemp ? options.tolerances.nTemp : options.tolerances.nHumi) = *n;
        }
    }
    if (nRange != 0) {
        m_pMessage->setText(res::LoadString(nRange));
        ShowOptions();
        return;
    }
    m_pMessage->clear();
    const bool bChanged = !(options == m_options);
    m_options = options;
    ShowOptions();
    if (!bChanged)
        return;
    StoreStepOptions(m_options);
    StoreTolerances(m_options.tolerances);
    m_pView->AnalyseSteps(m_options);
    ShowAnalysis();
}

void CStepsWnd::ShowWaiting()
{
    m_pSteps->setRowCount(0);
    m_pExcursions->setRowCount(0);
    m_pVerdict->setStyleSheet(QString());
}

void CStepsWnd::ShowAnalysis()
{
    const CStepsAnalyser& analyser = *m_pView->GetStepsAnalyser();
    if (!m_pView->m_bHaveFirstSample || PlotSamples(*m_pView->GetPlot()).nCount == 0) {
        ShowWaiting();
        m_pVerdict->setText(res::LoadString(res::IDS_STEPS_NO_RECORDING));
        return;
    }
    if (!analyser.HasResult()) {
        ShowWaiting();
        m_pVerdict->setText(res::LoadString(res::IDS_STEPS_ANALYSING));
        // A file shown while the window was closed and the marks off has no analysis yet.
        if (!analyser.IsRunning())
            m_pView->AnalyseSteps(m_options);
        return;
    }
    const CProgramAnalysis& analysis = analyser.Result();
    const std::uint32_t tFirst = m_pView->m_tFirstSample;
    const CStepWords words = LocalStepWords();
    std::vector<std::int64_t> stepFirsts;
    for (const CJudgedStep& step : analysis.steps)
        for (const CStepCurveFigures& f : step.curves)
            if (f.bJudged)
                stepFirsts.push_back(step.nBegin);
    std::vector<std::int64_t> excursionFirsts;
    for (const CExcursion& x : analysis.excursions)
        excursionFirsts.push_back(x.nBegin);
    FillTable(m_pSteps, StepTableRows(analysis, tFirst, words), stepFirsts);
    FillTable(m_pExcursions, ExcursionTableRows(analysis, tFirst, words), excursionFirsts);
    const int nVerdict = analysis.verdict == EVerdict::Pass   ? res::IDS_STEPS_VERDICT_PASS
                         : analysis.verdict == EVerdict::Fail ? res::IDS_STEPS_VERDICT_FAIL
                                                              : res::IDS_STEPS_VERDICT_NONE;
    QString strVerdict = res::LoadString(nVerdict);
    if (analysis.verdict != EVerdict::None)
        strVerdict = strVerdict.arg(analysis.nDwellsPassed).arg(analysis.nDwells);
    m_pVerdict->setText(strVerdict);
    m_pVerdict->setStyleSheet(analysis.verdict == EVerdict::Pass   ? QStringLiteral("color: #007a00")
                              : analysis.verdict == EVerdict::Fail ? QStringLiteral("color: #c00000")
                                                                   : QString());
}

void CStepsWnd::FillTable(QTableWidget* pTable, const std::vector<QStringList>& rows,
                          const std::vector<std::int64_t>& firsts)
{
    pTable->setUpdatesEnabled(false);
    pTable->setRowCount(0);
    pTable->setRowCount(static_cast<int>(rows.size()));
    for (int r = 0; r < static_cast<int>(rows.size()); ++r) {
        const QStringList& cells = rows[static_cast<std::size_t>(r)];
        for (int c = 0; c < cells.size() && c < pTable->columnCount(); ++c) {
            auto* pItem = new QTableWidgetItem(cells[c]);
            pItem->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
            pItem->setTextAlignment((c <= 2 ? Qt::AlignLeft : Qt::AlignRight) | Qt::AlignVCenter);
            if (c == 0)
                pItem->setData(kFirstSampleRole,
                               QVariant::fromValue<qint64>(firsts[static_cast<std::size_t>(r)]));
            pTable->setItem(r, c, pItem);
        }
    }
    pTable->resizeColumnsToContents();
    pTable->setUpdatesEnabled(true);
}

void CStepsWnd::ShowSampleOf(QTableWidget* pTable, int nRow)
{
    const QTableWidgetItem* pItem = pTable->item(nRow, 0);
    if (!pItem)
        return;
    const std::int64_t nFirst = pItem->data(kFirstSampleRole).toLongLong();
    const std::int64_t nPerPage =
        static_cast<std::int64_t>(m_pView->GetPlot()->width()) * m_pView->GetSecondsPerPixel();
    if (nPerPage <= 0)
        return;
    m_pView->SetPageText(QString::number(nFirst / nPerPage + 1));
}

QString CStepsWnd::TablesText() const
{
    QStringList lines{m_pVerdict->text()};
    for (const QTableWidget* pTable : {m_pSteps, m_pExcursions}) {
        lines << QString() << RowTexts(*pTable, -1).join(QLatin1Char('\t'));
        for (int r = 0; r < pTable->rowCount(); ++r)
            lines << RowTexts(*pTable, r).join(QLatin1Char('\t'));
    }
    return lines.join(QLatin1Char('\n')) + QLatin1Char('\n');
}
