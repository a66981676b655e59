#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace vortrel::fuzz {

// A folder of the fuzzing process's own under the temporary directory, into which each
// input is written as a file for the code that reads files; removed when the process ends.
class FuzzInput {
  public:
    explicit FuzzInput(const std::string& name)
        : folder_(std::filesystem::temp_directory_path() /
                  ("vortrel-fuzz-" + name + "-" + std::to_string(::getpid()))) {
        std::filesystem::create_directories(folder_);
    }
    ~FuzzInput() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    FuzzInput(const FuzzInput&) = delete;
    FuzzInput& operator=(const FuzzInput&) = delete;

    /// The path of a file in the folder.
    std::filesystem::path Path(const std::string& fileName) const { return folder_ / fileName; }

    /// Writes the bytes to a file of the folder (replacing it) and gives its path.
    std::filesystem::path Write(const std::string& fileName, const uint8_t* data,
                                size_t size) const {
        const std::filesystem::path path = Path(fileName);
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
        return path;
    }

  private:
    std::filesystem::path folder_;
};

}  // namespace vortrel::fuzz
