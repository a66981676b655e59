#pragma once

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

namespace vortrel::testing {

// Points the process's temporary folder (what std::filesystem::temp_directory_path answers)
// somewhere else for the life of the object, then back. The variable it reads differs:
// TMPDIR on POSIX systems, TMP on Windows.
class TemporaryFolder {
  public:
    explicit TemporaryFolder(const std::filesystem::path& folder) {
        if (const char* value = std::getenv(kVariable)) {
            previous_ = value;
        }
        Set(folder);
    }
    ~TemporaryFolder() {
        if (previous_) {
            Put(*previous_);
        } else {
            Put(std::nullopt);
        }
    }
    TemporaryFolder(const TemporaryFolder&) = delete;
    TemporaryFolder& operator=(const TemporaryFolder&) = delete;

    /// Makes another folder the temporary one.
    void Set(const std::filesystem::path& folder) { Put(folder.string()); }

  private:
#ifdef _WIN32
    static constexpr const char* kVariable = "TMP";
    // _putenv_s also sets the Win32 environment, which GetTempPathW reads; empty removes.
    static void Put(const std::optional<std::string>& value) {
        _putenv_s(kVariable, value ? value->c_str() : "");
    }
#else
    static constexpr const char* kVariable = "TMPDIR";
    static void Put(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(kVariable, value->c_str(), 1);
        } else {
            ::unsetenv(kVariable);
        }
    }
#endif
    std::optional<std::string> previous_;
};

}  // namespace vortrel::testing
