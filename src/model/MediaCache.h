#pragma once

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

namespace vortrel {

// What was learnt about media files, kept per file identity (path, size and modification
// time) and span, so that a file added again, or reloaded with a project, is not probed or
// decoded again. A file that changes gets a new identity. The oldest answers go first when
// the cache outgrows its budget. Used on the control's thread only.
class MediaCache {
  public:
    /// The cache of this process.
    static MediaCache& Instance();

    /// The length of a file's media in milliseconds, when known.
    std::optional<int32_t> FindLength(const std::wstring& path);
    void StoreLength(const std::wstring& path, int32_t milliseconds);

    /// A poster frame taken from a media start with or without skipping dark frames.
    std::shared_ptr<const std::vector<uint8_t>> FindPoster(const std::wstring& path,
                                                           int32_t mediaStart, bool skipDark);
    void StorePoster(const std::wstring& path, int32_t mediaStart, bool skipDark,
                     std::vector<uint8_t> bitmap);

    /// The waveform levels of a span of a file.
    std::shared_ptr<const std::vector<double>> FindWaveform(const std::wstring& path,
                                                            int32_t mediaStart, int32_t mediaStop);
    void StoreWaveform(const std::wstring& path, int32_t mediaStart, int32_t mediaStop,
                       std::vector<double> levels);

    /// Forgets everything.
    void Clear();

  private:
    enum class Kind { Length, Poster, Waveform };
    // Kind, path, size, modification time and two numbers of the span.
    using Key = std::tuple<Kind, std::wstring, uintmax_t, int64_t, int32_t, int32_t>;
    struct Entry {
        std::shared_ptr<const void> value;
        size_t bytes;
        std::list<Key>::iterator age;
    };

    std::optional<Key> KeyOf(Kind kind, const std::wstring& path, int32_t a, int32_t b) const;
    std::shared_ptr<const void> Find(const std::optional<Key>& key);
    void Store(const std::optional<Key>& key, std::shared_ptr<const void> value, size_t bytes);
    // Forgets the least recently used answers until this many more bytes fit the budget.
    void MakeRoom(size_t bytes);

    std::map<Key, Entry> entries_;
    std::list<Key> ages_;  // least recently used first
    size_t bytes_ = 0;
    const size_t budget_ = size_t{256} << 20;
};

}  // namespace vortrel
