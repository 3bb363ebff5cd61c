#include "analysis/uniformity.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <random>

namespace {

// A stretch of a recording: per-second values, or one value held for nHeld seconds.
struct CPiece
{
    std::vector<float> temp;
    std::vector<float> humi;
    std::int64_t nHeld = 0; // > 0: temp[0] and humi[0] held this long
};

std::shared_ptr<CRecording> MakeRecording(std::int64_t tFirst, const std::vector<CPiece>& pieces,
                                          float fTempSV = 25.0f, float fHumiSV = 60.0f)
{
    auto p = std::make_shared<CRecording>();
    p->SetFirstTime(tFirst);
    for (const CPiece& piece : pieces) {
        if (piece.nHeld > 0) {
            const float af[4] = {piece.temp[0], fTempSV, piece.humi[0], fHumiSV};
            EXPECT_TRUE(p->AddHeld(af, piece.nHeld));
            continue;
        }
        const std::int64_t nEnd = p->GetCount() + static_cast<std::int64_t>(piece.temp.size());
        for (const EChannel e : kChannels) {
            CFloatArray& arr = p->DenseSamples(e);
            EXPECT_TRUE(arr.Reserve(nEnd));
            for (std::size_t i = 0; i < piece.temp.size(); ++i) {
                const float fValue = e == EChannel::TempPV   ? piece.temp[i]
                                     : e == EChannel::HumiPV ? piece.humi[i]
                                     : e == EChannel::TempSV ? fTempSV
                                                             : fHumiSV;
                arr.GetData()[p->GetCount() + static_cast<std::int64_t>(i)] = fValue;
            }
            arr.SetSize(nEnd);
        }
        EXPECT_TRUE(p->AddDense(nEnd));
    }
    return p;
}

// Three recordings made together. A from second 1000; B read from a clock 999 seconds fast
// (placed by an offset), two seconds a second and then a held run; C without humidity or set
// values, one second longer. They share seconds 1001 to 1005.
CRecordingSet ThreeLoggers()
{
    CRecordingSet set;
    set.Add(MakeRecording(1000, {{{20, 21, 22, 21, 20, 19}, {50, 51, 52, 53, 54, 55}}}));
    set.Add(MakeRecording(2000, {{{22, 23}, {49, 50}}, {{24}, {56}, 3}}), -999);
    auto c = MakeRecording(1000, {{{18, 20, 20, 25, 19, 21, 30}, {-1, -1, -1, -1, -1, -1, -1}}});
    for (const EChannel e : {EChannel::TempSV, EChannel::HumiPV, EChannel::HumiSV})
        c->SetChannelPresent(e, false);
    set.Add(c);
    return set;
}

struct CMemberRow
{
    double dMean, dMin;
    std::int64_t tMinAt;
    double dMax;
    std::int64_t tMaxAt;
    double dFluctuation, dDeviation;
};

struct CHandWorked
{
    const char* szName;
    std::int64_t tBegin, tEnd;
    CSetValueChoice choice;
    int nQuantity;
    std::vector<CMemberRow> members; // included ones, in order
    ESetValueSource eSetValue;
    double dSpreadMax;
    std::int64_t tSpreadMaxAt;
    double dSpreadMean, dGradient;
};

void PrintTo(const CHandWorked& w, std::ostream* pOut)
{
    *pOut << w.szName;
}

class UniformityHandWorked : public testing::TestWithParam<CHandWorked>
{
};

// Worked by hand from ThreeLoggers' values, second by second.
const CHandWorked kHandWorked[] = {
    // Temp 1001..1005: A 21 22 21 20 19, B 22 23 24 24 24, C 20 20 25 19 21. Spreads 2 3 4 5
    // 5. SV 25 from A, the first member with a Temp SV.
    {"TempAllSeconds",
     0,
     5000,
     {},
     kUniformityTemp,
     {{20.6, 19, 1005, 22, 1002, 1.5, -4.4},
      {23.4, 22, 1001, 24, 1003, 1.0, -1.6},
      {21.0, 19, 1004, 25, 1003, 3.0, -4.0}},
     ESetValueSource::Recording,
     5,
     1004,
     3.8,
     2.8},
    // Humi: C has none. A 51..55, B 49 50 56 56 56 (held); spreads 2 2 3 2 1.
    {"HumiWithoutTheMemberLackingIt",
     0,
     5000,
     {},
     kUniformityHumi,
     {{53.0, 51, 1001, 55, 1005, 2.0, -7.0}, {53.4, 49, 1001, 56, 1003, 3.5, -6.6}},
     ESetValueSource::Recording,
     3,
     1003,
     2.0,
     0.4},
    // Seconds 1002 and 1003 only, against a typed 20.00.
    {"TempStretchTypedSetValue",
     1002,
     1004,
     {{20.0, std::nullopt}},
     kUniformityTemp,
     {{21.5, 21, 1003, 22, 1002, 0.5, 1.5},
      {23.5, 23, 1002, 24, 1003, 0.5, 3.5},
      {22.5, 20, 1002, 25, 1003, 2.5, 2.5}},
     ESetValueSource::Typed,
     4,
     1003,
     3.5,
     2.0},
};

TEST_P(UniformityHandWorked, FiguresMatchTheTable)
{
    const CHandWorked& w = GetParam();
    const CRecordingSet set = ThreeLoggers();
    const CUniformity u = ComputeUniformity(set, w.tBegin, w.tEnd, w.choice);
    const CQuantityUniformity& q = u.quantities[w.nQuantity];
    ASSERT_EQ(q.members.size(), 3u);
    std::size_t k = 0;
    for (const CMemberUniformity& m : q.members) {
        if (!m.bIncluded)
            continue;
        ASSERT_LT(k, w.members.size());
        const CMemberRow& r = w.members[k++];
        EXPECT_NEAR(m.dMean, r.dMean, 1e-9) << k;
        EXPECT_EQ(m.fMin, r.dMin) << k;
        EXPECT_EQ(m.tMinAt, r.tMinAt) << k;
        EXPECT_EQ(m.fMax, r.dMax) << k;
        EXPECT_EQ(m.tMaxAt, r.tMaxAt) << k;
        EXPECT_NEAR(m.dFluctuation, r.dFluctuation, 1e-9) << k;
        ASSERT_TRUE(m.bDeviation) << k;
        EXPECT_NEAR(m.dDeviation, r.dDeviation, 1e-9) << k;
    }
    EXPECT_EQ(k, w.members.size());
    EXPECT_EQ(q.nIncluded, static_cast<int>(w.members.size()));
    EXPECT_EQ(q.eSetValue, w.eSetValue);
    ASSERT_TRUE(q.bUniformity);
    EXPECT_NEAR(q.dSpreadMax, w.dSpreadMax, 1e-9);
    EXPECT_EQ(q.tSpreadMaxAt, w.tSpreadMaxAt);
    EXPECT_NEAR(q.dSpreadMean, w.dSpreadMean, 1e-9);
    EXPECT_NEAR(q.dGradient, w.dGradient, 1e-9);
}

INSTANTIATE_TEST_SUITE_P(Uniformity, UniformityHandWorked, testing::ValuesIn(kHandWorked),
                         [](const auto& info) { return std::string(info.param.szName); });

TEST(Uniformity, OneMemberWithTheChannelHasNoUniformityAndNoSetValueNoDeviation)
{
    CRecordingSet set = ThreeLoggers();
    set.Remove(1); // A alone has humidity now
    const CUniformity u = ComputeUniformity(set, 0, 5000, {});
    EXPECT_TRUE(u.quantities[kUniformityTemp].bUniformity);
    EXPECT_FALSE(u.quantities[kUniformityHumi].bUniformity);
    EXPECT_EQ(u.quantities[kUniformityHumi].nIncluded, 1);
    EXPECT_EQ(u.tBegin, 1000);
    EXPECT_EQ(u.tEnd, 1006);

    CRecordingSet noSetValues;
    for (int i = 0; i < 2; ++i) {
        auto p = MakeRecording(1000, {{{20, 21}, {50, 51}}});
        p->SetChannelPresent(EChannel::TempSV, false);
        p->SetChannelPresent(EChannel::HumiSV, false);
        noSetValues.Add(p);
    }
    const CUniformity none = ComputeUniformity(noSetValues, 0, 5000, {});
    EXPECT_EQ(none.quantities[kUniformityTemp].eSetValue, ESetValueSource::None);
    EXPECT_FALSE(none.quantities[kUniformityTemp].members[0].bDeviation);
}

// The figures of members with long held runs (all held at once at first), runs cut at every place
// and several blocks, against the same seconds worked one by one.
TEST(Uniformity, HeldAndDenseRunsGiveTheFiguresOfTheirSeconds)
{
    std::mt19937 random(7);
    CRecordingSet set;
    std::vector<std::vector<float>> temps;
    std::vector<std::int64_t> starts;
    for (int m = 0; m < 4; ++m) {
        // Every member held at first: the seconds they all hold are taken at once.
        const float fFirst = static_cast<float>(m);
        std::vector<CPiece> pieces = {{{fFirst}, {fFirst}, 2000}};
        std::vector<float> temp(2000, fFirst);
        while (temp.size() < 9000) {
            CPiece piece;
            const bool bHeld = random() % 2 == 0;
            const int n = 1 + static_cast<int>(random() % (bHeld ? 700 : 3000));
            for (int i = 0; i < (bHeld ? 1 : n); ++i) {
                const float f = static_cast<float>(random() % 4000) / 100.0f;
                piece.temp.push_back(random() % 500 == 0 ? std::nanf("") : f);
                piece.humi.push_back(random() % 300 == 0 ? -1.0f : f + 20.0f);
            }
            piece.nHeld = bHeld ? n : 0;
            for (int i = 0; i < n; ++i)
                temp.push_back(piece.temp[bHeld ? 0 : i]);
            pieces.push_back(piece);
        }
        starts.push_back(5000 + static_cast<std::int64_t>(random() % 100));
        set.Add(MakeRecording(starts.back(), pieces));
        temps.push_back(temp);
    }
    const auto [tFirst, tEnd] = set.CommonSeconds();
    const CUniformity u = ComputeUniformity(set, 0, tEnd + 10, {});
    const CQuantityUniformity& q = u.quantities[kUniformityTemp];
    double dSpreadSum = 0.0;
    std::int64_t nSpread = 0;
    double dSpreadMax = -1.0;
    std::int64_t tSpreadMaxAt = -1;
    for (std::int64_t t = tFirst; t < tEnd; ++t) {
        float fLow = std::numeric_limits<float>::infinity();
        float fHigh = -fLow;
        bool bMissing = false;
        for (std::size_t m = 0; m < temps.size(); ++m) {
            const float v = temps[m][static_cast<std::size_t>(t - starts[m])];
            bMissing = bMissing || std::isnan(v);
            fLow = std::min(fLow, v);
            fHigh = std::max(fHigh, v);
        }
        if (bMissing)
            continue;
        const double d = static_cast<double>(fHigh) - fLow;
        dSpreadSum += d;
        ++nSpread;
        if (d > dSpreadMax) {
            dSpreadMax = d;
            tSpreadMaxAt = t;
        }
    }
    EXPECT_EQ(q.nSpreadSeconds, nSpread);
    EXPECT_DOUBLE_EQ(q.dSpreadMax, dSpreadMax);
    EXPECT_EQ(q.tSpreadMaxAt, tSpreadMaxAt);
    EXPECT_NEAR(q.dSpreadMean, dSpreadSum / static_cast<double>(nSpread), 1e-9);
    for (std::size_t m = 0; m < temps.size(); ++m) {
        double dSum = 0.0;
        std::int64_t n = 0;
        float fMin = std::numeric_limits<float>::infinity();
        std::int64_t tMinAt = -1;
        for (std::int64_t t = tFirst; t < tEnd; ++t) {
            const float v = temps[m][static_cast<std::size_t>(t - starts[m])];
            if (std::isnan(v))
                continue;
            dSum += v;
            ++n;
            if (v < fMin) {
                fMin = v;
                tMinAt = t;
            }
        }
        EXPECT_EQ(q.members[m].nCounted, n) << m;
        EXPECT_NEAR(q.members[m].dMean, dSum / static_cast<double>(n), 1e-9) << m;
        EXPECT_EQ(q.members[m].fMin, fMin) << m;
        EXPECT_EQ(q.members[m].tMinAt, tMinAt) << m;
    }
}

TEST(Uniformity, ASetCancelFlagStopsAndSaysSo)
{
    const std::atomic<bool> bCancel{true};
    const CUniformity u = ComputeUniformity(ThreeLoggers(), 0, 5000, {}, &bCancel);
    EXPECT_TRUE(u.bCancelled);
}

} // namespace
