#include "HostedControl.h"

#include <filesystem>
#include <system_error>
#include <vector>

#include "ProjectMedia.h"
#include "base/Utf8.h"
#include "model/TimelineModel.h"
#include "platform/linux/LinuxPlatform.h"

namespace vortrel {

namespace {

volatile std::sig_atomic_t caught = 0;  // the first signal

extern "C" void OnInterrupt(int signal) {
    if (caught == 0) {
        caught = signal;
    }
}

}  // namespace

HostedControl::HostedControl(IControlWindow& window, ITimerHost& timers,
                             ITimelineControlEvents& sink)
    : control_(CreateLinuxControl()), sink_(sink) {
    control_->OnCreate(&window, &timers);
    control_->Advise(&sink_);
}

HostedControl::~HostedControl() {
    control_->OnDestroy();
    control_->Unadvise(&sink_);
}

bool LoadProjectInto(CTimelineControl& control, const std::string& project, std::ostream& err,
                     const char* command, MissingMedia missing) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(std::filesystem::path(project), error)) {
        err << "vortrel: " << command << ": no such project: " << project << "\n";
        return false;
    }
    int32_t result = 0;
    control.LoadProject(FromUtf8(project).c_str(), &result);
    if (result != 1) {
        err << "vortrel: " << command << ": the project does not load: " << project << "\n";
        return false;
    }
    const std::vector<MediaProblem> problems =
        control.GetModel() != nullptr ? SettleProjectMedia(*control.GetModel(), project)
                                      : std::vector<MediaProblem>{};
    for (const MediaProblem& problem : problems) {
        err << "vortrel: " << command << ": " << Describe(problem) << "\n";
    }
    if (!problems.empty() && missing == MissingMedia::Refuse) {
        err << "vortrel: " << command << ": " << problems.size()
            << (problems.size() == 1 ? " clip lacks its" : " clips lack their")
            << " media; --allow-missing goes on without\n";
        return false;
    }
    return true;
}

InterruptWatch::InterruptWatch() {
    caught = 0;
    previousInterrupt_ = std::signal(SIGINT, OnInterrupt);
    previousTerminate_ = std::signal(SIGTERM, OnInterrupt);
}

InterruptWatch::~InterruptWatch() {
    std::signal(SIGINT, previousInterrupt_);
    std::signal(SIGTERM, previousTerminate_);
}

bool InterruptWatch::Interrupted() const {
    return caught != 0;
}

int InterruptWatch::ExitCode() const {
    return 128 + caught;
}

const char* InterruptWatch::SignalName() const {
    return caught == SIGTERM ? "SIGTERM" : "SIGINT";
}

}  // namespace vortrel
