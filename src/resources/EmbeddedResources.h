#pragma once

#include <cstdint>
#include <span>

namespace vortrel {

// One file of resources/ as compiled into the program: its id and its bytes. The table is
// written at build time by EmbedResources.cmake from the list in this folder's CMakeLists.
struct EmbeddedResource {
    int id;
    std::span<const uint8_t> bytes;
};

/// Every embedded resource, in the order of the list.
std::span<const EmbeddedResource> EmbeddedResources();

}  // namespace vortrel
