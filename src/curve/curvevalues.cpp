#include "curve/curvevalues.h"

void CCurveValues::CollectRuns(std::int64_t nBegin, std::int64_t nEnd,
                               std::vector<CSampleRun>& runs) const
{
    if (!m_pRecording) {
        runs.push_back({nBegin, m_arrOwn.GetSize() - nBegin, m_arrOwn.GetData() + nBegin, false});
        return;
    }
    const int c = static_cast<int>(m_eChannel);
    m_pRecording->View(nBegin, nEnd)
        .ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds, const float* const apValues[4],
                        bool bHeld) {
            runs.push_back({nBegin + nFirst, nSeconds, apValues[c], bHeld});
        });
}

bool CCurveValues::Detach()
{
    if (!m_pRecording)
        return true;
    CFloatArray arrCopy;
    arrCopy.SetGrowBy(m_arrOwn.GetGrowBy());
    const CRecordingView view = m_pRecording->View();
    const std::int64_t n = view.GetCount();
    if (!arrCopy.Reserve(n))
        return false;
    view.CopyOut(m_eChannel, 0, n, arrCopy.GetData());
    arrCopy.SetSize(n);
    m_arrOwn.Swap(arrCopy);
    m_arrOwn.SetGrowBy(arrCopy.GetGrowBy());
    Forget();
    return true;
}
