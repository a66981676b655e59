#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace vortrel::testing {

// Runs every test of a binary under a private virtual X server: Xvfb with one 800x600 screen
// of depth 24, on a display number it picks itself, so that test binaries running side by side
// each have their own, on machines with or without a display. DISPLAY names it while it runs.
// Register it once with ::testing::AddGlobalTestEnvironment. When the server cannot start the
// binary fails with the reason before any test runs.
class XvfbEnvironment : public ::testing::Environment {
  public:
    void SetUp() override;
    /// Stops the server and gives DISPLAY back its earlier value.
    void TearDown() override;

  private:
    pid_t pid_ = -1;
    std::optional<std::string> previousDisplay_;
};

}  // namespace vortrel::testing
