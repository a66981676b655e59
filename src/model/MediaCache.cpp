#include "model/MediaCache.h"

#include <filesystem>
#include <system_error>

#include "base/Utf8.h"

namespace vortrel {

MediaCache& MediaCache::Instance() {
    static MediaCache cache;
    return cache;
}

std::optional<MediaCache::Key> MediaCache::KeyOf(Kind kind, const std::wstring& path, int32_t a,
                                                 int32_t b) const {
    std::error_code error;
    const std::filesystem::path file = ToPath(path);
    const uintmax_t size = std::filesystem::file_size(file, error);
    if (error) {
        return std::nullopt;  // no identity, no caching: the answer may change any time
    }
    const auto modified = std::filesystem::last_write_time(file, error);
    if (error) {
        return std::nullopt;
    }
    return Key{kind, path, size, modified.time_since_epoch().count(), a, b};
}

std::shared_ptr<const void> MediaCache::Find(const std::optional<Key>& key) {
    if (!key) {
        return nullptr;
    }
    auto it = entries_.find(*key);
    if (it == entries_.end()) {
        return nullptr;
    }
    ages_.splice(ages_.end(), ages_, it->second.age);  // now the most recently used
    return it->second.value;
}

void MediaCache::Store(const std::optional<Key>& key, std::shared_ptr<const void> value,
                       size_t bytes) {
    if (!key || bytes > budget_) {
        return;
    }
    if (auto old = entries_.find(*key); old != entries_.end()) {
        bytes_ -= old->second.bytes;
        ages_.erase(old->second.age);
        entries_.erase(old);
    }
    MakeRoom(bytes);
    ages_.push_back(*key);
    entries_[*key] = Entry{std::move(value), bytes, std::prev(ages_.end())};
    bytes_ += bytes;
}

std::optional<int32_t> MediaCache::FindLength(const std::wstring& path) {
    auto value = Find(KeyOf(Kind::Length, path, 0, 0));
    if (!value) {
        return std::nullopt;
    }
    return *static_cast<const int32_t*>(value.get());
}

void MediaCache::StoreLength(const std::wstring& path, int32_t milliseconds) {
    Store(KeyOf(Kind::Length, path, 0, 0), std::make_shared<const int32_t>(milliseconds),
          sizeof(int32_t) + path.size() * sizeof(wchar_t));
}

std::shared_ptr<const std::vector<uint8_t>> MediaCache::FindPoster(const std::wstring& path,
                                                                   int32_t mediaStart,
                                                                   bool skipDark) {
    return std::static_pointer_cast<const std::vector<uint8_t>>(
        Find(KeyOf(Kind::Poster, path, mediaStart, skipDark ? 1 : 0)));
}

void MediaCache::StorePoster(const std::wstring& path, int32_t mediaStart, bool skipDark,
                             std::vector<uint8_t> bitmap) {
    const size_t bytes = bitmap.size() + path.size() * sizeof(wchar_t);
    Store(KeyOf(Kind::Poster, path, mediaStart, skipDark ? 1 : 0),
          std::make_shared<const std::vector<uint8_t>>(std::move(bitmap)), bytes);
}

std::shared_ptr<const std::vector<double>> MediaCache::FindWaveform(const std::wstring& path,
                                                                    int32_t mediaStart,
                                                                    int32_t mediaStop) {
    return std::static_pointer_cast<const std::vector<double>>(
        Find(KeyOf(Kind::Waveform, path, mediaStart, mediaStop)));
}

void MediaCache::StoreWaveform(const std::wstring& path, int32_t mediaStart, int32_t mediaStop,
                               std::vector<double> levels) {
    const size_t bytes = levels.size() * sizeof(double) + path.size() * sizeof(wchar_t);
    Store(KeyOf(Kind::Waveform, path, mediaStart, mediaStop),
          std::make_shared<const std::vector<double>>(std::move(levels)), bytes);
}

void MediaCache::Clear() {
    entries_.clear();
    ages_.clear();
    bytes_ = 0;
}

void MediaCache::MakeRoom(size_t bytes) {
    while (bytes_ + bytes > budget_ && !ages_.empty()) {
        auto oldest = entries_.find(ages_.front());
        bytes_ -= oldest->second.bytes;
        entries_.erase(oldest);
        ages_.pop_front();
    }
}

}  // namespace vortrel
