#include "MemberResult.h"

namespace vortrel {

namespace {

// The failures the add and change members share.
std::string Common(int32_t result) {
    switch (result) {
        case -1:
            return "the name is empty";
        case -2:
            return "the file does not exist";
        case -3:
            return "the stop time is not after the start time";
        case -4:
            return "that track does not hold this kind of content";
        case -5:
            return "the content could not be set up in the editing timeline";
        default:
            return "result " + std::to_string(result);
    }
}

}  // namespace

std::string MemberResult::OfAdd(int32_t result) {
    if (result >= 0) {
        return {};
    }
    return result == -6 ? "a transition goes onto video 2 (track 2) or the image track (3)"
                        : Common(result);
}

std::string MemberResult::OfChange(int32_t result) {
    if (result == 1) {
        return {};
    }
    switch (result) {
        case -6:
            return "there is no content at that index";
        case -7:
            return "a transition goes onto video 2 (track 2) or the image track (3)";
        default:
            return Common(result);
    }
}

std::string MemberResult::OfRender(int32_t result) {
    switch (result) {
        case 1:
            return {};
        case -1:
            return "the output file name is empty";
        case -3:
            return "the output type is not from 0 to 12";
        default:
            return "the conversion did not start";
    }
}

std::string MemberResult::OfProject(int32_t result, bool loading) {
    if (result == 1) {
        return {};
    }
    return loading ? "the file is missing or is not a project" : "the file could not be written";
}

}  // namespace vortrel
