#pragma once

// The pieces every reader of media files on FFmpeg's libraries shares: owning pointers that
// free each libav object the libraries' own way, open options, and file names as libav
// takes them.

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/frame.h>
#include <libavutil/mem.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <chrono>
#include <memory>
#include <optional>
#include <string>

#include "base/Utf8.h"

namespace vortrel::av {

struct FormatContextCloser {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
struct OutputContextFreer {
    void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
struct CodecContextFreer {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
};
struct FrameFreer {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
};
struct PacketFreer {
    void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
struct ScalerFreer {
    void operator()(SwsContext* context) const { sws_freeContext(context); }
};
struct ResamplerFreer {
    void operator()(SwrContext* context) const { swr_free(&context); }
};
struct BufferFreer {
    void operator()(uint8_t* data) const { av_free(data); }
};

using FormatContextPtr = std::unique_ptr<AVFormatContext, FormatContextCloser>;
using OutputContextPtr = std::unique_ptr<AVFormatContext, OutputContextFreer>;
using CodecContextPtr = std::unique_ptr<AVCodecContext, CodecContextFreer>;
using FramePtr = std::unique_ptr<AVFrame, FrameFreer>;
using PacketPtr = std::unique_ptr<AVPacket, PacketFreer>;
using ScalerPtr = std::unique_ptr<SwsContext, ScalerFreer>;
using ResamplerPtr = std::unique_ptr<SwrContext, ResamplerFreer>;
using BufferPtr = std::unique_ptr<uint8_t, BufferFreer>;

// Options handed to avformat_open_input, which leaves in them the ones it did not use.
class OpenOptions {
  public:
    OpenOptions() = default;
    ~OpenOptions() { av_dict_free(&options_); }
    OpenOptions(const OpenOptions&) = delete;
    OpenOptions& operator=(const OpenOptions&) = delete;

    /// Sets one option.
    void Set(const char* key, const char* value) { av_dict_set(&options_, key, value, 0); }
    /// The dictionary as avformat_open_input takes it.
    AVDictionary** Get() { return &options_; }

  private:
    AVDictionary* options_ = nullptr;
};

/// A file name as libav takes it (UTF-8); none for text no file can be named by: an empty
/// name, an embedded NUL, a lone surrogate or a code beyond Unicode (which do not survive
/// the round trip).
inline std::optional<std::string> FileNameOf(const std::wstring& path) {
    if (path.empty() || path.find(L'\0') != std::wstring::npos) {
        return std::nullopt;
    }
    std::string utf8 = ToUtf8(path);
    if (FromUtf8(utf8) != path) {
        return std::nullopt;
    }
    return utf8;
}

/// Opens a local file (playlists and the like may name no other resource) and reads its
/// stream information. Every blocking call on the context, now and later, gives up once the
/// clock passes *deadline, which the caller moves forward before each operation; the
/// deadline must live as long as the context. None when the file cannot be opened.
inline FormatContextPtr OpenLocalInput(const std::string& url,
                                       const std::chrono::steady_clock::time_point* deadline) {
    AVFormatContext* context = avformat_alloc_context();
    if (context == nullptr) {
        return nullptr;
    }
    context->interrupt_callback.callback = [](void* opaque) {
        const auto* until = static_cast<const std::chrono::steady_clock::time_point*>(opaque);
        return std::chrono::steady_clock::now() > *until ? 1 : 0;
    };
    context->interrupt_callback.opaque =
        const_cast<std::chrono::steady_clock::time_point*>(deadline);
    OpenOptions options;
    options.Set("protocol_whitelist", "file");
    // On failure avformat_open_input frees the context itself.
    if (avformat_open_input(&context, url.c_str(), nullptr, options.Get()) < 0) {
        return nullptr;
    }
    FormatContextPtr opened(context);
    if (avformat_find_stream_info(opened.get(), nullptr) < 0) {
        return nullptr;
    }
    return opened;
}

}  // namespace vortrel::av
