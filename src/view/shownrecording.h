// What the statistics and program-steps windows see of the main view: the recording shown,
// the stretch of the page on screen, the selection and the steps analysis they share. The
// view keeps it up to date; the windows follow its signals and ask through it for a page or
// an analysis.
#pragma once

#include "recording/recording.h"
#include "recording/recordingset.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <utility>

class CStepsAnalyser;
struct CStepOptions;

// Carries out what a window asks of the recording shown; the view does.
class IRecordingHost
{
public:
    virtual ~IRecordingHost() = default;
    // Shows the page that holds sample nIndex, at the scale on screen.
    virtual void ShowPageOf(std::int64_t nIndex) = 0;
    // Analyses the steps again with these options; the analyser tells when it is done.
    virtual void AnalyseSteps(const CStepOptions& options) = 0;
};

class CShownRecording : public QObject
{
    Q_OBJECT

public:
    CShownRecording(IRecordingHost& host, CStepsAnalyser& steps, QObject* pParent = nullptr);

    // Null before a file is opened and after Close.
    const std::shared_ptr<const CRecording>& Recording() const { return m_pRecording; }
    bool HasRecording() const { return m_pRecording != nullptr; }
    // Every recording shown, member 0 being Recording(); empty without a recording.
    const CRecordingSet& Set() const { return m_set; }
    // Its samples; none without a recording.
    CRecordingView Samples() const;
    // The first sample's time in the 32 bits the time labels count from.
    std::uint32_t FirstTime32() const;

    // Samples nBegin to nEnd (exclusive) of the page on screen.
    std::pair<std::int64_t, std::int64_t> PageSamples() const { return m_page; }

    // Seconds nFirst to nLast after the first sample, both included; none while
    // SelectionFirst() > SelectionLast().
    bool HasSelection() const { return m_nSelFirst <= m_nSelLast; }
    std::int64_t SelectionFirst() const { return m_nSelFirst; }
    std::int64_t SelectionLast() const { return m_nSelLast; }

    CStepsAnalyser& Steps() const { return m_steps; }
    void ShowPageOf(std::int64_t nIndex) { m_host.ShowPageOf(nIndex); }
    void AnalyseSteps(const CStepOptions& options) { m_host.AnalyseSteps(options); }

    // The view's side: each tells the windows what changed.
    void SetRecording(std::shared_ptr<const CRecording> pRecording);
    // Several recordings side by side; Recording() becomes member 0.
    void SetRecordings(CRecordingSet set);
    void SetPage(std::int64_t nBegin, std::int64_t nEnd);
    void SetSelection(std::int64_t nFirst, std::int64_t nLast);
    // A window stored new tolerances: the other windows follow.
    void NotifyTolerancesChanged() { emit TolerancesChanged(); }

signals:
    void RecordingChanged();
    void PageChanged();
    void SelectionChanged();
    void TolerancesChanged();

private:
    IRecordingHost& m_host;
    CStepsAnalyser& m_steps;
    std::shared_ptr<const CRecording> m_pRecording;
    CRecordingSet m_set;
    std::pair<std::int64_t, std::int64_t> m_page{0, 0};
    std::int64_t m_nSelFirst = 0;
    std::int64_t m_nSelLast = -1;
};
