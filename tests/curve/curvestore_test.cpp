#include "curve/curvectrl.h"

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

namespace {

std::uint32_t Bits(float f)
{
    std::uint32_t n;
    std::memcpy(&n, &f, sizeof n);
    return n;
}

TEST(CurveStore, NewCurveHasTheDefaultsAndUnsetRanges)
{
    CCurveCtrl ctrl;
    CCurve* p = ctrl.AddCurve("!101", 0xFF80FF, 2, 1);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, p->m_nAxis);
    EXPECT_EQ(1, p->m_bVisible);
    EXPECT_EQ(0xFF80FFu, p->m_crColor);
    EXPECT_EQ(2, p->m_nPenStyle);
    EXPECT_EQ(1, p->m_nPenWidth);
    EXPECT_EQ(0x7EFFFFFFu, Bits(p->m_fHorzMax));
    EXPECT_EQ(0xFEFFFFFFu, Bits(p->m_fHorzMin));
    EXPECT_EQ(0x7EFFFFFFu, Bits(p->m_fVertMax));
    EXPECT_EQ(0xFEFFFFFFu, Bits(p->m_fVertMin));
    EXPECT_EQ(0, p->m_bSkipNegative);
    EXPECT_EQ(256, p->m_arrValues.GetGrowBy());
    EXPECT_EQ(0xC0A080u, ctrl.m_crGrid);
    EXPECT_EQ(QColor(0xF0, 0xF0, 0xF0), ctrl.m_brBack.color());
}

TEST(CurveStore, AddCurveKeepsTheFirstCurveOfAKey)
{
    CCurveCtrl ctrl;
    CCurve* pFirst = ctrl.AddCurve("!100", 0x0000FF, 0, 3);
    CCurve* pAgain = ctrl.AddCurve("!100", 0x00FF00, 2, 7);
    EXPECT_EQ(pFirst, pAgain);
    EXPECT_EQ(1, ctrl.GetCurveCount());
    EXPECT_EQ(0x0000FFu, pAgain->m_crColor);
    EXPECT_EQ(0, pAgain->m_nPenStyle);
    EXPECT_EQ(3, pAgain->m_nPenWidth);
    EXPECT_EQ(nullptr, ctrl.AddCurve("", 0, 0, 1));
    EXPECT_EQ(1, ctrl.GetCurveCount());
}

TEST(CurveStore, FindCurveMatchesTheWholeKeyExactly)
{
    CCurveCtrl ctrl;
    ctrl.AddCurve("!100", 0, 0, 1);
    CCurve* pHumi = ctrl.AddCurve("Humi", 0, 0, 1);
    EXPECT_EQ(pHumi, ctrl.FindCurve("Humi"));
    EXPECT_EQ(nullptr, ctrl.FindCurve("humi"));
    EXPECT_EQ(nullptr, ctrl.FindCurve("!10"));
    EXPECT_EQ(nullptr, ctrl.FindCurve("!1000"));
    EXPECT_EQ(ctrl.GetCurve(0), ctrl.FindCurve("!100"));
}

TEST(CurveStore, AppendValueNumbersSamplesFromZeroAgainAfterClear)
{
    CCurveCtrl ctrl;
    CCurve* p = ctrl.AddCurve("!200", 0, 0, 1);
    EXPECT_EQ(0, ctrl.AppendValue(p, 1.5f));
    EXPECT_EQ(1, ctrl.AppendValue(p, 2.5f));
    EXPECT_EQ(2, ctrl.AppendValue(p, 3.5f));
    EXPECT_EQ(2.5f, p->m_arrValues[1]);
    EXPECT_TRUE(ctrl.ClearCurve(p));
    EXPECT_EQ(0, p->m_arrValues.GetCapacity());
    EXPECT_EQ(0, ctrl.AppendValue(p, 9.0f));
}

TEST(CurveStore, ResetSetsTheLargeGrowthStepAndClearKeepsIt)
{
    CCurveCtrl ctrl;
    CCurve* p = ctrl.AddCurve("!100", 0, 0, 1);
    ctrl.AppendValue(p, 1.0f);
    EXPECT_EQ(256, p->m_arrValues.GetCapacity());
    EXPECT_TRUE(ctrl.ResetCurve(p));
    EXPECT_EQ(0, p->m_arrValues.GetSize());
    ctrl.AppendValue(p, 1.0f);
    EXPECT_EQ(65536, p->m_arrValues.GetCapacity());
    EXPECT_TRUE(ctrl.ClearCurve(p));
    ctrl.AppendValue(p, 1.0f);
    EXPECT_EQ(65536, p->m_arrValues.GetCapacity());
}

TEST(CurveStore, ForeignOrNullCurveChangesNothing)
{
    CCurveCtrl ctrl;
    CCurveCtrl other;
    ctrl.AddCurve("!100", 0, 0, 1);
    CCurve* pForeign = other.AddCurve("!100", 0x123456, 0, 1);
    float fMin = 5.0f;
    float fMax = 6.0f;
    CFloatArray arr;
    for (CCurve* p : {pForeign, static_cast<CCurve*>(nullptr)}) {
        EXPECT_FALSE(ctrl.SetHorzRange(p, 0, 1));
        EXPECT_FALSE(ctrl.GetHorzRange(p, fMin, fMax));
        EXPECT_FALSE(ctrl.SetVertRange(p, 0, 1));
        EXPECT_FALSE(ctrl.SetCurveColor(p, 1));
        EXPECT_FALSE(ctrl.SetCurveWidth(p, 9));
        EXPECT_FALSE(ctrl.ShowCurve(p, false));
        EXPECT_FALSE(ctrl.ResetCurve(p));
        EXPECT_FALSE(ctrl.ClearCurve(p));
        EXPECT_FALSE(ctrl.SwapValues(p, arr));
        EXPECT_EQ(-1, ctrl.AppendValue(p, 1.0f));
    }
    EXPECT_EQ(5.0f, fMin);
    EXPECT_EQ(0x123456u, pForeign->m_crColor);
    EXPECT_EQ(1, pForeign->m_bVisible);
    EXPECT_EQ(0, pForeign->m_arrValues.GetSize());
}

TEST(CurveStore, SettersWriteTheirMembersWithoutChecks)
{
    CCurveCtrl ctrl;
    CCurve* p = ctrl.AddCurve("!100", 0, 0, 1);
    ctrl.AppendValue(p, 4.0f);
    EXPECT_TRUE(ctrl.SetHorzRange(p, 10.0f, -10.0f)); // min above max is allowed
    EXPECT_TRUE(ctrl.SetVertRange(p, 3.0f, 3.0f));
    EXPECT_TRUE(ctrl.ShowCurve(p, false));
    float fMin = 0;
    float fMax = 0;
    EXPECT_TRUE(ctrl.GetHorzRange(p, fMin, fMax));
    EXPECT_EQ(10.0f, fMin);
    EXPECT_EQ(-10.0f, fMax);
    EXPECT_EQ(3.0f, p->m_fVertMin);
    EXPECT_EQ(0, p->m_bVisible);
    EXPECT_EQ(1, p->m_arrValues.GetSize());
}

TEST(CurveStore, SwapValuesAdoptsASeriesAndKeepsTheGrowthStep)
{
    CCurveCtrl ctrl;
    CCurve* p = ctrl.AddCurve("!100", 0, 0, 1);
    ctrl.ResetCurve(p);
    ctrl.AppendValue(p, 1.0f);
    CFloatArray loaded;
    ASSERT_TRUE(loaded.AddRepeated(7.0f, 100000));
    EXPECT_TRUE(ctrl.SwapValues(p, loaded));
    EXPECT_EQ(100000, p->m_arrValues.GetSize());
    EXPECT_EQ(65536, p->m_arrValues.GetGrowBy());
    EXPECT_EQ(1, loaded.GetSize());
}

// A curve shows a recording's channel without a copy; what is appended to the curve afterwards
// goes into a copy of its own, and the recording, which others read too, stays as it was.
TEST(CurveStore, ShownChannelIsNotCopiedUntilTheCurveChanges)
{
    auto pRecording = std::make_shared<CRecording>();
    for (const float f : {1.0f, 2.0f, 3.0f})
        for (EChannel eChannel : kChannels)
            pRecording->DenseSamples(eChannel).Add(f * (1 + static_cast<int>(eChannel)));
    pRecording->AddDense(3);
    CCurveCtrl ctrl;
    CCurve* p = ctrl.AddCurve("!101", 0, 0, 1);
    ASSERT_TRUE(ctrl.ShowChannel(p, pRecording, EChannel::TempSV));
    EXPECT_EQ(pRecording.get(), p->m_arrValues.GetSource());
    EXPECT_EQ(4.0f, p->m_arrValues[1]);

    EXPECT_EQ(3, ctrl.AppendValue(p, 9.0f));
    EXPECT_EQ(4, p->m_arrValues.GetSize());
    EXPECT_NE(pRecording.get(), p->m_arrValues.GetSource());
    EXPECT_EQ(6.0f, p->m_arrValues[2]);
    EXPECT_EQ(3, pRecording->GetCount());

    ASSERT_TRUE(ctrl.ShowChannel(p, pRecording, EChannel::HumiSV));
    const std::weak_ptr<CRecording> pWeak = pRecording;
    pRecording.reset();
    EXPECT_FALSE(pWeak.expired()) << "the curve keeps the recording it shows alive";
    ctrl.ClearCurve(p);
    EXPECT_TRUE(pWeak.expired());
    EXPECT_EQ(0, p->m_arrValues.GetSize());
}

TEST(FloatArray, GrowsByTheStepThenByAnEighth)
{
    CFloatArray arr;
    arr.SetGrowBy(100);
    arr.Add(1.0f);
    EXPECT_EQ(100, arr.GetCapacity());
    ASSERT_TRUE(arr.AddRepeated(2.0f, 99));
    EXPECT_EQ(100, arr.GetCapacity());
    arr.Add(3.0f);
    EXPECT_EQ(200, arr.GetCapacity());
    ASSERT_TRUE(arr.AddRepeated(0.5f, 7999));
    EXPECT_EQ(8100, arr.GetCapacity()); // the request itself when it is larger than a step
    arr.Add(1.0f);
    EXPECT_EQ(8100 + 8100 / 8, arr.GetCapacity());
    EXPECT_EQ(3.0f, arr[100]);
    EXPECT_EQ(0.5f, arr[8099]);
}

TEST(FloatArray, ImpossibleSizeFailsAndKeepsTheSamples)
{
    CFloatArray arr;
    arr.Add(1.0f);
    EXPECT_FALSE(arr.AddRepeated(0.0f, INT64_MAX / 2));
    EXPECT_EQ(1, arr.GetSize());
    EXPECT_EQ(1.0f, arr[0]);
}

} // namespace
