#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "model/IContent.h"
#include "model/TimeScale.h"
#include "ports/DibBitmap.h"
#include "ports/IDrawContext.h"
#include "views/IContentView.h"

namespace vortrel::testing {

// Installs a drawing for the life of a test.
class ScopedDrawing {
  public:
    explicit ScopedDrawing(std::shared_ptr<IDrawing> drawing) { SetDrawing(std::move(drawing)); }
    ~ScopedDrawing() { SetDrawing(nullptr); }
    ScopedDrawing(const ScopedDrawing&) = delete;
    ScopedDrawing& operator=(const ScopedDrawing&) = delete;
};

// A content view of any content, drawn as the plain body and following its times, for the
// input and geometry tests.
class PlainContentView : public IContentView {
  public:
    using IContentView::IContentView;
    void Draw(IDrawContext& context) override { DrawBody(context); }
    void OnContentChanged() override { OnScaleChanged(); }
};

/// Gives a content on no track its times and the zoom a track would give it.
inline void SetTimes(IContent& content, TimeScale& scale, int32_t start, int32_t stop) {
    content.GetSegment()->SetScale(scale.GetScaleField());
    content.GetSegment()->SetStartMs(start);
    content.GetSegment()->SetStopMs(stop);
}

/// A 32-bit bottom-up device-independent bitmap whose pixel (x, y) is given by a function
/// returning (red, green, blue).
template <typename PixelOf>
DibBitmap MakeDib(int32_t width, int32_t height, PixelOf pixelOf) {
    DibBitmap dib;
    dib.bits.assign(40, 0);
    auto put = [&dib](size_t at, uint32_t value) {
        for (size_t i = 0; i < 4; ++i) {
            dib.bits[at + i] = static_cast<uint8_t>(value >> (8 * i));
        }
    };
    put(0, 40);
    put(4, static_cast<uint32_t>(width));
    put(8, static_cast<uint32_t>(height));
    dib.bits[12] = 1;   // planes
    dib.bits[14] = 32;  // bits a pixel
    for (int32_t row = height - 1; row >= 0; --row) {
        for (int32_t x = 0; x < width; ++x) {
            const auto [red, green, blue] = pixelOf(x, row);
            dib.bits.insert(dib.bits.end(),
                            {static_cast<uint8_t>(blue), static_cast<uint8_t>(green),
                             static_cast<uint8_t>(red), 0xFF});
        }
    }
    return dib;
}

/// A file of some bytes in the temporary folder, named apart for each test process and
/// removed with the object.
class TemporaryFile {
  public:
    TemporaryFile(const std::string& name, const std::vector<uint8_t>& bytes)
        : path_(std::filesystem::temp_directory_path() /
                (std::to_string(::getpid()) + "-" + name)) {
        std::ofstream out(path_, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
    }
    ~TemporaryFile() {
        std::error_code ignored;
        std::filesystem::remove(path_, ignored);
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    /// The path as the model names files.
    std::wstring Path() const { return path_.wstring(); }

  private:
    std::filesystem::path path_;
};

}  // namespace vortrel::testing
