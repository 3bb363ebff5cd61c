// What a run of the program-steps analysis hands over when the analysis throws.
#include "view/stepsanalyser.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace {

TEST(StepsRun, AFailureIsHandedOverWithItsCauseAndAnEmptyAnalysis)
{
    const struct
    {
        std::function<CProgramAnalysis()> analyse;
        EStepsStatus status;
        const char* szWhat;
    } cases[] = {
        {[] {
             return CProgramAnalysis{{}, {}, 3};
         },
         EStepsStatus::Complete, ""},
        {[]() -> CProgramAnalysis { throw std::bad_alloc(); }, EStepsStatus::OutOfMemory, ""},
        {[]() -> CProgramAnalysis { throw std::length_error("too long"); }, EStepsStatus::Failed,
         "too long"},
    };
    for (const auto& c : cases) {
        const CStepsRun run = RunStepsAnalysis(c.analyse);
        EXPECT_EQ(c.status, run.status) << c.szWhat;
        EXPECT_EQ(c.szWhat, run.strWhat.toStdString());
        EXPECT_EQ(c.status == EStepsStatus::Complete ? 3 : 0, run.pAnalysis->nDwells);
    }
}

} // namespace
