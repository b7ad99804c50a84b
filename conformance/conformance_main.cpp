// Runs the conformance checks and closes with how many ran in this world.
#include "world.h"

#include <gtest/gtest.h>

#include <cstdio>

namespace conformance {
void AddWorldEnvironment();
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    conformance::AddWorldEnvironment();
    const int result = RUN_ALL_TESTS();
    const ::testing::UnitTest& run = *::testing::UnitTest::GetInstance();
    std::printf("conformance (%s): %d passed, %d failed, %d skipped\n", conformance::WorldName(),
                run.successful_test_count(), run.failed_test_count(), run.skipped_test_count());
    return result;
}
