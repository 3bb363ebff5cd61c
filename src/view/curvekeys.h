// The four curves of the view. The first digit names the axis (1 temperature, 2 humidity),
// the last the kind (0 measured value, solid; 1 set value, dotted). The keys also name the
// curves' entries in the "Color" and "Width" settings.
#pragma once

inline constexpr const char* kKeyTempPV = "!100";
inline constexpr const char* kKeyTempSV = "!101";
inline constexpr const char* kKeyHumiPV = "!200";
inline constexpr const char* kKeyHumiSV = "!201";

// Creation order, which is also the painting order; "!100" comes first, and its sample count
// and window stand for all four.
inline constexpr const char* kCurveOrder[4] = {kKeyTempPV, kKeyHumiPV, kKeyTempSV, kKeyHumiSV};
