#include "support/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <stdexcept>
#include <thread>
#include <vector>

#include "support/Descriptor.h"

namespace vortrel::testing {

namespace {

// Xvfb is ready in well under a second; a loaded machine running sanitised tests side by side
// may take many times that.
constexpr int kStartTimeoutMs = 30000;
constexpr auto kStopTimeout = std::chrono::seconds(5);

// Exit status of a child whose exec failed.
constexpr int kExecFailed = 127;

std::runtime_error Failure(const std::string& reason) {
    return std::runtime_error("Could not start a private X server (Xvfb): " + reason);
}

// Reads what Xvfb writes to its display pipe: the display number and a newline. Empty when
// it closed the pipe or the time ran out.
std::string ReadDisplayNumber(int fd) {
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(kStartTimeoutMs);
    std::string text;
    char buffer[32];
    while (text.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return {};
        }
        pollfd watched{fd, POLLIN, 0};
        const int ready = poll(&watched, 1, static_cast<int>(left.count()));
        if (ready < 0 && errno == EINTR) {
            continue;
        }
        if (ready <= 0) {
            continue;  // the deadline check above ends the wait
        }
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return {};
        }
        text.append(buffer, static_cast<size_t>(got));
    }
    text.resize(text.find('\n'));
    if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos) {
        return {};
    }
    return text;
}

// Everything written to a file, from its start.
std::string ReadAll(int fd) {
    std::string text;
    char buffer[4096];
    for (off_t offset = 0;;) {
        const ssize_t got = pread(fd, buffer, sizeof buffer, offset);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return text;
        }
        text.append(buffer, static_cast<size_t>(got));
        offset += got;
    }
}

}  // namespace

XvfbServer::XvfbServer() {
    std::error_code error;
    std::filesystem::path base = std::filesystem::temp_directory_path(error);
    if (error) {
        base = "/tmp";
    }
    std::string pattern = (base / "vortrel-xvfb-XXXXXX").string();
    const int logFd = mkostemp(pattern.data(), O_CLOEXEC);
    if (logFd < 0) {
        throw Failure("no log file " + pattern + ": " + std::strerror(errno));
    }
    Descriptor log(logFd);
    unlink(pattern.c_str());  // what Xvfb writes is read only through the descriptor
    Descriptor input(open("/dev/null", O_RDONLY | O_CLOEXEC));
    int fds[2];
    if (input.Get() < 0 || pipe2(fds, O_CLOEXEC) != 0) {
        throw Failure(std::string("no pipe: ") + std::strerror(errno));
    }
    Descriptor readEnd(fds[0]);
    Descriptor writeEnd(fds[1]);

    const std::string displayFd = std::to_string(writeEnd.Get());
    // Without -noreset the server resets whenever its last client leaves, and refuses the
    // next test's connection while it does.
    std::vector<std::string> arguments = {"Xvfb",       "-displayfd", displayFd, "-screen", "0",
                                          "800x600x24", "-nolisten",  "tcp",     "-noreset"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        throw Failure(std::string("fork failed: ") + std::strerror(errno));
    }
    if (child == 0) {
        // Only async-signal-safe calls until exec. The server goes when the test process
        // does, however it ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(kExecFailed);
        }
        dup2(input.Get(), STDIN_FILENO);
        dup2(log.Get(), STDOUT_FILENO);
        dup2(log.Get(), STDERR_FILENO);
        fcntl(writeEnd.Get(), F_SETFD, 0);  // the one descriptor Xvfb keeps
        execvp(argv[0], argv.data());
        _exit(kExecFailed);
    }
    pid_ = child;
    writeEnd.Reset();

    const std::string number = ReadDisplayNumber(readEnd.Get());
    if (number.empty()) {
        const int status = Stop();
        std::string output = ReadAll(log.Get());
        output.erase(output.find_last_not_of(" \n") + 1);
        if (WIFEXITED(status) && WEXITSTATUS(status) == kExecFailed) {
            throw Failure("Xvfb is not on the PATH; scripts/bootstrap.sh installs it");
        }
        const std::string reason = WIFEXITED(status)
                                       ? "it exited with " + std::to_string(WEXITSTATUS(status))
                                       : "it named no display in time";
        throw Failure(reason + (output.empty() ? "" : ", saying:\n" + output));
    }
    display_ = ":" + number;
    if (const char* previous = std::getenv("DISPLAY")) {
        previousDisplay_ = previous;
    }
    setenv("DISPLAY", display_.c_str(), 1);
}

XvfbServer::~XvfbServer() {
    if (previousDisplay_) {
        setenv("DISPLAY", previousDisplay_->c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
    Stop();
}

int XvfbServer::Stop() {
    int status = 0;
    if (pid_ <= 0) {
        return status;
    }
    kill(pid_, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + kStopTimeout;
    for (;;) {
        const pid_t ended = waitpid(pid_, &status, WNOHANG);
        if (ended == pid_ || (ended < 0 && errno != EINTR)) {
            break;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            kill(pid_, SIGKILL);
            while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
            }
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    pid_ = -1;
    return status;
}

void XvfbEnvironment::SetUp() {
    try {
        server_ = std::make_unique<XvfbServer>();
    } catch (const std::exception& error) {
        // A failure here would only mark the tests skipped, which ctest does not count as
        // failing; the process ends with the reason instead.
        std::fprintf(stderr, "%s\nNo test ran.\n", error.what());
        std::fflush(stderr);
        std::exit(EXIT_FAILURE);
    }
}

void XvfbEnvironment::TearDown() {
    server_.reset();
}

}  // namespace vortrel::testing
