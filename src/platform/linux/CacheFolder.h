#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace vortrel {

// The per-user folder of files the system makes for itself and can always make again (wipe
// maps, keyed text pictures): $XDG_CACHE_HOME/vortrel, else ~/.cache/vortrel, else, when
// neither can be made and written, a folder of the user's own in the temporary directory.
// Each kind of file keeps a sub-folder of its own, which can be held to a size.
class CacheFolder {
  public:
    /// The folder that the environment's variables lead to, made when missing: the first of
    /// the candidates that is (or can be made) a folder the user may write.
    static std::filesystem::path Root();
    /// The sub-folder of one kind of file, made when missing.
    static std::filesystem::path Of(const std::string& kind);
    /// Removes the least recently written files of a folder until it holds at most maxFiles
    /// files of at most maxBytes together; files for which keep answers true are spared.
    static void Trim(const std::filesystem::path& folder, std::uintmax_t maxBytes, size_t maxFiles,
                     const std::function<bool(const std::filesystem::path&)>& keep);
};

}  // namespace vortrel
