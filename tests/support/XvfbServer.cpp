#include "support/XvfbServer.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>
#include <vector>

namespace vortrel::testing {

namespace {

using Clock = std::chrono::steady_clock;

// Xvfb is ready in well under a second; a loaded machine running sanitised tests side by side
// may take many times that.
constexpr auto kStartTimeout = std::chrono::seconds(30);
constexpr auto kStopTimeout = std::chrono::seconds(5);

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
// it closed the pipe or the time ran out.
std::string ReadDisplayNumber(int fd) {
    const auto deadline = Clock::now() + kStartTimeout;
    std::string text;
    char buffer[32];
    while (text.find('\n') == std::string::npos) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) {
            return {};
        }
        pollfd watched{fd, POLLIN, 0};
        if (poll(&watched, 1, static_cast<int>(left.count())) <= 0) {
            continue;  // interrupted, or the deadline check above ends the wait
        }
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got == 0 || (got < 0 && errno != EINTR)) {
            return {};
        }
        text.append(buffer, static_cast<size_t>(std::max<ssize_t>(got, 0)));
    }
    text.resize(text.find('\n'));
    return text.find_first_not_of("0123456789") == std::string::npos ? text : "";
}

// Ends a child, by force when it does not go in time; gives its wait status.
int Stop(pid_t pid) {
    int status = 0;
    kill(pid, SIGTERM);
    const auto deadline = Clock::now() + kStopTimeout;
    for (;;) {
        const pid_t ended = waitpid(pid, &status, WNOHANG);
        if (ended == pid || (ended < 0 && errno != EINTR)) {
            return status;
        }
        if (Clock::now() >= deadline) {
            kill(pid, SIGKILL);
            while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
            }
            return status;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

}  // namespace

void XvfbEnvironment::SetUp() {
    int fds[2];
    if (pipe2(fds, O_CLOEXEC) != 0) {
        Fail(std::string("no pipe: ") + std::strerror(errno));
    }
    // Without -noreset the server resets whenever its last client leaves, and refuses the
    // next test's connection while it does. Its own messages go to the test's stderr.
    std::vector<std::string> arguments = {"Xvfb",      "-displayfd", std::to_string(fds[1]),
                                          "-screen",   "0",          "800x600x24",
                                          "-nolisten", "tcp",        "-noreset"};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);

    const pid_t parent = getpid();
    const pid_t child = fork();
    if (child < 0) {
        Fail(std::string("fork failed: ") + std::strerror(errno));
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
        execvp(argv[0], argv.data());
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
    if (previousDisplay_) {
        setenv("DISPLAY", previousDisplay_->c_str(), 1);
    } else {
        unsetenv("DISPLAY");
    }
    if (pid_ > 0) {
        Stop(pid_);
        pid_ = -1;
    }
}

}  // namespace vortrel::testing
