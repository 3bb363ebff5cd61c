// The plot: owns named curves, maps sample index and value ranges to pixels, and paints them.
#pragma once

#include "curve/curve.h"
#include "curve/curvelegend.h"

#include <QBrush>
#include <QImage>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

class CCurveCtrl : public QWidget
{
    Q_OBJECT

public:
    explicit CCurveCtrl(QWidget* pParent = nullptr);
    ~CCurveCtrl() override;

    // Creates a curve, or returns the existing one of that key unchanged; null for an empty key.
    CCurve* AddCurve(const QString& strKey, std::uint32_t crColor, int nPenStyle, int nPenWidth);
    // The first curve whose key equals strKey exactly, or null.
    CCurve* FindCurve(const QString& strKey) const;
    // Deletes a curve of ours; false for any other.
    bool RemoveCurve(CCurve* pCurve);

    // Each of these returns false and changes nothing for a curve that is not one of ours.
    bool SetHorzRange(CCurve* pCurve, float fMin, float fMax);
    bool GetHorzRange(CCurve* pCurve, float& fMin, float& fMax) const;
    bool SetVertRange(CCurve* pCurve, float fMin, float fMax);
    bool SetCurveColor(CCurve* pCurve, std::uint32_t crColor);
    bool SetCurveWidth(CCurve* pCurve, int nWidth);
    bool ShowCurve(CCurve* pCurve, bool bShow);
    // Removes every sample and releases the storage; the growth step becomes 65,536.
    bool ResetCurve(CCurve* pCurve);
    // Removes every sample and releases the storage; the growth step is kept.
    bool ClearCurve(CCurve* pCurve);
    // Appends a sample and returns its index; -1 for a curve that is not ours, or when
    // memory is exhausted.
    std::int64_t AppendValue(CCurve* pCurve, float fValue);
    // Replaces a curve's samples by arrValues (which gets the old ones); false if not ours.
    bool SwapValues(CCurve* pCurve, CFloatArray& arrValues);
    // Shows a channel of a recording as the curve's samples, without a copy; the curve keeps
    // the recording alive until its samples are cleared or replaced. False if not ours.
    bool ShowChannel(CCurve* pCurve, std::shared_ptr<const CRecording> pRecording,
                     EChannel eChannel);

    // Paints background, grid, the cross-hair at pCrossHair (if given and inside) and the
    // visible curves into any painter: the screen, an image or a printer page.
    void DrawPlot(QPainter& painter, const QSize& size, const QPoint* pCrossHair) const;
    void DrawGrid(QPainter& painter, const QSize& size) const;
    void DrawCrossHair(QPainter& painter, const QSize& size, const QPoint& pt) const;
    void DrawCurve(QPainter& painter, const QSize& size, const CCurve& curve) const;
    void DrawBand(QPainter& painter, const QSize& size) const;
    // The legend entry under pt, -1 for none.
    int LegendEntryAt(const QPoint& pt) const;

    // Marks of a test program's steps, drawn over the curves: a thin line at each step's first
    // sample, and a band along the bottom under samples nBegin to nEnd (exclusive) of each
    // excursion. Both in increasing order, the bands apart. Empty lists draw nothing.
    void SetStepMarks(std::vector<std::int64_t> arrStarts,
                      std::vector<std::pair<std::int64_t, std::int64_t>> arrBands);
    void DrawStepMarks(QPainter& painter, const QSize& size) const;

    int GetCurveCount() const { return static_cast<int>(m_arrCurves.size()); }
    CCurve* GetCurve(int i) const { return m_arrCurves[static_cast<std::size_t>(i)].get(); }

    // Creation order, which is also the painting order.
    std::vector<std::unique_ptr<CCurve>> m_arrCurves;
    QBrush m_brBack{QColor(0xF0, 0xF0, 0xF0)};
    std::uint32_t m_crGrid = 0xC0A080;
    int m_nGridStyle = 0;
    int m_nGridWidth = 1;
    int m_nGridRows = 0;
    int m_nGridCols = 0;
    int m_bCrossHair = 0;
    std::uint32_t m_crCrossHair = 0;
    // Samples m_nBandFirst to m_nBandLast, both included, lie under a translucent band on
    // screen; none while m_nBandFirst > m_nBandLast. Pictures of the plot leave it out.
    std::int64_t m_nBandFirst = 0;
    std::int64_t m_nBandLast = -1;
    // Names the recordings while several are shown; empty otherwise. Drawn over everything,
    // with each recording's values while the cross-hair is shown.
    CCurveLegend m_legend;

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;

private:
    bool Owns(const CCurve* pCurve) const;
    void DrawBackground(QPainter& painter, const QSize& size) const;
    std::vector<std::uint64_t> CurvesSignature(const QSize& size) const;
    std::vector<std::uint64_t> BaseSignature(const QSize& size) const;

    // The pointer over the plot, while it is there.
    bool m_bPointerInside = false;
    QPoint m_ptPointer;

    // Every pointer move repaints the plot; background and grid, and the curves, change far
    // less often and are kept as layers. The cross-hair lies between them.
    std::uint64_t m_nDataGeneration = 0;
    QImage m_imgBase;
    QImage m_imgCurves;
    std::vector<std::uint64_t> m_baseSignature;
    std::vector<std::uint64_t> m_curvesSignature;

    std::vector<std::int64_t> m_arrStepStarts;
    std::vector<std::pair<std::int64_t, std::int64_t>> m_arrStepBands;
};
