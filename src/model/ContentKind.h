#pragma once

#include <cstdint>

namespace vortrel {

// The kinds of content, by the codes the control's methods ask a track about.
enum class ContentKind : int32_t {
    Video = 0,
    Audio = 1,
    Text = 2,
    Image = 3,
    Effect = 4,
    Transition = 5,
};

}  // namespace vortrel
