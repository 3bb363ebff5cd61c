// One named series of float samples with its pen and its window of view.
#pragma once

#include "curve/curvevalues.h"

#include <QString>

#include <cstdint>

// Half the largest float: the ranges' "not set yet" marks.
inline constexpr float kUnsetRangeMax = 1.7014117e38f;

class CCurve
{
public:
    int m_nAxis = 0;                    // 0 temperature, 1 humidity
    int m_bVisible = 1;                 // nonzero: painted
    QString m_strKey;                   // unique within a control
    std::uint32_t m_crColor = 0;        // 0x00BBGGRR
    int m_nPenStyle = 0;                // 0 solid, 2 dotted
    int m_nPenWidth = 1;                // pixels
    float m_fHorzMax = kUnsetRangeMax;  // sample position at the right edge
    float m_fHorzMin = -kUnsetRangeMax; // sample position at the left edge
    float m_fVertMax = kUnsetRangeMax;  // value at the top edge
    float m_fVertMin = -kUnsetRangeMax; // value at the bottom edge
    int m_bSkipNegative = 0;            // nonzero: a negative sample lifts the pen
    int m_bEnterFromEdge = 1;           // nonzero: a window from sample 0 enters at the left edge
    CCurveValues m_arrValues;           // sample i at index i
};
