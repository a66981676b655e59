#include "base/FileAccess.h"

#include <random>
#include <system_error>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#else
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#endif

namespace vortrel {

namespace fs = std::filesystem;

namespace {

// Links are followed this many times at most, as the system's own lookup does.
constexpr int kMaxLinks = 40;

// Where a name leads once every symbolic link on its last part is followed; a dangling link
// leads to the file it names, which is then made.
fs::path FollowLinks(fs::path name, std::string& error) {
    for (int hops = 0; hops < kMaxLinks; ++hops) {
        std::error_code code;
        if (!fs::is_symlink(fs::symlink_status(name, code))) {
            return name;
        }
        fs::path next = fs::read_symlink(name, code);
        if (code) {
            error = "cannot read the link " + name.string() + ": " + code.message();
            return name;
        }
        name = next.is_absolute() ? next : name.parent_path() / next;
    }
    error = "too many levels of links at " + name.string();
    return name;
}

bool CanOpenForWriting(const fs::path& path) {
#ifndef _WIN32
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return false;
    }
    ::close(descriptor);
    return true;
#else
    return UniqueFile(_wfopen(path.c_str(), L"r+b")) != nullptr;
#endif
}

fs::path TemporaryBeside(const fs::path& target) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    return target.parent_path() /
           ("." + target.filename().string() + "." + std::to_string(random()) + ".tmp");
}

}  // namespace

UniqueFile OpenRegularFile(const fs::path& path) {
#ifndef _WIN32
    // Opened without waiting, so that a named pipe with no writer cannot hold the caller.
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        return nullptr;
    }
    struct stat info {};
    if (::fstat(descriptor, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(descriptor);
        return nullptr;
    }
    // Reads of a regular file never wait; the flag only mattered for opening.
    ::fcntl(descriptor, F_SETFL, ::fcntl(descriptor, F_GETFL) & ~O_NONBLOCK);
    UniqueFile file(::fdopen(descriptor, "rb"));
    if (file == nullptr) {
        ::close(descriptor);
    }
    return file;
#else
    std::error_code code;
    if (!fs::is_regular_file(path, code)) {
        return nullptr;
    }
    return UniqueFile(_wfopen(path.c_str(), L"rb"));
#endif
}

UniqueFile CreateNewFile(const fs::path& path) {
    // Made with an exclusive create rather than fopen's "x" mode, which not every C runtime
    // the Windows build may load knows.
#ifndef _WIN32
    const int descriptor = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        return nullptr;
    }
    UniqueFile file(::fdopen(descriptor, "wb"));
    if (file == nullptr) {
        ::close(descriptor);
    }
#else
    const int descriptor =
        ::_wopen(path.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY, _S_IREAD | _S_IWRITE);
    if (descriptor < 0) {
        return nullptr;
    }
    UniqueFile file(::_fdopen(descriptor, "wb"));
    if (file == nullptr) {
        ::_close(descriptor);
    }
#endif
    return file;
}

FileReplacement::FileReplacement(const fs::path& name) : target_(FollowLinks(name, error_)) {
    if (!error_.empty()) {
        return;
    }
    std::error_code code;
    const fs::file_status status = fs::status(target_, code);
    existed_ = fs::exists(status);
    if (existed_ && !fs::is_regular_file(status)) {
        error_ = target_.string() + " is not a regular file";
        return;
    }
    if (existed_) {
        // The user must be able to write the file itself, not only the folder it is in;
        // opening it for writing without truncating changes nothing.
        if (!CanOpenForWriting(target_)) {
            error_ = "cannot write " + target_.string();
            return;
        }
    }
    // The temporary is made now, so that a folder that is missing or cannot be written is
    // known before anything is written.
    for (int attempt = 0; attempt < 100 && temporary_.empty(); ++attempt) {
        fs::path candidate = TemporaryBeside(target_);
        if (CreateNewFile(candidate) != nullptr) {
            temporary_ = std::move(candidate);
        } else if (fs::exists(fs::symlink_status(candidate, code))) {
            continue;  // another writer's name: draw again
        } else {
            break;
        }
    }
    if (temporary_.empty()) {
        error_ = "cannot write in " + target_.parent_path().string();
    }
}

FileReplacement::~FileReplacement() {
    if (!committed_ && !temporary_.empty()) {
        std::error_code ignored;
        fs::remove(temporary_, ignored);
    }
}

bool FileReplacement::Commit() {
    if (!error_.empty() || committed_) {
        return false;
    }
    std::error_code code;
    if (existed_) {
#ifndef _WIN32
        struct stat old {};
        if (::stat(target_.c_str(), &old) == 0) {
            // Only a privileged process may give a file away; otherwise the new file is the
            // user's own, as a plain write by that user would leave it, and keeps no set-id bit.
            const bool owned = ::chown(temporary_.c_str(), old.st_uid, old.st_gid) == 0;
            ::chmod(temporary_.c_str(), old.st_mode & (owned ? 07777 : 0777));
        }
#else
        fs::permissions(temporary_, fs::status(target_, code).permissions(), code);
#endif
    }
    fs::rename(temporary_, target_, code);
    if (code) {
        error_ = "cannot replace " + target_.string() + ": " + code.message();
        return false;
    }
    committed_ = true;
    return true;
}

bool ReplaceFile(const fs::path& name, const std::function<bool(std::FILE*)>& write) {
    FileReplacement replacement(name);
    if (!replacement.Error().empty()) {
        return false;
    }
    bool written = false;
    {
#ifndef _WIN32
        UniqueFile file(std::fopen(replacement.Temporary().c_str(), "wb"));
#else
        UniqueFile file(_wfopen(replacement.Temporary().c_str(), L"wb"));
#endif
        written = file != nullptr && write(file.get()) && std::fflush(file.get()) == 0;
        if (file != nullptr) {
            written = std::fclose(file.release()) == 0 && written;
        }
    }
    return written && replacement.Commit();
}

}  // namespace vortrel
