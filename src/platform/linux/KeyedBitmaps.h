#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace vortrel {

/// The pixels of a 32-bit BMP file, top row first, four bytes each: B, G, R and the fourth
/// byte of the file as it was stored.
struct Bitmap32 {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint8_t> pixels;
};

// The text clips' bitmaps as pictures MLT can key. A text clip writes a 32-bit BMP whose
// fourth byte is the glyphs' coverage, but MLT's readers do not keep that byte dependably:
// the GDK reader it picks for BMP files where no display is open reads the file as opaque,
// and FFmpeg does too when the byte is zero everywhere (an empty text). So each bitmap is
// copied once into a PNG that carries the byte as its alpha, in the user's cache folder;
// every reader keeps a PNG's alpha. An object of this class is one user of the copies (a
// graph builder): a copy this process wrote is removed once no user here holds it any more,
// since its bitmap belongs to one text clip of this process. The folder is held to a size.
class KeyedBitmaps {
  public:
    /// The most the folder of copies holds: the least recently used beyond it are removed.
    static constexpr std::uintmax_t kMaxBytes = std::uintmax_t{64} << 20;
    static constexpr size_t kMaxFiles = 1000;

    KeyedBitmaps() = default;
    /// Lets go of every copy this user asked for.
    ~KeyedBitmaps();
    KeyedBitmaps(const KeyedBitmaps&) = delete;
    KeyedBitmaps& operator=(const KeyedBitmaps&) = delete;

    /// Reads the pixels of an uncompressed 32-bit BMP file (bottom-up or top-down rows);
    /// none for anything else.
    static std::optional<Bitmap32> Decode(const std::string& bytes);
    /// The folder holding the PNG copies.
    static std::filesystem::path Folder();
    /// The PNG copy of a 32-bit BMP file, written on first use and kept while the file keeps
    /// its path, size and modification time, and while this user lives; none when the file is
    /// no such BMP or the copy cannot be written.
    std::optional<std::filesystem::path> PngOf(const std::filesystem::path& bitmap);

  private:
    std::vector<std::filesystem::path> held_;
};

}  // namespace vortrel
