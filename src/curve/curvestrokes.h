// Where a curve's samples land on the plot: the pixel arithmetic of curve painting, kept apart
// from any painter so that it can be checked point by point.
#pragma once

#include "curve/curve.h"
#include "curve/samplecursor.h"

#include <QPolygon>

#include <cstdint>
#include <vector>

// Truncates toward zero like the processor's conversion: NaN and values beyond the int range
// give INT_MIN.
int TruncToInt(float f);

// True when a page holds more samples than the plot's nWidth pixel columns: the curve is then
// drawn through each column's extremes.
bool CurveDrawsColumns(const CCurve& curve, int nWidth);

// The polylines that draw the curve on a plot of nWidth x nHeight pixels. Sample i lies at
// x = (i + 1 - m_fHorzMin) * W / span and y = H - (v - m_fVertMin) * H / span, truncated.
// At most one sample per pixel column, every sample is drawn; with more, each column is
// drawn through its first, lowest, highest and last sample in time order (ColumnExtremes),
// without repeating a point. A negative sample lifts the pen when m_bSkipNegative is set (in a
// column, only where the column holds nothing else); the scan stops after the first point at
// or beyond the right edge. A window that starts at sample 0 enters from (-1, height of
// sample 0); a later window enters from the last sample (or column) left of it, so the curve
// comes in at its true height. A range with equal ends draws nothing.
std::vector<QPolygon> CurveStrokes(const CCurve& curve, int nWidth, int nHeight);
// The same, reading the samples through samples, a cursor over curve.m_arrValues.
std::vector<QPolygon> CurveStrokes(const CCurve& curve, CSampleCursor& samples, int nWidth,
                                   int nHeight);
