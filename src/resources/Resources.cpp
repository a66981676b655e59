#include "resources/Resources.h"

#include "resources/EmbeddedResources.h"

namespace vortrel {

std::optional<std::span<const uint8_t>> ResourceBytes(int id) {
    for (const EmbeddedResource& resource : EmbeddedResources()) {
        if (resource.id == id) {
            return resource.bytes;
        }
    }
    return std::nullopt;
}

}  // namespace vortrel
