#include "ports/ITextRasteriser.h"

namespace vortrel {

namespace {

std::shared_ptr<ITextRasteriser>& Installed() {
    static std::shared_ptr<ITextRasteriser> rasteriser;
    return rasteriser;
}

}  // namespace

void SetTextRasteriser(std::shared_ptr<ITextRasteriser> rasteriser) {
    Installed() = std::move(rasteriser);
}

std::shared_ptr<ITextRasteriser> GetTextRasteriser() {
    return Installed();
}

}  // namespace vortrel
