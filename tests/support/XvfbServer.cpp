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
#include <thread>

namespace vortrel::testing {

namespace {

// Xvfb is ready in well under a second; a loaded machine running sanitised tests side by side
// may take many times that.
constexpr int kStartTimeoutMs = 30000;
constexpr int kStopTimeoutMs = 5000;

// Exit status of a child whose exec failed.
constexpr int kExecFailed = 127;

// A failure here would only mark the tests skipped, which ctest does not count as failing; the
// process ends with the reason instead.
[[noreturn]] void Fail(const std::string& reason) {
    std::fprintf(stderr, "Could not start a private X server (Xvfb): %s\nNo test ran.\n",
                 reason.c_str());
    std::exit(EXIT_FAILURE);
}

// Reads what Xvfb writes to its display pipe: the display number and a newline. Empty when
// it closed the pipe or went quiet for too long.
std::string ReadDisplayNumber(int fd) {
    std::string text;
    char c = 0;
    while (c != '\n') {
        pollfd watched{fd, POLLIN, 0};
        if (poll(&watched, 1, kStartTimeoutMs) <= 0 || read(fd, &c, 1) != 1) {
            return {};
        }
        text += c;
    }
    text.pop_back();
    return text.find_first_not_of("0123456789") == std::string::npos ? text : "";
}

// Ends a child, by force when it does not go in time; gives its wait status.
int Stop(pid_t pid) {
    kill(pid, SIGTERM);
    int status = 0;
    for (int waited = 0; waitpid(pid, &status, WNOHANG) == 0; waited += 10) {
        if (waited == kStopTimeoutMs) {
            kill(pid, SIGKILL);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return status;
}

}  // namespace

void XvfbEnvironment::SetUp() {
    int fds[2] = {-1, -1};
    const bool piped = pipe2(fds, O_CLOEXEC) == 0;
    // Without -noreset the server resets whenever its last client leaves, and refuses the
    // next test's connection while it does. Its own messages go to the test's stderr.
    const std::string fd = std::to_string(fds[1]);
    const char* const argv[] = {"Xvfb",       "-displayfd", fd.c_str(), "-screen",  "0",
                                "800x600x24", "-nolisten",  "tcp",      "-noreset", nullptr};
    const pid_t parent = getpid();
    const pid_t child = piped ? fork() : -1;
    if (child < 0) {
        Fail(std::string("no pipe or fork: ") + std::strerror(errno));
    }
    if (child == 0) {
        // Only async-signal-safe calls until exec. The server goes when the test process
        // does, however it ends.
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        if (getppid() != parent) {
            _exit(kExecFailed);
        }
        const int input = open("/dev/null", O_RDONLY | O_CLOEXEC);
        dup2(input, STDIN_FILENO);
        dup2(input, STDOUT_FILENO);
        fcntl(fds[1], F_SETFD, 0);  // the one descriptor Xvfb keeps
        execvp(argv[0], const_cast<char* const*>(argv));
        _exit(kExecFailed);
    }
    close(fds[1]);
    const std::string number = ReadDisplayNumber(fds[0]);
    close(fds[0]);
    if (number.empty()) {
        const int status = Stop(child);
        if (WIFEXITED(status) && WEXITSTATUS(status) == kExecFailed) {
            Fail("Xvfb is not on the PATH; scripts/bootstrap.sh installs it");
        }
        Fail(WIFEXITED(status) ? "it exited with " + std::to_string(WEXITSTATUS(status))
                               : "it named no display in time");
    }
    pid_ = child;
    if (const char* previous = std::getenv("DISPLAY")) {
        previousDisplay_ = previous;
    }
    setenv("DISPLAY", (":" + number).c_str(), 1);
}

void XvfbEnvironment::TearDown() {
    previousDisplay_ ? setenv("DISPLAY", previousDisplay_->c_str(), 1) : unsetenv("DISPLAY");
    if (pid_ > 0) {
        Stop(pid_);
        pid_ = -1;
    }
}

}  // namespace vortrel::testing
