#include "program_fixture.h"
#include "base/base.h"

void ReportDriverFailure(const std::string& what) {
    ADD_FAILURE() << what;
}

void ProgramFixture::SetUp() {
    std::wstring problem = RunningInstanceProblem();
    ASSERT_TRUE(problem.empty()) << WideToUtf8(problem);
}
