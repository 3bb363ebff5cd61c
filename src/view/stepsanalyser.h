// Runs the program-step analysis of the view's recording on a thread of its own, so that
// neither the steps window nor the marks on the plot keep the window waiting.
#pragma once

#include "analysis/programsteps.h"

#include <QObject>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class CRecording;

// How a run of the analysis ended. A run that failed hands over an empty analysis: what it had
// found went with the exception.
enum class EStepsStatus
{
    Complete,
    OutOfMemory,
    Failed, // any other exception
};

struct CStepsRun
{
    std::shared_ptr<const CProgramAnalysis> pAnalysis = std::make_shared<CProgramAnalysis>();
    EStepsStatus status = EStepsStatus::Complete;
    QString strWhat; // a failure's own text, when it had one
};

// Runs analyse and hands over what it throws as the run's status: an exception that left the
// analysis' thread would end the program.
CStepsRun RunStepsAnalysis(const std::function<CProgramAnalysis()>& analyse);

class CStepsAnalyser : public QObject
{
    Q_OBJECT

public:
    // fnRecording gives the recording to analyse, or null when there is none; a run keeps
    // the recording it analyses alive.
    using RecordingSource = std::function<std::shared_ptr<const CRecording>()>;
    explicit CStepsAnalyser(RecordingSource fnRecording, QObject* pParent = nullptr);
    ~CStepsAnalyser() override;

    // Analyses the recording with these options, dropping a run under way; Analysed
    // follows once it is done.
    void Start(const CStepOptions& options);
    // The same, before returning: for runs without an event loop to wait in.
    void RunNow(const CStepOptions& options);
    // Takes an analysis of the whole recording made elsewhere with these options, as if this
    // had run it.
    void Adopt(const CStepOptions& options, std::shared_ptr<const CProgramAnalysis> pAnalysis);
    // Stops a run under way and waits for it.
    void Stop();
    // Waits for a run under way to finish and takes its result at once.
    void Finish();

    bool IsRunning() const { return m_thread.joinable(); }
    // Whether Result holds an analysis of the recording now shown.
    bool HasResult() const { return m_bHaveResult; }
    const CProgramAnalysis& Result() const { return *m_result.pAnalysis; }
    // The same, to be kept by a reader while later analyses come and go.
    std::shared_ptr<const CProgramAnalysis> SharedResult() const { return m_result.pAnalysis; }
    // Whether Result is the whole analysis or the empty one of a run that failed.
    EStepsStatus Status() const { return m_result.status; }
    const QString& FailureText() const { return m_result.strWhat; }
    const CStepOptions& Options() const { return m_options; }
    // The result no longer applies: the samples changed.
    void Forget();

signals:
    void Analysed();

private:
    RecordingSource m_fnRecording;
    std::thread m_thread;
    std::atomic<bool> m_bCancel{false};
    // Counts runs, so that the result of a run stopped in favour of a later one is dropped.
    unsigned m_nRun = 0;
    CStepsRun m_result;
    // Written by the run's thread before it ends, read once it is joined.
    CStepsRun m_finished;
    CStepOptions m_options;
    bool m_bHaveResult = false;
};
