#include "view/stepsanalyser.h"

#include "recording/recording.h"

#include <exception>
#include <memory>
#include <new>

CStepsRun RunStepsAnalysis(const std::function<CProgramAnalysis()>& analyse)
{
    // Its empty analysis is made before the run, so that a failure is handed over without
    // asking for memory.
    CStepsRun run;
    try {
        run.pAnalysis = std::make_shared<CProgramAnalysis>(analyse());
    } catch (const std::bad_alloc&) {
        run.status = EStepsStatus::OutOfMemory;
    } catch (const std::exception& e) {
        run.status = EStepsStatus::Failed;
        try {
            run.strWhat = QString::fromLocal8Bit(e.what());
        } catch (...) {
            // The text is a courtesy: the failure is handed over without it.
        }
    } catch (...) {
        run.status = EStepsStatus::Failed;
    }
    return run;
}

CStepsAnalyser::CStepsAnalyser(RecordingSource fnRecording, QObject* pParent)
    : QObject(pParent), m_fnRecording(std::move(fnRecording))
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
    m_result = std::move(m_finished);
    m_bHaveResult = true;
    emit Analysed();
}

void CStepsAnalyser::Forget()
{
    Stop();
    m_bHaveResult = false;
    m_result = CStepsRun();
}

void CStepsAnalyser::Start(const CStepOptions& options)
{
    Forget();
    m_options = options;
    const unsigned nRun = ++m_nRun;
    std::shared_ptr<const CRecording> pRecording = m_fnRecording();
    m_thread = std::thread([this, pRecording, options, nRun] {
        const CRecordingView series = pRecording ? pRecording->View() : CRecordingView();
        const CStepsRun run = RunStepsAnalysis(
            [&] { return AnalyseProgramSteps(series, 0, series.GetCount(), options, &m_bCancel); });
        m_finished = run;
        QMetaObject::invokeMethod(
            this,
            [this, run, nRun] {
                if (nRun != m_nRun)
                    return;
                if (m_thread.joinable())
                    m_thread.join();
                m_result = run;
                m_bHaveResult = true;
                emit Analysed();
            },
            Qt::QueuedConnection);
    });
}

void CStepsAnalyser::Adopt(const CStepOptions& options,
                           std::shared_ptr<const CProgramAnalysis> pAnalysis)
{
    Forget();
    m_options = options;
    m_result = CStepsRun();
    m_result.pAnalysis = std::move(pAnalysis);
    m_bHaveResult = true;
    emit Analysed();
}

void CStepsAnalyser::RunNow(const CStepOptions& options)
{
    Forget();
    m_options = options;
    const std::shared_ptr<const CRecording> pRecording = m_fnRecording();
    const CRecordingView series = pRecording ? pRecording->View() : CRecordingView();
    m_result = CStepsRun();
    m_result.pAnalysis = std::make_shared<CProgramAnalysis>(
        AnalyseProgramSteps(series, 0, series.GetCount(), options));
    m_bHaveResult = true;
    emit Analysed();
}
