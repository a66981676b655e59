#include "platform/av/AvMediaDetector.h"

#include "platform/av/AvStreamLengths.h"
#include "platform/av/AvSupport.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/avutil.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>
#include <exception>
#include <filesystem>
#include <limits>
#include <optional>
#include <string_view>
#include <system_error>
#include <thread>
#include <utility>

namespace vortrel {

namespace {

using Clock = std::chrono::steady_clock;
using namespace av;

// Longest that opening a file or fetching one frame may spend reading it: a damaged or
// endless file must not hang the caller.
constexpr auto kOperationBudget = std::chrono::seconds(10);

constexpr int64_t kNoTime = AV_NOPTS_VALUE;
constexpr int64_t kEndless = std::numeric_limits<int64_t>::max();

void PutLe16(uint8_t* at, uint16_t value) {
    at[0] = static_cast<uint8_t>(value);
    at[1] = static_cast<uint8_t>(value >> 8);
}

void PutLe32(uint8_t* at, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        at[i] = static_cast<uint8_t>(value >> (8 * i));
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

// An audio or video stream whose basic parameters the probe could find. A stream without
// them, such as the one a demuxer guesses from the extension of a damaged file, is no stream.
bool IsUsable(const AVCodecParameters& parameters) {
    switch (parameters.codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            return parameters.width > 0 && parameters.height > 0;
        case AVMEDIA_TYPE_AUDIO:
            return parameters.sample_rate > 0 && parameters.ch_layout.nb_channels > 0;
        default:
            return false;
    }
}

// Streams of subtitles, data or attachments in a format the libraries know, as a container
// without sound or picture holds; a file of pictures is never one.
bool HoldsKnownStreams(const AVFormatContext& format) {
    if (IsImageDemuxer(format)) {
        return false;
    }
    for (unsigned i = 0; i < format.nb_streams; ++i) {
        const AVCodecParameters& parameters = *format.streams[i]->codecpar;
        if ((parameters.codec_type == AVMEDIA_TYPE_SUBTITLE ||
             parameters.codec_type == AVMEDIA_TYPE_DATA ||
             parameters.codec_type == AVMEDIA_TYPE_ATTACHMENT) &&
            parameters.codec_id != AV_CODEC_ID_NONE) {
            return true;
        }
    }
    return false;
}

int64_t FrameDuration(const AVFrame& frame) {
#if LIBAVUTIL_VERSION_INT >= AV_VERSION_INT(57, 30, 100)
    return frame.duration;
#else
    return frame.pkt_duration;
#endif
}

// The duration of one frame at the stream's nominal rate, in its time base; 0 when unknown.
int64_t NominalFrameDuration(const AVStream& stream) {
    AVRational rate = stream.avg_frame_rate;
    if (rate.num <= 0 || rate.den <= 0) {
        rate = stream.r_frame_rate;
    }
    if (rate.num <= 0 || rate.den <= 0) {
        return 0;
    }
    return av_rescale_q(1, av_inv_q(rate), stream.time_base);
}

int ScalerColourSpace(const AVFrame& frame) {
    switch (frame.colorspace) {
        case AVCOL_SPC_BT709:
            return SWS_CS_ITU709;
        case AVCOL_SPC_FCC:
            return SWS_CS_FCC;
        case AVCOL_SPC_SMPTE240M:
            return SWS_CS_SMPTE240M;
        case AVCOL_SPC_BT2020_NCL:
        case AVCOL_SPC_BT2020_CL:
            return SWS_CS_BT2020;
        case AVCOL_SPC_BT470BG:
        case AVCOL_SPC_SMPTE170M:
            return SWS_CS_ITU601;
        default:
            // Untagged material follows the usual convention: HD pictures are BT.709.
            return frame.height >= 720 ? SWS_CS_ITU709 : SWS_CS_ITU601;
    }
}

// The scaler wants the plain YUV formats with the range given separately.
AVPixelFormat WithoutFullRangeAlias(AVPixelFormat format, bool& fullRange) {
    switch (format) {
        case AV_PIX_FMT_YUVJ420P:
            fullRange = true;
            return AV_PIX_FMT_YUV420P;
        case AV_PIX_FMT_YUVJ422P:
            fullRange = true;
            return AV_PIX_FMT_YUV422P;
        case AV_PIX_FMT_YUVJ444P:
            fullRange = true;
            return AV_PIX_FMT_YUV444P;
        case AV_PIX_FMT_YUVJ440P:
            fullRange = true;
            return AV_PIX_FMT_YUV440P;
        case AV_PIX_FMT_YUVJ411P:
            fullRange = true;
            return AV_PIX_FMT_YUV411P;
        default:
            return format;
    }
}

}  // namespace

struct AvMediaDetector::Impl {
    std::string fileName;  // UTF-8, as the libraries take it
    std::string url;
    FormatContextPtr format;
    std::vector<int> outputStreams;  // indices into format->streams
    int current = 0;                 // index into outputStreams
    int video = -1;                  // the first video stream, whose frames are handed out
    bool still = false;
    bool atStart = false;  // nothing read since the file was opened
    // The streams' lengths, by stream index, when the container only guesses them.
    std::optional<std::vector<double>> measured;

    CodecContextPtr decoder;
    ScalerPtr scaler;
    // The last frame handed out and the span of stream time it shows for.
    FramePtr shown;
    int64_t shownStart = 0;
    int64_t shownEnd = 0;

    Clock::time_point deadline;

    void Close() {
        shown.reset();
        scaler.reset();
        decoder.reset();
        format.reset();
        outputStreams.clear();
        current = 0;
        video = -1;
        still = false;
        atStart = false;
        measured.reset();
    }

    bool OpenInput() {
        deadline = Clock::now() + kOperationBudget;
        FormatContextPtr opened = OpenLocalInput(url, &deadline);
        if (!opened) {
            return false;
        }
        format = std::move(opened);
        atStart = true;
        return true;
    }

    bool Open(const std::wstring& path) {
        const std::optional<std::string> utf8 = FileNameOf(path);
        if (!utf8 || utf8->empty()) {
            return false;
        }
        // Only regular files: opening a FIFO or a device could block for ever.
        std::error_code error;
        if (!std::filesystem::is_regular_file(std::filesystem::path(*utf8), error)) {
            return false;
        }
        // The explicit protocol keeps a name with a colon from being read as a URL.
        fileName = *utf8;
        url = "file:" + *utf8;
        if (!OpenInput()) {
            return false;
        }
        bool unusable = false;  // a sound or picture the probe could not make out
        for (unsigned i = 0; i < format->nb_streams; ++i) {
            const AVStream& stream = *format->streams[i];
            if ((stream.disposition & AV_DISPOSITION_ATTACHED_PIC) != 0) {
                continue;  // cover art is no picture track
            }
            if (!IsUsable(*stream.codecpar)) {
                const AVMediaType type = stream.codecpar->codec_type;
                unusable = unusable || type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO;
                continue;
            }
            if (stream.codecpar->codec_type == AVMEDIA_TYPE_VIDEO && video < 0) {
                video = static_cast<int>(i);
            }
            outputStreams.push_back(static_cast<int>(i));
        }
        if (outputStreams.empty()) {
            // A file of subtitles or data alone is open with no streams to report; one whose
            // sound or picture cannot be made out is damaged, or not media at all.
            return !unusable && HoldsKnownStreams(*format);
        }
        still = video >= 0 && IsStillImage(*format, *format->streams[video]);
        return true;
    }

    // Opens the file again, for demuxers that cannot seek back.
    bool Reopen() {
        const unsigned streams = format->nb_streams;
        format.reset();
        if (OpenInput() && format->nb_streams == streams &&
            format->streams[video]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            return true;
        }
        Close();  // the file is gone or has changed: nothing more can be read of it
        return false;
    }

    const AVStream* CurrentStream() const {
        if (!format || current < 0 || current >= static_cast<int>(outputStreams.size())) {
            return nullptr;
        }
        return format->streams[outputStreams[static_cast<size_t>(current)]];
    }

    std::optional<double> LengthOf(const AVStream& stream) {
        double seconds = 0.0;
        if (!AvStreamLengths::AreDeclared(*format)) {
            if (!measured) {
                deadline = Clock::now() + kOperationBudget;
                measured = AvStreamLengths::Measure(*format, fileName, deadline);
                atStart = false;
            }
            seconds = (*measured)[static_cast<size_t>(stream.index)];
        } else if (stream.duration != kNoTime && stream.duration > 0 && stream.time_base.num > 0 &&
                   stream.time_base.den > 0) {
            seconds = static_cast<double>(stream.duration) * av_q2d(stream.time_base);
        } else if (format->duration != kNoTime && format->duration > 0) {
            seconds = static_cast<double>(format->duration) / AV_TIME_BASE;
        }
        if (!std::isfinite(seconds) || seconds <= 0.0) {
            return std::nullopt;
        }
        return seconds;
    }

    bool OpenDecoder() {
        if (decoder) {
            return true;
        }
        const AVStream& stream = *format->streams[video];
        const AVCodec* codec = avcodec_find_decoder(stream.codecpar->codec_id);
        if (codec == nullptr) {
            return false;
        }
        CodecContextPtr context(avcodec_alloc_context3(codec));
        if (!context || avcodec_parameters_to_context(context.get(), stream.codecpar) < 0) {
            return false;
        }
        context->pkt_timebase = stream.time_base;
        // A few threads speed up decoding forward from a keyframe; more would cost each
        // detector memory for little gain on single frames.
        context->thread_count =
            static_cast<int>(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
        if (avcodec_open2(context.get(), codec, nullptr) < 0) {
            return false;
        }
        decoder = std::move(context);
        return true;
    }

    // Makes a frame the one shown, for the stream time from start to end.
    const AVFrame* Show(FramePtr frame, int64_t start, int64_t end) {
        shown = std::move(frame);
        shownStart = start;
        shownEnd = end;
        return shown.get();
    }

    // The frame of the video stream showing at a stream time; null when there is none.
    const AVFrame* DecodeAt(int64_t target) {
        if (shown && shownStart <= target && target < shownEnd) {
            return shown.get();
        }
        if (!OpenDecoder()) {
            return nullptr;
        }
        const AVStream& stream = *format->streams[video];
        const int64_t origin = stream.start_time != kNoTime ? stream.start_time : 0;
        int64_t step = std::max<int64_t>(1, av_rescale_q(1, AVRational{1, 1}, stream.time_base));
        deadline = Clock::now() + kOperationBudget;
        // Demuxers index keyframes by decoding time, so with reordered frames a seek can land
        // on a keyframe shown after the time asked: seek further back until it does not.
        int64_t seekTo = target;
        for (int attempt = 0;; ++attempt) {
            bool overshot = false;
            const AVFrame* found = DecodeFrom(seekTo, target, overshot);
            if (!overshot || format == nullptr || seekTo <= origin || attempt == 8) {
                return found;
            }
            seekTo = seekTo - origin > step ? seekTo - step : origin;
            step = step < kEndless / 2 ? step * 2 : step;
        }
    }

    // Seeks to the keyframe at or before seekTo and decodes forward to the frame showing at
    // target. Sets overshot when the first frame decoded starts after target.
    const AVFrame* DecodeFrom(int64_t seekTo, int64_t target, bool& overshot) {
        // A file that cannot seek is read from its start, opening it again when it has been
        // read.
        if (av_seek_frame(format.get(), video, seekTo, AVSEEK_FLAG_BACKWARD) < 0 && !atStart &&
            !Reopen()) {
            return nullptr;
        }
        avcodec_flush_buffers(decoder.get());
        const int64_t nominal = NominalFrameDuration(*format->streams[video]);

        PacketPtr packet(av_packet_alloc());
        FramePtr frame(av_frame_alloc());
        FramePtr candidate;  // the latest frame starting at or before the time
        int64_t candidateStart = 0;
        int64_t lastEnd = kNoTime;
        bool draining = false;
        if (!packet || !frame) {
            return nullptr;
        }
        while (Clock::now() <= deadline) {
            if (!draining) {
                const int read = av_read_frame(format.get(), packet.get());
                atStart = false;
                if (read < 0) {
                    // The end of the file, or of what can be read of it: take what the
                    // decoder still holds.
                    draining = true;
                    avcodec_send_packet(decoder.get(), nullptr);
                } else {
                    if (packet->stream_index == video) {
                        // A damaged packet is skipped; the decoder recovers at the next one.
                        avcodec_send_packet(decoder.get(), packet.get());
                    }
                    av_packet_unref(packet.get());
                }
            }
            for (;;) {
                const int received = avcodec_receive_frame(decoder.get(), frame.get());
                if (received == AVERROR(EAGAIN)) {
                    break;
                }
                if (received < 0) {
                    // Decoding is over: the last frame still shows if its span reaches the
                    // time, which it never does past the end of the stream.
                    if (candidate && (still || target < lastEnd || lastEnd == kNoTime)) {
                        return Show(std::move(candidate), candidateStart, lastEnd);
                    }
                    return nullptr;
                }
                int64_t start = frame->best_effort_timestamp;
                if (start == kNoTime) {
                    start = lastEnd != kNoTime ? lastEnd : target;
                }
                const int64_t duration =
                    FrameDuration(*frame) > 0 ? FrameDuration(*frame) : nominal;
                const int64_t end = duration > 0 ? start + duration : kNoTime;
                if (start > target) {
                    if (candidate) {
                        // The earlier frame shows until this one starts.
                        return Show(std::move(candidate), candidateStart, start);
                    }
                    // A time before the first frame of the stream shows that frame.
                    overshot = true;
                    return Show(std::move(frame), start, end == kNoTime ? start + 1 : end);
                }
                candidate = std::move(frame);
                candidateStart = start;
                lastEnd = end;
                if (still || (end != kNoTime && target < end)) {
                    return Show(std::move(candidate), candidateStart, end);
                }
                frame.reset(av_frame_alloc());
                if (!frame) {
                    return nullptr;
                }
            }
        }
        return nullptr;
    }

    // The frame showing at a time in seconds from the start of the video stream.
    const AVFrame* FrameAt(double seconds) {
        const AVStream& stream = *format->streams[video];
        const AVRational base = stream.time_base;
        if (base.num <= 0 || base.den <= 0) {
            return nullptr;
        }
        const int64_t origin = stream.start_time != kNoTime ? stream.start_time : 0;
        if (still) {
            // A picture shows the same at every time: decode it once and keep it.
            const AVFrame* picture = DecodeAt(origin);
            if (picture != nullptr) {
                shownStart = std::numeric_limits<int64_t>::min();
                shownEnd = kEndless;
            }
            return picture;
        }
        if (const std::optional<double> length = LengthOf(stream); length && seconds >= *length) {
            return nullptr;
        }
        // A tiny allowance keeps a time on a frame boundary, such as 0.96 s at 25 frames a
        // second, from rounding down into the frame before.
        const double ticks = std::floor(seconds * base.den / base.num + 1e-6);
        if (!(ticks < 4.0e18) || origin > kEndless - static_cast<int64_t>(ticks)) {
            return nullptr;
        }
        return DecodeAt(origin + static_cast<int64_t>(ticks));
    }

    // Scales a frame into a bottom-up BGR bitmap with its header.
    bool ToBitmap(const AVFrame& frame, int32_t width, int32_t height,
                  std::vector<uint8_t>& bitmap) {
        if (frame.width <= 0 || frame.height <= 0 || frame.format < 0) {
            return false;
        }
        bool fullRange = frame.color_range == AVCOL_RANGE_JPEG;
        const AVPixelFormat source =
            WithoutFullRangeAlias(static_cast<AVPixelFormat>(frame.format), fullRange);
        scaler.reset(sws_getCachedContext(scaler.release(), frame.width, frame.height, source,
                                          width, height, AV_PIX_FMT_BGR24, SWS_BICUBIC, nullptr,
                                          nullptr, nullptr));
        if (!scaler) {
            return false;
        }
        const AVPixFmtDescriptor* descriptor = av_pix_fmt_desc_get(source);
        if (descriptor != nullptr && (descriptor->flags & AV_PIX_FMT_FLAG_RGB) == 0) {
            sws_setColorspaceDetails(scaler.get(), sws_getCoefficients(ScalerColourSpace(frame)),
                                     fullRange ? 1 : 0, sws_getCoefficients(SWS_CS_DEFAULT), 1, 0,
                                     1 << 16, 1 << 16);
        }

        const size_t rowBytes = static_cast<size_t>(width) * 3;
        const size_t stride = (rowBytes + 3) & ~size_t{3};
        // The scaler writes top-down into an aligned buffer; rows are then flipped.
        const size_t scaledStride = (rowBytes + 63) & ~size_t{63};
        BufferPtr scaled(static_cast<uint8_t*>(av_malloc(scaledStride * height)));
        if (!scaled) {
            return false;
        }
        uint8_t* planes[4] = {scaled.get(), nullptr, nullptr, nullptr};
        const int strides[4] = {static_cast<int>(scaledStride), 0, 0, 0};
        if (sws_scale(scaler.get(), frame.data, frame.linesize, 0, frame.height, planes, strides) !=
            height) {
            return false;
        }

        const size_t imageSize = stride * static_cast<size_t>(height);
        std::vector<uint8_t> out(kBitmapInfoHeaderSize + imageSize, 0);
        PutLe32(&out[0], static_cast<uint32_t>(kBitmapInfoHeaderSize));
        PutLe32(&out[4], static_cast<uint32_t>(width));
        PutLe32(&out[8], static_cast<uint32_t>(height));  // positive: bottom row first
        PutLe16(&out[12], 1);                             // planes
        PutLe16(&out[14], 24);                            // bits per pixel
        PutLe32(&out[20], static_cast<uint32_t>(imageSize));
        for (int32_t row = 0; row < height; ++row) {
            const uint8_t* from = scaled.get() + scaledStride * static_cast<size_t>(row);
            uint8_t* to =
                out.data() + kBitmapInfoHeaderSize + stride * static_cast<size_t>(height - 1 - row);
            std::memcpy(to, from, rowBytes);
        }
        bitmap = std::move(out);
        return true;
    }
};

AvMediaDetector::AvMediaDetector() : impl_(std::make_unique<Impl>()) {}

AvMediaDetector::~AvMediaDetector() = default;

bool AvMediaDetector::SetFilename(const std::wstring& path) {
    impl_->Close();
    try {
        if (impl_->Open(path)) {
            return true;
        }
    } catch (const std::exception&) {
        // Out of memory while probing: the file cannot be read.
    }
    impl_->Close();
    return false;
}

bool AvMediaDetector::GetOutputStreams(int32_t& count) {
    if (!impl_->format) {
        return false;
    }
    count = static_cast<int32_t>(impl_->outputStreams.size());
    return true;
}

bool AvMediaDetector::SetCurrentStream(int32_t index) {
    if (!impl_->format || index < 0 || index >= static_cast<int32_t>(impl_->outputStreams.size())) {
        return false;
    }
    impl_->current = index;
    return true;
}

bool AvMediaDetector::GetStreamType(MediaStreamType& type) {
    const AVStream* stream = impl_->CurrentStream();
    if (stream == nullptr) {
        return false;
    }
    type = stream->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? MediaStreamType::Video
                                                              : MediaStreamType::Audio;
    return true;
}

bool AvMediaDetector::GetStreamLength(double& seconds) {
    const AVStream* stream = impl_->CurrentStream();
    // A still picture has no length: it lasts as long as the clip that shows it.
    if (stream == nullptr || (impl_->still && stream->index == impl_->video)) {
        return false;
    }
    const std::optional<double> length = impl_->LengthOf(*stream);
    if (!length) {
        return false;
    }
    seconds = *length;
    return true;
}

bool AvMediaDetector::GetVideoFormat(int32_t& width, int32_t& height) {
    const AVStream* stream = impl_->CurrentStream();
    if (stream == nullptr || stream->codecpar->codec_type != AVMEDIA_TYPE_VIDEO ||
        stream->codecpar->width <= 0 || stream->codecpar->height <= 0) {
        return false;
    }
    width = stream->codecpar->width;
    height = stream->codecpar->height;
    return true;
}

bool AvMediaDetector::GetBitmapBits(double seconds, int32_t width, int32_t height,
                                    std::vector<uint8_t>& bitmap) {
    if (!std::isfinite(seconds) || seconds < 0.0 || width <= 0 || height <= 0 ||
        width > kMaxBitmapSide || height > kMaxBitmapSide || !impl_->format || impl_->video < 0) {
        return false;
    }
    try {
        const AVFrame* frame = impl_->FrameAt(seconds);
        return frame != nullptr && impl_->ToBitmap(*frame, width, height, bitmap);
    } catch (const std::exception&) {
        return false;  // a bitmap too large to allocate
    }
}

}  // namespace vortrel
