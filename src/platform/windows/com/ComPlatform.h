#pragma once

namespace vortrel {
struct Platform;
}

namespace vortrel::com {

/// The platform the server's controls are made on, installed once for the process.
const Platform& ComServerPlatform();

}  // namespace vortrel::com
