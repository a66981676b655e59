#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace vortrel {

/// The known names nearest to a mistyped one by edit distance (letter case aside): those at
/// the smallest distance, at most `most`, in the order known; none when no name is near
/// enough to be meant (more than a third of the longer name would have to change).
std::vector<std::string> NearestNames(std::string_view name, const std::vector<std::string>& known,
                                      size_t most = 3);

/// " (did you mean A, B or C?)" for the nearest names, or an empty text when there are none.
std::string DidYouMean(std::string_view name, const std::vector<std::string>& known);

}  // namespace vortrel
