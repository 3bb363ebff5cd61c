#include "view/importchoices.h"

#include <gtest/gtest.h>

namespace {

constexpr int S = static_cast<int>(EColumnRole::Skip);
constexpr int D = static_cast<int>(EColumnRole::Date);
constexpr int T = static_cast<int>(EColumnRole::Time);
constexpr int DT = static_cast<int>(EColumnRole::DateTime);
constexpr int TP = static_cast<int>(EColumnRole::TempPV);
constexpr int TS = static_cast<int>(EColumnRole::TempSV);
constexpr int HP = static_cast<int>(EColumnRole::HumiPV);

struct CChooseCase
{
    const char* szName;
    std::vector<int> arrBefore;
    std::size_t nColumn;
    int nRole;
    std::vector<int> arrAfter;
};

void PrintTo(const CChooseCase& c, std::ostream* pOut)
{
    *pOut << c.szName;
}

class ImportChooseRole : public ::testing::TestWithParam<CChooseCase>
{
};

TEST_P(ImportChooseRole, OneColumnPerRole)
{
    const CChooseCase& c = GetParam();
    CImportChoices choices;
    choices.arrRoles = c.arrBefore;
    ChooseRole(choices, c.nColumn, c.nRole);
    EXPECT_EQ(c.arrAfter, choices.arrRoles);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ImportChooseRole,
    ::testing::Values(CChooseCase{"ChannelMovesToTheNewColumn", {DT, TP, S}, 2, TP, {DT, S, TP}},
                      CChooseCase{"AnotherChannelStays", {DT, TP, S}, 2, TS, {DT, TP, TS}},
                      CChooseCase{
                          "DateTimeReplacesDateAndTime", {D, T, TP, S}, 3, DT, {S, S, TP, DT}},
                      CChooseCase{"DateReplacesDateTime", {DT, TP, S}, 2, D, {S, TP, D}},
                      CChooseCase{"TimeBesideDateStays", {D, S, TP}, 1, T, {D, T, TP}},
                      CChooseCase{"NotReadTwiceIsFine", {S, TP, S}, 1, S, {S, S, S}},
                      CChooseCase{"ColumnBeyondTheLastChangesNothing", {DT, TP}, 5, HP, {DT, TP}}),
    [](const auto& info) { return std::string(info.param.szName); });

TEST(ImportChoices, LayoutReadsBackAsTheChoicesShowIt)
{
    CLayout layout;
    layout.strName = "Semicolon";
    layout.strHeader = "Stamp;A;B";
    layout.cDelimiter = ';';
    layout.cDecimal = ',';
    layout.cQuote = 0;
    layout.nSkipLines = 3;
    layout.nHeaderLine = 2;
    layout.arrRoles = {EColumnRole::DateTime, EColumnRole::Skip, EColumnRole::HumiPV};
    layout.eDateOrder = EDateOrder::DayMonthYear;
    layout.eClock = EClock::Hours12;
    layout.eZone = EZone::Offset;
    layout.nOffsetMinutes = -240;
    layout.eTempUnit = ETempUnit::Fahrenheit;
    layout.bUnitInCells = true;
    layout.eEncoding = EEncoding::Gbk;
    // A fourth column not read is shown, and dropped again.
    const CImportChoices choices = ChoicesFromLayout(layout, 4);
    EXPECT_EQ(4u, choices.arrRoles.size());
    EXPECT_EQ(layout, LayoutFromChoices(choices, layout));
}

TEST(ImportChoices, HeaderIsNeverReadAsARecord)
{
    CImportChoices choices;
    choices.nHeaderLine = 4;
    choices.nSkipLines = 1;
    EXPECT_EQ(4, LayoutFromChoices(choices, CLayout()).nSkipLines);
}

TEST(ImportChoices, OffsetCountsOnlyForAFixedOffset)
{
    CImportChoices choices;
    choices.nOffsetMinutes = 120;
    choices.nZone = static_cast<int>(EZone::Local);
    EXPECT_EQ(0, LayoutFromChoices(choices, CLayout()).nOffsetMinutes);
}

} // namespace
