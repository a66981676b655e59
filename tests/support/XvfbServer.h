#pragma once

#include <gtest/gtest.h>
#include <sys/types.h>

#include <memory>
#include <optional>
#include <string>

namespace vortrel::testing {

// A private virtual X server for one test process: Xvfb on a display number it picks itself,
// so that test binaries running side by side each have their own, on machines with or without
// a display. DISPLAY names it while it runs.
class XvfbServer {
  public:
    /// Starts Xvfb with one 800x600 screen of depth 24 and sets DISPLAY; throws
    /// std::runtime_error, with Xvfb's output, when it cannot start.
    XvfbServer();
    /// Stops the server and gives DISPLAY back its earlier value.
    ~XvfbServer();
    XvfbServer(const XvfbServer&) = delete;
    XvfbServer& operator=(const XvfbServer&) = delete;

    /// The display's name, such as ":3".
    const std::string& Display() const { return display_; }

  private:
    int Stop();  // the server's wait status

    pid_t pid_ = -1;
    std::string display_;
    std::optional<std::string> previousDisplay_;
};

// Runs every test of a binary under a private X server; register it once with
// ::testing::AddGlobalTestEnvironment. When the server cannot start the binary fails with the
// reason before any test runs.
class XvfbEnvironment : public ::testing::Environment {
  public:
    void SetUp() override;
    void TearDown() override;

  private:
    std::unique_ptr<XvfbServer> server_;
};

}  // namespace vortrel::testing
