#include "platform/linux/CacheFolder.h"

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <system_error>
#include <vector>

namespace vortrel {

namespace {

// A place the cache may live, and whether other users can make files beside it.
struct Candidate {
    std::filesystem::path folder;
    bool shared = false;
};

std::filesystem::path AbsoluteVariable(const char* name) {
    const char* value = std::getenv(name);
    // A relative value is no base folder at all: it would move with the working folder.
    if (value == nullptr || *value == '\0' || !std::filesystem::path(value).is_absolute()) {
        return {};
    }
    return value;
}

std::vector<Candidate> Candidates() {
    std::vector<Candidate> candidates;
    if (const std::filesystem::path base = AbsoluteVariable("XDG_CACHE_HOME"); !base.empty()) {
        candidates.push_back({base / "vortrel"});
    }
    if (const std::filesystem::path home = AbsoluteVariable("HOME"); !home.empty()) {
        candidates.push_back({home / ".cache" / "vortrel"});
    }
    std::error_code error;
    std::filesystem::path temporary = std::filesystem::temp_directory_path(error);
    if (error) {
        temporary = "/tmp";
    }
    candidates.push_back({temporary / ("vortrel-cache-" + std::to_string(getuid())), true});
    return candidates;
}

bool Usable(const Candidate& candidate) {
    std::error_code error;
    const bool made = std::filesystem::create_directories(candidate.folder, error);
    if (error) {
        return false;
    }
    if (made) {
        // What the cache holds (text clips' pictures) is the user's own.
        std::filesystem::permissions(candidate.folder, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::replace, error);
    }
    struct stat info {};
    if (lstat(candidate.folder.c_str(), &info) != 0) {
        return false;
    }
    if (candidate.shared) {
        // In a folder every user writes to, the name may have been taken by someone else
        // first, as a folder or as a link to one.
        if (!S_ISDIR(info.st_mode) || info.st_uid != getuid()) {
            return false;
        }
    } else if (!std::filesystem::is_directory(candidate.folder, error)) {
        return false;
    }
    return access(candidate.folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

std::filesystem::path CacheFolder::Root() {
    const std::vector<Candidate> candidates = Candidates();
    for (const Candidate& candidate : candidates) {
        if (Usable(candidate)) {
            return candidate.folder;
        }
    }
    // Nowhere to write: the callers' writes fail there and they do without their files.
    return candidates.back().folder;
}

std::filesystem::path CacheFolder::Of(const std::string& kind) {
    const std::filesystem::path folder = Root() / kind;
    std::error_code ignored;  // a folder that cannot be made shows when it is written to
    std::filesystem::create_directories(folder, ignored);
    return folder;
}

void CacheFolder::Trim(const std::filesystem::path& folder, std::uintmax_t maxBytes,
                       size_t maxFiles,
                       const std::function<bool(const std::filesystem::path&)>& keep) {
    struct File {
        std::filesystem::path path;
        std::uintmax_t size = 0;
        std::filesystem::file_time_type written;
    };
    std::vector<File> files;
    std::uintmax_t total = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        std::error_code ignored;
        // Names starting with a dot are files still being written, by us or another process.
        if (!entry.is_regular_file(ignored) || entry.path().filename().string().starts_with(".")) {
            continue;
        }
        File file{entry.path(), entry.file_size(ignored), entry.last_write_time(ignored)};
        if (ignored) {
            continue;
        }
        total += file.size;
        files.push_back(std::move(file));
    }
    std::sort(files.begin(), files.end(),
              [](const File& a, const File& b) { return a.written < b.written; });
    size_t count = files.size();
    for (const File& file : files) {
        if (total <= maxBytes && count <= maxFiles) {
            break;
        }
        std::error_code ignored;
        if (!keep(file.path) && std::filesystem::remove(file.path, ignored)) {
            total -= file.size;
            --count;
        }
    }
}

}  // namespace vortrel
