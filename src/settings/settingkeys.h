// Section and entry names of the settings profile, and the values an empty profile is seeded with.
#pragma once

#include <array>

namespace settings {

// Sections. The empty name stands for the application's own key (the top level of the store).
inline constexpr const char* kSectionApp = "";
inline constexpr const char* kSectionColor = "Color";
inline constexpr const char* kSectionWidth = "Width";
inline constexpr const char* kSectionLimit = "Limit";
inline constexpr const char* kSectionStatistics = "Statistics";

// Entries of kSectionApp.
inline constexpr const char* kEntryBkColor = "BkColor";
// Non-zero while the title is shown: the name says the opposite of what the value means.
inline constexpr const char* kEntryHideTitle = "HideTitle";
inline constexpr const char* kEntryTitle = "Title";
inline constexpr const char* kEntryLangResourceDll = "LangResourceDLL";
// How recordings shown side by side are placed: 0 by clock time, 1 by their starts.
inline constexpr const char* kEntryAlignment = "Alignment";

// Entries of kSectionColor and kSectionWidth: the curve keys, so a curve finds its own pen.
inline constexpr const char* kEntryTempPv = "!100";
inline constexpr const char* kEntryTempSv = "!101";
inline constexpr const char* kEntryHumiPv = "!200";
inline constexpr const char* kEntryHumiSv = "!201";

// Entries of kSectionLimit, in whole degrees Celsius and whole percent relative humidity.
inline constexpr const char* kEntryMaxTemp = "MaxTemp";
inline constexpr const char* kEntryMinTemp = "MinTemp";
inline constexpr const char* kEntryMaxHumi = "MaxHumi";
inline constexpr const char* kEntryMinHumi = "MinHumi";

// Entries of kSectionStatistics: how far PV may stray from SV and still count as holding it,
// in hundredths of a degree Celsius and of a percent relative humidity. Not seeded: the
// readers' defaults apply until the user changes them.
inline constexpr const char* kEntryToleranceTemp = "ToleranceTemp";
inline constexpr const char* kEntryToleranceHumi = "ToleranceHumi";

struct SeedEntry
{
    const char* section;
    const char* entry;
    int value; // colours are 0x00BBGGRR, widths are pixels
};

// Written at start-up over every entry that reads as -1, in this order. The title entries have
// no seed: until the user first sets them, their readers' defaults (shown, empty) apply.
inline constexpr std::array<SeedEntry, 13> kSeeds = {{
    {kSectionApp, kEntryBkColor, 0xFFFFFF},
    {kSectionColor, kEntryTempPv, 0x0000FF},
    {kSectionColor, kEntryHumiPv, 0xFF0000},
    {kSectionColor, kEntryTempSv, 0xFF80FF},
    {kSectionColor, kEntryHumiSv, 0xFFFF00},
    {kSectionWidth, kEntryTempPv, 3},
    {kSectionWidth, kEntryHumiPv, 3},
    {kSectionWidth, kEntryTempSv, 1},
    {kSectionWidth, kEntryHumiSv, 1},
    {kSectionLimit, kEntryMaxTemp, 160},
    {kSectionLimit, kEntryMinTemp, -40},
    {kSectionLimit, kEntryMaxHumi, 100},
    {kSectionLimit, kEntryMinHumi, 0},
}};

// Section and entries of the program steps: the minimum dwell and the settle window in whole
// minutes, the excursion delay in seconds, and whether View > Mark Steps is on (1) or off.
// Not seeded: the readers' defaults apply until the user changes them.
inline constexpr const char* kSectionSteps = "Steps";
inline constexpr const char* kEntryMinDwell = "MinDwell";
inline constexpr const char* kEntrySettleWindow = "SettleWindow";
inline constexpr const char* kEntryExcursionDelay = "ExcursionDelay";
inline constexpr const char* kEntryMarkSteps = "MarkSteps";

} // namespace settings
