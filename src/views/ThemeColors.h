#pragma once

#include <cstdint>
#include <map>

#include "ports/IDrawContext.h"

namespace vortrel {

/// The elements the theme colours are kept for.
namespace ThemeKey {
inline constexpr int32_t kTimelineRoot = 0;
inline constexpr int32_t kTrackRow = 1;
inline constexpr int32_t kTrackTitlePanel = 2;
inline constexpr int32_t kContent = 3;
inline constexpr int32_t kTimeAxis = 4;
inline constexpr int32_t kScrollTrack = 5;
inline constexpr int32_t kScrollButton = 6;
inline constexpr int32_t kSelection = 7;
inline constexpr int32_t kToolTip = 8;
inline constexpr int32_t kSeekbar = 9;
}  // namespace ThemeKey

// The process-wide table of the views' colours: background, foreground, border and shadow
// colours by element key. Only the elements' own entries are filled; asking for any other
// inserts black.
class ThemeColors {
  public:
    /// The table of this process, made on first use.
    static ThemeColors& Instance();

    /// The background colour of an element.
    ColorRef Background(int32_t key) { return background_[key]; }
    /// The foreground colour of an element.
    ColorRef Foreground(int32_t key) { return foreground_[key]; }
    /// The border colour of an element.
    ColorRef Border(int32_t key) { return border_[key]; }
    /// The shadow colour of an element.
    ColorRef Shadow(int32_t key) { return shadow_[key]; }

  private:
    ThemeColors();

    std::map<int32_t, ColorRef> background_;
    std::map<int32_t, ColorRef> foreground_;
    std::map<int32_t, ColorRef> border_;
    std::map<int32_t, ColorRef> shadow_;
};

}  // namespace vortrel
