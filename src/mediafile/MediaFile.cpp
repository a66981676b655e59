#include "mediafile/MediaFile.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/dict.h>
}

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <exception>
#include <filesystem>
#include <limits>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <tuple>
#include <vector>

// What the getters answer, where libav leaves a choice:
// - The container is the first of the demuxer's short names ("matroska" for Matroska and
//   WebM, "mov" for MP4 and QuickTime, "wav"); a single picture answers its format ("png",
//   "jpeg") rather than the demuxer's name. These names are plain ASCII and do not change
//   between libav releases, unlike the long descriptions.
// - A stream's name is its codec's short name ("h264", "aac", "pcm_s16le").
// - A still picture has no length and no frame rate: both answer 0, as does its bit rate.
// - A bit rate is the one the file or codec declares; uncompressed PCM is computed from its
//   sample format whatever the header says. Otherwise it is estimated without reading the
//   file through: from the stream's byte count when the container records it, else as the
//   stream's part of the file's size over its length, the part being its share of the packet
//   bytes in the first few megabytes. The answer is 0 when the file's length is unknown.
// - A file whose container gives no length, or only one guessed from its bit rate (streams
//   of bare MPEG video, H.264, MP3 or ADTS AAC), is read through to the last packet's time.
//   That length is kept for the process by the file's name, size and modification time.
// - A file holding no audio or video, such as Matroska with subtitles alone, opens with its
//   container's name and length and no streams.

namespace vortrel {

namespace {

using Clock = std::chrono::steady_clock;

// Longest that probing a file may spend reading it: a damaged or endless file must not hang
// the caller.
constexpr auto kProbeBudget = std::chrono::seconds(10);

// How much of a file's start is read to see how its streams share it, when a stream's bit
// rate is not declared: a few megabytes take milliseconds from any disk.
constexpr int64_t kSampleBytes = 4 << 20;
constexpr int kSamplePackets = 20000;

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;

// Options handed to avformat_open_input, which leaves in them the ones it did not use.
class OpenOptions {
  public:
    OpenOptions() = default;
    ~OpenOptions() { av_dict_free(&options_); }
    OpenOptions(const OpenOptions&) = delete;
    OpenOptions& operator=(const OpenOptions&) = delete;

    void Set(const char* key, const char* value) { av_dict_set(&options_, key, value, 0); }
    AVDictionary** Get() { return &options_; }

  private:
    AVDictionary* options_ = nullptr;
};

void AppendUtf8(std::string& out, uint32_t code) {
    if (code < 0x80) {
        out += static_cast<char>(code);
    } else if (code < 0x800) {
        out += static_cast<char>(0xC0 | (code >> 6));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        out += static_cast<char>(0xE0 | (code >> 12));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (code >> 18));
        out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (code & 0x3F));
    }
}

// libav takes UTF-8 file names. None for text no file can be named by: a lone surrogate or a
// code beyond Unicode.
std::optional<std::string> ToUtf8(const wchar_t* text) {
    std::string out;
    for (const wchar_t* at = text; *at != L'\0'; ++at) {
        uint32_t code = static_cast<uint32_t>(*at);
        if constexpr (sizeof(wchar_t) == 2) {
            const auto low = static_cast<uint32_t>(at[1]);
            if (code >= 0xD800 && code <= 0xDBFF && low >= 0xDC00 && low <= 0xDFFF) {
                code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
                ++at;
            }
        }
        if ((code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) {
            return std::nullopt;
        }
        AppendUtf8(out, code);
    }
    return out;
}

int ChannelCount(const AVCodecParameters& parameters) {
#if LIBAVCODEC_VERSION_INT >= AV_VERSION_INT(59, 24, 100)
    return parameters.ch_layout.nb_channels;
#else
    return parameters.channels;
#endif
}

// An audio or video stream whose basic parameters the probe could find. A stream without
// them, such as the one a demuxer guesses from the extension of a damaged file, is no stream.
// Cover art is no picture track either.
bool IsUsable(const AVStream& stream) {
    const AVCodecParameters& parameters = *stream.codecpar;
    switch (parameters.codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            return (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) == 0 &&
                   parameters.width > 0 && parameters.height > 0;
        case AVMEDIA_TYPE_AUDIO:
            return parameters.sample_rate > 0 && ChannelCount(parameters) > 0;
        default:
            return false;
    }
}

// Image demuxers read one picture: a file such as a PNG has no time of its own.
bool IsImageDemuxer(const AVFormatContext& format) {
    const std::string_view name = format.iformat->name;
    return name == "image2" || name.ends_with("_pipe");
}

bool IsStillImage(const AVFormatContext& format, const AVStream& stream) {
    return (stream.disposition & AV_DISPOSITION_STILL_IMAGE) != 0 || IsImageDemuxer(format);
}

std::string ContainerName(const AVFormatContext& format, const AVStream* video) {
    std::string_view name = format.iformat->name;
    if (IsImageDemuxer(format) && video != nullptr) {
        // Two demuxers read single pictures, one by name and one by content, and which is
        // chosen depends on the file's name: the picture's codec names it alike for both.
        name = avcodec_get_name(video->codecpar->codec_id);
        return name == "mjpeg" ? "jpeg" : std::string(name);
    }
    return std::string(name.substr(0, name.find(',')));
}

int32_t ToInt32(double value) {
    if (!std::isfinite(value) || value <= 0.0) {
        return 0;
    }
    return static_cast<int32_t>(
        std::min(std::round(value), static_cast<double>(std::numeric_limits<int32_t>::max())));
}

// The length of a stream in seconds; 0 when unknown.
double StreamSeconds(const AVStream& stream) {
    if (stream.duration == AV_NOPTS_VALUE || stream.duration <= 0 || stream.time_base.num <= 0 ||
        stream.time_base.den <= 0) {
        return 0.0;
    }
    return static_cast<double>(stream.duration) * av_q2d(stream.time_base);
}

// Uncompressed PCM carries exactly its samples, whatever the header claims.
int64_t PcmBitRate(const AVCodecParameters& parameters) {
    const AVCodecID codec = parameters.codec_id;
    if (codec < AV_CODEC_ID_FIRST_AUDIO || codec >= AV_CODEC_ID_ADPCM_IMA_QT) {
        return 0;
    }
    const int bits = av_get_bits_per_sample(codec);
    return static_cast<int64_t>(bits) * parameters.sample_rate * ChannelCount(parameters);
}

// Matroska files written by some muxers keep per-stream statistics in their tags.
int64_t TaggedBitRate(const AVStream& stream) {
    if (const AVDictionaryEntry* rate = av_dict_get(stream.metadata, "BPS", nullptr, 0)) {
        const long long value = std::strtoll(rate->value, nullptr, 10);
        if (value > 0) {
            return value;
        }
    }
    const AVDictionaryEntry* bytes = av_dict_get(stream.metadata, "NUMBER_OF_BYTES", nullptr, 0);
    const double seconds = StreamSeconds(stream);
    if (bytes != nullptr && seconds > 0.0) {
        const double value = std::strtod(bytes->value, nullptr);
        if (std::isfinite(value) && value > 0.0) {
            return static_cast<int64_t>(value * 8.0 / seconds);
        }
    }
    return 0;
}

// The size of the picture a stream of cover art holds; 0 for any other stream.
int64_t CoverBytes(const AVStream& stream) {
    return (stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0 ? stream.attached_pic.size : 0;
}

// MPEG-1 and MPEG-2 video headers mark a variable bit rate with the largest value they can
// hold, which is no rate at all.
bool IsVariableRateMarker(const AVCodecParameters& parameters) {
    constexpr int64_t kVariable = int64_t{0x3FFFF} * 400;
    return (parameters.codec_id == AV_CODEC_ID_MPEG1VIDEO ||
            parameters.codec_id == AV_CODEC_ID_MPEG2VIDEO) &&
           parameters.bit_rate == kVariable;
}

// The bit rate a stream declares, or one computed from what the file says about it alone.
int64_t DeclaredBitRate(const AVStream& stream) {
    if (const int64_t pcm = PcmBitRate(*stream.codecpar); pcm > 0) {
        return pcm;
    }
    if (stream.codecpar->bit_rate > 0 && !IsVariableRateMarker(*stream.codecpar)) {
        return stream.codecpar->bit_rate;
    }
    return TaggedBitRate(stream);
}

// Whether the container's length is its own rather than guessed from a bit rate.
bool HasTrueLength(const AVFormatContext& format) {
    return format.duration != AV_NOPTS_VALUE && format.duration > 0 &&
           format.duration_estimation_method != AVFMT_DURATION_FROM_BITRATE;
}

// Lengths measured by reading files through, by name, size and modification time: a file
// that changes is measured again. Bounded, as a process may probe any number of files.
class MeasuredLengths {
  public:
    using Key = std::tuple<std::string, uintmax_t, int64_t>;

    /// The identity of a file; none when it cannot be read.
    static std::optional<Key> KeyOf(const std::string& path) {
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

    std::optional<double> Find(const std::optional<Key>& key) {
        const std::lock_guard<std::mutex> lock(mutex_);
        const auto it = key ? seconds_.find(*key) : seconds_.end();
        return it != seconds_.end() ? std::optional<double>(it->second) : std::nullopt;
    }

    void Store(const std::optional<Key>& key, double seconds) {
        constexpr size_t kMostFiles = 1024;
        const std::lock_guard<std::mutex> lock(mutex_);
        if (!key) {
            return;
        }
        if (seconds_.size() >= kMostFiles) {
            seconds_.clear();  // rarely reached: measuring again is only slower
        }
        seconds_[*key] = seconds;
    }

  private:
    std::mutex mutex_;
    std::map<Key, double> seconds_;
};

MeasuredLengths& Measured() {
    static MeasuredLengths lengths;
    return lengths;
}

// The bytes of each stream's packets at the start of a file, as far as a few megabytes.
struct Sample {
    explicit Sample(unsigned streams) : bytes(streams, 0) {}

    bool Full() const { return total >= kSampleBytes || packets >= kSamplePackets; }

    // Counts a packet read next, until the sample is full.
    void Add(const AVFormatContext& format, const AVPacket& packet) {
        if (Full()) {
            return;
        }
        ++packets;
        // Some demuxers add streams as they find them: those are left out.
        const auto index = static_cast<size_t>(packet.stream_index);
        if (packet.stream_index >= 0 && index < bytes.size() && packet.size > 0 &&
            CoverBytes(*format.streams[index]) == 0) {
            bytes[index] += packet.size;
            total += packet.size;
        }
    }

    std::vector<int64_t> bytes;
    int64_t total = 0;
    int packets = 0;
};

// What a probe found, in the units the getters answer.
struct Facts {
    double durationMs = 0.0;
    int32_t width = 0;
    int32_t height = 0;
    double frameRate = 0.0;
    int32_t videoBitRate = 0;
    int32_t audioBitRate = 0;
    int32_t sampleRate = 0;
    int32_t channels = 0;
    std::string container;
    std::vector<std::string> videoCodecs;
    std::vector<std::string> audioCodecs;
};

// Opens a file with libavformat, reads its facts and closes it again: nothing stays open
// between the calls, so the file may be moved or deleted while a MediaFile still answers.
class Prober {
  public:
    // Reads everything the getters answer; none when the file cannot be read as media.
    static std::optional<Facts> Run(const std::string& path) {
        Prober prober;
        if (!prober.Open(path)) {
            return std::nullopt;
        }
        prober.path_ = path;
        return prober.Read();
    }

  private:
    static int Interrupted(void* opaque) {
        return Clock::now() > static_cast<const Prober*>(opaque)->deadline_ ? 1 : 0;
    }

    bool Open(const std::string& path) {
        // Only regular files: opening a FIFO or a device could block for ever.
        std::error_code error;
        const std::filesystem::path file(path);
        if (!std::filesystem::is_regular_file(file, error) ||
            std::filesystem::file_size(file, error) == 0 || error) {
            return false;
        }
        AVFormatContext* context = avformat_alloc_context();
        if (context == nullptr) {
            return false;
        }
        context->interrupt_callback.callback = &Prober::Interrupted;
        context->interrupt_callback.opaque = this;
        OpenOptions options;
        // Playlists and similar formats name other resources: only local files may be read.
        options.Set("protocol_whitelist", "file");
        // A name such as "50%d.png" or "take?.png" is the picture's own name, not a pattern
        // of numbered files.
        options.Set("pattern_type", "none");
        deadline_ = Clock::now() + kProbeBudget;
        // The explicit protocol keeps a name with a colon from being read as a URL. On
        // failure avformat_open_input frees the context itself.
        const std::string url = "file:" + path;
        if (avformat_open_input(&context, url.c_str(), nullptr, options.Get()) < 0) {
            return false;
        }
        format_.reset(context);
        return avformat_find_stream_info(format_.get(), nullptr) >= 0;
    }

    std::optional<Facts> Read() {
        Facts probe;
        const AVStream* video = nullptr;
        const AVStream* audio = nullptr;
        for (unsigned i = 0; i < format_->nb_streams; ++i) {
            const AVStream& stream = *format_->streams[i];
            if (!IsUsable(stream)) {
                continue;
            }
            const char* codec = avcodec_get_name(stream.codecpar->codec_id);
            if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
                video = video != nullptr ? video : &stream;
                probe.videoCodecs.emplace_back(codec);
            } else {
                audio = audio != nullptr ? audio : &stream;
                probe.audioCodecs.emplace_back(codec);
            }
        }
        if (video == nullptr && audio == nullptr && !HoldsOtherMedia()) {
            return std::nullopt;
        }
        const bool still = video != nullptr && IsStillImage(*format_, *video);

        probe.container = ContainerName(*format_, video);
        if (!still) {
            seconds_ = HasTrueLength(*format_) ? DeclaredSeconds() : MeasuredSeconds();
        }
        probe.durationMs = seconds_ * 1000.0;
        if (video != nullptr) {
            probe.width = video->codecpar->width;
            probe.height = video->codecpar->height;
            if (!still) {
                probe.frameRate = FrameRate(*video);
                probe.videoBitRate = ToInt32(static_cast<double>(BitRate(*video)));
            }
        }
        if (audio != nullptr) {
            probe.sampleRate = audio->codecpar->sample_rate;
            probe.channels = ChannelCount(*audio->codecpar);
            probe.audioBitRate = ToInt32(static_cast<double>(BitRate(*audio)));
        }
        return probe;
    }

    // Streams of subtitles or data with a known format, and no audio or video stream that
    // the probe failed to make out: a damaged file, or one that is not media, may be taken
    // for a format whose streams it then cannot describe.
    bool HoldsOtherMedia() const {
        bool found = false;
        for (unsigned i = 0; i < format_->nb_streams; ++i) {
            const AVCodecParameters& parameters = *format_->streams[i]->codecpar;
            switch (parameters.codec_type) {
                case AVMEDIA_TYPE_VIDEO:
                case AVMEDIA_TYPE_AUDIO:
                    if (!IsUsable(*format_->streams[i]) && CoverBytes(*format_->streams[i]) == 0) {
                        return false;
                    }
                    break;
                case AVMEDIA_TYPE_SUBTITLE:
                case AVMEDIA_TYPE_DATA:
                case AVMEDIA_TYPE_ATTACHMENT:
                    found = found || parameters.codec_id != AV_CODEC_ID_NONE;
                    break;
                default:
                    break;
            }
        }
        return found && !IsImageDemuxer(*format_);
    }

    // The container's length, else that of its longest stream.
    double DeclaredSeconds() const {
        if (format_->duration != AV_NOPTS_VALUE && format_->duration > 0) {
            return static_cast<double>(format_->duration) / AV_TIME_BASE;
        }
        double longest = 0.0;
        for (unsigned i = 0; i < format_->nb_streams; ++i) {
            longest = std::max(longest, StreamSeconds(*format_->streams[i]));
        }
        return longest;
    }

    // The length of a file whose container does not know it: the span from the first
    // packet's time to the end of the last, read through to the end or until the deadline
    // (then at least what the container guessed). The first packets are counted for the
    // streams' shares of the file's size on the way.
    double MeasuredSeconds() {
        const std::optional<MeasuredLengths::Key> key = MeasuredLengths::KeyOf(path_);
        if (std::optional<double> known = Measured().Find(key)) {
            return *known;
        }
        PacketPtr packet(av_packet_alloc());
        if (!packet) {
            return DeclaredSeconds();
        }
        const unsigned streams = format_->nb_streams;
        std::vector<int64_t> first(streams, AV_NOPTS_VALUE);
        std::vector<int64_t> last(streams, AV_NOPTS_VALUE);
        std::vector<int64_t> next(streams, 0);  // where a packet without a time starts
        Sample sample(streams);
        bool complete = false;
        while (Clock::now() <= deadline_) {
            if (const int read = av_read_frame(format_.get(), packet.get()); read < 0) {
                complete = read != AVERROR_EXIT;  // the end, or as far as the file can be read
                break;
            }
            sample.Add(*format_, *packet);
            const auto index = static_cast<unsigned>(packet->stream_index);
            if (packet->stream_index >= 0 && index < streams) {
                const AVStream& stream = *format_->streams[index];
                const int64_t start = packet->pts != AV_NOPTS_VALUE   ? packet->pts
                                      : packet->dts != AV_NOPTS_VALUE ? packet->dts
                                                                      : next[index];
                const int64_t length =
                    packet->duration > 0 ? packet->duration : NominalFrameLength(stream);
                // Times near the ends of their range, as damaged files hold, do not wrap.
                const int64_t end = start > std::numeric_limits<int64_t>::max() - length
                                        ? std::numeric_limits<int64_t>::max()
                                        : start + length;
                first[index] =
                    first[index] == AV_NOPTS_VALUE ? start : std::min(first[index], start);
                last[index] = last[index] == AV_NOPTS_VALUE ? end : std::max(last[index], end);
                next[index] = end;
            }
            av_packet_unref(packet.get());
        }
        sampled_ = std::move(sample.bytes);
        double begin = std::numeric_limits<double>::max();
        double end = 0.0;
        for (unsigned i = 0; i < streams; ++i) {
            const AVRational base = format_->streams[i]->time_base;
            if (first[i] != AV_NOPTS_VALUE && base.num > 0 && base.den > 0) {
                begin = std::min(begin, static_cast<double>(first[i]) * av_q2d(base));
                end = std::max(end, static_cast<double>(last[i]) * av_q2d(base));
            }
        }
        const double measured = end > begin ? end - begin : 0.0;
        if (!complete) {
            return std::max(measured, DeclaredSeconds());  // no time to read it all
        }
        Measured().Store(key, measured);
        return measured;
    }

    // One frame of a video stream at its nominal rate, in its time base; 0 for other streams.
    static int64_t NominalFrameLength(const AVStream& stream) {
        const double rate =
            stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? FrameRate(stream) : 0.0;
        return rate > 0.0 ? av_rescale_q(1, av_d2q(1.0 / rate, 1 << 24), stream.time_base) : 0;
    }

    static double FrameRate(const AVStream& stream) {
        AVRational rate = stream.avg_frame_rate;
        if (rate.num <= 0 || rate.den <= 0) {
            rate = stream.r_frame_rate;
        }
        if (rate.num <= 0 || rate.den <= 0) {
            return 0.0;
        }
        return av_q2d(rate);
    }

    int64_t BitRate(const AVStream& stream) {
        if (const int64_t declared = DeclaredBitRate(stream); declared > 0) {
            return declared;
        }
        // The file's size over its length, shared among its streams as their packets share
        // its start. Counting every packet would cost as much as the file is long.
        int64_t fileBytes = format_->pb != nullptr ? avio_size(format_->pb) : -1;
        for (unsigned i = 0; i < format_->nb_streams; ++i) {
            fileBytes -= CoverBytes(*format_->streams[i]);  // a picture, not part of a rate
        }
        const double seconds = seconds_;
        if (fileBytes <= 0 || seconds <= 0.0) {
            return 0;
        }
        return static_cast<int64_t>(static_cast<double>(fileBytes) * 8.0 / seconds *
                                    ShareOf(stream));
    }

    // The part of the packet bytes at the start of the file that belongs to a stream.
    double ShareOf(const AVStream& stream) {
        if (format_->nb_streams == 1) {
            return 1.0;
        }
        if (!sampled_) {
            sampled_ = SampleBytes();
        }
        int64_t total = 0;
        for (const int64_t bytes : *sampled_) {
            total += bytes;
        }
        const auto index = static_cast<size_t>(stream.index);
        return total > 0 && index < sampled_->size()
                   ? static_cast<double>((*sampled_)[index]) / static_cast<double>(total)
                   : 0.0;
    }

    // The bytes of each stream's packets from the start of the file, reading no more than a
    // few megabytes.
    std::vector<int64_t> SampleBytes() {
        Sample sample(format_->nb_streams);
        PacketPtr packet(av_packet_alloc());
        while (packet && !sample.Full() && av_read_frame(format_.get(), packet.get()) >= 0) {
            sample.Add(*format_, *packet);
            av_packet_unref(packet.get());
        }
        return sample.bytes;
    }

    FormatContextPtr format_;
    std::string path_;
    Clock::time_point deadline_;
    double seconds_ = 0.0;                         // the file's length, once known
    std::optional<std::vector<int64_t>> sampled_;  // bytes by stream, once counted
};

// Writes an ASCII name as wide characters, cut to fit with its terminator.
int WriteName(const std::string& name, wchar_t* buffer, int capacity) {
    if (buffer == nullptr || capacity <= 0) {
        return 0;
    }
    const size_t count = std::min(name.size(), static_cast<size_t>(capacity) - 1);
    for (size_t i = 0; i < count; ++i) {
        buffer[i] = static_cast<wchar_t>(static_cast<unsigned char>(name[i]));
    }
    buffer[count] = L'\0';
    return static_cast<int>(count);
}

const std::string& NameAt(const std::vector<std::string>* names, int index) {
    static const std::string kNone;
    if (names == nullptr || index < 0 || static_cast<size_t>(index) >= names->size()) {
        return kNone;
    }
    return (*names)[static_cast<size_t>(index)];
}

}  // namespace

struct MediaFile::Probe : Facts {};

MediaFile::MediaFile() = default;

MediaFile::~MediaFile() = default;

bool MediaFile::open(const wchar_t* path) {
    close();
    if (path == nullptr) {
        return false;
    }
    try {
        const std::optional<std::string> utf8 = ToUtf8(path);
        if (!utf8 || utf8->empty()) {
            return false;
        }
        if (std::optional<Facts> facts = Prober::Run(*utf8)) {
            probe_ = std::make_unique<Probe>(Probe{std::move(*facts)});
            return true;
        }
    } catch (const std::exception&) {
        // Out of memory while probing: the file cannot be read.
    }
    return false;
}

void MediaFile::close() {
    probe_.reset();
}

double MediaFile::getDuration() const {
    return probe_ ? probe_->durationMs : 0.0;
}

int32_t MediaFile::getWidth() const {
    return probe_ ? probe_->width : 0;
}

int32_t MediaFile::getHeight() const {
    return probe_ ? probe_->height : 0;
}

double MediaFile::getFrameRate() const {
    return probe_ ? probe_->frameRate : 0.0;
}

int32_t MediaFile::getVideoBitRate() const {
    return probe_ ? probe_->videoBitRate : 0;
}

int32_t MediaFile::getAudioBitRate() const {
    return probe_ ? probe_->audioBitRate : 0;
}

int32_t MediaFile::getAudioSampleRate() const {
    return probe_ ? probe_->sampleRate : 0;
}

int32_t MediaFile::getAudioChannel() const {
    return probe_ ? probe_->channels : 0;
}

int32_t MediaFile::getContainerVideoStreamCount() const {
    return probe_ ? static_cast<int32_t>(probe_->videoCodecs.size()) : 0;
}

int32_t MediaFile::getContainerAudioStreamCount() const {
    return probe_ ? static_cast<int32_t>(probe_->audioCodecs.size()) : 0;
}

int MediaFile::getContainer(wchar_t* buffer, int capacity) const {
    return WriteName(probe_ ? probe_->container : std::string(), buffer, capacity);
}

int MediaFile::getContainerVideoStreamName(int stream, wchar_t* buffer, int capacity) const {
    return WriteName(NameAt(probe_ ? &probe_->videoCodecs : nullptr, stream), buffer, capacity);
}

int MediaFile::getContainerAudioStreamName(int stream, wchar_t* buffer, int capacity) const {
    return WriteName(NameAt(probe_ ? &probe_->audioCodecs : nullptr, stream), buffer, capacity);
}

}  // namespace vortrel
