#include "ports/IDrawContext.h"

namespace vortrel {

namespace {

std::shared_ptr<IDrawing>& Installed() {
    static std::shared_ptr<IDrawing> drawing;
    return drawing;
}

}  // namespace

void SetDrawing(std::shared_ptr<IDrawing> drawing) {
    Installed() = std::move(drawing);
}

std::shared_ptr<IDrawing> GetDrawing() {
    return Installed();
}

}  // namespace vortrel
