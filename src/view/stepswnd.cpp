#include "view/stepswnd.h"

#include "res/resource.h"
#include "res/resources.h"
#include "view/shownrecording.h"
#include "view/statisticstext.h"
#include "view/stepsanalyser.h"
#include "view/stepsmodel.h"
#include "view/stepstext.h"

#include <QClipboard>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QProgressDialog>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

#include <algorithm>
#include <climits>
#include <new>
#include <tuple>

namespace {

QTableView* MakeTable(CStepsTableModel* pModel, int nName, QWidget* pParent)
{
    auto* pTable = new QTableView(pParent);
    pTable->setModel(pModel);
    pTable->setAccessibleName(res::LoadString(nName));
    pTable->verticalHeader()->hide();
    pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
    pTable->setSelectionMode(QAbstractItemView::SingleSelection);
    return pTable;
}

QStringList Headings(int nId)
{
    return res::LoadString(nId).split(QLatin1Char('\t'));
}

// Rows written between two looks at the progress window: often enough to keep it answering,
// seldom enough that the looks cost nothing beside the rows.
constexpr int kRowsPerLook = 4096;
// Copy's progress window shows once the copy looks like taking this long.
constexpr int kCopyShowMs = 500;
constexpr int kCopySteps = 1000;
// Rows spread over a table whose lengths size the text before it is written.
constexpr int kSizingRows = 256;

// The characters a table's rows will take with their line ends: the longest of rows spread
// over the table, times the rows, and a little more. Rows differ only by a few digits, so this
// is rarely short; when it is, the text grows once more, it does not fail.
qsizetype RowsLength(const CStepsTableModel& model)
{
    const qint64 nRows = model.rowCount();
    if (nRows == 0)
        return 0;
    const qint64 nLooks = std::min<qint64>(nRows, kSizingRows);
    qsizetype nLongest = 0;
    QString strRow;
    for (qint64 k = 0; k < nLooks; ++k) {
        strRow.clear();
        model.AppendRowText(static_cast<int>((nRows - 1) * k / std::max<qint64>(nLooks - 1, 1)),
                            strRow);
        nLongest = std::max(nLongest, strRow.size());
    }
    const qsizetype nLength = (nLongest + 1) * nRows;
    return nLength + nLength / 32;
}

} // namespace

CStepsWnd::CStepsWnd(CShownRecording* pShown, QWidget* pParent)
    : QWidget(pParent, Qt::Window), m_pShown(pShown), m_options(ReadStoredStepOptions())
{
    setWindowTitle(res::LoadString(res::IDS_STEPS_CAPTION));
    setObjectName(QStringLiteral("programSteps"));

    m_pVerdict = new QLabel(this);
    QFont font = m_pVerdict->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 1.3);
    m_pVerdict->setFont(font);
    m_pStepRows = new CStepsTableModel(false, Headings(res::IDS_STEPS_COLUMNS), this);
    m_pExcursionRows = new CStepsTableModel(true, Headings(res::IDS_STEPS_EXC_COLUMNS), this);
    m_pSteps = MakeTable(m_pStepRows, res::IDS_STEPS_STEP_TABLE, this);
    m_pExcursions = MakeTable(m_pExcursionRows, res::IDS_STEPS_EXC_TABLE, this);
    // Double-click and Enter both activate a row.
    connect(m_pSteps, &QTableView::activated, this,
            [this](const QModelIndex& index) { ShowSampleOf(*m_pStepRows, index.row()); });
    connect(m_pExcursions, &QTableView::activated, this,
            [this](const QModelIndex& index) { ShowSampleOf(*m_pExcursionRows, index.row()); });

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
    connect(m_pCopy, &QPushButton::clicked, this, &CStepsWnd::OnCopy);
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

    CStepsAnalyser* pAnalyser = &m_pShown->Steps();
    connect(pAnalyser, &CStepsAnalyser::Analysed, this, &CStepsWnd::ShowAnalysis);
    connect(m_pShown, &CShownRecording::RecordingChanged, this, &CStepsWnd::ShowAnalysis);
    connect(m_pShown, &CShownRecording::TolerancesChanged, this, [this] {
        const CTolerances stored = ReadStoredTolerances();
        if (stored == m_options.tolerances)
            return;
        m_options.tolerances = stored;
        ShowOptions();
        if (m_pShown->HasRecording())
            m_pShown->AnalyseSteps(m_options);
        ShowAnalysis();
    });
    // The marks may have an analysis with other options, or none at all.
    if (!pAnalyser->IsRunning() && !(pAnalyser->HasResult() && pAnalyser->Options() == m_options))
        m_pShown->AnalyseSteps(m_options);
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
    struct CNumberBox
    {
        QLineEdit* pBox;
        std::int64_t CStepOptions::*pMember;
        std::int64_t nMin, nMax, nUnit; // as typed; the seconds of one
        int nRange;                     // the message that names the box
    };
    const CNumberBox numbers[] = {
        {m_pMinDwell, &CStepOptions::nMinDwell, kMinDwellMinutesMin, kMinDwellMinutesMax, 60,
         res::IDS_STEPS_MIN_DWELL_RANGE},
        {m_pSettle, &CStepOptions::nSettleWindow, 0, kSettleWindowMinutesMax, 60,
         res::IDS_STEPS_SETTLE_RANGE},
        {m_pDelay, &CStepOptions::nExcursionDelay, 0, kExcursionDelaySecondsMax, 1,
         res::IDS_STEPS_DELAY_RANGE},
    };
    CStepOptions options = m_options;
    int nRange = 0;
    for (const CNumberBox& number : numbers) {
        if (number.pBox != pBox)
            continue;
        const std::optional<std::int64_t> n =
            ParseStepNumber(pBox->text(), number.nMin, number.nMax);
        if (n)
            options.*number.pMember = *n * number.nUnit;
        else
            nRange = number.nRange;
    }
    for (const auto& [pTolerance, pMember, nMessage] :
         {std::tuple(m_pTolTemp, &CTolerances::nTemp, res::IDS_STEPS_TOL_TEMP_RANGE),
          std::tuple(m_pTolHumi, &CTolerances::nHumi, res::IDS_STEPS_TOL_HUMI_RANGE)}) {
        if (pTolerance != pBox)
            continue;
        const std::optional<int> n = ParseTolerance(pBox->text());
        if (n)
            options.tolerances.*pMember = *n;
        else
            nRange = nMessage;
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
    m_pShown->AnalyseSteps(m_options);
    ShowAnalysis();
    m_pShown->NotifyTolerancesChanged();
}

void CStepsWnd::ShowWaiting()
{
    m_pStepRows->Clear();
    m_pExcursionRows->Clear();
    m_pVerdict->setStyleSheet(QString());
}

void CStepsWnd::ShowAnalysis()
{
    if (m_bCopying) {
        m_bShowPending = true;
        return;
    }
    const CStepsAnalyser& analyser = m_pShown->Steps();
    if (!m_pShown->HasRecording() || m_pShown->Samples().GetCount() == 0) {
        ShowWaiting();
        m_pVerdict->setText(res::LoadString(res::IDS_STEPS_NO_RECORDING));
        return;
    }
    // The test program is read from the set values: without them there is nothing to judge,
    // and nothing is analysed.
    if (!m_pShown->Recording()->HasSetValues()) {
        ShowWaiting();
        m_pVerdict->setText(res::LoadString(res::IDS_STEPS_NO_SET_VALUES));
        return;
    }
    if (!analyser.HasResult()) {
        ShowWaiting();
        m_pVerdict->setText(res::LoadString(res::IDS_STEPS_ANALYSING));
        // A file shown while the window was closed and the marks off has no analysis yet.
        if (!analyser.IsRunning())
            m_pShown->AnalyseSteps(m_options);
        return;
    }
    const std::shared_ptr<const CProgramAnalysis> pAnalysis = analyser.SharedResult();
    const CProgramAnalysis& analysis = *pAnalysis;
    const std::uint32_t tFirst = m_pShown->FirstTime32();
    m_pStepRows->SetAnalysis(pAnalysis, tFirst, LocalStepWords());
    m_pExcursionRows->SetAnalysis(pAnalysis, tFirst, LocalStepWords());
    m_pSteps->resizeColumnsToContents();
    m_pExcursions->resizeColumnsToContents();
    const int nVerdict = analysis.verdict == EVerdict::Pass   ? res::IDS_STEPS_VERDICT_PASS
                         : analysis.verdict == EVerdict::Fail ? res::IDS_STEPS_VERDICT_FAIL
                                                              : res::IDS_STEPS_VERDICT_NONE;
    QString strVerdict = res::LoadString(nVerdict);
    if (analysis.verdict != EVerdict::None)
        strVerdict = strVerdict.arg(analysis.nDwellsPassed).arg(analysis.nDwells);
    // A failed run's analysis is empty: its tables are too, and it has no verdict to give.
    switch (analyser.Status()) {
    case EStepsStatus::Complete:
        break;
    case EStepsStatus::OutOfMemory:
        strVerdict = res::LoadString(res::IDS_STEPS_INCOMPLETE);
        break;
    case EStepsStatus::Failed:
        strVerdict = analyser.FailureText().isEmpty()
                         ? res::LoadString(res::IDS_STEPS_FAILED_UNKNOWN)
                         : res::LoadString(res::IDS_STEPS_FAILED).arg(analyser.FailureText());
        break;
    }
    m_pVerdict->setText(strVerdict);
    m_pVerdict->setStyleSheet(analysis.verdict == EVerdict::Pass ? QStringLiteral("color: #007a00")
                              : analysis.verdict == EVerdict::Fail
                                  ? QStringLiteral("color: #c00000")
                                  : QString());
}

void CStepsWnd::ShowSampleOf(const CStepsTableModel& model, int nRow)
{
    const std::int64_t nFirst = model.FirstSample(nRow);
    if (nFirst >= 0)
        m_pShown->ShowPageOf(nFirst);
}

QString CStepsWnd::TablesText() const
{
    QString strText;
    WriteTablesText(strText, TablesProgress());
    return strText;
}

bool CStepsWnd::WriteTablesText(QString& strText, const TablesProgress& progress) const
{
    const CStepsTableModel* const models[] = {m_pStepRows, m_pExcursionRows};
    const QChar tab(QLatin1Char('\t'));
    const QChar newline(QLatin1Char('\n'));
    QStringList headings[2];
    qsizetype nLength = m_pVerdict->text().size() + 1;
    qint64 nTotal = 0;
    for (int t = 0; t < 2; ++t) {
        for (int c = 0; c < models[t]->columnCount(); ++c)
            headings[t] << models[t]->headerData(c, Qt::Horizontal, Qt::DisplayRole).toString();
        nLength += 1 + headings[t].join(tab).size() + 1 + RowsLength(*models[t]);
        nTotal += models[t]->rowCount();
    }
    // One text, its size asked for once: millions of rows must not be held twice.
    strText = QString();
    strText.reserve(nLength);
    strText += m_pVerdict->text();
    strText += newline;
    qint64 nDone = 0;
    for (int t = 0; t < 2; ++t) {
        strText += newline;
        strText += headings[t].join(tab);
        strText += newline;
        const int nRows = models[t]->rowCount();
        for (int r = 0; r < nRows; ++r) {
            models[t]->AppendRowText(r, strText);
            strText += newline;
            if (++nDone % kRowsPerLook == 0 && progress && !progress(nDone, nTotal)) {
                strText = QString();
                return false;
            }
        }
    }
    return true;
}

void CStepsWnd::OnCopy()
{
    // Accessibility actions reach a window behind a modal one.
    if (m_bCopying)
        return;
    QProgressDialog progress(res::LoadString(res::IDS_STEPS_COPYING),
                             res::LoadString(res::IDS_STEPS_CANCEL), 0, kCopySteps, this);
    // Only a modal progress window is repainted and takes clicks while the rows are written.
    progress.setWindowModality(Qt::ApplicationModal);
    progress.setWindowTitle(windowTitle());
    progress.setMinimumDuration(kCopyShowMs);
    progress.setAutoClose(false);
    progress.setAutoReset(false);
    progress.setValue(0); // the clock from which it decides to show
    const QString strNoMemory = res::LoadString(res::IDS_STEPS_COPY_NO_MEMORY);
    if (m_pMessage->text() == strNoMemory)
        m_pMessage->clear();
    m_bCopying = true;
    QString strText;
    bool bWritten = false;
    try {
        bWritten = WriteTablesText(strText, [&progress](qint64 nDone, qint64 nTotal) {
            // Fed once cancelled, it would show again.
            if (progress.wasCanceled())
                return false;
            progress.setValue(static_cast<int>(nDone * kCopySteps / std::max<qint64>(nTotal, 1)));
            return !progress.wasCanceled();
        });
    } catch (const std::bad_alloc&) {
        strText = QString();
        m_pMessage->setText(strNoMemory);
    }
    m_bCopying = false;
    progress.hide();
    // The clipboard shares the text: it is not copied again.
    if (bWritten)
        QGuiApplication::clipboard()->setText(strText);
    if (m_bShowPending) {
        m_bShowPending = false;
        ShowAnalysis();
    }
}
