// A curve's samples: either its own, appended one by one, or a channel of a recording that
// the curve shows without a copy and keeps alive while it does.
#pragma once

#include "recording/floatarray.h"
#include "recording/recording.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

// Samples nFirst to nFirst + nSeconds - 1 of a curve: per-second values from pValues, or, when
// bHeld, the one value *pValues at each of them.
struct CSampleRun
{
    std::int64_t nFirst = 0;
    std::int64_t nSeconds = 0;
    const float* pValues = nullptr;
    bool bHeld = false;
};

class CCurveValues
{
public:
    std::int64_t GetSize() const
    {
        return m_pRecording ? m_pRecording->GetCount() : m_arrOwn.GetSize();
    }
    bool IsEmpty() const { return GetSize() == 0; }
    // The curve's own samples; null while it shows a recording, which keeps a record's
    // values once however many seconds they stand for.
    const float* GetData() const { return m_pRecording ? nullptr : m_arrOwn.GetData(); }
    // Sample i, 0 <= i < GetSize().
    float Value(std::int64_t i) const
    {
        return m_pRecording ? m_pRecording->View().Value(m_eChannel, i) : m_arrOwn[i];
    }
    float operator[](std::int64_t i) const { return Value(i); }
    // Appends the runs that hold samples nBegin to at least nEnd - 1 (0 <= nBegin < nEnd <=
    // GetSize()), the first starting at nBegin; the last may reach further.
    void CollectRuns(std::int64_t nBegin, std::int64_t nEnd, std::vector<CSampleRun>& runs) const;
    std::int64_t GetCapacity() const { return m_pRecording ? 0 : m_arrOwn.GetCapacity(); }
    int GetGrowBy() const { return m_arrOwn.GetGrowBy(); }
    void SetGrowBy(int nGrowBy) { m_arrOwn.SetGrowBy(nGrowBy); }
    // What the samples are read from: the recording shown or the curve's own storage.
    const void* GetSource() const
    {
        return m_pRecording ? static_cast<const void*>(m_pRecording.get()) : m_arrOwn.GetData();
    }
    // False for a channel the shown recording's file did not have: such a curve is not drawn.
    bool IsPresent() const { return !m_pRecording || m_pRecording->HasChannel(m_eChannel); }

    // Shows channel eChannel of the recording; the curve's own samples are released.
    void Show(std::shared_ptr<const CRecording> pRecording, EChannel eChannel)
    {
        m_arrOwn.RemoveAll();
        m_eChannel = eChannel;
        m_pRecording = std::move(pRecording);
    }
    // The recording shown, or null while the curve holds samples of its own.
    const std::shared_ptr<const CRecording>& GetRecording() const { return m_pRecording; }

    // These change the curve's own samples. A curve that shows a recording first takes a
    // copy of its channel, so the recording stays as it is for everyone else who reads it.
    std::int64_t Add(float f) { return Detach() ? m_arrOwn.Add(f) : -1; }
    void RemoveAll()
    {
        Forget();
        m_arrOwn.RemoveAll();
    }
    // Swaps the curve's own samples with arrValues; false, with nothing swapped, when memory
    // ran out for the copy of a recording's channel.
    bool Swap(CFloatArray& arrValues)
    {
        if (!Detach())
            return false;
        m_arrOwn.Swap(arrValues);
        return true;
    }

private:
    bool Detach();
    void Forget() { m_pRecording.reset(); }

    CFloatArray m_arrOwn;
    std::shared_ptr<const CRecording> m_pRecording;
    EChannel m_eChannel = EChannel::TempPV;
};
