#include "curve/curvectrl.h"
#include "curve/curvestrokes.h"
#include "curve/samplecursor.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdlib>
#include <memory>
#include <new>
#include <vector>

// Bytes allocated through operator new while g_bCounting is set: a paint that laid a long
// recording out a value per second would allocate hundreds of megabytes.
namespace {
std::atomic<bool> g_bCounting{false};
std::atomic<std::int64_t> g_nAllocated{0};
} // namespace

void* operator new(std::size_t n)
{
    if (g_bCounting.load(std::memory_order_relaxed))
        g_nAllocated += static_cast<std::int64_t>(n);
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

constexpr int W = 720;
constexpr int H = 400;

// A stretch of a series: nSeconds per-second values that wander about fValue (with a NaN and
// a negative among them), or one value held for all of them.
struct CPiece
{
    float fValue;
    std::int64_t nSeconds;
    bool bHeld;
};

float DenseValue(const CPiece& piece, std::int64_t i)
{
    if (i % 97 == 13)
        return NAN;
    if (i % 89 == 40)
        return -3.0f;
    return piece.fValue + static_cast<float>((i * 37) % 23) - 11.0f;
}

// Appends per-second values to every channel of the recording.
bool AddDenseValues(CRecording& recording, const std::vector<float>& values)
{
    const std::int64_t nCount = recording.GetCount();
    const std::int64_t nEnd = nCount + static_cast<std::int64_t>(values.size());
    for (const EChannel eChannel : kChannels) {
        CFloatArray& arr = recording.DenseSamples(eChannel);
        if (!arr.Reserve(nEnd))
            return false;
        std::copy(values.begin(), values.end(), arr.GetData() + nCount);
        arr.SetSize(nEnd);
    }
    return recording.AddDense(nEnd);
}

// The same series twice: a curve's own samples, one a second, and a recording that keeps each
// held piece's value once.
struct CTwoCurves
{
    CCurve own;
    CCurve shown;
};

void Fill(CTwoCurves& two, const std::vector<CPiece>& pieces)
{
    auto pRecording = std::make_shared<CRecording>();
    std::vector<float> dense;
    for (const CPiece& piece : pieces) {
        if (piece.bHeld) {
            const float af[4] = {piece.fValue, piece.fValue, piece.fValue, piece.fValue};
            ASSERT_TRUE(pRecording->AddHeld(af, piece.nSeconds));
            for (std::int64_t i = 0; i < piece.nSeconds; ++i)
                two.own.m_arrValues.Add(piece.fValue);
            continue;
        }
        dense.clear();
        for (std::int64_t i = 0; i < piece.nSeconds; ++i)
            dense.push_back(DenseValue(piece, i));
        ASSERT_TRUE(AddDenseValues(*pRecording, dense));
        for (const float f : dense)
            two.own.m_arrValues.Add(f);
    }
    two.shown.m_arrValues.Show(std::move(pRecording), EChannel::HumiPV);
}

TEST(CurveRecording, RecordRunsDrawAsTheirSecondsWould)
{
    const std::vector<CPiece> pieces = {
        {40, 700, false},  {55, 90000, true}, {20, 3, false},     {-1, 250000, true},
        {70, 5000, false}, {NAN, 4000, true}, {30, 1, false},     {30, 86400, true},
        {65, 2, true},     {10, 2, true},     {35, 20000, false}, {50, 600, true},
    };
    CTwoCurves two;
    Fill(two, pieces);
    const std::int64_t n = two.own.m_arrValues.GetSize();
    ASSERT_EQ(n, two.shown.m_arrValues.GetSize());
    // Seconds a pixel and the page's first second: the first page, one that starts inside a
    // held piece, one that enters from a dense piece and the one reaching past the end.
    const float arrScales[] = {0.5f, 1.0f, 7.0f, 60.0f, 600.0f, 3600.0f, 86400.0f};
    for (const float fScale : arrScales) {
        const float fSpan = fScale * W;
        for (const float fStart :
             {0.0f, 1000.0f, 93000.0f, 345000.0f, static_cast<float>(n) - 100.0f}) {
            for (const int bSkip : {0, 1}) {
                SCOPED_TRACE(testing::Message() << fScale << " s a pixel from " << fStart
                                                << (bSkip ? ", negatives skipped" : ""));
                for (CCurve* p : {&two.own, &two.shown}) {
                    p->m_fHorzMin = fStart;
                    p->m_fHorzMax = fStart + fSpan;
                    p->m_fVertMin = 0.0f;
                    p->m_fVertMax = 100.0f;
                    p->m_bSkipNegative = bSkip;
                }
                EXPECT_EQ(CurveStrokes(two.own, W, H), CurveStrokes(two.shown, W, H));
            }
        }
    }
}

// Three years at a record every ten minutes: 94 million seconds in 157,680 held runs. A page
// at an hour a pixel reads the runs it shows, not the seconds.
TEST(CurveRecording, LongRecordPagePaintsFromItsRuns)
{
    constexpr std::int64_t kRecords = 3 * 365 * 144;
    auto pRecording = std::make_shared<CRecording>();
    for (std::int64_t r = 0; r < kRecords; ++r) {
        const float f = 20.0f + static_cast<float>(r % 50);
        const float af[4] = {f, f, f, f};
        ASSERT_TRUE(pRecording->AddHeld(af, 600));
    }
    ASSERT_EQ(kRecords * 600, pRecording->GetCount());
    CCurveCtrl ctrl;
    CCurve* pCurve = ctrl.AddCurve("!100", 0x0000FF, 0, 3);
    ASSERT_TRUE(ctrl.ShowChannel(pCurve, pRecording, EChannel::TempPV));
    ctrl.SetVertRange(pCurve, 0.0f, 100.0f);
    const float fStart = 3600.0f * W * 20;
    ctrl.SetHorzRange(pCurve, fStart, fStart + 3600.0f * W);

    CSampleCursor samples(pCurve->m_arrValues);
    const std::vector<QPolygon> strokes = CurveStrokes(*pCurve, samples, W, H);
    ASSERT_FALSE(strokes.empty());
    // 720 hours of six records each, every record's run taken about once (a run is split
    // where the cursor takes the next piece), against 2.6 million seconds on the page.
    EXPECT_LE(samples.GetRunsTaken(), 2 * 6 * W);

    QImage img(W, H, QImage::Format_RGB32);
    QPainter painter(&img);
    g_nAllocated = 0;
    g_bCounting = true;
    ctrl.DrawPlot(painter, img.size(), nullptr);
    g_bCounting = false;
    EXPECT_LT(g_nAllocated.load(), std::int64_t{8} << 20);
}

} // namespace
