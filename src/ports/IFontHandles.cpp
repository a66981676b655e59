#include "ports/IFontHandles.h"

namespace vortrel {

namespace {

std::shared_ptr<IFontHandles>& Installed() {
    static std::shared_ptr<IFontHandles> handles;
    return handles;
}

}  // namespace

void SetFontHandles(std::shared_ptr<IFontHandles> handles) {
    Installed() = std::move(handles);
}

std::shared_ptr<IFontHandles> GetFontHandles() {
    return Installed();
}

}  // namespace vortrel
