#include "platform/av/AvStreamLengths.h"

#include "platform/av/AvSupport.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <system_error>
#include <tuple>

namespace vortrel {

namespace {

using Key = std::tuple<std::string, uintmax_t, int64_t>;

// How long opening a file to see whether it needs measuring may take, with the measuring.
constexpr auto kBudget = std::chrono::seconds(10);
// Bounded, as a process may open any number of files; measuring again is only slower.
constexpr size_t kMostFiles = 1024;

// The identity of a file; none when it cannot be read, and then nothing is kept.
std::optional<Key> KeyOf(const std::string& path) {
    std::error_code error;
    const uintmax_t size = std::filesystem::file_size(path, error);
    if (error) {
        return std::nullopt;
    }
    const auto modified = std::filesystem::last_write_time(path, error);
    if (error) {
        return std::nullopt;
    }
    return Key{path, size, modified.time_since_epoch().count()};
}

// Measured lengths by file; an empty list for a file whose container knows its length.
class Known {
  public:
    std::optional<std::vector<double>> Find(const std::optional<Key>& key) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = key ? lengths_.find(*key) : lengths_.end();
        return it != lengths_.end() ? std::optional(it->second) : std::nullopt;
    }

    void Store(const std::optional<Key>& key, std::vector<double> lengths) {
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!key) {
            return;
        }
        if (lengths_.size() >= kMostFiles) {
            lengths_.clear();
        }
        lengths_[*key] = std::move(lengths);
    }

  private:
    std::mutex mutex_;
    std::map<Key, std::vector<double>> lengths_;
};

Known& Lengths() {
    static Known known;
    return known;
}

// One frame of a video stream at its nominal rate, in its time base; 0 for other streams.
int64_t NominalFrameLength(const AVStream& stream) {
    AVRational rate = stream.avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) {
        rate = stream.r_frame_rate;
    }
    if (stream.codecpar->codec_type != AVMEDIA_TYPE_VIDEO || rate.num <= 0 || rate.den <= 0) {
        return 0;
    }
    return av_rescale_q(1, av_inv_q(rate), stream.time_base);
}

// A stream's length as its container gives it, guessed or not; 0 when none.
double DeclaredLength(const AVFormatContext& format, const AVStream& stream) {
    if (stream.duration != AV_NOPTS_VALUE && stream.duration > 0 && stream.time_base.num > 0 &&
        stream.time_base.den > 0) {
        return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
    }
    if (format.duration != AV_NOPTS_VALUE && format.duration > 0) {
        return static_cast<double>(format.duration) / AV_TIME_BASE;
    }
    return 0.0;
}

}  // namespace

bool AvStreamLengths::AreDeclared(const AVFormatContext& format) {
    return format.duration != AV_NOPTS_VALUE && format.duration > 0 &&
           format.duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
}

std::vector<double> AvStreamLengths::Measure(AVFormatContext& format, const std::string& path,
                                             Deadline deadline) {
    const std::optional<Key> key = KeyOf(path);
    if (std::optional<std::vector<double>> known = Lengths().Find(key);
        known && known->size() == format.nb_streams) {
        return *known;
    }
    const unsigned streams = format.nb_streams;
    std::vector<int64_t> first(streams, AV_NOPTS_VALUE);
    std::vector<int64_t> last(streams, AV_NOPTS_VALUE);
    std::vector<int64_t> next(streams, 0);  // where a packet without a time starts
    av::PacketPtr packet(av_packet_alloc());
    bool complete = false;
    while (packet && std::chrono::steady_clock::now() <= deadline) {
        if (const int read = av_read_frame(&format, packet.get()); read < 0) {
            complete = read != AVERROR_EXIT;  // the end, or as far as the file can be read
            break;
        }
        // Some demuxers add streams as they find them: those are left out.
        const auto index = static_cast<unsigned>(packet->stream_index);
        if (packet->stream_index >= 0 && index < streams) {
            const int64_t start = packet->pts != AV_NOPTS_VALUE   ? packet->pts
                                  : packet->dts != AV_NOPTS_VALUE ? packet->dts
                                                                  : next[index];
            const int64_t length = packet->duration > 0
                                       ? packet->duration
                                       : NominalFrameLength(*format.streams[index]);
            // Times near the ends of their range, as damaged files hold, do not wrap.
            const int64_t end = start > std::numeric_limits<int64_t>::max() - length
                                    ? std::numeric_limits<int64_t>::max()
                                    : start + length;
            first[index] = first[index] == AV_NOPTS_VALUE ? start : std::min(first[index], start);
            last[index] = last[index] == AV_NOPTS_VALUE ? end : std::max(last[index], end);
            next[index] = end;
        }
        av_packet_unref(packet.get());
    }
    std::vector<double> lengths(streams, 0.0);
    for (unsigned i = 0; i < streams; ++i) {
        const AVRational base = format.streams[i]->time_base;
        if (first[i] != AV_NOPTS_VALUE && last[i] > first[i] && base.num > 0 && base.den > 0) {
            lengths[i] =
                (static_cast<double>(last[i]) - static_cast<double>(first[i])) * av_q2d(base);
        }
        if (!complete) {
            // No time to read it all: at least what the container guessed.
            lengths[i] = std::max(lengths[i], DeclaredLength(format, *format.streams[i]));
        }
    }
    if (complete) {
        Lengths().Store(key, lengths);
    }
    return lengths;
}

std::optional<double> AvStreamLengths::OfFile(const std::string& path) {
    const std::optional<Key> key = KeyOf(path);
    std::optional<std::vector<double>> lengths = Lengths().Find(key);
    if (!lengths) {
        const Deadline deadline = std::chrono::steady_clock::now() + kBudget;
        const av::FormatContextPtr format = av::OpenLocalInput("file:" + path, &deadline);
        if (!format) {
            return std::nullopt;
        }
        if (AreDeclared(*format)) {
            Lengths().Store(key, {});
            return std::nullopt;
        }
        lengths = Measure(*format, path, deadline);
    }
    if (lengths->empty()) {
        return std::nullopt;
    }
    return *std::max_element(lengths->begin(), lengths->end());
}

}  // namespace vortrel
