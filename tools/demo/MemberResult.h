#pragma once

#include <cstdint>
#include <string>

namespace vortrel {

// What a host tells its user about the result code of a control member: empty for success,
// otherwise a short reason, so that no failing call goes by unreported.
class MemberResult {
  public:
    /// An add member's result (the new index when 0 or above).
    static std::string OfAdd(int32_t result);
    /// A change member's result (1 on success).
    static std::string OfChange(int32_t result);
    /// Save's result (1 when the conversion started).
    static std::string OfRender(int32_t result);
    /// LoadProject's or SaveProject's result (1 on success).
    static std::string OfProject(int32_t result, bool loading);
};

}  // namespace vortrel
