#include "view/stepsanalyser.h"

#include "curve/curvectrl.h"
#include "view/statisticstext.h"

#include <memory>

CStepsAnalyser::CStepsAnalyser(const CCurveCtrl& plot, QObject* pParent)
    : QObject(pParent), m_plot(plot)
{
}

CStepsAnalyser::~CStepsAnalyser()
{
    Stop();
}

void CStepsAnalyser::Stop()
{
    if (!m_thread.joinable())
        return;
    m_bCancel = true;
    m_thread.join();
    m_bCancel = false;
    // A result it posted before it stopped must not be taken for the next one's.
    ++m_nRun;
}

void CStepsAnalyser::Finish()
{
    if (!m_thread.joinable())
        return;
    m_thread.join();
    // The result it posted is taken here instead.
    ++m_nRun;
    m_pResult = std::move(m_pFinished);
    m_bHaveResult = true;
    emit Analysed();
}

void CStepsAnalyser::Forget()
{
    Stop();
    m_bHaveResult = false;
    m_pResult = std::make_shared<CProgramAnalysis>();
}

void CStepsAnalyser::Start(const CStepOptions& options)
{
    Forget();
    m_options = options;
    const unsigned nRun = ++m_nRun;
    const CSeriesSamples series = PlotSamples(m_plot);
    m_thread = std::thread([this, series, options, nRun] {
        // A failure must not leave the thread: it is handed over as an incomplete result.
        auto pResult = std::make_shared<CProgramAnalysis>();
        try {
            *pResult = AnalyseProgramSteps(series, 0, series.nCount, options, &m_bCancel);
        } catch (...) {
            // Memory ran out, in all likelihood: what was analysed is shown as incomplete.
            pResult->bCancelled = true;
        }
        m_pFinished = pResult;
        QMetaObject::invokeMethod(
            this,
            [this, pResult, nRun] {
                if (nRun != m_nRun)
                    return;
                if (m_thread.joinable())
                    m_thread.join();
                m_pResult = pResult;
                m_bHaveResult = true;
                emit Analysed();
            },
            Qt::QueuedConnection);
    });
}

void CStepsAnalyser::RunNow(const CStepOptions& options)
{
    Forget();
    m_options = options;
    const CSeriesSamples series = PlotSamples(m_plot);
    m_pResult =
        std::make_shared<CProgramAnalysis>(AnalyseProgramSteps(series, 0, series.nCount, options));
    m_bHaveResult = true;
    emit Analysed();
}
