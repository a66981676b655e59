#include "NameSuggestions.h"

#include <algorithm>
#include <cctype>
#include <numeric>
#include <utility>

namespace vortrel {

namespace {

// The Levenshtein distance, comparing letters without their case.
size_t EditDistance(std::string_view a, std::string_view b) {
    std::vector<size_t> row(b.size() + 1);
    std::iota(row.begin(), row.end(), size_t{0});
    for (size_t i = 1; i <= a.size(); ++i) {
        size_t diagonal = row[0];
        row[0] = i;
        for (size_t j = 1; j <= b.size(); ++j) {
            const bool same = std::tolower(static_cast<unsigned char>(a[i - 1])) ==
                              std::tolower(static_cast<unsigned char>(b[j - 1]));
            const size_t next = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (same ? 0 : 1)});
            diagonal = row[j];
            row[j] = next;
        }
    }
    return row[b.size()];
}

}  // namespace

std::vector<std::string> NearestNames(std::string_view name, const std::vector<std::string>& known,
                                      size_t most) {
    std::vector<std::pair<size_t, std::string>> near;
    for (const std::string& candidate : known) {
        const size_t distance = EditDistance(name, candidate);
        if (distance * 3 <= std::max(name.size(), candidate.size())) {
            near.emplace_back(distance, candidate);
        }
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (size_t index = 0; index < near.size() && index < most; ++index) {
        if (near[index].first != near.front().first) {
            break;  // a nearer name is the likelier one
        }
        names.push_back(near[index].second);
    }
    return names;
}

std::string DidYouMean(std::string_view name, const std::vector<std::string>& known) {
    const std::vector<std::string> names = NearestNames(name, known);
    if (names.empty()) {
        return {};
    }
    std::string text = " (did you mean ";
    for (size_t index = 0; index < names.size(); ++index) {
        if (index > 0) {
            text += index + 1 == names.size() ? " or " : ", ";
        }
        text += names[index];
    }
    return text + "?)";
}

}  // namespace vortrel
