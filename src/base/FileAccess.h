#pragma once

#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

namespace vortrel {

// How the system opens and replaces the files a host names. Reading takes only regular files
// and never blocks (a named pipe or a device is refused). Replacing writes a new file beside
// the one a name leads to and renames it over that file in one step, so a failure leaves the
// old file as it was; the file keeps its mode (and owner where the process may set it), a
// symbolic link keeps pointing at it, and a target the user could not open for writing, or
// that is not a regular file, is refused.

/// Closes a C file on every path out.
struct FileCloser {
    void operator()(std::FILE* file) const {
        if (file != nullptr) {
            std::fclose(file);
        }
    }
};
using UniqueFile = std::unique_ptr<std::FILE, FileCloser>;

/// Opens a regular file for reading in binary mode; none for anything else or on failure.
UniqueFile OpenRegularFile(const std::filesystem::path& path);

/// Makes a new file and opens it for writing in binary mode; none when a file of that name
/// already exists (so no two writers ever share one) or it cannot be made.
UniqueFile CreateNewFile(const std::filesystem::path& path);

// One replacement of the file a name leads to: made, checked, then committed once the new
// content is written to Temporary().
class FileReplacement {
  public:
    /// Follows the name's symbolic links to the file to replace and checks it may be.
    explicit FileReplacement(const std::filesystem::path& name);
    ~FileReplacement();
    FileReplacement(const FileReplacement&) = delete;
    FileReplacement& operator=(const FileReplacement&) = delete;

    /// Why the file cannot be replaced; empty when it can.
    const std::string& Error() const { return error_; }
    /// The file that will be replaced: where the name's links lead.
    const std::filesystem::path& Target() const { return target_; }
    /// A fresh empty file beside the target for the new content (removed unless committed).
    const std::filesystem::path& Temporary() const { return temporary_; }

    /// Gives the written temporary the old file's mode and owner and renames it over the
    /// target; false (and the temporary removed) when that fails.
    bool Commit();

  private:
    std::string error_;  // first: the target is found with it
    std::filesystem::path target_;
    std::filesystem::path temporary_;
    bool existed_ = false;
    bool committed_ = false;
};

/// Writes a whole file through a replacement: the writer fills the open temporary and says
/// whether it succeeded. False, with the old file untouched, on any failure.
bool ReplaceFile(const std::filesystem::path& name, const std::function<bool(std::FILE*)>& write);

}  // namespace vortrel
