#include "views/ThemeColors.h"

namespace vortrel {

ThemeColors& ThemeColors::Instance() {
    static ThemeColors colors;
    return colors;
}

ThemeColors::ThemeColors()
    : background_{{ThemeKey::kTimelineRoot, 0x5F5F5F},    {ThemeKey::kTrackRow, 0x1E1414},
                  {ThemeKey::kTrackTitlePanel, 0xC8C8C8}, {ThemeKey::kContent, 0xC8C8C8},
                  {ThemeKey::kTimeAxis, 0x5F5F5F},        {ThemeKey::kScrollTrack, 0xC8C8C8},
                  {ThemeKey::kScrollButton, 0x969696},    {ThemeKey::kToolTip, 0x64FFFF},
                  {ThemeKey::kSeekbar, 0x2020FF}},
      foreground_{{ThemeKey::kContent, 0xC86402},
                  {ThemeKey::kTimeAxis, 0xC8C8C8},
                  {ThemeKey::kScrollButton, 0x7D7D7D},
                  {ThemeKey::kToolTip, 0x1E1414},
                  {ThemeKey::kSeekbar, 0x2020FF}},
      border_{{ThemeKey::kContent, 0x5F5F5F},     {ThemeKey::kTimeAxis, 0xC8C8C8},
              {ThemeKey::kScrollTrack, 0xC8C8C8}, {ThemeKey::kScrollButton, 0x7D7D7D},
              {ThemeKey::kSelection, 0x0984FF},   {ThemeKey::kToolTip, 0x7D7D7D},
              {ThemeKey::kSeekbar, 0x2020FF}},
      shadow_{{ThemeKey::kScrollButton, 0x5F5F5F}} {}

}  // namespace vortrel
