#include "analysis/uniformity.h"

#include "analysis/fourlanes.h"

#include <algorithm>
#include <limits>

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
// Seconds taken together for every member: the columns of a block stay in the first-level
// cache while each member's values are laid over them.
constexpr std::int64_t kBlock = 2048;
// A stretch where every member holds one value is taken at once from this length on; below
// it the block path takes it, so that short held runs never cost more than a block's work.
constexpr std::int64_t kMinHeldStretch = 64;

constexpr EChannel kPV[2] = {EChannel::TempPV, EChannel::HumiPV};
constexpr EChannel kSV[2] = {EChannel::TempSV, EChannel::HumiSV};

// NaN (a record may write "nan") is no value; neither is a humidity below 0, which a
// recorder without the humidity sensor writes.
template <bool bHumi> inline bool Takes(float v)
{
    return bHumi ? v >= 0.0f : v == v;
}

// A member's running figures of one quantity: its sum in double, count and extremes, taken
// run by run; only a run that holds a new extreme is looked through again for its first
// second.
class CMemberScan
{
public:
    template <bool bHumi> void Dense(const float* p, std::int64_t tAt, std::int64_t n)
    {
        double adSum[4] = {0.0, 0.0, 0.0, 0.0};
        std::int64_t anCounted[4] = {0, 0, 0, 0};
        float afMin[4] = {kInf, kInf, kInf, kInf};
        float afMax[4] = {-kInf, -kInf, -kInf, -kInf};
        ForFourLanes(0, n, [&](int k, std::int64_t i) {
            const float v = p[i];
            const bool bTake = Takes<bHumi>(v);
            adSum[k] += bTake ? v : 0.0f;
            anCounted[k] += bTake;
            const float fLow = bTake ? v : kInf;
            const float fHigh = bTake ? v : -kInf;
            afMin[k] = fLow < afMin[k] ? fLow : afMin[k];
            afMax[k] = fHigh > afMax[k] ? fHigh : afMax[k];
        });
        const std::int64_t nCounted = anCounted[0] + anCounted[1] + anCounted[2] + anCounted[3];
        m_dSum += (adSum[0] + adSum[1]) + (adSum[2] + adSum[3]);
        if (nCounted == 0)
            return;
        m_nCounted += nCounted;
        const float fMin = std::min(std::min(afMin[0], afMin[1]), std::min(afMin[2], afMin[3]));
        const float fMax = std::max(std::max(afMax[0], afMax[1]), std::max(afMax[2], afMax[3]));
        // The first second holding an extreme: a taken value equal to it (an infinity in a
        // record is a value too, so the test is equality with a taken value).
        const auto first = [&](float f) {
            for (std::int64_t i = 0; i < n; ++i)
                if (Takes<bHumi>(p[i]) && p[i] == f)
                    return tAt + i;
            return tAt;
        };
        if (m_tMinAt < 0 || fMin < m_fMin) {
            m_fMin = fMin;
            m_tMinAt = first(fMin);
        }
        if (m_tMaxAt < 0 || fMax > m_fMax) {
            m_fMax = fMax;
            m_tMaxAt = first(fMax);
        }
    }

    template <bool bHumi> void Held(float v, std::int64_t tAt, std::int64_t n)
    {
        if (!Takes<bHumi>(v))
            return;
        m_dSum += static_cast<double>(v) * static_cast<double>(n);
        m_nCounted += n;
        if (m_tMinAt < 0 || v < m_fMin) {
            m_fMin = v;
            m_tMinAt = tAt;
        }
        if (m_tMaxAt < 0 || v > m_fMax) {
            m_fMax = v;
            m_tMaxAt = tAt;
        }
    }

    void Result(CMemberUniformity& m) const
    {
        m.nCounted = m_nCounted;
        if (m_nCounted == 0)
            return;
        m.fMin = m_fMin;
        m.tMinAt = m_tMinAt;
        m.fMax = m_fMax;
        m.tMaxAt = m_tMaxAt;
        m.dMean = m_dSum / static_cast<double>(m_nCounted);
        m.dFluctuation = (static_cast<double>(m_fMax) - static_cast<double>(m_fMin)) / 2.0;
    }

private:
    double m_dSum = 0.0;
    std::int64_t m_nCounted = 0;
    float m_fMin = kInf;
    float m_fMax = -kInf;
    std::int64_t m_tMinAt = -1;
    std::int64_t m_tMaxAt = -1;
};

// The set value's mean over the seconds it has a value at.
struct CSetValueSum
{
    double dSum = 0.0;
    std::int64_t nCounted = 0;

    template <bool bHumi> void Dense(const float* p, std::int64_t n)
    {
        double adSum[4] = {0.0, 0.0, 0.0, 0.0};
        std::int64_t anCounted[4] = {0, 0, 0, 0};
        ForFourLanes(0, n, [&](int k, std::int64_t i) {
            const bool bTake = Takes<bHumi>(p[i]);
            adSum[k] += bTake ? p[i] : 0.0f;
            anCounted[k] += bTake;
        });
        dSum += (adSum[0] + adSum[1]) + (adSum[2] + adSum[3]);
        nCounted += anCounted[0] + anCounted[1] + anCounted[2] + anCounted[3];
    }

    template <bool bHumi> void Held(float v, std::int64_t n)
    {
        if (!Takes<bHumi>(v))
            return;
        dSum += static_cast<double>(v) * static_cast<double>(n);
        nCounted += n;
    }
};

// One member's value laid over a second's lowest and highest so far. A value that is no value
// makes the lowest -inf and the highest +inf, so that the second's spread is no number and the
// second is left out.
template <bool bHumi> inline void LayValue(float& fLow, float& fHigh, float v)
{
    const bool bTake = Takes<bHumi>(v);
    const float fForLow = bTake ? v : -kInf;
    const float fForHigh = bTake ? v : kInf;
    fLow = fForLow < fLow ? fForLow : fLow;
    fHigh = fForHigh > fHigh ? fForHigh : fHigh;
}

// A block's spread across the members, second by second: every member's values are laid
// over the lowest and highest so far.
struct CColumns
{
    std::vector<float> afLow = std::vector<float>(kBlock);
    std::vector<float> afHigh = std::vector<float>(kBlock);

    void Reset(std::int64_t n)
    {
        std::fill_n(afLow.begin(), n, kInf);
        std::fill_n(afHigh.begin(), n, -kInf);
    }

    template <bool bHumi> void Dense(const float* p, std::int64_t nAt, std::int64_t n)
    {
        Lay<bHumi>(afLow.data() + nAt, afHigh.data() + nAt, p, n);
    }

    template <bool bHumi> void Held(float v, std::int64_t nAt, std::int64_t n)
    {
        float* const pLow = afLow.data() + nAt;
        float* const pHigh = afHigh.data() + nAt;
        for (std::int64_t i = 0; i < n; ++i)
            LayValue<bHumi>(pLow[i], pHigh[i], v);
    }

private:
    // Eight seconds at a time, with nothing overlapping: the compiler makes vector
    // instructions of them without being asked to vectorise loops of unknown length.
    template <bool bHumi>
    static void Lay(float* __restrict pLow, float* __restrict pHigh, const float* __restrict p,
                    std::int64_t n)
    {
        std::int64_t i = 0;
        for (; i + 8 <= n; i += 8)
            for (int k = 0; k < 8; ++k)
                LayValue<bHumi>(pLow[i + k], pHigh[i + k], p[i + k]);
        for (; i < n; ++i)
            LayValue<bHumi>(pLow[i], pHigh[i], p[i]);
    }
};

// The spread's running figures.
struct CSpreadScan
{
    double dSum = 0.0;
    std::int64_t nCounted = 0;
    double dMax = -1.0;
    std::int64_t tMaxAt = -1;

    void Block(const CColumns& columns, std::int64_t tAt, std::int64_t n)
    {
        double adSum[4] = {0.0, 0.0, 0.0, 0.0};
        std::int64_t anCounted[4] = {0, 0, 0, 0};
        double adMax[4] = {-1.0, -1.0, -1.0, -1.0};
        const float* const pLow = columns.afLow.data();
        const float* const pHigh = columns.afHigh.data();
        const auto spread = [&](std::int64_t i) {
            // A float's difference is exact in double: the figure is the values' own. A second
            // with no value (or an infinite one) has an infinite spread or none: -1.
            const double d = static_cast<double>(pHigh[i]) - pLow[i];
            return d < std::numeric_limits<double>::infinity() ? d : -1.0;
        };
        ForFourLanes(0, n, [&](int k, std::int64_t i) {
            const double d = spread(i);
            const bool bTake = d >= 0.0;
            adSum[k] += bTake ? d : 0.0;
            anCounted[k] += bTake;
            adMax[k] = d > adMax[k] ? d : adMax[k];
        });
        dSum += (adSum[0] + adSum[1]) + (adSum[2] + adSum[3]);
        nCounted += (anCounted[0] + anCounted[1]) + (anCounted[2] + anCounted[3]);
        const double dBlockMax =
            std::max(std::max(adMax[0], adMax[1]), std::max(adMax[2], adMax[3]));
        if (dBlockMax > dMax) {
            dMax = dBlockMax;
            for (std::int64_t i = 0; i < n; ++i) {
                if (spread(i) == dBlockMax) {
                    tMaxAt = tAt + i;
                    break;
                }
            }
        }
    }

    void Held(double d, std::int64_t tAt, std::int64_t n)
    {
        dSum += d * static_cast<double>(n);
        nCounted += n;
        if (d > dMax) {
            dMax = d;
            tMaxAt = tAt;
        }
    }
};

// Everything one pass keeps for one quantity.
struct CQuantityScan
{
    bool bHumi = false;
    std::vector<CMemberScan> members;
    std::vector<std::size_t> included; // members with the channel
    std::vector<char> abIncluded;      // by member
    std::optional<std::size_t> nSetMember;
    CSetValueSum setValue;
    CColumns columns;
    CSpreadScan spread;
};

template <bool bHumi>
void LayMemberRun(CQuantityScan& q, std::size_t i, std::int64_t tAt, std::int64_t nAt,
                  std::int64_t n, const float* const apValues[4], bool bHeld, bool bColumns)
{
    const int nPV = static_cast<int>(kPV[bHumi ? 1 : 0]);
    if (bHeld) {
        q.members[i].Held<bHumi>(*apValues[nPV], tAt, n);
        if (bColumns)
            q.columns.Held<bHumi>(*apValues[nPV], nAt, n);
    } else {
        q.members[i].Dense<bHumi>(apValues[nPV], tAt, n);
        if (bColumns)
            q.columns.Dense<bHumi>(apValues[nPV], nAt, n);
    }
}

template <bool bHumi>
void LaySetValueRun(CQuantityScan& q, std::int64_t n, const float* const apValues[4], bool bHeld)
{
    const int nSV = static_cast<int>(kSV[bHumi ? 1 : 0]);
    if (bHeld)
        q.setValue.Held<bHumi>(*apValues[nSV], n);
    else
        q.setValue.Dense<bHumi>(apValues[nSV], n);
}

// Seconds [t, t + n) of the common line, t being sample nAt of every view.
void TakeBlock(const std::vector<CRecordingView>& views, CQuantityScan (&quantities)[2],
               std::int64_t t, std::int64_t nAt, std::int64_t n)
{
    for (CQuantityScan& q : quantities)
        if (q.included.size() >= 2)
            q.columns.Reset(n);
    for (std::size_t i = 0; i < views.size(); ++i) {
        views[i]
            .Stretch(nAt, nAt + n)
            .ForEachRun([&](std::int64_t nFirst, std::int64_t nSeconds,
                            const float* const apValues[4], bool bHeld) {
                for (CQuantityScan& q : quantities) {
                    const bool bColumns = q.included.size() >= 2;
                    if (q.abIncluded[i]) {
                        if (q.bHumi)
                            LayMemberRun<true>(q, i, t + nFirst, nFirst, nSeconds, apValues, bHeld,
                                               bColumns);
                        else
                            LayMemberRun<false>(q, i, t + nFirst, nFirst, nSeconds, apValues, bHeld,
                                                bColumns);
                    }
                    if (q.nSetMember == i) {
                        if (q.bHumi)
                            LaySetValueRun<true>(q, nSeconds, apValues, bHeld);
                        else
                            LaySetValueRun<false>(q, nSeconds, apValues, bHeld);
                    }
                }
            });
    }
    for (CQuantityScan& q : quantities)
        if (q.included.size() >= 2)
            q.spread.Block(q.columns, t, n);
}

// The first run of a view from sample nAt on: its length, and its values when it is held.
bool HeldFrom(const CRecordingView& view, std::int64_t nAt, std::int64_t& nLength,
              const float* (&apValues)[4])
{
    bool bHeld = false;
    view.Stretch(nAt, view.GetCount())
        .ForEachRun(
            [&](std::int64_t, std::int64_t nSeconds, const float* const apRun[4], bool bRunHeld) {
                bHeld = bRunHeld;
                nLength = nSeconds;
                std::copy_n(apRun, 4, apValues);
                return false;
            });
    return bHeld;
}

// Seconds [t, t + n) where every member holds one value.
void TakeHeld(const std::vector<const float*> (&held)[4], CQuantityScan (&quantities)[2],
              std::int64_t t, std::int64_t n)
{
    for (CQuantityScan& q : quantities) {
        const int nPV = static_cast<int>(kPV[q.bHumi ? 1 : 0]);
        const int nSV = static_cast<int>(kSV[q.bHumi ? 1 : 0]);
        float fLow = kInf;
        float fHigh = -kInf;
        bool bMissing = false;
        for (const std::size_t i : q.included) {
            const float v = *held[nPV][i];
            if (q.bHumi)
                q.members[i].Held<true>(v, t, n);
            else
                q.members[i].Held<false>(v, t, n);
            bMissing = bMissing || !(q.bHumi ? Takes<true>(v) : Takes<false>(v));
            fLow = std::min(fLow, v);
            fHigh = std::max(fHigh, v);
        }
        if (q.nSetMember) {
            const float v = *held[nSV][*q.nSetMember];
            if (q.bHumi)
                q.setValue.Held<true>(v, n);
            else
                q.setValue.Held<false>(v, n);
        }
        // As in a block: a second with an infinite value has no spread either.
        const double dSpread = static_cast<double>(fHigh) - fLow;
        if (q.included.size() >= 2 && !bMissing &&
            dSpread < std::numeric_limits<double>::infinity())
            q.spread.Held(dSpread, t, n);
    }
}

void Finish(const CQuantityScan& scan, const CRecordingSet& set, const CSetValueChoice& choice,
            int nQuantity, CQuantityUniformity& q)
{
    q.members.resize(set.GetCount());
    q.nIncluded = static_cast<int>(scan.included.size());
    for (const std::size_t i : scan.included) {
        q.members[i].bIncluded = true;
        scan.members[i].Result(q.members[i]);
    }
    if (choice.aTyped[nQuantity]) {
        q.eSetValue = ESetValueSource::Typed;
        q.dSetValue = *choice.aTyped[nQuantity];
    } else if (scan.nSetMember && scan.setValue.nCounted > 0) {
        q.eSetValue = ESetValueSource::Recording;
        q.nSetMember = *scan.nSetMember;
        q.dSetValue = scan.setValue.dSum / static_cast<double>(scan.setValue.nCounted);
    }
    double dLowMean = 0.0;
    double dHighMean = 0.0;
    int nMeans = 0;
    for (CMemberUniformity& m : q.members) {
        if (!m.bIncluded || m.nCounted == 0)
            continue;
        if (q.eSetValue != ESetValueSource::None) {
            m.bDeviation = true;
            m.dDeviation = m.dMean - q.dSetValue;
        }
        dLowMean = nMeans == 0 ? m.dMean : std::min(dLowMean, m.dMean);
        dHighMean = nMeans == 0 ? m.dMean : std::max(dHighMean, m.dMean);
        ++nMeans;
    }
    q.bUniformity = q.nIncluded >= 2;
    if (!q.bUniformity)
        return;
    q.dGradient = nMeans >= 2 ? dHighMean - dLowMean : 0.0;
    q.nSpreadSeconds = scan.spread.nCounted;
    if (scan.spread.nCounted > 0) {
        q.dSpreadMax = scan.spread.dMax;
        q.tSpreadMaxAt = scan.spread.tMaxAt;
        q.dSpreadMean = scan.spread.dSum / static_cast<double>(scan.spread.nCounted);
    }
}

} // namespace

CUniformity ComputeUniformity(const CRecordingSet& set, std::int64_t tBegin, std::int64_t tEnd,
                              const CSetValueChoice& setValues, const std::atomic<bool>* pCancel)
{
    const auto [tCommonFirst, tCommonEnd] = set.CommonSeconds();
    CUniformity u;
    u.tBegin = std::max(tBegin, tCommonFirst);
    u.tEnd = std::max(u.tBegin, std::min(tEnd, tCommonEnd));
    const std::size_t nMembers = set.GetCount();

    CQuantityScan quantities[2];
    for (int q = 0; q < 2; ++q) {
        CQuantityScan& scan = quantities[q];
        scan.bHumi = q == kUniformityHumi;
        scan.members.resize(nMembers);
        scan.abIncluded.resize(nMembers);
        for (std::size_t i = 0; i < nMembers; ++i) {
            const CRecording& recording = set.Recording(i);
            if (recording.HasChannel(kPV[q])) {
                scan.included.push_back(i);
                scan.abIncluded[i] = 1;
            }
            if (!scan.nSetMember && !setValues.aTyped[q] && recording.HasChannel(kSV[q]))
                scan.nSetMember = i;
        }
    }

    // Every view starts at tBegin: each member covers every second judged.
    std::vector<CRecordingView> views;
    for (std::size_t i = 0; i < nMembers; ++i)
        views.push_back(set.ViewOf(i, u.tBegin, u.tEnd).first);
    std::vector<const float*> held[4];
    for (auto& channel : held)
        channel.resize(nMembers);

    for (std::int64_t t = u.tBegin; t < u.tEnd;) {
        if (pCancel && pCancel->load(std::memory_order_relaxed)) {
            u.bCancelled = true;
            break;
        }
        const std::int64_t nAt = t - u.tBegin;
        // Where every member holds one value the stretch is taken at once, however long.
        std::int64_t nHeld = u.tEnd - t;
        bool bAllHeld = nMembers > 0;
        for (std::size_t i = 0; i < nMembers && bAllHeld; ++i) {
            std::int64_t nLength = 0;
            const float* apValues[4] = {};
            bAllHeld = HeldFrom(views[i], nAt, nLength, apValues) &&
                       std::min(nHeld, nLength) >= kMinHeldStretch;
            nHeld = std::min(nHeld, nLength);
            for (int c = 0; c < kChannelCount; ++c)
                held[c][i] = apValues[c];
        }
        if (bAllHeld) {
            TakeHeld(held, quantities, t, nHeld);
            t += nHeld;
            continue;
        }
        const std::int64_t n = std::min(kBlock, u.tEnd - t);
        TakeBlock(views, quantities, t, nAt, n);
        t += n;
    }
    for (int q = 0; q < 2; ++q)
        Finish(quantities[q], set, setValues, q, u.quantities[q]);
    return u;
}
