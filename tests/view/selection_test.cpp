#include "view/selection.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <vector>

namespace {

// At plot column x over second nSecond: 'p' press, 'P' press with Shift, 'm' move,
// 'r' release, 'c' clear, 's' Set(x, nSecond).
struct CMouseStep
{
    char cKind;
    int x;
    std::int64_t nSecond;
};

struct CSelectionCase
{
    const char* szName;
    std::vector<CMouseStep> arrSteps;
    std::int64_t nFirst; // afterwards; 0 and -1 for none
    std::int64_t nLast;
    bool bTaken = false; // a press was taken from the plot
};

void PrintTo(const CSelectionCase& row, std::ostream* os)
{
    *os << row.szName;
}

using SelectionMouse = ::testing::TestWithParam<CSelectionCase>;

TEST_P(SelectionMouse, StepsMakeTheSelectionWithinTheRecording)
{
    constexpr std::int64_t kSeconds = 100;
    CSelection selection;
    bool bTaken = false;
    for (const auto& [cKind, x, nSecond] : GetParam().arrSteps) {
        if (cKind == 'p' || cKind == 'P')
            bTaken = selection.Press(x, nSecond, cKind == 'P', kSeconds) || bTaken;
        else if (cKind == 'm')
            selection.Move(x, nSecond, kSeconds);
        else if (cKind == 'r')
            selection.Release(x, nSecond, kSeconds);
        else if (cKind == 'c')
            selection.Clear();
        else
            selection.Set(x, nSecond, kSeconds);
    }
    EXPECT_EQ(GetParam().nFirst, selection.GetFirst());
    EXPECT_EQ(GetParam().nLast, selection.GetLast());
    EXPECT_EQ(GetParam().bTaken, bTaken);
}

INSTANTIATE_TEST_SUITE_P(
    Table, SelectionMouse,
    ::testing::Values(
        CSelectionCase{"drag right", {{'p', 10, 5}, {'m', 20, 15}, {'r', 30, 25}}, 5, 25},
        CSelectionCase{"drag left", {{'p', 50, 40}, {'m', 20, 10}, {'r', 20, 10}}, 10, 40},
        CSelectionCase{"past the end", {{'p', 10, 90}, {'r', 200, 150}}, 90, 99},
        CSelectionCase{"past the start", {{'p', 10, 5}, {'r', -30, -7}}, 0, 5},
        CSelectionCase{"release ends it", {{'p', 10, 5}, {'r', 30, 25}, {'m', 60, 55}}, 5, 25},
        CSelectionCase{"4 pixels: a click", {{'p', 50, 40}, {'r', 46, 36}}, 0, -1},
        CSelectionCase{"5 pixels: a drag", {{'p', 50, 40}, {'r', 55, 45}}, 40, 45},
        CSelectionCase{"back to the press", {{'p', 50, 40}, {'m', 60, 50}, {'r', 51, 41}}, 40, 41},
        CSelectionCase{"a click keeps it", {{'s', 10, 20}, {'p', 50, 40}, {'r', 52, 42}}, 10, 20},
        CSelectionCase{"shift right", {{'s', 10, 20}, {'P', 80, 70}, {'r', 200, 90}}, 10, 70, true},
        CSelectionCase{"shift left", {{'s', 10, 20}, {'P', 8, 5}}, 5, 10, true},
        CSelectionCase{"shift, no selection", {{'P', 10, 5}, {'r', 30, 25}}, 5, 25},
        CSelectionCase{
            "clear in a drag", {{'p', 10, 5}, {'m', 30, 25}, {'c', 0, 0}, {'r', 40, 35}}, 0, -1},
        CSelectionCase{"set outside", {{'s', 10, 20}, {'s', 120, 130}}, 0, -1}));

} // namespace
