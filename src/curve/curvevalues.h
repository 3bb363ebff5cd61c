// A curve's samples: either its own, appended one by one, or a channel of a recording that
// the curve shows without a copy and keeps alive while it does.
#pragma once

#include "recording/floatarray.h"
#include "recording/recording.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <utility>

class CCurveValues
{
public:
    std::int64_t GetSize() const { return m_pShown ? m_pShown->GetSize() : m_arrOwn.GetSize(); }
    bool IsEmpty() const { return GetSize() == 0; }
    const float* GetData() const { return m_pShown ? m_pShown->GetData() : m_arrOwn.GetData(); }
    float operator[](std::int64_t i) const { return GetData()[i]; }
    std::int64_t GetCapacity() const
    {
        return m_pShown ? m_pShown->GetCapacity() : m_arrOwn.GetCapacity();
    }
    int GetGrowBy() const { return m_arrOwn.GetGrowBy(); }
    void SetGrowBy(int nGrowBy) { m_arrOwn.SetGrowBy(nGrowBy); }

    // Shows channel eChannel of the recording; the curve's own samples are released.
    void Show(std::shared_ptr<const CRecording> pRecording, EChannel eChannel)
    {
        m_arrOwn.RemoveAll();
        m_pShown = &pRecording->Samples(eChannel);
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
    bool Detach()
    {
        if (!m_pShown)
            return true;
        CFloatArray arrCopy;
        arrCopy.SetGrowBy(m_arrOwn.GetGrowBy());
        const std::int64_t n = m_pShown->GetSize();
        if (!arrCopy.Reserve(n))
            return false;
        std::copy(m_pShown->GetData(), m_pShown->GetData() + n, arrCopy.GetData());
        arrCopy.SetSize(n);
        m_arrOwn.Swap(arrCopy);
        m_arrOwn.SetGrowBy(arrCopy.GetGrowBy());
        Forget();
        return true;
    }
    void Forget()
    {
        m_pShown = nullptr;
        m_pRecording.reset();
    }

    CFloatArray m_arrOwn;
    const CFloatArray* m_pShown = nullptr;
    std::shared_ptr<const CRecording> m_pRecording;
};
