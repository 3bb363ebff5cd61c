#include "curve/curvectrl.h"
#include "curve/curvestrokes.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace {

constexpr int W = 720;
constexpr int H = 400;
const QRgb kWhite = qRgb(255, 255, 255);
const QRgb kGrid = qRgb(0x80, 0xA0, 0xC0);
const QRgb kRed = qRgb(255, 0, 0);

CCurve MakeCurve(std::vector<float> values, float fHorzMin, float fHorzMax, float fVertMin = 0,
                 float fVertMax = 100)
{
    CCurve c;
    for (float v : values)
        c.m_arrValues.Add(v);
    c.m_fHorzMin = fHorzMin;
    c.m_fHorzMax = fHorzMax;
    c.m_fVertMin = fVertMin;
    c.m_fVertMax = fVertMax;
    return c;
}

std::vector<float> Ramp(int n)
{
    std::vector<float> v(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        v[static_cast<std::size_t>(i)] = static_cast<float>(i % 100);
    return v;
}

TEST(CurveStrokes, FirstWindowEntersAtMinusOneAndPlacesSampleIAtIPlusOne)
{
    const CCurve c = MakeCurve(Ramp(50), 0, W);
    const std::vector<QPolygon> strokes = CurveStrokes(c, W, H);
    ASSERT_EQ(1u, strokes.size());
    const QPolygon& s = strokes[0];
    ASSERT_EQ(50, s.size());
    EXPECT_EQ(QPoint(-1, H), s[0]); // sample 0 = 0 lies on row H, just below the plot
    for (int i = 1; i < 50; ++i)
        EXPECT_EQ(QPoint(i + 1, H - i * H / 100), s[i]) << i;
}

TEST(CurveStrokes, TopValueOnRowZeroAndBottomValueBelowTheLastRow)
{
    const CCurve c = MakeCurve({50, 100, 0}, 0, W, 0, 100);
    const QPolygon s = CurveStrokes(c, W, H).at(0);
    EXPECT_EQ(0, s[1].y());
    EXPECT_EQ(H, s[2].y());
}

TEST(CurveStrokes, StrideDrawsEveryTenthSampleOf3600On360Pixels)
{
    // Ten samples a column are no longer thinned to every tenth: each column is drawn through
    // its first, lowest, highest and last sample, so nothing between two drawn samples hides.
    // Column c holds samples 10c - 1 to 10c + 8 (sample i at (i + 1) / 10); the ramp rises
    // through most columns (first and last), and falls back to 0 in every tenth.
    const CCurve c = MakeCurve(Ramp(3600), 0, 3600);
    const QPolygon s = CurveStrokes(c, 360, H).at(0);
    auto y = [](int v) { return H - v * H / 100; };
    // Entry, 2 points in each of columns 0 to 359, a third in the 35 that hold a fall, and
    // sample 3599 at the right edge.
    ASSERT_EQ(1 + 2 * 360 + 35 + 1, s.size());
    EXPECT_EQ(QPoint(-1, H), s[0]);
    EXPECT_EQ(QPoint(0, H), s[1]);       // samples 0 (the lowest) ...
    EXPECT_EQ(QPoint(0, y(8)), s[2]);    // ... to 8
    EXPECT_EQ(QPoint(1, y(9)), s[3]);    // samples 9 ...
    EXPECT_EQ(QPoint(1, y(18)), s[4]);   // ... to 18
    EXPECT_EQ(QPoint(10, y(99)), s[21]); // sample 99, the highest of column 10
    EXPECT_EQ(QPoint(10, H), s[22]);     // sample 100 = 0, its lowest
    EXPECT_EQ(QPoint(10, y(8)), s[23]);
    EXPECT_EQ(QPoint(359, y(89)), s[s.size() - 3]);
    EXPECT_EQ(QPoint(359, y(98)), s[s.size() - 2]);
    EXPECT_EQ(QPoint(360, y(99)), s.back());
}

TEST(CurveStrokes, StopsAfterTheFirstPointAtTheRightEdge)
{
    const CCurve c = MakeCurve(Ramp(2000), 0, W);
    const QPolygon s = CurveStrokes(c, W, H).at(0);
    EXPECT_EQ(W, s.back().x()); // sample 719
    EXPECT_EQ(W, s.size());     // x = -1, then 2 .. W
}

TEST(CurveStrokes, NegativeSamplesLiftThePenWhenSkipping)
{
    CCurve c = MakeCurve({10, 20, -1, -1, 30, 40}, 0, W);
    c.m_bSkipNegative = 1;
    const std::vector<QPolygon> strokes = CurveStrokes(c, W, H);
    ASSERT_EQ(2u, strokes.size());
    EXPECT_EQ(2, strokes[0].size()); // (-1, y0) to sample 1
    // The pen rests on the last negative sample, and the next value is joined from there.
    EXPECT_EQ(QPoint(4, H + 4), strokes[1][0]);
    EXPECT_EQ(QPoint(5, H - 120), strokes[1][1]);

    CCurve noHumidity = MakeCurve(std::vector<float>(500, -1.0f), 0, W);
    noHumidity.m_bSkipNegative = 1;
    EXPECT_TRUE(CurveStrokes(noHumidity, W, H).empty());
    noHumidity.m_bSkipNegative = 0;
    EXPECT_FALSE(CurveStrokes(noHumidity, W, H).empty());
}

TEST(CurveStrokes, LaterPageEntersFromTheLastStrideSampleBeforeIt)
{
    // Page 2 at one second per pixel: sample 719 is at x = 0, sample 718 just left of it.
    const CCurve c = MakeCurve(Ramp(2000), 720, 1440);
    const QPolygon s = CurveStrokes(c, W, H).at(0);
    EXPECT_EQ(QPoint(-1, H - 18 * H / 100), s[0]); // sample 718 = 18
    EXPECT_EQ(QPoint(0, H - 19 * H / 100), s[1]);
    EXPECT_EQ(QPoint(1, H - 20 * H / 100), s[2]);

    // At ten samples a pixel the entry is the last sample of the last column left of the
    // plot, no longer the last multiple of 10, and columns are drawn through their extremes.
    const CCurve wide = MakeCurve(Ramp(30000), 7200, 14400);
    const QPolygon sw = CurveStrokes(wide, W, H).at(0);
    // Truncation toward zero puts samples 7190 to 7208 in column 0 ((7191 - 7200) / 10 -> 0),
    // and 7180 to 7189 in column -1.
    EXPECT_EQ(QPoint(-1, H - 89 * H / 100), sw[0]);
    EXPECT_EQ(QPoint(0, H - 90 * H / 100), sw[1]);
    EXPECT_EQ(QPoint(0, H - 99 * H / 100), sw[2]); // sample 7199, the highest
    EXPECT_EQ(QPoint(0, H), sw[3]);                // sample 7200 = 0, the lowest
}

TEST(CurveStrokes, NothingForEqualEndsOrAWindowPastTheData)
{
    EXPECT_TRUE(CurveStrokes(MakeCurve(Ramp(10), 0, W, 5, 5), W, H).empty());
    EXPECT_TRUE(CurveStrokes(MakeCurve(Ramp(10), 5, 5), W, H).empty());
    EXPECT_TRUE(CurveStrokes(MakeCurve(Ramp(100), 720, 1440), W, H).empty());
    EXPECT_TRUE(CurveStrokes(MakeCurve(Ramp(10), 0, W), 0, H).empty());
    // A curve whose range was never set spans the whole float range: no column of it is drawn.
    EXPECT_TRUE(CurveStrokes(MakeCurve(Ramp(100), -1.7e38f, 1.7e38f), W, H).empty());
}

TEST(CurveStrokes, NanAndHugeValuesStayDrawable)
{
    const CCurve c = MakeCurve({1, NAN, 1e30f, -1e30f, INFINITY, 5}, 0, W);
    const QPolygon s = CurveStrokes(c, W, H).at(0);
    ASSERT_EQ(6, s.size());
    for (const QPoint& p : s)
        EXPECT_LE(std::abs(p.y()), 1 << 20);
}

// Pixels of a whole plot rendered offscreen.
class CurvePaint : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_ctrl.resize(W, H);
        m_ctrl.m_brBack = QBrush(Qt::white);
        m_ctrl.m_nGridRows = 10;
        m_ctrl.m_nGridCols = 6;
    }

    QImage Render(const QPoint* pCrossHair = nullptr)
    {
        QImage img(W, H, QImage::Format_RGB32);
        QPainter p(&img);
        m_ctrl.DrawPlot(p, img.size(), pCrossHair);
        return img;
    }

    CCurve* AddFlat(const char* szKey, float fValue, int nStyle, int nWidth, int nCount = 700)
    {
        CCurve* c = m_ctrl.AddCurve(szKey, 0x0000FF, nStyle, nWidth);
        for (int i = 0; i < nCount; ++i)
            m_ctrl.AppendValue(c, fValue);
        m_ctrl.SetHorzRange(c, 0, W);
        m_ctrl.SetVertRange(c, 0, 100);
        return c;
    }

    CCurveCtrl m_ctrl;
};

TEST_F(CurvePaint, EmptyControlShowsBackgroundAndGridOnly)
{
    m_ctrl.AddCurve("!100", 0x0000FF, 0, 3); // no samples
    AddFlat("!200", 50, 0, 3)->m_bVisible = 0;
    const QImage img = Render();
    for (int y : {0, 40, 80, 360, H - 1})
        EXPECT_EQ(kGrid, img.pixel(300, y)) << y;
    for (int x : {0, 120, 240, 600, W - 1})
        EXPECT_EQ(kGrid, img.pixel(x, 201)) << x;
    EXPECT_EQ(kWhite, img.pixel(301, 201));
    EXPECT_EQ(kWhite, img.pixel(W - 2, H - 2));
}

TEST_F(CurvePaint, SolidDottedAndWidePens)
{
    AddFlat("solid", 75, 0, 1);  // row 100
    AddFlat("dotted", 50, 2, 1); // row 200
    AddFlat("wide", 25, 2, 3);   // row 300, three pixels, solid despite the dotted style
    const QImage img = Render();
    int nSolid = 0, nDotted = 0;
    for (int x = 130; x < 230; ++x) { // between grid columns
        nSolid += img.pixel(x, 100) == kRed;
        nDotted += img.pixel(x, 200) == kRed;
        EXPECT_EQ(kRed, img.pixel(x, 299)) << x;
        EXPECT_EQ(kRed, img.pixel(x, 300)) << x;
        EXPECT_EQ(kRed, img.pixel(x, 301)) << x;
    }
    EXPECT_EQ(100, nSolid);
    EXPECT_GT(nDotted, 30);
    EXPECT_LT(nDotted, 70);
    EXPECT_EQ(kWhite, img.pixel(180, 201)); // a one-pixel line is one pixel high
    EXPECT_EQ(kWhite, img.pixel(180, 297));
    EXPECT_EQ(kWhite, img.pixel(180, 303));
}

TEST_F(CurvePaint, OnePixelLineLeavesOutItsLastPoint)
{
    CCurve* c = AddFlat("!100", 50, 0, 1, 5); // (-1, 200), then samples 1..4 at x = 2..5
    c->m_crColor = 0x0000FF;
    const QImage img = Render();
    EXPECT_EQ(kRed, img.pixel(0, 200));
    EXPECT_EQ(kRed, img.pixel(4, 200));
    EXPECT_NE(kRed, img.pixel(5, 200));
}

TEST_F(CurvePaint, CrossHairOnlyInsideTheClientArea)
{
    const QPoint inside(100, 150);
    const QImage with = Render(&inside);
    EXPECT_EQ(qRgb(0, 0, 0), with.pixel(500, 150));
    EXPECT_EQ(qRgb(0, 0, 0), with.pixel(100, 390));
    EXPECT_EQ(Render(), [&] {
        const QPoint outside(W, 150); // the right edge is outside
        return Render(&outside);
    }());
}

TEST_F(CurvePaint, CurvesAreDrawnOverTheCrossHair)
{
    AddFlat("!100", 50, 0, 3);
    const QPoint pt(100, 200);
    EXPECT_EQ(kRed, Render(&pt).pixel(300, 200));
}

TEST_F(CurvePaint, OneSecondSpikesOfAMonthShowAtAnHourPerPixelAtFullDepth)
{
    // A month at one sample a second at 50, with a one-second drop to 10 and a one-second
    // rise to 90 that fall between every hour's samples; page 1 at 3600 s per pixel.
    CCurve* c = m_ctrl.AddCurve("!100", 0x0000FF, 0, 3);
    CFloatArray values;
    const std::int64_t nMonth = 31LL * 86400;
    ASSERT_TRUE(values.ReserveMore(nMonth));
    values.AddRepeated(50.0f, nMonth);
    values[1234567] = 10.0f; // column 1234568 / 3600 = 342, row 400 - 40 = 360
    values[2000000] = 90.0f; // column 555, row 40
    m_ctrl.SwapValues(c, values);
    m_ctrl.SetHorzRange(c, 0, 3600.0f * W);
    m_ctrl.SetVertRange(c, 0, 100);
    const QImage img = Render();
    // Each spike's column is drawn from the line at row 200 to the sample's own row.
    auto drawnRows = [&](int x, int nFrom, int nTo) {
        int nDrawn = 0;
        for (int y = nFrom; y <= nTo; ++y)
            nDrawn += img.pixel(x, y) == kRed;
        return nDrawn;
    };
    EXPECT_EQ(161, drawnRows(342, 200, 360));
    EXPECT_EQ(0, drawnRows(342, 363, H - 1));
    EXPECT_EQ(161, drawnRows(555, 40, 200));
    EXPECT_EQ(0, drawnRows(555, 0, 37));
    EXPECT_EQ(3, drawnRows(450, 0, H - 1)); // the flat line, three pixels wide
}

// Pixels that one picture paints in colour and the other does not, and whether each of them
// has a pixel of that colour beside it (within one pixel) in the other picture; beyond the
// picture's edge there may be one.
struct CPixelDifference
{
    int nDifferent = 0;
    int nApart = 0; // different pixels with no pixel of the colour beside them in the other
    int nPainted = 0;
};

CPixelDifference ComparePainted(const QImage& a, const QImage& b, QRgb rgb)
{
    auto painted = [&](const QImage& img, int x, int y) {
        return x < 0 || y < 0 || x >= img.width() || y >= img.height() || img.pixel(x, y) == rgb;
    };
    auto besideIn = [&](const QImage& img, int x, int y) {
        for (int dy = -1; dy <= 1; ++dy)
            for (int dx = -1; dx <= 1; ++dx)
                if (painted(img, x + dx, y + dy))
                    return true;
        return false;
    };
    CPixelDifference d;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const bool bA = a.pixel(x, y) == rgb;
            d.nPainted += bA;
            if (bA == (b.pixel(x, y) == rgb))
                continue;
            ++d.nDifferent;
            d.nApart += !besideIn(bA ? b : a, x, y);
        }
    }
    return d;
}

TEST_F(CurvePaint, WidePenThroughColumnsPaintsWhatItsPolylinesPaint)
{
    // A wide pen's columns are filled and its lines from column to column drawn with flat
    // ends, instead of stroking a round end at every point. The picture must stay the pen
    // drawn along CurveStrokes' polylines, whatever the samples do in a column: only a pixel
    // on the edge of a line may differ.
    struct CCase
    {
        const char* szWhat;
        float (*fnValue)(int i);
        bool bSkipNegative;
        float fMinPerPixel; // below it a column may hold only NaN
    };
    const CCase cases[] = {
        {"sine and noise",
         [](int i) { return 50 + 30 * std::sin(i / 500.0f) + static_cast<float>(i % 7); }, false,
         0},
        {"sawtooth", [](int i) { return static_cast<float>((i * 37) % 101); }, false, 0},
        {"spike in every column", [](int i) { return i % 9 == 4 ? 95.0f : 20.0f; }, false, 0},
        {"every other sample NaN", [](int i) { return i % 2 ? NAN : i % 200 * 0.5f; }, false, 3},
        {"all negative, skipped", [](int i) { return -1.0f - static_cast<float>(i % 3); }, true, 0},
        {"negative runs, skipped",
         [](int i) { return i % 300 < 40 ? -5.0f : static_cast<float>(i % 50 + 20); }, true, 0},
        {"far off the plot", [](int i) { return i % 5 ? 1e4f : -1e4f; }, false, 0},
    };
    const QRgb kBlue = qRgb(0, 0, 255);
    for (const CCase& c : cases) {
        for (const int nPen : {2, 3, 5}) {
            for (const float fFirst : {0.0f, 1234.0f}) {
                for (const float fPerPixel : {1.5f, 3.0f, 9.0f, 40.0f}) {
                    if (fPerPixel < c.fMinPerPixel)
                        continue;
                    SCOPED_TRACE(testing::Message() << c.szWhat << ", pen " << nPen << ", from "
                                                    << fFirst << ", " << fPerPixel << " a pixel");
                    CCurveCtrl ctrl;
                    ctrl.m_brBack = QBrush(Qt::white);
                    CCurve* pCurve = ctrl.AddCurve("!100", 0xFF0000, 0, nPen);
                    for (int i = 0; i < 40000; ++i)
                        ctrl.AppendValue(pCurve, c.fnValue(i));
                    pCurve->m_bSkipNegative = c.bSkipNegative;
                    ctrl.SetHorzRange(pCurve, fFirst, fFirst + fPerPixel * W);
                    ctrl.SetVertRange(pCurve, 0, 100);
                    QImage plot(W, H, QImage::Format_RGB32);
                    {
                        QPainter p(&plot);
                        ctrl.DrawPlot(p, plot.size(), nullptr);
                    }
                    QImage expected(W, H, QImage::Format_RGB32);
                    expected.fill(Qt::white);
                    QPainter p(&expected);
                    QPen pen(QColor(kBlue), nPen);
                    pen.setCapStyle(Qt::RoundCap);
                    pen.setJoinStyle(Qt::RoundJoin);
                    p.setPen(pen);
                    // In pieces of a few lines, whose round ends make up the joins: a long
                    // zigzag in one polyline takes the pen seconds.
                    for (const QPolygon& stroke : CurveStrokes(*pCurve, W, H))
                        for (int i = 0; i + 1 < stroke.size(); i += 16)
                            p.drawPolyline(stroke.constData() + i,
                                           std::min(17, static_cast<int>(stroke.size()) - i));
                    p.end();
                    const CPixelDifference d = ComparePainted(expected, plot, kBlue);
                    EXPECT_EQ(0, d.nApart);
                    EXPECT_LE(d.nDifferent, d.nPainted / 50) << d.nPainted;
                }
            }
        }
    }
}

TEST_F(CurvePaint, WidgetPaintsTheSamePictureAndFollowsThePointer)
{
    AddFlat("!100", 60, 0, 3);
    AddFlat("!101", 40, 2, 1);
    m_ctrl.m_bCrossHair = 1;
    m_ctrl.show();
    QMouseEvent move(QEvent::MouseMove, QPointF(210, 130), QPointF(210, 130), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&m_ctrl, &move);
    const QPoint pt(210, 130);
    EXPECT_EQ(Render(&pt), m_ctrl.grab().toImage().convertToFormat(QImage::Format_RGB32));

    // A second move reuses the cached layers and still gives the full picture.
    QMouseEvent move2(QEvent::MouseMove, QPointF(400, 50), QPointF(400, 50), Qt::NoButton,
                      Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&m_ctrl, &move2);
    const QPoint pt2(400, 50);
    EXPECT_EQ(Render(&pt2), m_ctrl.grab().toImage().convertToFormat(QImage::Format_RGB32));

    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&m_ctrl, &leave);
    EXPECT_EQ(Render(), m_ctrl.grab().toImage().convertToFormat(QImage::Format_RGB32));

    // Changing a range without any call on the control still reaches the next paint.
    m_ctrl.FindCurve("!100")->m_fVertMax = 200;
    EXPECT_EQ(Render(), m_ctrl.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

} // namespace
