#pragma once

#include "world.h"

#include "os/win32api.h"

#include <gtest/gtest.h>

#include <string>

namespace conformance {

// A fresh folder of real (or simulated) files for each test.
class ScratchTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_folder =
            MakeScratchFolder(::testing::UnitTest::GetInstance()->current_test_info()->name());
    }
    void TearDown() override { RemoveScratchFolder(m_folder); }

    std::string Path(const std::string& name) const { return m_folder + name; }
    std::string Write(const std::string& name, const std::string& bytes) const {
        WriteBytes(Path(name), bytes);
        return Path(name);
    }

    std::string m_folder;
};

// Skips the rest of a test under Wine, saying how Windows behaves instead.
#define SKIP_UNDER_WINE(windowsBehaviour)                                                          \
    do {                                                                                           \
        if (::conformance::WorldIsWine()) {                                                        \
            GTEST_SKIP() << "Wine differs from Windows here; Windows: " << (windowsBehaviour);     \
        }                                                                                          \
    } while (false)

} // namespace conformance
