// The view's side of the program steps: the window, the marks on the plot, and the analysis
// both share, which follows the recording shown.
#include "view/childview.h"

#include "curve/curvectrl.h"
#include "res/resource.h"
#include "view/commandui.h"
#include "view/stepsanalyser.h"
#include "view/stepstext.h"
#include "view/stepswnd.h"

#include <algorithm>

namespace {

// The test program is read from the set values: a recording without them has no steps, and
// its analysis is the empty one, made without a run.
bool HasNoSetValues(const std::shared_ptr<const CRecording>& pRecording)
{
    return pRecording && !pRecording->HasSetValues();
}

} // namespace

void CChildView::InitSteps()
{
    m_pSteps = new CStepsAnalyser([this] { return m_pRecording; }, this);
    m_pShown = new CShownRecording(*this, *m_pSteps, this);
    connect(m_pSteps, &CStepsAnalyser::Analysed, this, &CChildView::ApplyStepMarks);
    // The steps window follows the tolerances itself.
    connect(m_pShown, &CShownRecording::TolerancesChanged, this, [this] {
        if (m_bMarkSteps && !m_pStepsWnd && m_bHaveFirstSample)
            RefreshSteps();
    });
}

void CChildView::ForgetSteps()
{
    m_pSteps->Forget();
    m_pPlot->SetStepMarks({}, {});
}

void CChildView::RefreshSteps()
{
    if (m_bMarkSteps || m_pStepsWnd)
        AnalyseSteps(m_pStepsWnd ? m_pStepsWnd->Options() : ReadStoredStepOptions());
}

void CChildView::AnalyseSteps(const CStepOptions& options)
{
    if (HasNoSetValues(m_pRecording))
        m_pSteps->Adopt(options, std::make_shared<const CProgramAnalysis>());
    else
        m_pSteps->Start(options);
}

void CChildView::AnalyseStepsNow(const CStepOptions& options)
{
    if (HasNoSetValues(m_pRecording))
        m_pSteps->Adopt(options, std::make_shared<const CProgramAnalysis>());
    else
        m_pSteps->RunNow(options);
}

void CChildView::AdoptSteps(const CStepOptions& options,
                            std::shared_ptr<const CProgramAnalysis> pAnalysis)
{
    m_pSteps->Adopt(options, std::move(pAnalysis));
}

CStepsWnd* CChildView::GetStepsWindow() const
{
    return m_pStepsWnd;
}

void CChildView::ApplyStepMarks()
{
    if (!m_bMarkSteps || !m_pSteps->HasResult()) {
        m_pPlot->SetStepMarks({}, {});
        return;
    }
    const CProgramAnalysis& analysis = m_pSteps->Result();
    std::vector<std::int64_t> starts;
    starts.reserve(analysis.steps.size());
    for (const CJudgedStep& step : analysis.steps)
        starts.push_back(step.nBegin);
    // Temp's and Humi's excursions may overlap: the bands are their union.
    std::vector<std::pair<std::int64_t, std::int64_t>> bands;
    bands.reserve(analysis.excursions.size());
    for (const CExcursion& x : analysis.excursions)
        bands.emplace_back(x.nBegin, x.nEnd);
    std::sort(bands.begin(), bands.end());
    std::vector<std::pair<std::int64_t, std::int64_t>> merged;
    for (const auto& b : bands) {
        if (!merged.empty() && b.first <= merged.back().second)
            merged.back().second = std::max(merged.back().second, b.second);
        else
            merged.push_back(b);
    }
    m_pPlot->SetStepMarks(std::move(starts), std::move(merged));
}

void CChildView::FinishStepMarks()
{
    if (m_bMarkSteps)
        m_pSteps->Finish();
}

void CChildView::OnProgramSteps()
{
    if (!m_pStepsWnd) {
        m_pStepsWnd = new CStepsWnd(m_pShown, this);
        m_pStepsWnd->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_pStepsWnd->show();
    m_pStepsWnd->raise();
    m_pStepsWnd->activateWindow();
}

void CChildView::OnMarkSteps()
{
    m_bMarkSteps = !m_bMarkSteps;
    if (m_pUi)
        m_pUi->SetCommandChecked(res::ID_VIEW_MARK_STEPS, m_bMarkSteps);
    StoreMarkSteps(m_bMarkSteps);
    if (m_bMarkSteps && !m_pSteps->HasResult() && !m_pSteps->IsRunning())
        RefreshSteps();
    else
        ApplyStepMarks();
}
