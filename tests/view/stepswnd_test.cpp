// What a run of the program-steps analysis hands over when the analysis throws.
#include "view/stepsanalyser.h"

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>

namespace {

TEST(StepsRun, AFailureIsHandedOverWithItsCauseAndNothingOfWhatWasFound)
{
    const auto found = [] {
        CProgramAnalysis analysis;
        analysis.excursions.resize(5);
        return analysis;
    };
    const struct
    {
        std::function<CProgramAnalysis()> analyse;
        EStepsStatus status;
        const char* szWhat;
    } cases[] = {
        {found, EStepsStatus::Complete, ""},
        {[&]() -> CProgramAnalysis {
             found();
             throw std::bad_alloc();
         },
         EStepsStatus::OutOfMemory, ""},
        {[&]() -> CProgramAnalysis {
             found();
             throw std::length_error("too long");
         },
         EStepsStatus::Failed, "too long"},
        {[]() -> CProgramAnalysis { throw 42; }, EStepsStatus::Failed, ""},
    };
    for (const auto& c : cases) {
        const CStepsRun run = RunStepsAnalysis(c.analyse);
        EXPECT_EQ(c.status, run.status) << c.szWhat;
        EXPECT_EQ(c.szWhat, run.strWhat.toStdString());
        EXPECT_EQ(c.status == EStepsStatus::Complete ? 5u : 0u, run.pAnalysis->excursions.size());
    }
}

} // namespace
