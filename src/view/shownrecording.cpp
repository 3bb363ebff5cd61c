#include "view/shownrecording.h"

CShownRecording::CShownRecording(IRecordingHost& host, CStepsAnalyser& steps, QObject* pParent)
    : QObject(pParent), m_host(host), m_steps(steps)
{
}

CRecordingView CShownRecording::Samples() const
{
    return m_pRecording ? m_pRecording->View() : CRecordingView();
}

std::uint32_t CShownRecording::FirstTime32() const
{
    return m_pRecording ? static_cast<std::uint32_t>(m_pRecording->GetFirstTime()) : 0;
}

void CShownRecording::SetRecording(std::shared_ptr<const CRecording> pRecording)
{
    CRecordingSet set;
    set.Add(std::move(pRecording));
    SetRecordings(std::move(set));
}

void CShownRecording::SetRecordings(CRecordingSet set)
{
    m_set = std::move(set);
    m_pRecording = m_set.IsEmpty() ? nullptr : m_set[0].pRecording;
    emit RecordingChanged();
}

void CShownRecording::SetPage(std::int64_t nBegin, std::int64_t nEnd)
{
    m_page = {nBegin, nEnd};
    emit PageChanged();
}

void CShownRecording::SetSelection(std::int64_t nFirst, std::int64_t nLast)
{
    m_nSelFirst = nFirst;
    m_nSelLast = nLast;
    emit SelectionChanged();
}
