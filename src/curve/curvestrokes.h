// Where a curve's samples land on the plot: the pixel arithmetic of curve painting, kept apart
// from any painter so that it can be checked point by point.
#pragma once

#include "curve/curve.h"

#include <QPolygon>

#include <cstdint>
#include <vector>

// Truncates toward zero like the processor's conversion: NaN and values beyond the int range
// give INT_MIN.
int TruncToInt(float f);

// The sample stride at a window span and plot width: every s-th sample is drawn.
std::int64_t CurveStride(float fHorzSpan, int nWidth);

// The polylines that draw the curve on a plot of nWidth x nHeight pixels. Sample i lies at
// x = (i + 1 - m_fHorzMin) * W / span and y = H - (v - m_fVertMin) * H / span, truncated;
// only every stride-th sample is used; a negative sample lifts the pen when m_bSkipNegative
// is set; the scan stops after the first point at or beyond the right edge. A window that
// starts at sample 0 enters from (-1, height of sample 0); a later window enters from the
// last stride sample left of it, so the curve comes in at its true height. A range with
// equal ends draws nothing.
std::vector<QPolygon> CurveStrokes(const CCurve& curve, int nWidth, int nHeight);
